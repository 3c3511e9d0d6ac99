#include "swf/core/buffer_pool.h"

#include <array>
#include <bit>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// A kept block is poisoned, so a use after it was given back is still caught.
#define VELLUMET_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VELLUMET_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VELLUMET_POISON(p, n) ((void)(p), (void)(n))
#define VELLUMET_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace swf {

namespace {

constexpr int kSmallestClass = 16;  // 64 KiB
constexpr int kLargestClass = 23;   // 8 MiB
constexpr size_t kKeptMax = size_t(32) << 20;

bool IsPooled(size_t size) {
  return size >= (size_t(1) << kSmallestClass) && size <= (size_t(1) << kLargestClass);
}

struct TPool {
  TPool() {
    // Room for every block the pool may keep, so giving back never allocates.
    for (int c = kSmallestClass; c <= kLargestClass; ++c)
      Free[size_t(c - kSmallestClass)].reserve(kKeptMax >> c);
  }
  std::mutex Lock;
  std::array<std::vector<void*>, kLargestClass - kSmallestClass + 1> Free;
  size_t Kept = 0;
};

// Never destroyed, so that a buffer freed during exit still finds it.
TPool& Pool() {
  static TPool* pool = new TPool;
  return *pool;
}

std::vector<void*>& FreeList(TPool& pool, size_t block) {
  return pool.Free[size_t(std::countr_zero(block) - kSmallestClass)];
}

}  // namespace

size_t PooledBlockSize(size_t size) {
  return IsPooled(size) ? std::bit_ceil(size) : size;
}

void* TakeBlock(size_t size) {
  const size_t block = PooledBlockSize(size);
  if (IsPooled(block)) {
    TPool& pool = Pool();
    std::lock_guard lock(pool.Lock);
    auto& free = FreeList(pool, block);
    if (!free.empty()) {
      void* p = free.back();
      free.pop_back();
      pool.Kept -= block;
      VELLUMET_UNPOISON(p, block);
      return p;
    }
  }
  return ::operator new(block);
}

void GiveBlock(void* p, size_t size) noexcept {
  if (!p) return;
  const size_t block = PooledBlockSize(size);
  if (IsPooled(block)) {
    TPool& pool = Pool();
    std::lock_guard lock(pool.Lock);
    if (pool.Kept + block <= kKeptMax) {
      VELLUMET_POISON(p, block);
      FreeList(pool, block).push_back(p);
      pool.Kept += block;
      return;
    }
  }
  ::operator delete(p);
}

}  // namespace swf
