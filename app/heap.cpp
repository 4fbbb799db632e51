#include "app/heap.h"

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

}  // namespace domica
