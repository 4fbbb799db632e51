// A few worker threads kept for the whole run, to share the triangles of one
// energy evaluation. Work is split into fixed contiguous ranges, so which
// thread computes a triangle never changes what is computed. An evaluation
// takes tens of microseconds, less than waking a sleeping thread, so the
// threads wait spinning for a while (about a millisecond) before they sleep.
#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace domica {

class worker_pool {
 public:
  // threads >= 1 in all, the calling thread included.
  explicit worker_pool(int threads);
  ~worker_pool();
  worker_pool(const worker_pool&) = delete;
  worker_pool& operator=(const worker_pool&) = delete;

  int threads() const { return static_cast<int>(workers_.size()) + 1; }

  // body(lo, hi, part) for the ranges of 1..n split into threads() parts,
  // part 0 (the first range) on the calling thread, the parts at the same
  // time; returns when all are done.
  void run(int n, const std::function<void(int lo, int hi, int part)>& body);

 private:
  void work(int part);
  std::vector<std::thread> workers_;
  // A new generation starts a run; the body and size are written before it.
  const std::function<void(int, int, int)>* body_ = nullptr;
  int n_ = 0;
  std::atomic<long> generation_{0};
  std::atomic<int> pending_{0};
  std::atomic<bool> stop_{false};
};

// The threads of the energy evaluation: 0 (the default) takes one per core.
void set_energy_threads(int threads);

// The pool of the energy evaluation, made at its first use.
worker_pool& energy_pool();

}  // namespace domica
