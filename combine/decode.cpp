#include "combine/decode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

#include "core/work_threads.h"
#include "schemes/block_geometry.h"

namespace quillon {

std::optional<BlockLayout> MethodBlockLayout(ExpansionMethod method, int64_t m, int64_t c,
                                             int64_t l, int64_t h, int stacked) {
  if (m < 1 || c < 1 || stacked < 1 || !IsBlockMethod(method))
    return std::nullopt;
  const MethodRow& row = MethodInfo(method);
  // The m innocent columns: each is white only in its own participant's row, so two or more
  // stacked rows see all m of them black.
  const int64_t extra = row.innocents ? m : 0;
  if (row.innocents && stacked < 2)
    return std::nullopt;
  const int64_t side = MethodBlockSide(method, m, c);
  if (side < 1 || side > INT32_MAX / side)
    return std::nullopt;
  // Filler places are random and not counted; the others hold the c (+ m) columns of the
  // row, places / columns times over.
  const int64_t places = row.side == BlockSide::Filler ? c + extra : side * side;
  const int64_t copies = places / (c + extra);
  BlockLayout layout;
  layout.side = static_cast<int32_t>(side);
  layout.places = static_cast<int32_t>(places);
  layout.whiteBlack = copies * (l + extra);
  layout.blackBlack = copies * (h + extra);
  return layout;
}

namespace {

// Below this many stacked pixels a thread costs more than it saves.
constexpr int64_t kPixelsPerThread = int64_t{1} << 20;

// Set bits of every byte: a table, as the baseline x86-64 has no popcount instruction.
constexpr auto kBitsSet = [] {
  std::array<uint8_t, 256> bits{};
  for (int b = 0; b < 256; ++b)
    bits[b] = static_cast<uint8_t>(std::popcount(static_cast<unsigned>(b)));
  return bits;
}();

// Black pixels before each position of one stacked row, in O(1) per question: a count per
// byte of the row's white bits, and the byte's own bits before the position.
class BlackCounts {
 public:
  explicit BlackCounts(int64_t width)
      : m_white(static_cast<size_t>((width + 7) / 8)), m_before(m_white.size() + 1) {}

  void Read(const BmpImage& image, int32_t row) {
    image.WhiteRow(row, m_white.data());
    for (size_t b = 0; b < m_white.size(); ++b)
      m_before[b + 1] = m_before[b] + 8 - kBitsSet[m_white[b]];
  }
  // Black pixels in columns [first, end).
  int64_t Between(int64_t first, int64_t end) const { return Before(end) - Before(first); }

 private:
  int64_t Before(int64_t col) const {
    const int64_t byte = col >> 3;
    const int bits = static_cast<int>(col & 7);
    if (bits == 0)
      return m_before[byte];
    const unsigned lead = static_cast<unsigned>(0xFF00 >> bits) & 0xFFu;
    return m_before[byte] + kBitsSet[~static_cast<unsigned>(m_white[byte]) & lead];
  }

  std::vector<uint8_t> m_white;
  std::vector<int64_t> m_before;
};

// Block rows [first, end) of the result; answers the ambiguous blocks among them.
int64_t DecodeRows(const BmpImage& stacked, const BlockLayout& layout, int32_t first, int32_t end,
                   BmpImage& image) {
  const int64_t s = layout.side;
  const int32_t width = image.Width();
  // Counted places fill whole block rows, then part of one more.
  const int64_t fullRows = layout.places / s;
  const int64_t partial = layout.places % s;
  BlackCounts counts(stacked.Width());
  std::vector<int64_t> black(static_cast<size_t>(width));
  int64_t ambiguous = 0;
  for (int32_t y = first; y < end; ++y) {
    std::fill(black.begin(), black.end(), 0);
    for (int64_t a = 0; a < fullRows + (partial > 0); ++a) {
      counts.Read(stacked, static_cast<int32_t>(s * y + a));
      const int64_t span = a < fullRows ? s : partial;
      for (int32_t x = 0; x < width; ++x)
        black[x] += counts.Between(s * x, s * x + span);
    }
    for (int32_t x = 0; x < width; ++x) {
      bool isBlack = black[x] == layout.blackBlack;
      if (!isBlack && black[x] != layout.whiteBlack) {
        ++ambiguous;
        isBlack =
            std::llabs(black[x] - layout.blackBlack) <= std::llabs(black[x] - layout.whiteBlack);
      }
      image.SetPixel(y, x, isBlack ? 1 : 0);
    }
  }
  return ambiguous;
}

}  // namespace

DecodeResult DecodeStacked(const BmpImage& stacked, const BlockLayout& layout,
                           const std::string& resultName, int threads) {
  DecodeResult result;
  const int64_t s = layout.side;
  if (s < 1 || layout.places < 1 || layout.places > s * s || !stacked.HasPixels()) {
    result.image = BmpImage(resultName, 0, 0);
    return result;
  }
  const int32_t height = static_cast<int32_t>(stacked.Height() / s);
  const int32_t width = static_cast<int32_t>(stacked.Width() / s);
  result.image = BmpImage(resultName, height, width);
  result.blocks = int64_t{height} * width;
  if (threads <= 0)
    threads = DefaultThreads(int64_t{stacked.Width()} * stacked.Height(), kPixelsPerThread);
  threads = std::max(1, std::min(threads, height));
  // Bands of block rows, each writing rows of the result no other band writes.
  std::vector<int64_t> ambiguous(static_cast<size_t>(threads));
  const auto band = [&](int i) {
    const auto first = static_cast<int32_t>(int64_t{height} * i / threads);
    const auto end = static_cast<int32_t>(int64_t{height} * (i + 1) / threads);
    ambiguous[i] = DecodeRows(stacked, layout, first, end, result.image);
  };
  std::vector<std::thread> others;
  try {
    for (int i = 1; i < threads; ++i)
      others.emplace_back(band, i);
  } catch (const std::system_error&) {
    // No more threads to be had: the bands without one are decoded here.
    for (int i = static_cast<int>(others.size()) + 1; i < threads; ++i)
      band(i);
  }
  band(0);
  for (std::thread& thread : others)
    thread.join();
  for (int64_t count : ambiguous)
    result.ambiguous += count;
  return result;
}

}  // namespace quillon
