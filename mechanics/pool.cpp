#include "mechanics/pool.h"

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <system_error>

namespace domica {

namespace {

// A ticket: the run's number (bits 24 and up), its parts (bits 12 to 23) and
// the next part to take (bits 0 to 11). The run's number in it keeps a
// worker that wakes late from taking a part of a run already over.
constexpr std::uint64_t part_bits = 12;
constexpr std::uint64_t part_mask = (std::uint64_t{1} << part_bits) - 1;

// The longest a thread spins before it sleeps: a partner that is running
// answers well within it, and one that is not costs no more than this.
constexpr auto spin_time = std::chrono::microseconds(5);

// Wait until ready(a's value), spinning for up to spin_time and then sleeping
// on a; returns the value that was ready. Every look is an acquire, so what
// was written before the value was stored is seen after.
template <class T, class Ready>
T wait_for(const std::atomic<T>& a, Ready ready) {
  T v = a.load(std::memory_order_acquire);
  if (ready(v)) return v;
  const auto until = std::chrono::steady_clock::now() + spin_time;
  do {
    for (int k = 0; k < 16; ++k) {
      __builtin_ia32_pause();
      v = a.load(std::memory_order_acquire);
      if (ready(v)) return v;
    }
  } while (std::chrono::steady_clock::now() < until);
  while (!ready(v)) {
    a.wait(v, std::memory_order_acquire);
    v = a.load(std::memory_order_acquire);
  }
  return v;
}

}  // namespace

worker_pool::worker_pool(int threads) {
  // The workers are started with SIGINT and SIGTERM blocked, and keep them
  // so: the process's handlers then run only on the calling thread, which
  // blocks them while it puts a set of results in place.
  sigset_t quiet, old;
  sigemptyset(&quiet);
  sigaddset(&quiet, SIGINT);
  sigaddset(&quiet, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &quiet, &old);
  for (int w = 1; w < threads; ++w) {
    try {
      workers_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had (ulimit -u, memory): the parts are fewer
    }
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

worker_pool::~worker_pool() {
  stop_.store(true, std::memory_order_relaxed);
  started_.store(static_cast<std::uint32_t>(++runs_), std::memory_order_release);
  started_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void worker_pool::go(call c, const void* body, int stages) {
  if (workers_.empty()) {
    for (int stage = 0; stage < stages; ++stage) c(body, stage, 0);
    return;
  }
  const std::uint32_t items = static_cast<std::uint32_t>(stages * threads());
  c_ = c;
  body_ = body;
  finished_.store(0, std::memory_order_relaxed);
  const std::uint64_t t = (++runs_ << (2 * part_bits)) | (std::uint64_t{items} << part_bits);
  ticket_.store(t, std::memory_order_release);
  started_.store(static_cast<std::uint32_t>(runs_), std::memory_order_release);
  started_.notify_all();
  take_parts(t);
  wait_for(finished_, [items](std::uint32_t v) { return v == items; });
}

void worker_pool::work() {
  std::uint32_t seen = 0;
  for (;;) {
    seen = wait_for(started_, [seen](std::uint32_t v) { return v != seen; });
    if (stop_.load(std::memory_order_acquire)) return;
    take_parts(ticket_.load(std::memory_order_acquire));
  }
}

void worker_pool::take_parts(std::uint64_t t) {
  // A failed exchange loads the ticket afresh: another thread took the part,
  // or a new run has begun, whose parts are as good to take.
  while ((t & part_mask) < ((t >> part_bits) & part_mask))
    if (ticket_.compare_exchange_weak(t, t + 1, std::memory_order_acq_rel, std::memory_order_acquire)) {
      run_part(static_cast<int>(t & part_mask));
      ++t;
    }
}

void worker_pool::run_part(int item) {
  const int parts = threads();
  const int stage = item / parts, part = item % parts;
  // The stages before are finished, and their writes seen.
  const std::uint32_t before = static_cast<std::uint32_t>(stage * parts);
  if (stage > 0) wait_for(finished_, [before](std::uint32_t v) { return v >= before; });
  c_(body_, stage, part);
  finished_.fetch_add(1, std::memory_order_release);
  finished_.notify_all();
}

}  // namespace domica
