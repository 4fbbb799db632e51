// Every broken input of the catalogue, run as a user would run the program:
// one line on standard error naming the file, the line and the problem, the
// exit status of bad input, and no new or partial output file; the accepted
// variants (CR LF, tabs, no final line break) run through. Also a run whose
// output cannot be written. The runs are --quiet, so standard error holds only
// what went wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/testutil.h"

namespace fs = std::filesystem;

namespace {

struct entry {
  std::string name, target, expect;
  int program = 3, status = 0;
};

std::vector<entry> catalogue() {
  std::vector<entry> out;
  std::istringstream in(test::read(std::string(SOURCE_DIR) + "/tests/catalogue/cases.txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    entry e;
    std::string program, status;
    std::getline(fields, e.name, '\t');
    std::getline(fields, program, '\t');
    std::getline(fields, e.target, '\t');
    std::getline(fields, status, '\t');
    std::getline(fields, e.expect);
    e.program = std::stoi(program);
    e.status = std::stoi(status);
    out.push_back(e);
  }
  return out;
}

const char* exe(int program) { return program == 1 ? DOMICA_1_EXE : program == 2 ? DOMICA_2_EXE : DOMICA_3_EXE; }

// A folder with the base problem of the program, shell.txt and the outputs of an earlier run.
std::string prepared(int program) {
  std::string dir = test::temp_dir("catalogue");
  std::string cat = std::string(SOURCE_DIR) + "/tests/catalogue/";
  test::write(dir + "/weblar.txt", test::read(cat + "base_" + std::to_string(program) + ".txt"));
  test::write(dir + "/shell.txt", test::read(std::string(SOURCE_DIR) + "/examples/shell.txt"));
  test::write(dir + "/autocad.scr", "earlier autocad.scr\n");
  test::write(dir + "/ansys.txt", "earlier ansys.txt\n");
  return dir;
}

int files_in(const std::string& dir) {
  int k = 0;
  for (const auto& f : fs::directory_iterator(dir)) k += f.is_regular_file();
  return k;
}

}  // namespace

TEST(Catalogue, EveryCase) {
  std::vector<entry> cases = catalogue();
  ASSERT_GT(cases.size(), 40u);
  for (const entry& c : cases) {
    SCOPED_TRACE(c.name);
    std::string dir = prepared(c.program);
    std::string source = std::string(SOURCE_DIR) + "/tests/catalogue/cases/" + c.name;
    if (fs::exists(source))
      test::write(dir + "/" + c.target, test::read(source));
    else
      fs::remove(dir + "/" + c.target);
    int before = files_in(dir);
    test::run_result r = test::run(exe(c.program), dir, "", "--quiet");
    if (c.status == 0) {
      EXPECT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(test::read(dir + "/autocad.scr").substr(0, 9), "osmode 0\n");
      EXPECT_EQ(test::read(dir + "/ansys.txt").substr(0, 16), "/TITLE, SOLID65\n");
      continue;
    }
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, "");  // nothing was solved
    EXPECT_EQ(test::count_lines(r.err), 1) << r.err;
    std::string prefix = "domica_" + std::to_string(c.program) + ": ";
    EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.expect), std::string::npos) << r.err;
    EXPECT_EQ(test::read(dir + "/autocad.scr"), "earlier autocad.scr\n");
    EXPECT_EQ(test::read(dir + "/ansys.txt"), "earlier ansys.txt\n");
    EXPECT_EQ(files_in(dir), before);
  }
}

TEST(Catalogue, OutputThatCannotBeWritten) {
  // A file-size limit makes the writes fail part-way, as a full disk would;
  // the program ignores the limit's signal and reports the failed write.
  // 4 blocks let autocad.scr through and stop ansys.txt; 1 block stops both.
  // The two files are one result: both earlier files stay as they were.
  for (int blocks : {4, 1}) {
    SCOPED_TRACE(blocks);
    std::string dir = prepared(3);
    test::run_result r = test::run(DOMICA_3_EXE, dir, "ulimit -f " + std::to_string(blocks) + ";", "--quiet");
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_EQ(test::count_lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(blocks == 1 ? "autocad.scr: cannot write the file" : "ansys.txt: cannot write the file"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(test::read(dir + "/ansys.txt"), "earlier ansys.txt\n");
    EXPECT_EQ(test::read(dir + "/autocad.scr"), "earlier autocad.scr\n");
    EXPECT_EQ(files_in(dir), 4);  // no temporary file left behind
  }
}
