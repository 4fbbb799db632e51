// Output files are written whole or not at all: the text goes to a temporary
// file beside the target, which is renamed over the target only once it is
// complete and flushed. A failure leaves the earlier file, if any, untouched.
#pragma once

#include <string>

namespace domica {

// Write `text` to `path` (named `name` in messages). A failure to create,
// write or rename is an output failure (exit_output) naming the file.
void write_file(const std::string& path, const std::string& name, const std::string& text);

}  // namespace domica
