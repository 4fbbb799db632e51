// A few worker threads kept by one energy workspace, to share the triangles
// of its evaluations. A run is made of stages, each of `threads()` parts;
// what a part computes is the caller's to decide (mechanics/energy.cpp).
// Every part of a stage is finished before any part of the next begins.
//
// The parts are taken in order by whichever thread is free, the calling
// thread included, so a worker that the system has not yet run (one core,
// or a busy machine) never holds the run up: the caller takes its parts
// itself. Every wait (for a run to start, for a stage to finish) spins for a
// few microseconds and then sleeps until woken.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace domica {

class worker_pool {
 public:
  // threads >= 1 in all, the calling thread included; fewer when the system
  // cannot start them all (threads() says how many). The workers never take
  // SIGINT or SIGTERM.
  explicit worker_pool(int threads);
  ~worker_pool();
  worker_pool(const worker_pool&) = delete;
  worker_pool& operator=(const worker_pool&) = delete;

  int threads() const { return static_cast<int>(workers_.size()) + 1; }

  // body(stage, part) for stage = 0 .. stages - 1 and part = 0 ..
  // threads() - 1, each exactly once; the parts of one stage may run at the
  // same time on any threads, so none may wait for another. What a stage
  // writes is seen by the parts of the stages after it and, once run
  // returns, by the caller. 1 <= stages, stages * threads() <= 4096.
  template <class Body>
  void run(int stages, const Body& body) {
    go([](const void* b, int stage, int part) { (*static_cast<const Body*>(b))(stage, part); }, &body, stages);
  }

 private:
  using call = void (*)(const void* body, int stage, int part);
  void go(call c, const void* body, int stages);
  void work();
  // Take and run the parts of run `t` (a ticket) until none is left.
  void take_parts(std::uint64_t t);
  void run_part(int item);
  std::vector<std::thread> workers_;
  // What the parts of the current run call, written before its ticket.
  call c_ = nullptr;
  const void* body_ = nullptr;
  std::atomic<bool> stop_{false};
  std::uint64_t runs_ = 0;  // runs begun (the caller's count)
  // The run's number, its parts (stages * threads()) and the next part to
  // take (stage * threads() + part); a part is taken by a compare-exchange.
  alignas(64) std::atomic<std::uint64_t> ticket_{0};
  // The low bits of the run's number, which the idle workers sleep on.
  alignas(64) std::atomic<std::uint32_t> started_{0};
  // The parts of the current run finished.
  alignas(64) std::atomic<std::uint32_t> finished_{0};
};

}  // namespace domica
