// Large, long-lived blocks of memory taken straight from the system, for
// structures that grow by megabytes (the tree of a large directive file).
#pragma once
#include <cstddef>

namespace orv::mem {

// A zeroed block of at least bytes, aligned for any object; null when refused.
// Blocks of two megabytes and more may be backed by large pages, so that
// filling them costs a page fault per large page instead of one per 4 KiB.
void* allocateBulk(size_t bytes);
// Returns a block from allocateBulk, with the same size.
void releaseBulk(void* block, size_t bytes);

}  // namespace orv::mem
