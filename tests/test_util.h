// Helpers shared by the tests: a scratch folder, listed draws and whole files.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "core/random.h"

namespace quillon::testing {

// A fresh folder under the system's temporary directory, removed at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::filesystem::path& Path() const { return m_path; }
  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

// Draws a fixed list of numbers and counts them; running out fails the test. It claims the
// range [lowest, lowest + span), so that a test can make the bounded choices reject.
class ListedDraws : public RandomSource {
 public:
  explicit ListedDraws(std::vector<int32_t> draws, int32_t lowest = 0,
                       uint32_t span = uint32_t{1} << 31)
      : m_draws(std::move(draws)), m_lowest(lowest), m_span(span) {}
  int32_t Next() override {
    if (m_next >= m_draws.size()) {
      ADD_FAILURE() << "more draws than listed";
      return m_lowest;
    }
    return m_draws[m_next++];
  }
  int32_t Lowest() const override { return m_lowest; }
  uint32_t Span() const override { return m_span; }
  size_t Used() const { return m_next; }

 private:
  std::vector<int32_t> m_draws;
  size_t m_next = 0;
  int32_t m_lowest;
  uint32_t m_span;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace quillon::testing
