// How a run ends, as a user sees it: results of an unconverged solution are
// written but the status says so; a run that cannot write its results fails
// before solving; a signal or a failed halt leaves the earlier results and no
// temporary file; inputs that are not plain files are refused at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
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
  // A target below rounding (mntol 1e-16): every step ends above it, the
  // shape itself balanced to 1e-14.
  std::string dir = edited(test::example_dir("pneumatic_dome/domica_2"), "1e-10 200 4", "1e-16 20 4");
  test::run_result r = test::run(DOMICA_2_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 1) << r.err;
  std::vector<std::string> err = lines(r.err);
  ASSERT_EQ(err.size(), 4u) << r.err;
  EXPECT_EQ(err[0].rfind("domica_2: warning: load step 1 ended unconverged: largest out-of-balance force ", 0), 0u) << err[0];
  EXPECT_EQ(err[3].rfind("domica_2: load step 4 ended unconverged: largest out-of-balance force ", 0), 0u) << err[3];
  EXPECT_NE(err[3].find(", target "), std::string::npos);
  EXPECT_EQ(test::read(dir + "/autocad.scr").substr(0, 9), "osmode 0\n");
  EXPECT_EQ(test::read(dir + "/ansys.txt").substr(0, 16), "/TITLE, SOLID65\n");
  // An earlier step that did not settle, when the last one met its own
  // target: the later steps began off the load path, and the final state is
  // 80 times above the target against the full load.
  std::string net = std::string(SOURCE_DIR) + "/tests/golden/nets/domica_2-rect-load-pressure";
  dir = test::temp_dir("settled");
  fs::copy_file(net + "/weblar.txt", dir + "/weblar.txt");
  fs::copy_file(net + "/shell.txt", dir + "/shell.txt");
  r = test::run(DOMICA_2_EXE, dir);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("\ndomica_2: warning: load step 1 ended unconverged: "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nRun: NOT converged, final out-of-balance "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nAgainst the full load: out-of-balance 1.1"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("), NOT met\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\ndomica_2: the final state is above the target against the full load: "), std::string::npos) << r.err;
  // A first step that runs away (its out-of-balance to 5.6e35) while the
  // later ones each fall below their own enormous start, and one Newton
  // iteration a step on the dome: the final shape balances less than the
  // flat plan would, so the run diverged and nothing is written.
  dir = test::temp_dir("runaway");
  test::write(dir + "/weblar.txt", test::makenet("disc rings=3 radius=10 pressure=-1 young=1000 thickness=0.1 program=2 maxminor=50 mntol=1e-10"));
  fs::copy_file(net + "/shell.txt", dir + "/shell.txt");
  std::string dome = edited(test::example_dir("pneumatic_dome/domica_2"), "1e-10 200 4", "1e-10 1 4");
  for (const std::string& folder : {dir, dome}) {
    earlier(folder);
    r = test::run(DOMICA_2_EXE, folder, "", "--quiet");
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(r.err.rfind("domica_2: the solution diverged: the final largest out-of-balance force ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(" times that of the full load on the plan; no output written"), std::string::npos) << r.err;
    EXPECT_TRUE(earlier_kept(folder));
  }
  EXPECT_NE(r.err.find("force 7.7e+17 is 4.7e+17 times"), std::string::npos) << r.err;
  // No load step: the plan is written, with a warning, and the summary says
  // neither converged nor compressed.
  dir = edited(test::example_dir("pneumatic_dome/domica_3"), "2000 4 8", "2000 0 8");
  r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "domica_3: warning: maxmajor is 0: no load step was made, the results show the plan\n");
  EXPECT_NE(test::read(dir + "/autocad.scr").find("0.00000000E+00\n"), std::string::npos);
  r = test::run(DOMICA_3_EXE, dir, "", "--vtu");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("\nRun: no load step made (maxmajor is 0): the results show the plan\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nNo membrane forces: the surface carries no load.\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("In compression"), std::string::npos) << r.err;
}

TEST(Outcomes, StandardOutputThatCannotBeWrittenIsNoSuccess) {
  std::string dir = test::example_dir("pneumatic_dome/domica_3");
  std::string command = "cd '" + dir + "' && '" + DOMICA_3_EXE + "' --quiet > /dev/full 2> err.txt";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 4);
  EXPECT_EQ(test::read(dir + "/err.txt"), "domica_3: cannot write standard output; the result files are written\n");
  EXPECT_EQ(test::read(dir + "/autocad.scr").substr(0, 9), "osmode 0\n");
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
  // An immutable file (chattr +i, where the file system and the user allow
  // it) could be created beside but never renamed over: refused at once too.
  dir = test::example_dir("pneumatic_dome/domica_3");
  earlier(dir);
  std::string ansys = dir + "/ansys.txt";
  if (std::system(("chattr +i '" + ansys + "' 2>/dev/null").c_str()) != 0) return;
  r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  std::system(("chattr -i '" + ansys + "'").c_str());
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "domica_3: ansys.txt: cannot replace the file: it is immutable or append-only (chattr)\n");
  EXPECT_TRUE(earlier_kept(dir));
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

