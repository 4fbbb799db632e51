// A plan is data: the commands of a Gmsh plan that would run a program, read
// or write a file, or end the tool are refused before Gmsh reads the plan.
#pragma once

#include <string>

namespace domica_mesh {

// Reads the .geo plan `path`, the files it includes and the option file
// Gmsh reads beside a plan (PATH.opt), and throws a tool_error
// "FILE:LINE: WORD ..." for the first refused command. Refused everywhere in
// the text, in comments and strings too (Gmsh's skipping of If, For and
// Macro blocks does not read comments and strings as its lexer does, so
// their text can run):
//   SystemCall, System, NonBlockingSystemCall, OnelabRun   run a program
//   OnelabAction, SendToServer                   talk to a solver process
//   Save, Print, CreateDir                       write files or folders
//   Merge, MergeWithBoundingBox, ShapeFromFile,
//   ListFromFile, FileExists                     read files
//   Plugin                                       plugins can write files
//   Exit                                         ends the tool at once
//   Solver.* options and options naming files or programs (...FileName,
//   Executable..., ...Command, ...Editor, ...Browser, ...)
// Refused in code only when used so:
//   Printf/Sprintf redirected with > or >> (writes a file)
//   Include of anything but a plain relative string inside the plan's
//   folder (no absolute path, no "..", no way out through a link), or of a
//   file that includes itself; the included files are checked the same way.
// Also refused: a NUL byte, a file over 64 MB.
// Inputs: path of the plan as given on the command line.
void check_plan_commands(const std::string& path);

// A .msh plan is read as a mesh only when it begins with "$MeshFormat" (or
// the legacy "$NOD"/"$NOE"); Gmsh reads anything else as a .geo script. The
// option file PATH.opt, which Gmsh reads too, is checked as above.
void check_mesh_file(const std::string& path);

}  // namespace domica_mesh
