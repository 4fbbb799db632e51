#include "io/text.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <vector>

#include "model/failure.h"

namespace domica {

namespace {

bool is_blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\f' || ch == '\v'; }
bool is_space(char ch) { return is_blank(ch) || ch == '\n'; }
bool is_digit(char ch) { return ch >= '0' && ch <= '9'; }

// Skip blanks and line ends; return the line of the next token and the token.
std::string next_token(text_file& t, int& line, const char* what, const char* kind) {
  while (t.pos < t.data.size() && is_space(t.data[t.pos])) {
    if (t.data[t.pos] == '\n') ++t.line;
    ++t.pos;
  }
  line = t.line;
  if (t.pos >= t.data.size())
    input_error(t, line, std::string("expected ") + kind + " (" + what + "), found the end of the file");
  std::size_t start = t.pos;
  while (t.pos < t.data.size() && !is_space(t.data[t.pos])) ++t.pos;
  return t.data.substr(start, t.pos - start);
}

// Optionally signed decimal digits.
bool integer_syntax(const std::string& s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (!is_digit(s[i])) return false;
  return true;
}

// Optionally signed decimal number with optional fraction and optional exponent.
bool real_syntax(const std::string& s) {
  std::size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && is_digit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && is_digit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp = 0;
    while (i < s.size() && is_digit(s[i])) ++i, ++exp;
    if (exp == 0) return false;
  }
  return i == s.size();
}

// The tokens of the line that begins at pos, up to its end.
std::vector<std::string> line_tokens(const std::string& data, std::size_t pos) {
  std::vector<std::string> out;
  for (;;) {
    while (pos < data.size() && is_blank(data[pos])) ++pos;
    if (pos >= data.size() || data[pos] == '\n') return out;
    std::size_t start = pos;
    while (pos < data.size() && !is_space(data[pos])) ++pos;
    out.push_back(data.substr(start, pos - start));
  }
}

bool is_number(const std::string& s) { return real_syntax(s); }

bool all_numbers(const std::vector<std::string>& tokens) {
  for (const std::string& s : tokens)
    if (!is_number(s)) return false;
  return !tokens.empty();
}

// A line of words (letters, '-', '_' and blanks, at most five words) followed,
// after any blank lines, by a line that begins with a number.
bool looks_like_title(const std::string& data, std::size_t begin, std::size_t end) {
  std::vector<std::string> words = line_tokens(data, begin);
  if (words.empty() || words.size() > 5) return false;
  for (const std::string& w : words)
    for (char ch : w)
      if (!((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '-' || ch == '_')) return false;
  std::size_t next = end;
  while (next < data.size() && is_space(data[next])) ++next;
  std::vector<std::string> values = line_tokens(data, next);
  return !values.empty() && is_number(values.front());
}

}  // namespace

void input_error(const text_file& t, int line, const std::string& message) {
  std::string hint;
  if (t.title_line > 0) hint = "; line " + std::to_string(t.title_line) + " looks like a section title without its ':'";
  throw failure(exit_input, t.name + ":" + std::to_string(line) + ": " + message + hint);
}

text_file open_text(const std::string& path, const std::string& name) {
  // A directory reads as an empty file and a FIFO blocks the open: refuse
  // both before opening.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    throw failure(exit_input, name + ": is not a regular file (" + (S_ISDIR(st.st_mode) ? "a directory" : S_ISFIFO(st.st_mode) ? "a FIFO" : "a device or socket") + ")");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw failure(exit_input, name + ": cannot open the file for reading: " + std::strerror(errno));
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) throw failure(exit_input, name + ": cannot read the file");
  text_file t;
  t.name = name;
  t.data = buf.str();
  // A UTF-8 byte-order mark, as some editors put at the start, is no value.
  if (t.data.compare(0, 3, "\xEF\xBB\xBF") == 0) t.data.erase(0, 3);
  // A file whose lines end in CR alone is read line by line like any other.
  if (t.data.find('\n') == std::string::npos)
    for (char& ch : t.data)
      if (ch == '\r') ch = '\n';
  return t;
}

