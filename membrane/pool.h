// A few worker threads kept for the whole run, to share the triangles of one
// energy evaluation. Work is split into fixed contiguous ranges, so which
// thread computes a triangle never changes what is computed.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
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

  // body(lo, hi) for the ranges of 1..n split into threads() parts, the parts
  // run at the same time; returns when all are done.
  void run(int n, const std::function<void(int lo, int hi)>& body);

 private:
  void work(int part);
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable start_, done_;
  const std::function<void(int, int)>* body_ = nullptr;
  int n_ = 0, pending_ = 0;
  long generation_ = 0;
  bool stop_ = false;
};

// The threads of the energy evaluation: 0 (the default) takes one per core.
void set_energy_threads(int threads);

// The pool of the energy evaluation, made at its first use.
worker_pool& energy_pool();

}  // namespace domica
