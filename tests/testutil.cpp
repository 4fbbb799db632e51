#include "tests/testutil.h"

#include "io/input.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace test {

std::string temp_dir(const std::string& tag) {
  static std::atomic<int> counter{0};
  fs::path dir = fs::path(TEST_TMP) / (tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

void write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

bool exists(const std::string& path) { return fs::exists(path); }

run_result run(const std::string& exe, const std::string& dir, const std::string& prefix, const std::string& args) {
  std::string command = "cd '" + dir + "' && " + prefix + " '" + exe + "' " + args + " </dev/null >.stdout 2>.stderr";
  int raw = std::system(command.c_str());
  run_result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  r.out = read(dir + "/.stdout");
  r.err = read(dir + "/.stderr");
  fs::remove(dir + "/.stdout");
  fs::remove(dir + "/.stderr");
  return r;
}

std::string console_of(const std::function<void(std::FILE*)>& body) {
  std::FILE* out = std::tmpfile();
  if (out == nullptr) throw std::runtime_error("no temporary file");
  try {
    body(out);
  } catch (...) {
    std::fclose(out);
    throw;
  }
  std::string text;
  std::rewind(out);
  char buf[4096];
  std::size_t k;
  while ((k = std::fread(buf, 1, sizeof buf, out)) > 0) text.append(buf, k);
  std::fclose(out);
  return text;
}

std::string lines_of(const std::function<void(domica::progress&)>& body) {
  struct lines_observer : domica::observer {
    std::string text;
    void line(const std::string& t) override { text += t; }
  } obs;
  domica::progress pr(obs);
  body(pr);
  return obs.text;
}

std::string mask_elapsed(const std::string& out) {
  static const std::regex line("Elapsed time = +[0-9]+ seconds");
  return std::regex_replace(out, line, "Elapsed time = # seconds");
}

const char* const shell_text =
    "Shell parameters\n"
    ": thick gravity pressure temp\n"
    "0.2 -9.81 -500 20\n"
    ": concrete: ex nuxy dens alpx fc ft c1 c2\n"
    "3e10 0.2 2500 1e-5 -1 3e6 0.3 0.9\n"
    ": steel: ex dens alpx vr\n"
    "2e11 7850 1.2e-5 0.01\n";

std::string square_weblar(domica::program p) {
  std::string s = "A unit square\n: solver parameters\n";
  switch (p) {
    case domica::program::domica_3: s += "0.9 10 1e-6 100 2 5\n: material\n1000 0.3 0.1 1 -1\n"; break;
    case domica::program::domica_1: s += "0.9 10 1e-6 100 5\n: material\n1000 0.3 0.1 1\n"; break;
    case domica::program::domica_2: s += "1e-6 50 2\n: material\n1000 0.3 0.1 1 -1\n"; break;
  }
  s += ": nodes\n4\n node x y\n1 0 0\n2 1 0\n3 1 1\n4 0 1\n";
  s += ": triangles\n2\n e corners\n1 1 2 3\n2 1 3 4\n";
  s += ": fixed coordinates\n6\n node axis value\n1 1 0\n1 2 0\n1 3 0\n2 1 0\n2 2 0\n2 3 0\n";
  s += ": point loads\n0\n";
  return s;
}

std::vector<double> vertices(const std::string& scr) {
  std::istringstream in(scr);
  std::string line;
  std::vector<double> v;
  std::getline(in, line);
  std::getline(in, line);
  while (std::getline(in, line) && !line.empty()) {
    double x, y, z;
    if (std::sscanf(line.c_str(), "%lf,%lf,%lf", &x, &y, &z) != 3) throw std::runtime_error("not a vertex line: " + line);
    v.insert(v.end(), {x, y, z});
  }
  return v;
}

int count_lines(const std::string& text) {
  int k = 0;
  for (char ch : text)
    if (ch == '\n') ++k;
  return k;
}

domica::problem problem_from_text(const std::string& text, domica::program p) {
  std::string dir = temp_dir("problem");
  write(dir + "/weblar.txt", text);
  domica::problem pr = domica::input(p, dir + "/weblar.txt", "weblar.txt");
  fs::remove_all(dir);
  return pr;
}

domica::problem one_triangle(const char* corners, double pressure, double weight) {
  std::string text = ": p\n0.9 10 1e-6 100 1 5\n: m\n1000 0 0.5 " + std::to_string(weight) + " " + std::to_string(pressure) +
                     "\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 " + corners + "\n: f\n0\n: l\n0\n";
  return problem_from_text(text, domica::program::domica_3);
}

std::string example_dir(const std::string& name) {
  std::string dir = temp_dir("example");
  std::string from = std::string(SOURCE_DIR) + "/examples/" + name;
  write(dir + "/weblar.txt", read(from + "/weblar.txt"));
  write(dir + "/shell.txt", read(from + "/shell.txt"));
  return dir;
}

std::string makenet(const std::string& args) {
  std::string dir = temp_dir("makenet");
  std::string command = std::string("'") + MAKENET_EXE + "' " + args + " > '" + dir + "/weblar.txt'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("makenet failed: " + args);
  std::string text = read(dir + "/weblar.txt");
  fs::remove_all(dir);
  return text;
}

bool in_ci() {
  const char* v = std::getenv("CI");
  if (v == nullptr) return false;
  std::string s = v;
  return !s.empty() && s != "false" && s != "0";
}

}  // namespace test