void scan(text_file& t, const char* what) {
  for (;;) {
    // Read one character, skipping line ends.
    while (t.pos < t.data.size() && t.data[t.pos] == '\n') ++t.pos, ++t.line;
    if (t.pos >= t.data.size())
      input_error(t, t.line,
                  std::string("expected the line that opens ") + what + " (a line beginning with ':'), found the end of the file");
    char ch = t.data[t.pos];
    std::size_t begin = t.pos;
    // Discard the rest of that line.
    while (t.pos < t.data.size() && t.data[t.pos] != '\n') ++t.pos;
    if (ch != ':' && t.title_line == 0 && looks_like_title(t.data, begin, t.pos)) t.title_line = t.line;
    if (t.pos < t.data.size()) ++t.pos, ++t.line;
    if (ch == ':') return;
  }
}

std::int32_t read_int(text_file& t, const char* what) {
  int line = 0;
  std::string token = next_token(t, line, what, "an integer");
  if (!integer_syntax(token))
    input_error(t, line, std::string("expected an integer (") + what + "), found " + quoted(token));
  errno = 0;
  long long v = std::strtoll(token.c_str(), nullptr, 10);
  if (errno == ERANGE || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    input_error(t, line, std::string("integer out of the 32-bit range (") + what + "), found " + quoted(token));
  return static_cast<std::int32_t>(v);
}

double read_real(text_file& t, const char* what) {
  int line = 0;
  std::string token = next_token(t, line, what, "a real number");
  if (!real_syntax(token))
    input_error(t, line, std::string("expected a real number (") + what + "), found " + quoted(token));
  double v = std::strtod(token.c_str(), nullptr);
  if (!std::isfinite(v))
    input_error(t, line, std::string("real number out of range (") + what + "), found " + quoted(token));
  return v;
}

std::int32_t read_count(text_file& t, const char* what, int tokens) {
  std::int32_t count = read_int(t, what);
  int line = t.line;
  if (count < 0) input_error(t, line, std::string("expected a count of at least 0 (") + what + "), found " + std::to_string(count));
  // Each record holds `tokens` values, each at least one character followed by a separator.
  std::size_t rest = t.data.size() - t.pos;
  std::size_t room = (rest + 1) / (2 * static_cast<std::size_t>(tokens));
  if (static_cast<std::size_t>(count) > room)
    input_error(t, line,
                std::string("the count ") + std::to_string(count) + " (" + what + ") is larger than the rest of the file can hold (at most " +
                    std::to_string(room) + " records)");
  return count;
}

std::string number_on_line(const text_file& t) {
  std::size_t p = t.pos;
  while (p < t.data.size() && is_blank(t.data[p])) ++p;
  std::size_t q = p;
  while (q < t.data.size() && !is_space(t.data[q])) ++q;
  std::string token = t.data.substr(p, q - p);
  if (token.empty() || !real_syntax(token) || !std::isfinite(std::strtod(token.c_str(), nullptr))) return "";
  return token;
}

bool values_shifted(const text_file& t, int record_line, bool integer) {
  std::size_t p = t.pos;
  int line = t.line;
  while (p < t.data.size() && is_space(t.data[p])) {
    if (t.data[p] == '\n') ++line;
    ++p;
  }
  if (p >= t.data.size() || line > record_line) return true;
  std::vector<std::string> rest = line_tokens(t.data, p);
  bool numbers_follow = false;
  for (const std::string& s : rest) numbers_follow = numbers_follow || is_number(s);
  if (!numbers_follow) return true;
  return integer && is_number(rest.front()) && !integer_syntax(rest.front());
}

void end_record(text_file& t) {
  while (t.pos < t.data.size() && t.data[t.pos] != '\n') ++t.pos;
  if (t.pos < t.data.size()) ++t.pos, ++t.line;
}

bool skip_line(text_file& t, const char* what) {
  if (t.pos >= t.data.size())
    input_error(t, t.line, std::string("expected the heading line of ") + what + ", found the end of the file");
  bool values = all_numbers(line_tokens(t.data, t.pos));
  end_record(t);
  return values;
}

}  // namespace domica
