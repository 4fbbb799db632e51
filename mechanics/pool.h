// A few worker threads kept for the whole run, to share the triangles of one
// energy evaluation. A run hands each thread its part number; what a part
// computes is the caller's to decide (membrane/share.h). An evaluation
// takes tens of microseconds, less than waking a sleeping thread, so the
// threads wait spinning for a while (about a millisecond) before they sleep.
// Starting a run costs the caller a few plain stores to one cache line, and
// each worker says it is done on a line of its own.
#pragma once

#include <atomic>
#include <memory>
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

  // body(part) for part = 0 .. threads() - 1 at the same time, part 0 on
  // the calling thread; returns when all are done.
  template <class Body>
  void run(const Body& body) {
    go([](const void* b, int part) { (*static_cast<const Body*>(b))(part); }, &body);
  }

 private:
  using call = void (*)(const void* body, int part);
  void go(call c, const void* body);
  void work(int part);
  std::vector<std::thread> workers_;
  long runs_ = 0;  // runs begun (the caller's count)
  // A new generation starts a run; the work is written before it, on its line.
  struct alignas(64) job {
    std::atomic<long> generation{0};
    call c = nullptr;
    const void* body = nullptr;
    bool stop = false;
  } job_;
  struct alignas(64) finished {
    std::atomic<long> generation{0};
  };
  std::unique_ptr<finished[]> done_;       // per worker: the last generation it finished
  // Each on a line of its own: the caller reads-modifies-writes sleepers_ on
  // every run, and the workers read waiting_ after every run.
  alignas(64) std::atomic<int> sleepers_{0};  // workers asleep or about to sleep
  alignas(64) std::atomic<int> waiting_{0};   // 1 while the caller sleeps for a worker
};

// The threads of the energy evaluation: 0 (the default) takes one per core.
void set_energy_threads(int threads);

// The pool of the energy evaluation, made at its first use.
worker_pool& energy_pool();

}  // namespace domica
