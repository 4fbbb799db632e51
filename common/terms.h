// Array types of the model: one-, two- and three-dimensional arrays of
// booleans, integers and reals whose index ranges are fixed when the array is
// created (the model indexes everything from 1), and the small fixed-size
// vectors and the triangle record.
//
// Every index is checked against the bounds in debug and sanitizer builds
// (DOMICA_CHECKED); release builds leave the checks out of the inner loops, so
// input must be validated where it is read.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace domica {

[[noreturn]] void bounds_fault(long index, long lo, long hi);

#if defined(DOMICA_CHECKED)
#define DOMICA_BOUNDS(i, lo, hi) \
  do { if ((i) < (lo) || (i) > (hi)) ::domica::bounds_fault((i), (lo), (hi)); } while (0)
#else
#define DOMICA_BOUNDS(i, lo, hi) ((void)0)
#endif

// Number of entries in the range lo..hi (0 for an empty range such as 1..0).
inline std::size_t extent(int lo, int hi) {
  return hi >= lo ? static_cast<std::size_t>(static_cast<long>(hi) - lo + 1) : 0;
}

// Heap storage shared by the array types: value-initialised, deep-copied.
template <class T>
class storage {
 public:
  storage() = default;
  explicit storage(std::size_t size) : size_(size), data_(size ? std::make_unique<T[]>(size) : nullptr) {}
  storage(const storage& o) : storage(o.size_) { std::copy(o.data_.get(), o.data_.get() + size_, data_.get()); }
  storage(storage&&) noexcept = default;
  storage& operator=(const storage& o) {
    if (this != &o) *this = storage(o);
    return *this;
  }
  storage& operator=(storage&&) noexcept = default;
  T* get() const { return data_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::size_t size_ = 0;
  std::unique_ptr<T[]> data_;
};

// One-dimensional array with bounds lo..hi. A default-constructed array is the
// null reference of the model: no bounds, no entries.
template <class T>
class arr1 {
 public:
  arr1() = default;
  arr1(int lo, int hi) : lo_(lo), hi_(hi), s_(extent(lo, hi)) {}
  T& operator()(int i) {
    DOMICA_BOUNDS(i, lo_, hi_);
    return s_.get()[i - lo_];
  }
  const T& operator()(int i) const {
    DOMICA_BOUNDS(i, lo_, hi_);
    return s_.get()[i - lo_];
  }
  int lo() const { return lo_; }
  int hi() const { return hi_; }
  std::size_t size() const { return s_.size(); }
  bool null() const { return s_.get() == nullptr && hi_ < lo_; }
  T* data() { return s_.get(); }
  const T* data() const { return s_.get(); }
  void fill(const T& v) { std::fill(s_.get(), s_.get() + s_.size(), v); }

 private:
  int lo_ = 1, hi_ = 0;
  storage<T> s_;
};

// Two-dimensional array, stored row by row (the last index runs fastest).
template <class T>
class arr2 {
 public:
  arr2() = default;
  arr2(int lo1, int hi1, int lo2, int hi2)
      : lo1_(lo1), hi1_(hi1), lo2_(lo2), hi2_(hi2), cols_(extent(lo2, hi2)), s_(extent(lo1, hi1) * cols_) {}
  T& operator()(int i, int j) {
    DOMICA_BOUNDS(i, lo1_, hi1_);
    DOMICA_BOUNDS(j, lo2_, hi2_);
    return s_.get()[static_cast<std::size_t>(i - lo1_) * cols_ + static_cast<std::size_t>(j - lo2_)];
  }
  const T& operator()(int i, int j) const {
    DOMICA_BOUNDS(i, lo1_, hi1_);
    DOMICA_BOUNDS(j, lo2_, hi2_);
    return s_.get()[static_cast<std::size_t>(i - lo1_) * cols_ + static_cast<std::size_t>(j - lo2_)];
  }
  int lo1() const { return lo1_; }
  int hi1() const { return hi1_; }
  int lo2() const { return lo2_; }
  int hi2() const { return hi2_; }
  std::size_t size() const { return s_.size(); }
  T* data() { return s_.get(); }
  const T* data() const { return s_.get(); }
  void fill(const T& v) { std::fill(s_.get(), s_.get() + s_.size(), v); }

 private:
  int lo1_ = 1, hi1_ = 0, lo2_ = 1, hi2_ = 0;
  std::size_t cols_ = 0;
  storage<T> s_;
};

// Three-dimensional array, stored with the last index running fastest.
template <class T>
class arr3 {
 public:
  arr3() = default;
  arr3(int lo1, int hi1, int lo2, int hi2, int lo3, int hi3)
      : lo1_(lo1), hi1_(hi1), lo2_(lo2), hi2_(hi2), lo3_(lo3), hi3_(hi3),
        n2_(extent(lo2, hi2)), n3_(extent(lo3, hi3)), s_(extent(lo1, hi1) * n2_ * n3_) {}
  T& operator()(int i, int j, int k) { return s_.get()[offset(i, j, k)]; }
  const T& operator()(int i, int j, int k) const { return s_.get()[offset(i, j, k)]; }
  std::size_t size() const { return s_.size(); }

 private:
  std::size_t offset(int i, int j, int k) const {
    DOMICA_BOUNDS(i, lo1_, hi1_);
    DOMICA_BOUNDS(j, lo2_, hi2_);
    DOMICA_BOUNDS(k, lo3_, hi3_);
    return (static_cast<std::size_t>(i - lo1_) * n2_ + static_cast<std::size_t>(j - lo2_)) * n3_ +
           static_cast<std::size_t>(k - lo3_);
  }
  int lo1_ = 1, hi1_ = 0, lo2_ = 1, hi2_ = 0, lo3_ = 1, hi3_ = 0;
  std::size_t n2_ = 0, n3_ = 0;
  storage<T> s_;
};

using bmat1 = arr1<bool>;
using imat1 = arr1<std::int32_t>;
using fmat1 = arr1<double>;
using bmat2 = arr2<bool>;
using imat2 = arr2<std::int32_t>;
using fmat2 = arr2<double>;
using bmat3 = arr3<bool>;
using imat3 = arr3<std::int32_t>;
using fmat3 = arr3<double>;

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

// One triangle of the net.
struct cst_rec {
  double volume = 0.0;                 // plan area times thickness
  fixed1<std::int32_t, 3> glob{};      // corner node numbers, in the order of the input
  fvec3x1 u{};                         // first unit in-plane axis on the final surface
  fvec3x1 v{};                         // second unit in-plane axis
  fvec3x1 w{};                         // unit normal on the final surface
  fixed2<double, 2, 3> c{};            // plan-x (row 1) and plan-y (row 2) shape-function derivatives
};

using cst_vec = arr1<cst_rec>;

}  // namespace domica
