#include "engine/block_memory.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "platform/bulk_memory.h"

namespace orv {

namespace {

constexpr size_t kBulkFrom = size_t{2} << 20;  // blocks this large come from bulk memory
constexpr size_t kLargest = size_t{4} << 20;

}  // namespace

BlockMemory::~BlockMemory() {
  for (const Block& block : blocks_) {
    if (block.bulk)
      mem::releaseBulk(block.data, block.size);
    else
      ::operator delete(block.data);
  }
}

void BlockMemory::addBlock(size_t atLeast) {
  size_t size = std::max(nextSize_, atLeast);
  nextSize_ = std::min(nextSize_ * 2, kLargest);
  blocks_.reserve(blocks_.size() + 1);  // so that recording the block cannot fail and leak it
  void* data = size >= kBulkFrom ? mem::allocateBulk(size) : nullptr;
  bool bulk = data != nullptr;
  if (!bulk) data = ::operator new(size);
  blocks_.push_back(Block{data, size, bulk});
  next_ = static_cast<char*>(data);
  end_ = next_ + size;
}

void* BlockMemory::take(size_t bytes, size_t align) {
  auto aligned = [&] {
    auto at = reinterpret_cast<uintptr_t>(next_);
    return reinterpret_cast<char*>((at + align - 1) & ~(uintptr_t{align} - 1));
  };
  char* at = next_ ? aligned() : nullptr;
  if (!at || at > end_ || static_cast<size_t>(end_ - at) < bytes) {
    addBlock(bytes + align);
    at = aligned();
  }
  next_ = at + bytes;
  return at;
}

}  // namespace orv
