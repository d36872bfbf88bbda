// Memory handed out piece by piece from blocks that never move and are all
// freed together: the storage of a parsed document.
#pragma once
#include <cstddef>
#include <vector>

namespace orv {

class BlockMemory {
 public:
  BlockMemory() = default;
  BlockMemory(const BlockMemory&) = delete;
  BlockMemory& operator=(const BlockMemory&) = delete;
  ~BlockMemory();

  // Room for bytes, aligned to align (a power of two up to 16), valid until the
  // BlockMemory is destroyed. Blocks double from 16 KiB to 4 MiB; the large ones
  // come from the system's bulk memory. Throws std::bad_alloc when refused.
  void* take(size_t bytes, size_t align);

 private:
  struct Block {
    void* data;
    size_t size;
    bool bulk;  // from mem::allocateBulk, else from operator new
  };
  void addBlock(size_t atLeast);

  std::vector<Block> blocks_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  size_t nextSize_ = size_t{16} << 10;
};

}  // namespace orv