TEST(Outcomes, LineSearchFailureWritesTheShapeReachedAndTellsHowClose) {
  // mntol below what double precision reaches: the minimiser halts, restarts
  // from steepest descent, halts again, and the shape it reached is kept.
  std::string dir = edited(test::example_dir("pneumatic_dome/domica_3"), "1e-07", "1e-30");
  earlier(dir);
  test::run_result r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("Line Search Failure\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("also after a restart from steepest descent; the largest gradient component is "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" times the target (mntol = 1.0e-30): mntol may be below what double precision reaches"), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("the shape reached is written"), std::string::npos) << r.err;
  EXPECT_FALSE(earlier_kept(dir));
  EXPECT_TRUE(strays(dir).empty());
  // The shape is the dome's, to the tolerance it did reach.
  std::string done = test::example_dir("pneumatic_dome/domica_3");
  ASSERT_EQ(test::run(DOMICA_3_EXE, done, "", "--quiet").status, 0);
  EXPECT_EQ(test::count_lines(test::read(dir + "/autocad.scr")), test::count_lines(test::read(done + "/autocad.scr")));
}

// Under an address-space limit the sparse factorisation is refused before it
// starts (the BLAS below it would otherwise wait for memory for ever), with
// the amounts named.
TEST(Outcomes, AnAddressSpaceLimitIsAnsweredNotHung) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers' shadow memory needs an unlimited address space";
#else
  std::string dir = test::temp_dir("ulimit");
  test::write(dir + "/weblar.txt", test::makenet("disc rings=30 pressure=-1 program=2 maxmajor=2"));
  test::write(dir + "/shell.txt", test::shell_text);
  earlier(dir);
  std::string command = "cd '" + dir + "' && ulimit -v 200000 && timeout 120 '" + DOMICA_2_EXE +
                        "' --solver=sparse --quiet > /dev/null 2> err.txt";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 2);
  std::string err = test::read(dir + "/err.txt");
  EXPECT_EQ(err.rfind("domica_2: the net has n = 7833 unknowns; the sparse factorisation needs ", 0), 0u) << err;
  EXPECT_NE(err.find("more than the address space left under ulimit -v ("), std::string::npos) << err;
  EXPECT_EQ(err.find("-0.0"), std::string::npos) << err;
  EXPECT_TRUE(earlier_kept(dir));
#endif
}

// Another user's result in a folder where only owners may replace files
// (mode 1777, as /tmp): the rename would fail after the solution, so the
// run is refused before it. Run as nobody where the tests run as root.
TEST(Outcomes, AnotherUsersFileInAStickyFolderIsRefusedBeforeSolving) {
  if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs root and setpriv(1)";
  std::string dir = test::example_dir("pneumatic_dome/domica_3");
  earlier(dir);
  ASSERT_EQ(::chmod(dir.c_str(), 01777), 0);
  const std::string nobody = "cd '" + dir + "' && setpriv --reuid=65534 --regid=65534 --clear-groups ";
  if (std::system((nobody + "sh -c \"'" + DOMICA_3_EXE + "' --version && cat weblar.txt\" > /dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << "nobody cannot run the program or read the test folder here";
  int status = std::system((nobody + "'" + DOMICA_3_EXE + "' --quiet > out.txt 2> err.txt").c_str());
  std::string err = test::read(dir + "/err.txt");
  EXPECT_EQ(WEXITSTATUS(status), 4) << err;
  EXPECT_EQ(err, "domica_3: autocad.scr: cannot replace the file: it is another user's, in a folder only owners may change\n");
  EXPECT_EQ(test::read(dir + "/out.txt"), "");  // nothing was solved
  EXPECT_TRUE(earlier_kept(dir));
}

// A file mounted on a result (a bind mount) cannot be renamed over either:
// refused before solving. In a mount namespace of its own, where allowed.
TEST(Outcomes, AMountOnAResultIsRefusedBeforeSolving) {
  std::string dir = test::example_dir("pneumatic_dome/domica_3");
  earlier(dir);
  test::write(dir + "/other.txt", "mounted\n");
  std::string can = "cd '" + dir + "' && unshare -m sh -c 'mount --bind other.txt ansys.txt' 2>/dev/null";
  if (std::system(can.c_str()) != 0) GTEST_SKIP() << "needs unshare -m and mount --bind (root)";
  std::string command = "cd '" + dir + "' && unshare -m sh -c \"mount --bind other.txt ansys.txt && exec '" + DOMICA_3_EXE +
                        "' --quiet\" > out.txt 2> err.txt";
  int status = std::system(command.c_str());
  std::string err = test::read(dir + "/err.txt");
  EXPECT_EQ(WEXITSTATUS(status), 4) << err;
  EXPECT_EQ(err, "domica_3: ansys.txt: cannot replace the file (something is mounted on it): Device or resource busy\n");
  EXPECT_EQ(test::read(dir + "/out.txt"), "");
  EXPECT_TRUE(earlier_kept(dir));
}
