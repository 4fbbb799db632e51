#include "app/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/failure.h"
#include "domica/version.h"

namespace domica {

namespace {

// The program's own option that `arg` gives (NAME=VALUE), if any.
const program_option* own_option(const program_def& prog, const std::string& arg) {
  for (const program_option& o : prog.options)
    if (arg.rfind(o.name + "=", 0) == 0) return &o;
  return nullptr;
}

// An argument as typed, in quotes, with unprintable bytes as \xNN; paths are
// shown whole, unlike input text in the readers' messages.
std::string shown(const std::string& arg) { return quoted(arg, std::string::npos); }

std::string usage_line(const program_def& prog) {
  std::string own;
  for (const program_option& o : prog.options) own += " " + o.usage;
  return std::string("usage: ") + program_name(prog.variant) + " [--help] [--version] [--quiet] [--vtu] [--ccx] [--check] [--snow=S] [--json] [--dxf] [--obj]"
         " [--rise=H] [--upright] [--threads=N]" + own +
         " [FOLDER]\n";
}

// What chdir into `folder` would say: the folder must exist, be a folder and
// be searchable. Returns 0 or the errno.
int enterable(const char* folder) {
  struct stat st;
  if (::stat(folder, &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  if (::access(folder, X_OK) != 0) return errno;
  return 0;
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

int bad_command_line(const program_def& prog, const std::string& line) {
  std::fprintf(stderr, "%s: %s\n%s", program_name(prog.variant), line.c_str(), usage_line(prog).c_str());
  return exit_input;
}

}  // namespace

std::optional<int> command_line(const program_def& prog, int argc, char** argv, run_options& opts) {
  const char* program = program_name(prog.variant);
  bool help = false, version = false, options = true, snow = false;
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
    } else if (options && arg == "--check") {
      opts.check = opts.ccx = true;
    } else if (options && arg.rfind("--snow=", 0) == 0) {
      std::string h = arg.substr(7);
      char* end = nullptr;
      errno = 0;
      double v = std::strtod(h.c_str(), &end);
      if (h.empty() || *end != '\0' || std::isspace(static_cast<unsigned char>(h[0])) || !std::isfinite(v) || !(v >= 0.0) || errno == ERANGE)
        return bad_command_line(prog, "--snow wants a snow load per plan area of 0 or more, found " + shown(h));
      opts.snow = v == 0.0 ? 0.0 : v;
      snow = true;
    } else if (options && arg == "--json") {
      opts.json = true;
    } else if (options && arg == "--dxf") {
      opts.dxf = true;
    } else if (options && arg == "--obj") {
      opts.obj = true;
    } else if (options && arg == "--upright") {
      opts.upright = true;
    } else if (options && arg.rfind("--rise=", 0) == 0) {
      std::string h = arg.substr(7);
      char* end = nullptr;
      errno = 0;
      double v = std::strtod(h.c_str(), &end);
      if (h.empty() || *end != '\0' || std::isspace(static_cast<unsigned char>(h[0])) || !std::isfinite(v) || !(v > 0.0) || errno == ERANGE)
        return bad_command_line(prog, "--rise wants a rise greater than 0, found " + shown(h));
      opts.rise = v;
    } else if (options && arg.rfind("--threads=", 0) == 0) {
      std::string n = arg.substr(10);
      char* end = nullptr;
      long v = std::strtol(n.c_str(), &end, 10);
      if (n.empty() || *end != '\0' || v < 1 || v > 1024)
        return bad_command_line(prog, "--threads wants a number of threads from 1 to 1024, found " + shown(n));
      opts.solve.threads = static_cast<int>(v);
    } else if (const program_option* own = options ? own_option(prog, arg) : nullptr) {
      std::string wrong = own->read(arg.substr(own->name.size() + 1), opts);
      if (!wrong.empty()) return bad_command_line(prog, wrong);
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return bad_command_line(prog, "unknown option " + shown(arg));
    } else if (folder) {
      return bad_command_line(prog, "one folder only, found " + shown(folder) + " and " + shown(arg));
    } else {
      folder = argv[i];
    }
  }
  if (snow && !opts.ccx && !help && !version) return bad_command_line(prog, "--snow loads the deck of --ccx or --check; give one of them");
  if (help) {
    std::string own;
    for (const program_option& o : prog.options) own += o.help;
    return print(program, usage_line(prog) + prog.summary +
                              "\n"
                              "Reads weblar.txt and shell.txt in FOLDER (the current folder when none\n"
                              "is given) and writes autocad.scr and ansys.txt there.\n"
                              "  -h, --help   print this help and exit\n"
                              "  --version    print the version and exit\n"
                              "  --quiet      no progress or summary on standard error\n"
                              "  --vtu        also write shell.vtu, the found shell and its membrane\n"
                              "               forces for ParaView\n"
                              "  --ccx        also write shell.inp, a CalculiX deck of the found shell:\n"
                              "               its load cases and a linear buckling step\n"
                              "  --check      --ccx, then run CalculiX (ccx) on shell.inp and write\n"
                              "               check.json: displacements, principal stresses, reactions\n"
                              "               and buckling factors; a summary on standard error\n"
                              "  --snow=S     snow load S per unit plan area (units of shell.txt, down)\n"
                              "               as the load cases snow and half snow of shell.inp\n"
                              "  --json       also write summary.json, the run and the shell's figures\n"
                              "  --dxf        also write shell.dxf, the found surface as 3DFACEs for CAD\n"
                              "  --obj        also write shell.obj, the found surface as a Wavefront mesh\n"
                              "  --rise=H     find the form of rise H (highest minus lowest node) by\n"
                              "               scaling young; standard error names the young found\n"
                              "  --upright    the compression shell: the form found hanging from the\n"
                              "               supports' heights negated, every result mirrored z -> -z\n"
                              "               (all loads must act downwards)\n"
                              "  --threads=N  threads for the membrane energy (default: one on nets below\n"
                              "               40000 triangles, else one per CPU the run may use)\n" +
                              own +
                              "Exit status: 0 success, 1 results written but the solution did not\n"
                              "converge, 2 bad input, 3 the solution failed, 4 a result file could not\n"
                              "be written, 5 an internal fault, 130 or 143 ended by SIGINT or SIGTERM.\n");
  }
  if (version) return print(program, std::string(program) + " " + DOMICA_VERSION + "\n");
  if (folder) {
    if (int err = enterable(folder)) {
      std::fprintf(stderr, "%s: cannot enter folder %s: %s\n", program, shown(folder).c_str(), std::strerror(err));
      return exit_input;
    }
    opts.folder = folder;
  }
  return std::nullopt;
}

program_option method_option() {
  return {"--method", "[--method=NAME]",
          "  --method=NAME  minimiser of each load step: lbfgs (limited-memory BFGS, the\n"
          "               default) or newton (sparse Newton, for fine nets; rounds differently)\n",
          [](const std::string& v, run_options& o) -> std::string {
            if (v == "lbfgs") o.solve.method = minimiser::lbfgs;
            else if (v == "newton") o.solve.method = minimiser::newton;
            else return "--method wants lbfgs or newton, found " + quoted(v, std::string::npos);
            return "";
          }};
}

}  // namespace domica
