// Array types of the system: one- and two-dimensional arrays indexed from 1,
// held in a std::vector, and small fixed-size vectors and matrices on the stack.
//
// Every index is checked against the bounds in debug and sanitizer builds
// (DOMICA_CHECKED); release builds leave the checks out of the inner loops, so
// input must be validated where it is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace domica {

[[noreturn]] void bounds_fault(long index, long lo, long hi);

#if defined(DOMICA_CHECKED)
#define DOMICA_BOUNDS(i, lo, hi) \
  do { if ((i) < (lo) || (i) > (hi)) ::domica::bounds_fault((i), (lo), (hi)); } while (0)
#else
#define DOMICA_BOUNDS(i, lo, hi) ((void)0)
#endif

// Entries 1..n, value-initialised. A default-constructed array has none.
template <class T>
class arr1 {
 public:
  arr1() = default;
  explicit arr1(int n) : v_(n > 0 ? static_cast<std::size_t>(n) : 0) {}
  T& operator()(int i) {
    DOMICA_BOUNDS(i, 1, hi());
    return v_[static_cast<std::size_t>(i - 1)];
  }
  const T& operator()(int i) const {
    DOMICA_BOUNDS(i, 1, hi());
    return v_[static_cast<std::size_t>(i - 1)];
  }
  int hi() const { return static_cast<int>(v_.size()); }
  std::size_t size() const { return v_.size(); }
  T* data() { return v_.data(); }
  const T* data() const { return v_.data(); }
  void fill(const T& value) { v_.assign(v_.size(), value); }

 private:
  std::vector<T> v_;
};

// Entries (1..rows, 1..cols), stored row by row (the last index runs fastest).
template <class T>
class arr2 {
 public:
  arr2() = default;
  arr2(int rows, int cols)
      : rows_(rows > 0 ? rows : 0), cols_(cols > 0 ? cols : 0),
        v_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_)) {}
  T& operator()(int i, int j) {
    DOMICA_BOUNDS(i, 1, rows_);
    DOMICA_BOUNDS(j, 1, cols_);
    return v_[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(j - 1)];
  }
  const T& operator()(int i, int j) const {
    DOMICA_BOUNDS(i, 1, rows_);
    DOMICA_BOUNDS(j, 1, cols_);
    return v_[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(j - 1)];
  }
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  std::size_t size() const { return v_.size(); }
  T* data() { return v_.data(); }
  const T* data() const { return v_.data(); }
  void fill(const T& value) { v_.assign(v_.size(), value); }

 private:
  int rows_ = 0, cols_ = 0;
  std::vector<T> v_;
};

using imat1 = arr1<std::int32_t>;
using fmat1 = arr1<double>;
using imat2 = arr2<std::int32_t>;
using fmat2 = arr2<double>;

// Fixed-size vector indexed 1..N, kept on the stack.
template <class T, int N>
struct fixed1 {
  T e[N];
  T& operator()(int i) {
    DOMICA_BOUNDS(i, 1, N);
    return e[i - 1];
  }
  const T& operator()(int i) const {
    DOMICA_BOUNDS(i, 1, N);
    return e[i - 1];
  }
};

// Fixed-size matrix indexed (1..R, 1..C), row by row.
template <class T, int R, int C>
struct fixed2 {
  T e[R][C];
  T& operator()(int i, int j) {
    DOMICA_BOUNDS(i, 1, R);
    DOMICA_BOUNDS(j, 1, C);
    return e[i - 1][j - 1];
  }
  const T& operator()(int i, int j) const {
    DOMICA_BOUNDS(i, 1, R);
    DOMICA_BOUNDS(j, 1, C);
    return e[i - 1][j - 1];
  }
};

// A point or a vector in space: x, y, z.
using fvec3x1 = fixed1<double, 3>;

}  // namespace domica
