// The outcome of a run: what guarded_main makes of each way a body can end.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "model/failure.h"
#include "app/report.h"

using namespace domica;

TEST(GuardedMain, EveryEndHasItsStatusAndOneLine) {
  struct {
    void (*body)();
    int status;
    const char* line;
  } cases[] = {
      {[] {}, 0, ""},
      {[] { throw failure(exit_output, "ansys.txt: cannot write the file"); }, 4, "x: ansys.txt: cannot write the file\n"},
      {[] { throw std::bad_alloc(); }, 3,
       "x: out of memory: the run needed more than it could get (this machine's memory or ulimit -v); no output written\n"},
      {[] { throw std::logic_error("broken"); }, 5, "x: internal error: broken\n"},
      {[] { throw 42; }, 5, "x: internal error: an unexpected failure of the program\n"},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(guarded_main("x", c.body), c.status);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
  }
}
