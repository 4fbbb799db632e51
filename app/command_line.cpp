#include "app/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/failure.h"
#include "app/report.h"
#include "domica/version.h"

namespace domica {

namespace {

// An argument as typed, in quotes, with unprintable bytes as \xNN; paths are
// shown whole, unlike input text in the readers' messages.
std::string shown(const std::string& arg) { return quoted(arg, std::string::npos); }

std::string usage_line(const char* program) {
  return std::string("usage: ") + program + " [--help] [--version] [--quiet] [--vtu] [--ccx] [--threads=N]" +
         (std::string(program) == "domica_2" ? " [--solver=NAME]" : "") + " [FOLDER]\n";
}

// Print on standard output; a full disk or closed pipe must not pass for success.
int print(const char* program, const std::string& text) {
  std::fputs(text.c_str(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "%s: cannot write standard output\n", program);
    return exit_output;
  }
  return exit_ok;
}

int bad_command_line(const char* program, const std::string& line) {
  std::fprintf(stderr, "%s: %s\n%s", program, line.c_str(), usage_line(program).c_str());
  return exit_input;
}

}  // namespace

std::optional<int> command_line(const char* program, const char* summary, int argc, char** argv, run_options& opts) {
  bool help = false, version = false, options = true;
  const char* folder = nullptr;
  // The whole line is checked before anything is done, so a mistyped
  // command never runs half of what it asks.
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "-h" || arg == "--help")) {
      help = true;
    } else if (options && arg == "--version") {
      version = true;
    } else if (options && arg == "--quiet") {
      opts.quiet = true;
    } else if (options && arg == "--vtu") {
      opts.vtu = true;
    } else if (options && arg == "--ccx") {
      opts.ccx = true;
    } else if (options && arg.rfind("--threads=", 0) == 0) {
      std::string n = arg.substr(10);
      char* end = nullptr;
      long v = std::strtol(n.c_str(), &end, 10);
      if (n.empty() || *end != '\0' || v < 1 || v > 1024)
        return bad_command_line(program, "--threads wants a number of threads from 1 to 1024, found " + shown(n));
      opts.threads = static_cast<int>(v);
    } else if (options && arg.rfind("--solver=", 0) == 0 && std::string(program) == "domica_2") {
      opts.solver = arg.substr(9);
      if (opts.solver != "band" && opts.solver != "dense" && opts.solver != "sparse")
        return bad_command_line(program, "--solver wants band, dense or sparse, found " + shown(opts.solver));
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return bad_command_line(program, "unknown option " + shown(arg));
    } else if (folder) {
      return bad_command_line(program, "one folder only, found " + shown(folder) + " and " + shown(arg));
    } else {
      folder = argv[i];
    }
  }
  if (help) {
    return print(program, usage_line(program) + summary +
                              "\n"
                              "Reads weblar.txt and shell.txt in FOLDER (the current folder when none\n"
                              "is given) and writes autocad.scr and ansys.txt there.\n"
                              "  -h, --help   print this help and exit\n"
                              "  --version    print the version and exit\n"
                              "  --quiet      no progress or summary on standard error\n"
                              "  --vtu        also write shell.vtu, the found shell and its membrane\n"
                              "               forces for ParaView\n"
                              "  --ccx        also write shell.inp, a CalculiX deck of the found shell\n"
                              "  --threads=N  threads for the membrane energy (default: one on nets below\n"
                              "               20000 triangles, else one per CPU the run may use)\n" +
                              (std::string(program) == "domica_2"
                                   ? "  --solver=NAME  linear solver: band (exact, the default), dense (exact),\n"
                                     "               sparse (fill-reducing, rounds differently)\n"
                                   : "") +
                              "Exit status: 0 success, 2 bad input, 3 the solution failed,\n"
                              "4 a result file could not be written.\n");
  }
  if (version) return print(program, std::string(program) + " " + DOMICA_VERSION + "\n");
  if (folder && ::chdir(folder) != 0) {
    std::fprintf(stderr, "%s: cannot enter folder %s: %s\n", program, shown(folder).c_str(), std::strerror(errno));
    return exit_input;
  }
  return std::nullopt;
}

int program_main(const char* program, const char* summary, int argc, char** argv, void (*run)(const run_options&)) {
  run_options opts;
  if (auto end = command_line(program, summary, argc, argv, opts)) return *end;
  return guarded_main(program, [&] { run(opts); });
}

}  // namespace domica
