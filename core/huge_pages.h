// An allocator for large tables read at random places, such as the column codes that every
// secret pixel picks from: from 2 MiB on, the memory is asked for in huge pages, so that
// random reads do not miss the address-translation cache on nearly every access. Only
// advice: without huge pages the table still works. Safe across threads.
#pragma once

#include <cstddef>

namespace quillon {

void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* p, std::size_t bytes);

template <typename T>
struct HugePageAllocator {
  using value_type = T;
  HugePageAllocator() = default;
  template <typename U>
  HugePageAllocator(const HugePageAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
  void deallocate(T* p, std::size_t count) { FreeLarge(p, count * sizeof(T)); }
  template <typename U>
  bool operator==(const HugePageAllocator<U>&) const {
    return true;
  }
};

}  // namespace quillon
