#include "mechanics/pool.h"

#include <chrono>

namespace domica {

namespace {

// Spin until ready() or about a millisecond has passed; then false.
template <class Ready>
bool spin(Ready ready) {
  auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(1000);
  for (;;) {
    for (int k = 0; k < 64; ++k) {
      if (ready()) return true;
      __builtin_ia32_pause();
    }
    if (std::chrono::steady_clock::now() > until) return false;
  }
}

}  // namespace

worker_pool::worker_pool(int threads) : done_(std::make_unique<finished[]>(static_cast<std::size_t>(std::max(threads - 1, 0)))) {
  for (int part = 1; part < threads; ++part) workers_.emplace_back([this, part] { work(part); });
}

worker_pool::~worker_pool() {
  job_.stop = true;
  job_.generation.store(++runs_);
  job_.generation.notify_all();
  for (std::thread& t : workers_) t.join();
}

void worker_pool::go(call c, const void* body) {
  const long now = ++runs_;
  job_.c = c;
  job_.body = body;
  // A plain store: the caller goes on to its own part while the line travels.
  job_.generation.store(now, std::memory_order_release);
  if (sleepers_.load(std::memory_order_relaxed) != 0) job_.generation.notify_all();
  c(body, 0);
  // A worker that began to sleep as this run began has either seen the new
  // generation or is counted by now: its count and this read are both
  // read-modify-writes of sleepers_, so one of them sees the other.
  if (sleepers_.fetch_add(0) != 0) job_.generation.notify_all();
  for (std::size_t w = 0; w < workers_.size(); ++w) {
    std::atomic<long>& d = done_[w].generation;
    if (spin([&] { return d.load(std::memory_order_acquire) == now; })) continue;
    waiting_.store(1);
    for (long seen = d.load(); seen != now; seen = d.load()) d.wait(seen);
    waiting_.store(0);
  }
}

void worker_pool::work(int part) {
  long seen = 0;
  std::atomic<long>& d = done_[static_cast<std::size_t>(part - 1)].generation;
  for (;;) {
    if (!spin([&] { return job_.generation.load(std::memory_order_acquire) != seen; })) {
      sleepers_.fetch_add(1);
      for (long now = job_.generation.load(); now == seen; now = job_.generation.load()) job_.generation.wait(now);
      sleepers_.fetch_sub(1);
    }
    seen = job_.generation.load(std::memory_order_acquire);
    if (job_.stop) return;
    job_.c(job_.body, part);
    d.store(seen);
    if (waiting_.load() != 0) d.notify_all();
  }
}

namespace {

int wanted = 0;
std::unique_ptr<worker_pool> pool;

}  // namespace

void set_energy_threads(int threads) {
  wanted = threads;
  pool.reset();
}

worker_pool& energy_pool() {
  if (!pool) {
    int threads = wanted > 0 ? wanted : static_cast<int>(std::thread::hardware_concurrency());
    pool = std::make_unique<worker_pool>(threads > 0 ? threads : 1);
  }
  return *pool;
}

}  // namespace domica
