// How a run ends, as a user sees it: results of an unconverged solution are
// written but the status says so; a run that cannot write its results fails
// before solving; a signal or a failed halt leaves the earlier results and no
// temporary file; inputs that are not plain files are refused at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/testutil.h"

namespace fs = std::filesystem;

namespace {

std::string edited(const std::string& dir, const std::string& from, const std::string& to) {
  std::string text = test::read(dir + "/weblar.txt");
  std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  test::write(dir + "/weblar.txt", text);
  return dir;
}

// Earlier results in dir, to be kept or replaced as a pair.
void earlier(const std::string& dir) {
  test::write(dir + "/autocad.scr", "earlier autocad.scr\n");
  test::write(dir + "/ansys.txt", "earlier ansys.txt\n");
}

bool earlier_kept(const std::string& dir) {
  return test::read(dir + "/autocad.scr") == "earlier autocad.scr\n" && test::read(dir + "/ansys.txt") == "earlier ansys.txt\n";
}

// Names in dir that are neither inputs nor results: temporary files.
std::vector<std::string> strays(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& f : fs::directory_iterator(dir)) {
    std::string name = f.path().filename().string();
    if (name != "weblar.txt" && name != "shell.txt" && name != "autocad.scr" && name != "ansys.txt") out.push_back(name);
  }
  return out;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos) out.push_back(text.substr(start, end - start)), start = end + 1;
  return out;
}

}  // namespace

TEST(Outcomes, UnconvergedResultsAreWrittenWithStatusOne) {
  // One Newton iteration per step: every step ends far from balance.
  std::string dir = edited(test::example_dir("pneumatic_dome/domica_2"), "1e-10 200 4", "1e-10 1 4");
  test::run_result r = test::run(DOMICA_2_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 1) << r.err;
  std::vector<std::string> err = lines(r.err);
  ASSERT_EQ(err.size(), 4u) << r.err;
  EXPECT_EQ(err[0].rfind("domica_2: warning: load step 1 ended unconverged: largest out-of-balance force ", 0), 0u) << err[0];
  EXPECT_EQ(err[3].rfind("domica_2: load step 4 ended unconverged: largest out-of-balance force ", 0), 0u) << err[3];
  EXPECT_NE(err[3].find(", target "), std::string::npos);
  EXPECT_EQ(test::read(dir + "/autocad.scr").substr(0, 9), "osmode 0\n");
  EXPECT_EQ(test::read(dir + "/ansys.txt").substr(0, 16), "/TITLE, SOLID65\n");
  // An earlier step that did not settle, when the last one did: a warning only.
  std::string net = std::string(SOURCE_DIR) + "/tests/golden/nets/domica_2-rect-load-pressure";
  dir = test::temp_dir("settled");
  fs::copy_file(net + "/weblar.txt", dir + "/weblar.txt");
  fs::copy_file(net + "/shell.txt", dir + "/shell.txt");
  r = test::run(DOMICA_2_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
  EXPECT_EQ(r.err.rfind("domica_2: warning: load step 1 ended unconverged: ", 0), 0u) << r.err;
  // No load step: the plan is written, with a warning.
  dir = edited(test::example_dir("pneumatic_dome/domica_3"), "2000 4 8", "2000 0 8");
  r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "domica_3: warning: maxmajor is 0: no load step was made, the results show the plan\n");
  EXPECT_NE(test::read(dir + "/autocad.scr").find("0.00000000E+00\n"), std::string::npos);
}

TEST(Outcomes, OutputsThatCannotBeWrittenFailBeforeSolving) {
  std::string dir = test::example_dir("pneumatic_dome/domica_3");
  earlier(dir);
  fs::remove(dir + "/ansys.txt");
  fs::create_directory(dir + "/ansys.txt");
  test::run_result r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");  // nothing was solved
  EXPECT_EQ(r.err, "domica_3: ansys.txt: cannot replace the file: Is a directory\n");
  EXPECT_EQ(test::read(dir + "/autocad.scr"), "earlier autocad.scr\n");
  EXPECT_TRUE(strays(dir).empty());
}

TEST(Outcomes, SignalsLeaveTheEarlierResultsAndNoTemporaryFile) {
  // The large dome takes seconds: the signal comes while it is solving.
  for (const char* sig : {"INT", "TERM"}) {
    SCOPED_TRACE(sig);
    std::string dir = test::example_dir("large_dome/domica_3");
    earlier(dir);
    test::run_result r = test::run(DOMICA_3_EXE, dir, std::string("timeout --preserve-status -s ") + sig + " 0.5", "--quiet");
    EXPECT_EQ(r.status, std::string(sig) == "INT" ? 130 : 143) << r.err;
    EXPECT_TRUE(earlier_kept(dir));
    EXPECT_TRUE(strays(dir).empty());
  }
}

TEST(Outcomes, InputsThatAreNotPlainFilesAreRefusedAtOnce) {
  std::string dir = test::example_dir("pneumatic_dome/domica_3");
  fs::remove(dir + "/weblar.txt");
  fs::create_directory(dir + "/weblar.txt");
  test::run_result r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "domica_3: weblar.txt: is not a regular file (a directory)\n");
  fs::remove(dir + "/shell.txt");
  ASSERT_EQ(::mkfifo((dir + "/shell.txt").c_str(), 0600), 0);
  fs::remove(dir + "/weblar.txt");
  fs::copy_file(std::string(SOURCE_DIR) + "/examples/pneumatic_dome/domica_3/weblar.txt", dir + "/weblar.txt");
  r = test::run(DOMICA_3_EXE, dir, "timeout 20", "--quiet");  // a FIFO must not block the run
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "domica_3: shell.txt: is not a regular file (a FIFO)\n");
}

TEST(Outcomes, LineSearchFailureTellsHowFarTheGradientFell) {
  std::string dir = edited(test::example_dir("pneumatic_dome/domica_3"), "1e-07", "1e-30");
  earlier(dir);
  test::run_result r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(lines(r.out).back(), "Line Search Failure");
  EXPECT_NE(r.err.find("the largest gradient component had fallen to "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" of its start value, against mntol = 1.0e-30: mntol may be below what double precision reaches"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(earlier_kept(dir));
  EXPECT_TRUE(strays(dir).empty());
}
