// How many threads a piece of work splits into when its caller leaves the choice to it: one
// per core, but no more than the work has units of unitsPerThread (a thread costs more than
// it saves below that), and at least one. Safe from any thread.
#pragma once

#include <algorithm>
#include <cstdint>
#include <thread>

namespace quillon {

inline int DefaultThreads(int64_t units, int64_t unitsPerThread) {
  const int64_t cores = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<int>(std::min(cores, std::max<int64_t>(1, units / unitsPerThread)));
}

}  // namespace quillon
