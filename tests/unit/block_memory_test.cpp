#include "engine/block_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace orv {

// Pieces of every size, small to larger than a block, are aligned as asked,
// never overlap, and keep their bytes while later pieces are taken.
TEST(BlockMemory, PiecesAreAlignedDistinctAndStable) {
  BlockMemory memory;
  struct Piece {
    unsigned char* at;
    size_t size;
    unsigned char fill;
  };
  std::vector<Piece> pieces;
  const size_t sizes[] = {1, 3, 8, 24, 100, 4096, 70000, size_t{3} << 20, size_t{9} << 20, 5};
  const size_t aligns[] = {1, 2, 8, 16};
  for (int round = 0; round < 40; ++round) {
    size_t size = sizes[round % 10], align = aligns[round % 4];
    auto* at = static_cast<unsigned char*>(memory.take(size, align));
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(at) % align, 0u) << round;
    auto fill = static_cast<unsigned char>(round + 1);
    std::memset(at, fill, size);
    pieces.push_back({at, size, fill});
  }
  for (const Piece& p : pieces) {
    EXPECT_EQ(p.at[0], p.fill);
    EXPECT_EQ(p.at[p.size / 2], p.fill);
    EXPECT_EQ(p.at[p.size - 1], p.fill);
  }
}

}  // namespace orv
