#include "membrane/pool.h"

#include <memory>

namespace domica {

worker_pool::worker_pool(int threads) {
  for (int part = 1; part < threads; ++part) workers_.emplace_back([this, part] { work(part); });
}

worker_pool::~worker_pool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  start_.notify_all();
  for (std::thread& t : workers_) t.join();
}

namespace {

void range(int n, int parts, int part, int& lo, int& hi) {
  long step = (static_cast<long>(n) + parts - 1) / parts;
  lo = static_cast<int>(1 + part * step);
  hi = static_cast<int>(std::min<long>(n, (part + 1) * step));
}

}  // namespace

void worker_pool::run(int n, const std::function<void(int, int)>& body) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    body_ = &body;
    n_ = n;
    pending_ = static_cast<int>(workers_.size());
    ++generation_;
  }
  start_.notify_all();
  int lo, hi;
  range(n, threads(), 0, lo, hi);
  if (lo <= hi) body(lo, hi);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return pending_ == 0; });
}

void worker_pool::work(int part) {
  long seen = 0;
  for (;;) {
    const std::function<void(int, int)>* body;
    int n;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      start_.wait(lock, [&] { return stop_ || generation_ != seen; });
      if (stop_) return;
      seen = generation_;
      body = body_;
      n = n_;
    }
    int lo, hi;
    range(n, threads(), part, lo, hi);
    if (lo <= hi) (*body)(lo, hi);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      --pending_;
    }
    done_.notify_one();
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
