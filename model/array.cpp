#include "model/array.h"

#include <stdexcept>
#include <string>

namespace domica {

void bounds_fault(long index, long lo, long hi) {
  throw std::out_of_range("index " + std::to_string(index) + " outside the bounds " + std::to_string(lo) + ".." +
                          std::to_string(hi));
}

}  // namespace domica
