// The console programs' signal handling, installed once at the start of a
// run: from then on SIGINT and SIGTERM remove the temporary files of this
// process (io/outfile.h) and end it by the same signal (status 130 or 143 in
// a shell); a file-size limit (SIGXFSZ) makes a write fail like a full disk
// instead of ending the process. A SIGINT that was ignored when the program
// started stays ignored.
#pragma once

namespace domica {

void guard_outputs();

}  // namespace domica
