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
  int title_line = 0; // first line the section search passed over that looks
                      // like a section title without its ':' (0: none)
};

// Open and read a whole text file. A missing or unreadable file, or a path
// that is not a regular file (a directory, a FIFO), is an input failure.
text_file open_text(const std::string& path, const std::string& name);

// Section search: repeat { read one character (line ends are skipped), discard
// the rest of its line } until the character read was ':'. `what` names the
// section in the message when the file ends first. A line passed over that
// holds words only and is followed by a line of values looks like a section
// title typed without its ':'; the first such line is kept in t.title_line and
// named in every later input failure.
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

// Whether a value missing from a parameter record most likely means the file
// was written for another program; looks at the next value, reads nothing.
// True when it lies on a later line than record_line, when neither it nor
// anything after it on its line is a number (the line's values ran out), or,
// with `integer`, when it is a real number that is not a whole one.
bool values_shifted(const text_file& t, int record_line, bool integer);

// End of record: discard the rest of the line on which the last value was read.
void end_record(text_file& t);

// Discard one whole further line (the heading of a record list); returns true
// when that line held values only, as a record does and a heading does not.
bool skip_line(text_file& t, const char* what);

// Throw an input failure "name:line: message" at the given line, naming
// t.title_line when there is one.
[[noreturn]] void input_error(const text_file& t, int line, const std::string& message);

}  // namespace domica
