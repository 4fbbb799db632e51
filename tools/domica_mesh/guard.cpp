#include "tools/domica_mesh/guard.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "tools/netgen/net.h"

namespace domica_mesh {

namespace fs = std::filesystem;

namespace {

const char* const advice = "; a plan is read as data: pass --trust-plan to run its commands";

struct token {
  enum kind_t { word, text, number, punct } kind;
  std::string s;
  int line;
};

bool word_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool word_char(char c) { return word_start(c) || std::isdigit(static_cast<unsigned char>(c)); }

// The words and single characters of the text of a comment or a string,
// starting on line `line`.
void split(const std::string& t, int line, std::vector<token>& out) {
  for (std::size_t i = 0; i < t.size();) {
    char c = t[i];
    if (c == '\n') ++line, ++i;
    else if (word_start(c)) {
      std::size_t j = i;
      while (j < t.size() && word_char(t[j])) ++j;
      out.push_back({token::word, t.substr(i, j - i), line});
      i = j;
    } else if (std::isspace(static_cast<unsigned char>(c))) ++i;
    else out.push_back({token::punct, std::string(1, c), line}), ++i;
  }
}

int lines_in(const std::string& t) {
  int n = 0;
  for (char c : t) n += c == '\n';
  return n;
}

// Gmsh's lexer on `src`: comments skipped, strings without escapes ending at
// their quote, words, numbers and punctuation (">>" one token) in `code`;
// the words of comments and strings in `hidden`.
void lex(const std::string& src, std::vector<token>& code, std::vector<token>& hidden) {
  int line = 1;
  std::size_t i = 0, n = src.size();
  while (i < n) {
    char c = src[i];
    if (c == '\n') {
      ++line, ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '/' && i + 1 < n && (src[i + 1] == '*' || src[i + 1] == '/')) {
      std::size_t end = src[i + 1] == '*' ? src.find("*/", i + 2) : src.find('\n', i + 2);
      if (end == std::string::npos) end = n;
      std::string body = src.substr(i + 2, end - i - 2);
      split(body, line, hidden);
      line += lines_in(body);
      i = src[i + 1] == '*' && end < n ? end + 2 : end;
    } else if (c == '"' || c == '\'') {
      std::size_t end = src.find(c, i + 1);
      if (end == std::string::npos) end = n;
      std::string body = src.substr(i + 1, end - i - 1);
      code.push_back({token::text, body, line});
      split(body, line, hidden);
      line += lines_in(body);
      i = end < n ? end + 1 : end;
    } else if (word_start(c)) {
      std::size_t j = i;
      while (j < n && word_char(src[j])) ++j;
      code.push_back({token::word, src.substr(i, j - i), line});
      i = j;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      std::size_t j = i;
      while (j < n && (std::isdigit(static_cast<unsigned char>(src[j])) || src[j] == '.')) ++j;
      code.push_back({token::number, src.substr(i, j - i), line});
      i = j;
    } else if (c == '>' && i + 1 < n && src[i + 1] == '>') {
      code.push_back({token::punct, ">>", line});
      i += 2;
    } else {
      code.push_back({token::punct, std::string(1, c), line});
      ++i;
    }
  }
}

// What a refused word does, or nullptr.
const char* refused_word(const std::string& w) {
  static const struct {
    const char* word;
    const char* what;
  } table[] = {
      {"SystemCall", "runs a program"},
      {"System", "runs a program"},
      {"NonBlockingSystemCall", "runs a program"},
      {"OnelabRun", "runs a program"},
      {"OnelabAction", "acts on a solver process"},
      {"SendToServer", "sends data to a solver process"},
      {"Save", "writes a file"},
      {"Print", "writes a file"},
      {"CreateDir", "creates a folder"},
      {"Merge", "reads a file"},
      {"MergeWithBoundingBox", "reads a file"},
      {"ShapeFromFile", "reads a file"},
      {"ListFromFile", "reads a file"},
      {"FileExists", "looks at a file"},
      {"Plugin", "runs a plugin, which can write files"},
      {"Exit", "ends the tool with nothing written"},
  };
  for (const auto& t : table)
    if (w == t.word) return t.what;
  return nullptr;
}

bool category(const std::string& w) {
  return w == "General" || w == "Geometry" || w == "Mesh" || w == "Solver" || w == "PostProcessing" || w == "View" ||
         w == "Print";
}

// Whether option `name` of `cat` names a file or a program, or acts on one.
bool refused_option(const std::string& cat, const std::string& name) {
  if (cat == "Solver") return true;
  for (const char* part : {"FileName", "RecentFile", "WatchFile", "Executable", "Command", "Editor", "Browser",
                           "Interpreter", "Socket", "RemoteLogin", "SaveOptions", "SaveSession"})
    if (name.find(part) != std::string::npos) return true;
  return false;
}

// The option "Cat.Name" or "Cat[i].Name" beginning at toks[k], if any.
bool option_at(const std::vector<token>& toks, std::size_t k, std::string& name) {
  if (toks[k].kind != token::word || !category(toks[k].s)) return false;
  std::size_t j = k + 1;
  if (j < toks.size() && toks[j].s == "[") {
    while (j < toks.size() && toks[j].s != "]") ++j;
    ++j;
  }
  if (j + 1 >= toks.size() || toks[j].s != "." || toks[j + 1].kind != token::word) return false;
  name = toks[j + 1].s;
  return true;
}

std::string read_whole(const std::string& path, const std::string& file) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw netgen::tool_error{file + ": cannot be read"};
  std::ostringstream s;
  s << in.rdbuf();
  std::string text = s.str();
  if (text.size() > (64u << 20)) throw netgen::tool_error{file + ": a plan file is at most 64 MB"};
  return text;
}

bool inside(const fs::path& p, const fs::path& folder) {
  auto f = folder.begin(), q = p.begin();
  for (; f != folder.end(); ++f, ++q)
    if (q == p.end() || *q != *f) return false;
  return true;
}

void check_file(const std::string& path, const fs::path& folder, std::vector<fs::path>& open) {
  std::string text = read_whole(path, path);
  std::string::size_type nul = text.find('\0');
  if (nul != std::string::npos)
    throw netgen::tool_error{path + ":" + std::to_string(1 + lines_in(text.substr(0, nul))) +
                             ": a NUL byte; a .geo plan is text"};
  std::vector<token> code, hidden;
  lex(text, code, hidden);
  auto at = [&](int line) { return path + ":" + std::to_string(line) + ": "; };

  for (std::size_t k = 0; k < hidden.size(); ++k) {
    const token& t = hidden[k];
    if (t.kind != token::word) continue;
    const char* what = refused_word(t.s);
    if (!what && (t.s == "Include" || t.s == "Printf" || t.s == "Sprintf")) what = "includes or writes a file";
    std::string name;
    if (!what && option_at(hidden, k, name) && refused_option(t.s, name)) what = "names a file or a program";
    if (what)
      throw netgen::tool_error{at(t.line) + t.s + " " + what +
                               " (in a comment or a string too: Gmsh can run such text when it skips a block)" +
                               advice};
  }

  for (std::size_t k = 0; k < code.size(); ++k) {
    const token& t = code[k];
    if (t.kind != token::word) continue;
    std::string name;
    if (option_at(code, k, name)) {
      if (refused_option(t.s, name))
        throw netgen::tool_error{at(t.line) + "option " + t.s + "." + name + " names a file or a program" + advice};
      continue;
    }
    if (const char* what = refused_word(t.s)) throw netgen::tool_error{at(t.line) + t.s + " " + what + advice};
    if (t.s == "Printf" || t.s == "Sprintf") {
      std::size_t j = k + 1;
      int depth = 0;
      for (; j < code.size(); ++j) {
        if (code[j].s == "(") ++depth;
        else if (code[j].s == ")" && --depth == 0) break;
        else if (code[j].s == ";" && depth == 0) break;
      }
      if (j + 1 < code.size() && (code[j + 1].s == ">" || code[j + 1].s == ">>"))
        throw netgen::tool_error{at(t.line) + t.s + " " + code[j + 1].s + " writes a file" + advice};
    }
    if (t.s == "Include") {
      if (k + 2 >= code.size() || code[k + 1].kind != token::text || code[k + 2].s != ";")
        throw netgen::tool_error{at(t.line) + "Include of a path that is not a plain string" + advice};
      fs::path rel(code[k + 1].s);
      bool up = false;
      for (const fs::path& part : rel) up = up || part == "..";
      if (rel.empty() || rel.is_absolute() || up)
        throw netgen::tool_error{at(t.line) + "Include \"" + code[k + 1].s +
                                 "\" reads a file outside the plan's folder" + advice};
      fs::path target = fs::path(path).parent_path() / rel;
      std::error_code ec;
      fs::path real = fs::canonical(target, ec);
      if (ec) throw netgen::tool_error{at(t.line) + "Include \"" + code[k + 1].s + "\": cannot be read"};
      if (!inside(real, folder))
        throw netgen::tool_error{at(t.line) + "Include \"" + code[k + 1].s +
                                 "\" reads a file outside the plan's folder" + advice};
      for (const fs::path& o : open)
        if (o == real) throw netgen::tool_error{at(t.line) + "Include \"" + code[k + 1].s + "\" includes itself"};
      if (open.size() >= 16) throw netgen::tool_error{at(t.line) + "Include nested more than 16 deep"};
      open.push_back(real);
      check_file(target.string(), folder, open);
      open.pop_back();
    }
  }
}

// Gmsh merges PATH.opt after the plan when it exists.
void check_option_file(const std::string& path, const fs::path& folder) {
  std::string opt = path + ".opt";
  std::error_code ec;
  if (!fs::exists(opt, ec)) return;
  std::vector<fs::path> open = {fs::weakly_canonical(opt, ec)};
  check_file(opt, folder, open);
}

fs::path plan_folder(const std::string& path) {
  std::error_code ec;
  fs::path real = fs::canonical(path, ec);
  if (ec) throw netgen::tool_error{path + ": cannot be read"};
  return real.parent_path();
}

}  // namespace

void check_plan_commands(const std::string& path) {
  fs::path folder = plan_folder(path);
  std::error_code ec;
  std::vector<fs::path> open = {fs::canonical(path, ec)};
  check_file(path, folder, open);
  check_option_file(path, folder);
}

void check_mesh_file(const std::string& path) {
  fs::path folder = plan_folder(path);
  std::ifstream in(path, std::ios::binary);
  char head[11] = {};
  in.read(head, sizeof head);
  std::string h(head, static_cast<std::size_t>(in.gcount()));
  if (h.rfind("$MeshFormat", 0) != 0 && h.rfind("$NOD", 0) != 0 && h.rfind("$NOE", 0) != 0)
    throw netgen::tool_error{path + ": a .msh plan begins with $MeshFormat (Gmsh would read this one as a script)" +
                             std::string(advice)};
  check_option_file(path, folder);
}

}  // namespace domica_mesh
