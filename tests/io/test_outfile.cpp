// The result files reach the disk before any of them replaces its target: a
// program run with tests/io/sync_log.cpp preloaded flushes the temporary
// file of every result before the first rename, and renames each onto its
// own target.
#include <gtest/gtest.h>

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
