#include "core/huge_pages.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace quillon {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

void* AllocateLarge(std::size_t bytes) {
  if (bytes < kHugePage)
    return ::operator new(bytes);
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (p == nullptr)
    throw std::bad_alloc();
  madvise(p, rounded, MADV_HUGEPAGE);
  return p;
}

void FreeLarge(void* p, std::size_t bytes) {
  if (bytes < kHugePage) {
    ::operator delete(p);
  } else {
    std::free(p);
  }
}

}  // namespace quillon
