// The worker pool must run every part of every stage exactly once, each stage
// after the one before, also when the workers have gone to sleep between runs
// or wake as a run begins; and with all its threads on one CPU it must not
// wait for a worker that cannot run.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mechanics/pool.h"

using namespace domica;

TEST(Pool, RunsEveryPartOnceStageAfterStageWhetherTheWorkersSpinOrSleep) {
  for (int threads : {1, 2, 3}) {
    worker_pool pool(threads);
    const std::size_t parts = static_cast<std::size_t>(threads);
    // Plain (not atomic) marks: the stages' hand-over must make them seen.
    std::vector<long> first(parts), second(parts), third(parts);
    std::vector<long> late(parts);  // per part: marks of the stage before not yet made
    long runs = 0;
    // Back to back (the workers spin), then after pauses of about and well
    // past the spinning time (the workers go to sleep, or are just going).
    for (int pause_us : {0, 0, 3, 5, 8, 50, 1000, 0, 0}) {
      std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
      for (int k = 0; k < 50; ++k) {
        ++runs;
        pool.run(3, [&](int stage, int part) {
          std::vector<long>& mine = stage == 0 ? first : stage == 1 ? second : third;
          const std::vector<long>* before = stage == 1 ? &first : stage == 2 ? &second : nullptr;
          if (before)
            for (long b : *before) late[static_cast<std::size_t>(part)] += b != runs;
          ++mine[static_cast<std::size_t>(part)];
        });
      }
    }
    for (long l : late) EXPECT_EQ(l, 0) << threads << " threads";
    for (const std::vector<long>* marks : {&first, &second, &third})
      for (long c : *marks) EXPECT_EQ(c, runs) << threads << " threads";
  }
}

TEST(Pool, OnOneCpuRunsWithoutWaitingLongForItsWorkers) {
  cpu_set_t was, one;
  ASSERT_EQ(sched_getaffinity(0, sizeof was, &was), 0);
  int cpu = 0;
  while (!CPU_ISSET(cpu, &was)) ++cpu;
  CPU_ZERO(&one);
  CPU_SET(cpu, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  {
    // The workers inherit the one CPU.
    worker_pool pool(3);
    std::vector<int> counts(3);
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < 1000; ++k) pool.run(2, [&](int stage, int part) { counts[static_cast<std::size_t>(part)] += stage; });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Tens of microseconds a run; threads that waited spinning for a
    // partner sharing their CPU would take milliseconds.
    EXPECT_LT(seconds, 1.0);
    for (int c : counts) EXPECT_EQ(c, 1000);
  }
  ASSERT_EQ(sched_setaffinity(0, sizeof was, &was), 0);
}

// The workers never take SIGINT or SIGTERM, so the process's handlers run on
// the calling thread, which blocks both while it renames a set of results.
TEST(Pool, WorkersBlockInterruptAndTerminate) {
  auto tasks = [] {
    std::set<std::string> out;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) out.insert(task.path().filename().string());
    return out;
  };
  const std::set<std::string> before = tasks();
  worker_pool pool(3);
  ASSERT_EQ(pool.threads(), 3);
  int workers = 0;
  for (const std::string& task : tasks()) {
    if (before.count(task)) continue;  // the caller, a sanitizer's own thread
    std::ifstream status("/proc/self/task/" + task + "/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("SigBlk:", 0) == 0) {
        unsigned long long blocked = std::stoull(line.substr(7), nullptr, 16);
        EXPECT_TRUE(blocked & (1ull << (SIGINT - 1))) << line;
        EXPECT_TRUE(blocked & (1ull << (SIGTERM - 1))) << line;
        ++workers;
      }
  }
  EXPECT_GE(workers, 2);  // the two workers, and under TSan its own thread
  sigset_t mine;
  pthread_sigmask(SIG_BLOCK, nullptr, &mine);
  EXPECT_FALSE(sigismember(&mine, SIGINT));  // the caller's mask is as it was
}
