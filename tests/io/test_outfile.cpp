// The result files reach the disk before any of them replaces its target: a
// program run with tests/io/sync_log.cpp preloaded flushes the temporary
// file of every result before the first rename, and renames each onto its
// own target. A failed rename and a locked folder leave no mixed set.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/testutil.h"

namespace fs = std::filesystem;

TEST(Outfile, EveryResultFlushedBeforeTheFirstRename) {
  std::string dir = fs::canonical(test::example_dir("pneumatic_dome/domica_3")).string();
  std::string log = dir + "/sync.log";
  test::run_result r = test::run(DOMICA_3_EXE, dir, "LD_PRELOAD='" SYNC_LOG_PRELOAD "' SYNC_LOG='" + log + "'", "--vtu");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(test::exists(log)) << "the preloaded library logged nothing";
  std::istringstream in(test::read(log));
  std::string what, from, to, line;
  std::set<std::string> flushed, targets;
  bool renaming = false;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    words >> what >> from;
    if (what == "fsync") {
      if (!renaming) flushed.insert(from);
      continue;
    }
    ASSERT_EQ(what, "rename") << line;
    words >> to;
    renaming = true;
    EXPECT_EQ(from.substr(0, to.size() + 1), to + ".") << "a temporary file beside its target: " << line;
    EXPECT_TRUE(flushed.count(from)) << from << " renamed without being flushed before the first rename";
    targets.insert(to);
  }
  EXPECT_EQ(targets, (std::set<std::string>{dir + "/ansys.txt", dir + "/autocad.scr", dir + "/shell.vtu"}));
}

// A rename that fails after others were done (an immutable file, another
// user's file in /tmp, a mount on the file) puts the replaced files back: the
// earlier results stay a set, a result that was new is gone again.
TEST(Outfile, AFailedRenamePutsTheReplacedFilesBack) {
  std::string dir = fs::canonical(test::example_dir("pneumatic_dome/domica_3")).string();
  test::write(dir + "/autocad.scr", "earlier autocad.scr\n");
  test::write(dir + "/ansys.txt", "earlier ansys.txt\n");
  test::run_result r = test::run(DOMICA_3_EXE, dir, "LD_PRELOAD='" SYNC_LOG_PRELOAD "' SYNC_FAIL_RENAME=shell.vtu", "--quiet --vtu");
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_EQ(r.err,
            "domica_3: shell.vtu: cannot replace the file: Permission denied; the files replaced before it are put back as they were\n");
  EXPECT_EQ(test::read(dir + "/autocad.scr"), "earlier autocad.scr\n");
  EXPECT_EQ(test::read(dir + "/ansys.txt"), "earlier ansys.txt\n");
  std::set<std::string> names;
  for (const auto& f : fs::directory_iterator(dir)) names.insert(f.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"weblar.txt", "shell.txt", "autocad.scr", "ansys.txt"}));
}

// Two runs in one folder put their sets in place one after the other: a run
// whose folder is locked (as by another run's renames) waits with its files
// written aside, and replaces the results whole once the lock is free.
TEST(Outfile, ARunWaitsForAnotherRunsSetInTheSameFolder) {
  std::string dir = fs::canonical(test::example_dir("pneumatic_dome/domica_3")).string();
  test::write(dir + "/autocad.scr", "earlier autocad.scr\n");
  // O_CLOEXEC: the run must not inherit the locked descriptor itself.
  int lock = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(dir.c_str()) == 0 && std::freopen("/dev/null", "w", stdout))
      ::execl(DOMICA_3_EXE, DOMICA_3_EXE, "--quiet", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  struct reaper {  // a failed check must not leave the run waiting for ever
    pid_t pid;
    ~reaper() {
      if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
    }
  } reap{child};
  // Its temporary files appear once it has solved; it then waits.
  auto aside = [&] {
    int k = 0;
    for (const auto& f : fs::directory_iterator(dir)) k += f.path().filename().string().rfind("autocad.scr.", 0) == 0;
    return k;
  };
  for (int tries = 0; tries < 1200 && aside() == 0; ++tries) ::usleep(50000);
  ASSERT_EQ(aside(), 1);
  ::usleep(300000);
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the run did not wait for the lock";
  EXPECT_EQ(test::read(dir + "/autocad.scr"), "earlier autocad.scr\n");
  ::close(lock);
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  reap.pid = 0;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(test::read(dir + "/autocad.scr").substr(0, 9), "osmode 0\n");
  EXPECT_EQ(aside(), 0);
}

// SIGINT while a run renames its set: the signal waits until the set is in
// place, then the run ends by it (status 130 in a shell) with the new set
// whole. (While it solves, the handler runs on the main thread only, which
// then cannot go on to the renames: tests/mechanics/test_pool.cpp.)
TEST(Outfile, ASignalDuringTheRenamesWaitsForTheWholeSet) {
  std::string dir = fs::canonical(test::example_dir("pneumatic_dome/domica_3")).string();
  test::write(dir + "/autocad.scr", "earlier autocad.scr\n");
  test::write(dir + "/ansys.txt", "earlier ansys.txt\n");
  std::string log = dir + "/sync.log";
  pid_t child = ::fork();
  if (child == 0) {
    ::setenv("LD_PRELOAD", SYNC_LOG_PRELOAD, 1);
    ::setenv("SYNC_LOG", log.c_str(), 1);
    ::setenv("SYNC_RENAME_DELAY_MS", "300", 1);
    ::signal(SIGINT, SIG_DFL);  // as from a terminal, also where the tests run with it ignored
    if (::chdir(dir.c_str()) == 0 && std::freopen("/dev/null", "w", stdout))
      ::execl(DOMICA_3_EXE, DOMICA_3_EXE, "--quiet", "--vtu", "--threads=3", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  for (int tries = 0; tries < 1200 && !(test::exists(log) && test::read(log).find("rename ") != std::string::npos); ++tries)
    ::usleep(10000);
  ASSERT_NE(test::read(log).find("rename "), std::string::npos);
  ::kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_EQ(test::read(dir + "/autocad.scr").substr(0, 9), "osmode 0\n");
  EXPECT_EQ(test::read(dir + "/ansys.txt").substr(0, 16), "/TITLE, SOLID65\n");
  EXPECT_TRUE(test::exists(dir + "/shell.vtu"));
  int stray = 0;
  for (const auto& f : fs::directory_iterator(dir)) stray += f.path().filename().string().find(".txt.") != std::string::npos;
  EXPECT_EQ(stray, 0);
}

// When the system starts no thread (ulimit -u), the energy runs on the
// calling thread alone, says so, and gives the same results.
TEST(Outfile, NoThreadToStartMeansOneThreadAndAWarning) {
  std::string one = fs::canonical(test::example_dir("pneumatic_dome/domica_3")).string();
  std::string none = fs::canonical(test::example_dir("pneumatic_dome/domica_3")).string();
  test::run_result a = test::run(DOMICA_3_EXE, one, "", "--quiet --threads=1");
  test::run_result b = test::run(DOMICA_3_EXE, none, "LD_PRELOAD='" SYNC_LOG_PRELOAD "' SYNC_FAIL_THREADS=1", "--quiet --threads=3");
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_EQ(b.err, "domica_3: warning: only 1 of 3 threads could be started; the energy runs on those, with the same results\n");
  EXPECT_TRUE(test::read(one + "/autocad.scr") == test::read(none + "/autocad.scr"));
}
