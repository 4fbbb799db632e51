#include "bench/disc.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "io/input.h"

namespace domica {

problem hencky_disc(int rings, program p, bool rcm) {
  const char* number = p == program::domica_1 ? "1" : p == program::domica_2 ? "2" : "3";
  std::string path = (std::filesystem::temp_directory_path() / ("domica_bench_disc_" + std::to_string(rings) + "_" + number +
                                                                (rcm ? "_rcm" : "_rings") + ".txt"))
                         .string();
  std::string command = std::string("'") + MAKENET_EXE + "' disc radius=1 young=10000 poisson=0.3 thickness=0.1 pressure=-1 program=" +
                        number + " rings=" + std::to_string(rings) + (rcm ? " numbering=rcm" : " numbering=rings") + " > '" + path +
                        "'";
  if (std::system(command.c_str()) != 0) std::abort();
  problem out = input(p, path, "weblar.txt");
  std::filesystem::remove(path);
  return out;
}

}  // namespace domica
