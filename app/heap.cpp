#include "app/heap.h"

#include <omp.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace domica {

void keep_freed_blocks() {
#ifdef __GLIBC__
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
}

void serial_openmp() { omp_set_max_active_levels(0); }

}  // namespace domica
