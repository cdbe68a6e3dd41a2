#include "platform/HeapTuning.h"

#include <malloc.h>

namespace tarvel {

void KeepFreedHeapForReuse() {
#if defined(__GLIBC__)
  // Setting either turns off glibc's own adjustment of the two, which follows mmap'ed blocks.
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_TOP_PAD, 64 << 20);
#endif
}

}  // namespace tarvel
