// The worker pool must run every part of every run exactly once, also when a
// worker has gone to sleep between runs or wakes as a run begins.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "mechanics/pool.h"

using namespace domica;

TEST(Pool, RunsEveryPartOnceWhetherTheWorkersSpinOrSleep) {
  for (int threads : {1, 2, 3}) {
    worker_pool pool(threads);
    std::vector<int> counts(static_cast<std::size_t>(threads));
    int runs = 0;
    // Back to back (the workers spin), then after pauses of about and well
    // past the spinning time (the workers go to sleep, or are just going).
    for (int pause_us : {0, 0, 0, 900, 1000, 1100, 3000, 0, 0}) {
      std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
      for (int k = 0; k < 50; ++k, ++runs)
        pool.run([&](int part) { ++counts[static_cast<std::size_t>(part)]; });
    }
    for (int c : counts) EXPECT_EQ(c, runs) << threads << " threads";
  }
}
