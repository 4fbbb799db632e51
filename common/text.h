// Reading primitives of the input files: the section search, free-format
// values and the end of a record. The whole file is read into memory when it
// is opened, so every failure can name the file and the line.
//
// Blanks, tabs and line ends (LF, CR LF, or CR alone in a file without LF)
// separate values; a final line without a line break is read like any other,
// and a UTF-8 byte-order mark at the start is skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace domica {

struct text_file {
  std::string name;   // file name used in messages
  std::string data;   // whole content
  std::size_t pos = 0;
  int line = 1;       // line of the character at pos
};

// Open and read a whole text file. A missing or unreadable file, or a path
// that is not a regular file (a directory, a FIFO), is an input failure.
text_file open_text(const std::string& path, const std::string& name);

// Section search: repeat { read one character (line ends are skipped), discard
// the rest of its line } until the character read was ':'. `what` names the
// section in the message when the file ends first.
void scan(text_file& t, const char* what);

// Free-format values: blanks and line ends before the value are skipped; the
// value runs to the next blank or line end and must be a whole number.
std::int32_t read_int(text_file& t, const char* what);
double read_real(text_file& t, const char* what);

// A count of records: an integer of at least 0, each record holding at least
// `tokens` values, so a count larger than the rest of the file could hold is
// rejected before anything is allocated for it.
std::int32_t read_count(text_file& t, const char* what, int tokens);

// The next value on the current line, when there is one and it reads as a
// real number (used to spot a parameter line with more values than expected);
// empty otherwise. Reads nothing.
std::string number_on_line(const text_file& t);

// End of record: discard the rest of the line on which the last value was read.
void end_record(text_file& t);

// Discard one whole further line (the heading of a record list).
void skip_line(text_file& t, const char* what);

// Throw an input failure "name:line: message" at the given line.
[[noreturn]] void input_error(const text_file& t, int line, const std::string& message);

}  // namespace domica
