#pragma once
// Large blocks are kept for reuse instead of going back to the system: a
// movie build allocates and frees megabytes (tag list, tag stream, object
// arena), and memory fresh from the system costs a page fault per 4 KiB.
// Requests from 64 KiB to 8 MiB get power-of-two blocks, of which the pool
// keeps up to 32 MiB; other sizes go straight to operator new. Thread-safe.
#include <cstddef>

namespace swf {

// The usable size of a block taken for size bytes (at least size).
size_t PooledBlockSize(size_t size);
// PooledBlockSize(size) bytes; throws std::bad_alloc like operator new.
void* TakeBlock(size_t size);
// Gives back a block taken for size bytes (or for its PooledBlockSize).
void GiveBlock(void* block, size_t size) noexcept;

// A standard allocator over the pool, for containers that grow large.
template <class T>
struct TPooledAllocator {
  using value_type = T;
  TPooledAllocator() = default;
  template <class U>
  TPooledAllocator(const TPooledAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(TakeBlock(n * sizeof(T))); }
  void deallocate(T* p, size_t n) noexcept { GiveBlock(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const TPooledAllocator<U>&) const {
    return true;
  }
};

}  // namespace swf
