#include "membrane/pool.h"

#include <chrono>
#include <memory>

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

void range(int n, int parts, int part, int& lo, int& hi) {
  long step = (static_cast<long>(n) + parts - 1) / parts;
  lo = static_cast<int>(1 + part * step);
  hi = static_cast<int>(std::min<long>(n, (part + 1) * step));
}

}  // namespace

worker_pool::worker_pool(int threads) {
  for (int part = 1; part < threads; ++part) workers_.emplace_back([this, part] { work(part); });
}

worker_pool::~worker_pool() {
  stop_.store(true);
  generation_.fetch_add(1);
  generation_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void worker_pool::run(int n, const std::function<void(int, int, int)>& body) {
  body_ = &body;
  n_ = n;
  pending_.store(static_cast<int>(workers_.size()));
  generation_.fetch_add(1);
  generation_.notify_all();
  int lo, hi;
  range(n, threads(), 0, lo, hi);
  if (lo <= hi) body(lo, hi, 0);
  if (!spin([this] { return pending_.load() == 0; }))
    for (int left = pending_.load(); left != 0; left = pending_.load()) pending_.wait(left);
}

void worker_pool::work(int part) {
  long seen = 0;
  for (;;) {
    if (!spin([&] { return generation_.load() != seen; }))
      for (long now = generation_.load(); now == seen; now = generation_.load()) generation_.wait(now);
    seen = generation_.load();
    if (stop_.load()) return;
    int lo, hi;
    range(n_, threads(), part, lo, hi);
    if (lo <= hi) (*body_)(lo, hi, part);
    if (pending_.fetch_sub(1) == 1) pending_.notify_one();
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
