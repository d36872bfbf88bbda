#include "platform/bulk_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace orv::mem {

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

void* allocateBulk(size_t bytes) {
  if (bytes < kLargePage) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
  }
  // Over-map by one large page and trim, so the block starts on a large-page
  // boundary and the kernel can back it with transparent huge pages.
  size_t span = bytes + kLargePage;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto start = reinterpret_cast<uintptr_t>(raw);
  uintptr_t aligned = (start + kLargePage - 1) & ~(uintptr_t{kLargePage} - 1);
  if (aligned > start) munmap(raw, aligned - start);
  size_t tail = start + span - (aligned + bytes);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);  // advice only: failure is harmless
#endif
  return reinterpret_cast<void*>(aligned);
}

void releaseBulk(void* block, size_t bytes) {
  if (block) munmap(block, bytes);
}

}  // namespace orv::mem
