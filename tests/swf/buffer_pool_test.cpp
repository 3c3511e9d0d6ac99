#include "swf/core/buffer_pool.h"

#include <gtest/gtest.h>

#include "swf/core/memory_stream.h"

namespace {

TEST(BufferPool, BlockSizes) {
  struct Row {
    size_t request, block;
  } rows[] = {
      {100, 100},                      // small: as asked
      {64 * 1024 - 1, 64 * 1024 - 1},
      {64 * 1024, 64 * 1024},          // pooled from 64 KiB on, in powers of two
      {64 * 1024 + 1, 128 * 1024},
      {5 << 20, 8 << 20},
      {(8 << 20) + 1, (8 << 20) + 1},  // large: as asked
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.request);
    EXPECT_EQ(swf::PooledBlockSize(r.request), r.block);
  }
}

TEST(BufferPool, GivenBlocksAreTakenAgain) {
  void* first = swf::TakeBlock(100 * 1024);
  swf::GiveBlock(first, 100 * 1024);
  void* again = swf::TakeBlock(128 * 1024);  // the same size class
  EXPECT_EQ(again, first);
  swf::GiveBlock(again, 128 * 1024);
  swf::GiveBlock(nullptr, 1 << 20);  // harmless
}

// A stream growing through the pooled sizes keeps its bytes, also when it
// is written at a position and past its end.
TEST(BufferPool, StreamGrowingThroughPoolSizesKeepsItsBytes) {
  swf::TMemoryStream stream;
  for (uint32_t i = 0; i < 300000; ++i) stream.WriteByte(uint8_t(i * 7));
  stream.Seek(10);
  stream.WriteByte(0xAB);
  stream.Seek(400000);
  stream.WriteByte(0xCD);
  ASSERT_EQ(stream.Size(), 400001u);
  EXPECT_EQ(stream.Data()[9], uint8_t(9 * 7));
  EXPECT_EQ(stream.Data()[10], 0xAB);
  EXPECT_EQ(stream.Data()[299999], uint8_t(299999 * 7));
  EXPECT_EQ(stream.Data()[300000], 0);  // the gap is zero-filled
  EXPECT_EQ(stream.Data()[400000], 0xCD);
}

}  // namespace
