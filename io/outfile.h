// Output files are written whole or not at all, and the files of one result
// as one set: each text goes to a temporary file beside its target, and only
// once every one of them is complete and flushed are they all renamed over
// their targets. A failure before the renames leaves every earlier file as it
// was and no temporary file behind; so does SIGINT or SIGTERM at any moment
// once guard_outputs() has run.
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

// From now on SIGINT and SIGTERM remove the temporary files of this process
// and end it by the same signal (status 130 or 143 in a shell); a file-size
// limit (SIGXFSZ) makes a write fail like a full disk instead of ending the
// process. A SIGINT that was ignored when the program started stays ignored.
void guard_outputs();

}  // namespace domica
