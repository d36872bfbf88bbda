#include "platform/bulk_memory.h"

#include <windows.h>

namespace orv::mem {

// Large pages need a privilege administrators seldom hold: plain committed pages.
void* allocateBulk(size_t bytes) {
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releaseBulk(void* block, size_t) {
  if (block) VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace orv::mem
