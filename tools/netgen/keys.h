// Arguments of the form key=value: parsing, the check of their names, and
// checked reading of their values. A key not given takes its default.
#pragma once

#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace netgen {

struct keys {
  std::map<std::string, std::string> given;  // key -> value as typed
};

// The options every generator takes: --help and --version (answered at once
// on standard output: returns true, the caller ends with status 0), --band
// (sets band); any other argument beginning with '-' is a tool_error with
// usage; the rest go to words in their order.
// Inputs: args, the tool's name, its usage printer. Outputs: band, words.
bool tool_options(const std::vector<std::string>& args, const char* tool, void (*usage)(std::FILE*), bool& band,
                  std::vector<std::string>& words);

// main of a generator: run(arguments), a tool_error reported as "TOOL:
// message" on standard error (with the usage when it asks for it) and status 2.
// SIGXFSZ is ignored, so a write over the file-size limit fails with a
// message; standard output that cannot be written (--help and --version
// too) ends it with status 4 and a message.
int tool_main(const char* tool, int argc, char** argv, int (*run)(const std::vector<std::string>&), void (*usage)(std::FILE*));

// Write text on standard output; status 0, or 4 with a message when it cannot be written.
int put_text(const char* tool, const std::string& text);

// Reads the arguments args (each "key=value"). An argument without '=', an
// empty key or value, or a key given twice is a tool_error with usage.
void parse_keys(const std::vector<std::string>& args, keys& k);

// Every given key must be one of `allowed`; `what` names the context in the
// message ("the keys of rect are ...").
void check_known(const keys& k, const std::vector<std::string>& allowed, const std::string& what);

// An interval of accepted values; open ends exclude the bound.
struct range {
  double lo = -std::numeric_limits<double>::infinity();
  double hi = std::numeric_limits<double>::infinity();
  bool lo_open = false, hi_open = false;
};
range positive();                      // (0, inf)
range any_real();                      // (-inf, inf)
range between(double lo, double hi);   // [lo, hi]

// A finite real number within r; `fallback` when the key is not given.
double real_key(const keys& k, const std::string& key, double fallback, range r);

// A whole number in lo..hi; `fallback` when the key is not given.
int int_key(const keys& k, const std::string& key, int fallback, int lo, int hi);

// One of `choices`; `fallback` when the key is not given.
std::string word_key(const keys& k, const std::string& key, const std::string& fallback,
                     const std::vector<std::string>& choices);

// Whether the key was given.
bool has_key(const keys& k, const std::string& key);

}  // namespace netgen
