// Output files are written whole or not at all, and the files of one result
// as one set: each text goes to a temporary file beside its target, and only
// once every one of them is complete and flushed are they all renamed over
// their targets. A failure before the renames leaves every earlier file as it
// was and no temporary file behind; so does SIGINT or SIGTERM at any moment
// once the program's signal handlers call remove_temporary_files() (the
// console programs install them: app/signals.h). Several threads may write
// sets at once.
#pragma once

#include <string>
#include <vector>

namespace domica {

// One file of a result set.
struct out_file {
  std::string path;  // target, relative to the current folder or absolute
  std::string name;  // the file's name in messages
  std::string text;  // whole content
};

// Write every file of `set` to a temporary file, then rename them all into
// place. A failure to create, write or rename, or a target that is a
// directory, is an output failure (exit_output) naming the file.
void write_set(const std::vector<out_file>& set);

// Write one file on its own: write_set of that one file.
void write_file(const std::string& path, const std::string& name, const std::string& text);

// Before a long solution: create and remove a temporary file beside each
// target of `set` (its texts are not used) and refuse a target that is a
// directory, so that a folder that cannot be written fails at once, with the
// output failure write_set would give.
void probe_outputs(const std::vector<out_file>& set);

// The path of file `name` in `folder` ("" for the current folder).
std::string in_folder(const std::string& folder, const std::string& name);

// Remove every temporary file this process has open for a set. Safe to call
// from a signal handler (it only reads flags and calls unlink).
void remove_temporary_files();

}  // namespace domica
