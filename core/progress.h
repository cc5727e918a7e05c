// How far long work has come, told to its host: a fraction from 0 to 1, called from the
// working loop itself every few rows (work shared among threads gives each band its own and
// tells the host from the calling thread). An empty function is allowed.
#pragma once

#include <cstdint>
#include <functional>

namespace quillon {

using ProgressFn = std::function<void(double fraction)>;

// Calls progress at most about 100 times over rows 0..total), and with 1 at the end.
class RowProgress {
 public:
  RowProgress(const ProgressFn& progress, int64_t total)
      : m_progress(progress), m_total(total), m_step(total / 100 > 0 ? total / 100 : 1) {}
  // Row row is done.
  void Done(int64_t row) {
    if (m_progress && ((row + 1) % m_step == 0 || row + 1 == m_total))
      m_progress(static_cast<double>(row + 1) / static_cast<double>(m_total));
  }

 private:
  const ProgressFn& m_progress;
  int64_t m_total;
  int64_t m_step;
};

}  // namespace quillon
