// The frozen default: every program, run with no arguments on the bundled
// examples and on the recorded nets of tests/golden/nets, gives byte for byte
// the standard output and the two result files recorded in
// tests/golden/expected (the elapsed-time line aside). The records were made
// by tests/golden/make_golden.sh with the reference build, every case with the
// shell data frozen in tests/golden/shell.txt (the examples' own shell.txt may
// change; only ansys.txt would show it).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/testutil.h"

namespace fs = std::filesystem;

namespace {

const fs::path golden = fs::path(SOURCE_DIR) / "tests" / "golden";

std::vector<std::string> cases() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(golden / "expected")) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// "pneumatic_dome-domica_3" is examples/pneumatic_dome/domica_3; any other
// name is a folder of nets/ whose name begins with the program.
fs::path input_dir(const std::string& name, std::string& program) {
  fs::path nets = golden / "nets" / name;
  if (fs::exists(nets)) {
    program = name.substr(0, name.find('-'));
    return nets;
  }
  std::size_t dash = name.rfind('-');
  program = name.substr(dash + 1);
  return fs::path(SOURCE_DIR) / "examples" / name.substr(0, dash) / program;
}

std::string exe(const std::string& program) {
  if (program == "domica_1") return DOMICA_1_EXE;
  if (program == "domica_2") return DOMICA_2_EXE;
  return DOMICA_3_EXE;
}

class golden_case : public ::testing::TestWithParam<std::string> {};

TEST_P(golden_case, output_and_files_are_byte_identical) {
  std::string program;
  fs::path in = input_dir(GetParam(), program);
  fs::path expected = golden / "expected" / GetParam();
  std::string dir = test::temp_dir("golden");
  fs::copy_file(in / "weblar.txt", fs::path(dir) / "weblar.txt");
  fs::copy_file(golden / "shell.txt", fs::path(dir) / "shell.txt");
  test::run_result r = test::run(exe(program), dir);
  // A case that ends unconverged holds its exit status in a file "status".
  int status = fs::exists(expected / "status") ? std::stoi(test::read((expected / "status").string())) : 0;
  EXPECT_EQ(r.status, status) << r.err;
  EXPECT_EQ(test::mask_elapsed(r.out), test::mask_elapsed(test::read((expected / "stdout.txt").string())));
  for (const char* file : {"autocad.scr", "ansys.txt"})
    EXPECT_TRUE(test::read(dir + "/" + file) == test::read((expected / file).string())) << file << " differs";
}

INSTANTIATE_TEST_SUITE_P(every_program, golden_case, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
