#include "tools/netgen/keys.h"

#include <charconv>
#include <csignal>
#include <cmath>

#include "domica/version.h"
#include "tools/netgen/net.h"
#include "tools/netgen/weblar.h"

namespace netgen {

namespace {

[[noreturn]] void refuse(const std::string& message) { throw tool_error{message, true}; }

std::string joined(const std::vector<std::string>& words, const char* separator) {
  std::string s;
  for (std::size_t i = 0; i < words.size(); ++i) s += (i ? separator : "") + words[i];
  return s;
}

std::string range_text(const range& r) {
  bool low = std::isfinite(r.lo), high = std::isfinite(r.hi);
  if (low && high)
    return std::string("within ") + (r.lo_open ? "(" : "[") + shortest(r.lo) + ", " + shortest(r.hi) + (r.hi_open ? ")" : "]");
  if (low) return (r.lo_open ? "greater than " : "at least ") + shortest(r.lo);
  if (high) return (r.hi_open ? "less than " : "at most ") + shortest(r.hi);
  return "finite";
}

}  // namespace

void parse_keys(const std::vector<std::string>& args, keys& k) {
  for (const std::string& arg : args) {
    std::size_t eq = arg.find('=');
    if (eq == std::string::npos) refuse("expected key=value, found \"" + arg + "\"");
    std::string key = arg.substr(0, eq), value = arg.substr(eq + 1);
    if (key.empty()) refuse("no key before '=' in \"" + arg + "\"");
    if (value.empty()) refuse("no value after \"" + key + "=\"");
    if (!k.given.emplace(key, value).second) refuse("key " + key + " given twice");
  }
}

void check_known(const keys& k, const std::vector<std::string>& allowed, const std::string& what) {
  for (const auto& [key, value] : k.given) {
    bool known = false;
    for (const std::string& a : allowed) known = known || a == key;
    if (!known) refuse("unknown key \"" + key + "\"; the keys of " + what + " are " + joined(allowed, ", "));
  }
}

range positive() { return {0.0, std::numeric_limits<double>::infinity(), true, false}; }
range any_real() { return {}; }
range between(double lo, double hi) { return {lo, hi, false, false}; }

bool has_key(const keys& k, const std::string& key) { return k.given.count(key) != 0; }

double real_key(const keys& k, const std::string& key, double fallback, range r) {
  auto it = k.given.find(key);
  if (it == k.given.end()) return fallback;
  const std::string& s = it->second;
  const char* first = s.data() + (s[0] == '+' ? 1 : 0);
  double v = 0.0;
  auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
    refuse(key + ": expected a finite real number, found \"" + s + "\"");
  bool above = r.lo_open ? v > r.lo : v >= r.lo;
  bool below = r.hi_open ? v < r.hi : v <= r.hi;
  if (!above || !below) refuse(key + " must be " + range_text(r) + ", found " + s);
  return v;
}

int int_key(const keys& k, const std::string& key, int fallback, int lo, int hi) {
  auto it = k.given.find(key);
  if (it == k.given.end()) return fallback;
  const std::string& s = it->second;
  const char* first = s.data() + (s[0] == '+' ? 1 : 0);
  long long v = 0;
  auto [end, ec] = std::from_chars(first, s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) refuse(key + ": expected a whole number, found \"" + s + "\"");
  if (v < lo || v > hi) refuse(key + " must lie in " + std::to_string(lo) + ".." + std::to_string(hi) + ", found " + s);
  return static_cast<int>(v);
}

std::string word_key(const keys& k, const std::string& key, const std::string& fallback,
                     const std::vector<std::string>& choices) {
  auto it = k.given.find(key);
  if (it == k.given.end()) return fallback;
  for (const std::string& c : choices)
    if (c == it->second) return c;
  refuse(key + " must be " + joined(choices, " or ") + ", found \"" + it->second + "\"");
}

bool tool_options(const std::vector<std::string>& args, const char* tool, void (*usage)(std::FILE*), bool& band,
                  std::vector<std::string>& words) {
  band = false;
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      usage(stdout);
      return true;
    }
    if (a == "--version") {
      std::printf("%s %s\n", tool, DOMICA_VERSION);
      return true;
    }
    if (a == "--band") band = true;
    else if (a.rfind("-", 0) == 0) throw tool_error{"unknown option \"" + a + "\"", true};
    else words.push_back(a);
  }
  return false;
}

int tool_main(const char* tool, int argc, char** argv, int (*run)(const std::vector<std::string>&), void (*usage)(std::FILE*)) {
  // Over a file-size limit a write fails (EFBIG) and is reported like a full
  // disk, instead of the signal ending the tool with a partial file.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    int status = run(std::vector<std::string>(argv + 1, argv + argc));
    if (status == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
      std::fprintf(stderr, "%s: cannot write standard output\n", tool);
      return 4;
    }
    return status;
  } catch (const tool_error& e) {
    std::fprintf(stderr, "%s: %s\n", tool, e.message.c_str());
    if (e.usage) usage(stderr);
    return 2;
  }
}

int put_text(const char* tool, const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "%s: cannot write standard output\n", tool);
    return 4;
  }
  return 0;
}

}  // namespace netgen
