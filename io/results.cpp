#include "io/results.h"

#include <cstdio>

#include "io/ansys.h"
#include "io/autocad.h"
#include "io/outfile.h"
#include "app/report.h"

namespace domica {

void print_elapsed(double seconds) {
  std::fputs("\n", stdout);
  std::fputs(elapsed_line(seconds).c_str(), stdout);
  std::fflush(stdout);
}

std::vector<out_file> result_files(const std::vector<std::string>& extra) {
  std::vector<out_file> set = {{"autocad.scr", "autocad.scr", ""}, {"ansys.txt", "ansys.txt", ""}};
  for (const std::string& name : extra) set.push_back({name, name, ""});
  return set;
}

void write_results(const net& nt, const surface& sf, const shell_rec& shell, const std::vector<out_file>& extra) {
  std::vector<out_file> set = result_files();
  // Every text is made, and so checked, before anything is written.
  set[0].text = autocad_text(nt, sf);
  set[1].text = ansys_text(nt, sf, shell);
  set.insert(set.end(), extra.begin(), extra.end());
  write_set(set);
}

}  // namespace domica
