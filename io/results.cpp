#include "io/results.h"

#include "io/ansys.h"
#include "io/autocad.h"
#include "io/outfile.h"

namespace domica {

std::vector<out_file> result_files(const std::string& folder, const std::vector<std::string>& extra) {
  std::vector<out_file> set = {{in_folder(folder, "autocad.scr"), "autocad.scr", ""}, {in_folder(folder, "ansys.txt"), "ansys.txt", ""}};
  for (const std::string& name : extra) set.push_back({in_folder(folder, name), name, ""});
  return set;
}

void write_results(const std::string& folder, const net& nt, const surface& sf, const shell_rec& shell, const std::vector<out_file>& extra) {
  std::vector<out_file> set = result_files(folder);
  // Every text is made, and so checked, before anything is written.
  set[0].text = autocad_text(nt, sf);
  set[1].text = ansys_text(nt, sf, shell);
  set.insert(set.end(), extra.begin(), extra.end());
  write_set(set);
}

}  // namespace domica
