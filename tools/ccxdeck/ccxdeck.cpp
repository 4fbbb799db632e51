// ccxdeck: writes to standard output a CalculiX deck of the membrane problem
// of a weblar.txt on its flat plan, for side-by-side runs (bench/side_by_side).
//
//   ccxdeck [program=1|2|3] [FOLDER]
//
// Reads FOLDER/weblar.txt (the current folder's without one) with the
// parameter blocks of the named program [3] and writes the deck of
// membrane_deck (io/ccx.h): thin S3 shells that keep the membrane
// stiffness E h, the prescribed displacements, the weight, the pressure as a
// follower load and the point loads, in one geometrically nonlinear step.
// A bad argument or a bad weblar.txt ends it with status 2 and one line on
// standard error, nothing written.
//
// 1. Read the arguments and the problem.
// 2. Write the deck of the flat plan.
#include <csignal>
#include <cstdio>
#include <string>

#include "io/ccx.h"
#include "model/failure.h"
#include "io/input.h"

int main(int argc, char** argv) {
  std::signal(SIGXFSZ, SIG_IGN);  // a write over the file-size limit fails with a message
  domica::program variant = domica::program::domica_3;
  std::string folder = ".";
  for (int k = 1; k < argc; ++k) {
    std::string arg = argv[k];
    if (arg == "program=1") {
      variant = domica::program::domica_1;
    } else if (arg == "program=2") {
      variant = domica::program::domica_2;
    } else if (arg == "program=3") {
      variant = domica::program::domica_3;
    } else if (arg.empty() || arg[0] == '-' || arg.find('=') != std::string::npos || folder != ".") {
      std::fprintf(stderr, "ccxdeck: bad argument \"%s\"\nusage: ccxdeck [program=1|2|3] [FOLDER] > deck.inp\n", arg.c_str());
      return 2;
    } else {
      folder = arg;
    }
  }
  try {
    domica::problem p = domica::input(variant, folder + "/weblar.txt", "weblar.txt");
    domica::fmat2 pos(p.nt.nn, 3);
    for (int glob = 1; glob <= p.nt.nn; ++glob) {
      pos(glob, 1) = p.nt.xo(glob);
      pos(glob, 2) = p.nt.yo(glob);
    }
    std::string deck = domica::ccx_text(p.nt, pos, domica::membrane_deck(p.mat, p.load));
    if (std::fwrite(deck.data(), 1, deck.size(), stdout) != deck.size() || std::fflush(stdout) != 0) {
      std::fprintf(stderr, "ccxdeck: cannot write standard output\n");
      return 4;
    }
  } catch (const domica::failure& f) {
    std::fprintf(stderr, "ccxdeck: %s\n", f.what());
    return f.status;
  }
  return 0;
}
