#include "batch_memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace tovimar::batch {

namespace {
// Volatile: the compiler may drop an allocation whose pointer nobody reads.
void* volatile below = nullptr;
}  // namespace

void PrepareHeapForLargeBlocks() {
#ifdef __SANITIZE_ADDRESS__
  return;  // the sanitizer's allocator does not take blocks from the heap below the break
#endif
  constexpr std::size_t HugePage = std::size_t{2} << 20;
  constexpr std::size_t Region = std::size_t{64} << 20;
  // Large blocks from the heap rather than each from its own mapping (glibc's largest
  // threshold), the heap grown by the whole region at once and never given back, so that
  // the region stays one mapping the advice below covers.
  // One arena: the step check's thread takes its blocks from the same region.
  if (mallopt(M_MMAP_THRESHOLD, 32 << 20) == 0 || mallopt(M_TRIM_THRESHOLD, 2 * Region) == 0 ||
      mallopt(M_TOP_PAD, Region) == 0 || mallopt(M_ARENA_MAX, 1) == 0) {
    return;
  }
  // A block larger than the heap's free top makes it grow by the whole region; the heap's
  // bookkeeping then writes just past the block, so the 2 MiB page holding that write is
  // already in small pages and the advice starts after it.
  constexpr std::size_t Grow = std::size_t{1} << 20;
  void* grow = std::malloc(Grow);
  if (grow == nullptr) {
    return;
  }
  const auto start = reinterpret_cast<std::uintptr_t>(grow);
  std::free(grow);
  void* const top = sbrk(0);
  if (top == reinterpret_cast<void*>(-1)) {
    return;
  }
  const auto end = reinterpret_cast<std::uintptr_t>(top);
  const std::uintptr_t first = (start + Grow + 64 + HugePage - 1) & ~(HugePage - 1);
  if (first >= end) {  // the block did not come from the heap below the break
    return;
  }
  if (madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE) != 0) {
    return;
  }
  // A block that is never touched takes the heap up to the first advised 2 MiB boundary, so
  // that what follows starts there.
  below = std::malloc(first - start);
}

}  // namespace tovimar::batch
