// The fast pixel work of the seven methods. A share row is written a 64-bit word at a time:
// each column of a basis matrix is kept as a mask over the m shares, the masks are permuted
// exactly as PermuteColumns would permute the columns, and each share's bits are gathered in
// a word before they are stored. Nothing is held per share pixel but the share's own bits.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <numeric>
#include <utility>

#include "core/bits.h"
#include "core/huge_pages.h"
#include "core/progress.h"
#include "core/random.h"
#include "shares/expansion.h"

namespace quillon {
namespace {

bool IsWhite(const uint8_t* bits, int64_t x) {
  return (bits[x >> 3] >> (7 - (x & 7))) & 1;
}

// An image's rows as 1-bit rows, most significant bit first, a set bit where GetPixel
// answers 'w'. A 1-bit image is read in place; other depths are converted row by row.
class WhiteRows {
 public:
  explicit WhiteRows(const BmpImage& image)
      : m_image(image), m_bits(static_cast<size_t>((int64_t{image.Width()} + 7) / 8)) {}

  const uint8_t* Row(int32_t y) {
    if (m_image.BitCount() == 1)
      return m_image.Row(y);
    std::fill(m_bits.begin(), m_bits.end(), 0);
    const uint8_t* p = m_image.Row(y);
    const int64_t width = m_image.Width();
    for (int64_t x = 0; x < width; ++x) {
      if (White(p, x))
        m_bits[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    return m_bits.data();
  }

 private:
  bool White(const uint8_t* p, int64_t x) const {
    switch (m_image.BitCount()) {
      case 2:
        return (p[x >> 2] >> (6 - 2 * (x & 3))) & 3;
      case 4:
        return (p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
      case 8:
        return p[x] != 0;
      case 24:
        return (p[3 * x] | p[3 * x + 1] | p[3 * x + 2]) != 0;
      default:
        return true;  // as GetPixel answers for a depth it does not know
    }
  }

  const BmpImage& m_image;
  std::vector<uint8_t> m_bits;
};

// Appends bits to a 1-bit row, most significant bit first, storing whole 64-bit words. The
// bytes it stores are exactly those SetPixel would leave; bits past the last one stay zero.
class BitWriter {
 public:
  void Start(uint8_t* row) {
    m_out = row;
    m_word = 0;
    m_fill = 0;
  }

  // Appends the low n bits of bits (0 < n <= 64, nothing set above them), highest first.
  void Put(uint64_t bits, int n) {
    const int free = 64 - m_fill;
    if (n < free) {
      m_word |= bits << (free - n);
      m_fill += n;
      return;
    }
    const int rest = n - free;
    m_word |= bits >> rest;
    Store(m_word, 8);
    m_out += 8;
    m_word = rest ? bits << (64 - rest) : 0;
    m_fill = rest;
  }

  void Flush() {
    Store(m_word, (m_fill + 7) / 8);
    m_fill = 0;
    m_word = 0;
  }

 private:
  void Store(uint64_t word, int bytes) {
    for (int i = 0; i < bytes; ++i)
      m_out[i] = static_cast<uint8_t>(word >> (56 - 8 * i));
  }

  uint8_t* m_out = nullptr;
  uint64_t m_word = 0;
  int m_fill = 0;
};

// A column mask over the shares: bit r for share r. The methods make at most kShareSlots
// shares, so 16 bits hold every mask.
using Code = uint16_t;

// White masks of a matrix's columns: bit r is set when entry (r, j) is 0, that is when the
// sub-pixel of share r is white (a set bit in the share).
using CodeTable = std::vector<Code, HugePageAllocator<Code>>;

CodeTable WhiteCodes(const BasisMatrix& matrix) {
  const Code all = static_cast<Code>((uint32_t{1} << matrix.Rows()) - 1);
  CodeTable codes(matrix.Cols());
  matrix.ColumnCodes(codes.data());
  for (Code& code : codes)
    code = static_cast<Code>(~code & all);
  return codes;
}

// A matrix's column order as PermuteColumns keeps changing it, without touching the matrix
// until ApplyTo: codes[j] is the white mask of place j.
class PermutedColumns {
 public:
  explicit PermutedColumns(const BasisMatrix& matrix)
      : m_codes(WhiteCodes(matrix)), m_all(static_cast<Code>((uint32_t{1} << matrix.Rows()) - 1)) {}

  // The same reordering as PermuteColumns making the same choices.
  void Permute(ChoiceStream& choices) {
    const int64_t count = static_cast<int64_t>(m_codes.size());
    if (count > kBoundTable) {
      Shuffle(
          count, [&](uint32_t bound) { return choices.Below(bound); },
          [&](int64_t i, int64_t j) { std::swap(m_codes[i], m_codes[j]); });
      return;
    }
    // The bounds of every step made once: the same choices without a division each.
    if (m_bounds.empty()) {
      for (uint32_t bound = 1; bound <= count; ++bound)
        m_bounds.emplace_back(bound, choices.Span());
    }
    Shuffle(
        count, [&](uint32_t bound) { return choices.Below(m_bounds[bound - 1]); },
        [&](int64_t i, int64_t j) { std::swap(m_codes[i], m_codes[j]); });
  }

  // The same reordering from choices already drawn: choices[k] for place count - 1 - k.
  void PermuteWith(const uint32_t* choices) {
    for (int64_t i = static_cast<int64_t>(m_codes.size()) - 1; i > 0; --i)
      std::swap(m_codes[i], m_codes[*choices++]);
  }

  const Code* Codes() const { return m_codes.data(); }
  Code* Codes() { return m_codes.data(); }
  int64_t Count() const { return static_cast<int64_t>(m_codes.size()); }

  // Leaves the matrix in the order reached, as the in-place permutations would have.
  void ApplyTo(BasisMatrix& matrix) const {
    BasisMatrix::ColumnWriter writer(matrix);
    for (Code code : m_codes)
      writer.Put(static_cast<Code>(~code & m_all));
  }

 private:
  // Shuffles of at most this many places use a table of their bounds.
  static constexpr int64_t kBoundTable = 4096;

  CodeTable m_codes;
  Code m_all;
  std::vector<ChoiceBound> m_bounds;
};

// Where a permuting method leaves the column order it reached: S0 and S1, or nowhere.
struct MatrixOrder {
  BasisMatrix* s0 = nullptr;
  BasisMatrix* s1 = nullptr;
  // columns: S1's order, then S0's, as the encoders hold them.
  void Keep(const PermutedColumns (&columns)[2]) const {
    if (s0 != nullptr)
      columns[1].ApplyTo(*s0);
    if (s1 != nullptr)
      columns[0].ApplyTo(*s1);
  }
};

// Spreads up to 64 column masks (one per pixel or place, in order) over the shares: bit
// 63 - i of words[r] becomes bit r of codes[i]. Eight masks by eight shares at a time.
template <typename CodeType>
void SpreadToShares(const CodeType* codes, int n, int m, uint64_t* words) {
  std::fill(words, words + m, 0);
  for (int g = 0; g * 8 < n; ++g) {
    const int count = std::min(8, n - g * 8);
    for (int lane = 0; lane * 8 < m; ++lane) {
      uint64_t x = 0;
      for (int i = 0; i < count; ++i) {
        x |= ((static_cast<uint64_t>(codes[g * 8 + i]) >> (8 * lane)) & 0xFF) << (56 - 8 * i);
      }
      // Byte b from the bottom now holds share (8 * lane + b)'s bits, first mask on top.
      x = Transpose8(x);
      const int shares = std::min(8, m - lane * 8);
      for (int b = 0; b < shares; ++b) {
        words[lane * 8 + b] |= ((x >> (8 * b)) & 0xFF) << (56 - 8 * g);
      }
    }
  }
}

// Patterns of at most 64 places held as one word per share: place p of share r is bit
// length - 1 - p of words[r], 1 for white. Built from the column masks codes[0..count).
constexpr int64_t kWordPattern = 64;

void PatternWords(const Code* codes, int64_t count, int m, uint64_t* words) {
  for (int r = 0; r < m; ++r) {
    uint64_t word = 0;  // in a register, not through memory, place by place
    for (int64_t j = 0; j < count; ++j)
      word = (word << 1) | ((codes[j] >> r) & 1u);
    words[r] = word;
  }
}

// A column order of fewer than 64 / m places held as one word: the pattern words of all shares
// side by side, share r's c places in bits r * c .. r * c + c (place p at bit r * c + c - 1 -
// p). Swapping two places is then one exchange of bits across every share at once.
class WordColumns {
 public:
  WordColumns(int64_t c, int m) : m_c(c), m_m(m) {
    for (int r = 0; r < m; ++r)
      m_spread |= uint64_t{1} << (r * m_c);
  }

  // The word of an order.
  uint64_t From(const PermutedColumns& columns) const {
    uint64_t words[kShareSlots];
    PatternWords(columns.Codes(), m_c, m_m, words);
    uint64_t word = 0;
    for (int r = 0; r < m_m; ++r)
      word |= words[r] << (r * m_c);
    return word;
  }

  // PermutedColumns::PermuteWith on a word: the word of the order reached.
  // Columns: the pair's count c, or 0 to read it from the layout; a count known when compiled
  // lets the loop unroll.
  template <int64_t Columns = 0>
  uint64_t Permuted(uint64_t word, const uint32_t* choices) const {
    const int64_t c = Columns > 0 ? Columns : m_c;
    for (int64_t i = c - 1; i > 0; --i) {
      const int64_t d = i - static_cast<int64_t>(*choices++);
      const uint64_t t = ((word >> d) ^ word) & (m_spread << (c - 1 - i));
      word ^= t | (t << d);
    }
    return word;
  }

  // Share r's pattern word (see PatternWords).
  uint64_t Share(uint64_t word, int r) const {
    return (word >> (r * m_c)) & ((uint64_t{1} << m_c) - 1);
  }

  // The order of a word, back into columns.
  void WriteBack(uint64_t word, PermutedColumns& columns) const {
    Code* codes = columns.Codes();
    for (int64_t j = 0; j < m_c; ++j) {
      Code code = 0;
      for (int r = 0; r < m_m; ++r)
        code |= static_cast<Code>(((Share(word, r) >> (m_c - 1 - j)) & 1) << r);
      codes[j] = code;
    }
  }

 private:
  int64_t m_c;
  int m_m;
  uint64_t m_spread = 0;  // bit 0 of every share's field
};

// One row of blocks without filler whose orders fit one word: the orders reached, one word
// per pixel, from the row's choices (perPixel a pixel). Columns as for WordColumns::Permuted.
template <int64_t Columns>
void OneWordRow(const WordColumns& layout, const uint8_t* bits, int64_t width,
                const uint32_t* choices, int64_t perPixel, uint64_t& blackOrder,
                uint64_t& whiteOrder, uint64_t* orders) {
  // Indexed by colour rather than chosen between two: a pixel then waits only for the last
  // pixel of its own colour, not for the one before it.
  uint64_t reached[2] = {blackOrder, whiteOrder};
  for (int64_t x = 0; x < width; ++x, choices += perPixel) {
    const int isWhite = (bits[x >> 3] >> (7 - (x & 7))) & 1;
    const uint64_t order = layout.Permuted<Columns>(reached[isWhite], choices);
    reached[isWhite] = order;
    orders[x] = order;
  }
  blackOrder = reached[0];
  whiteOrder = reached[1];
}

// One bit string per share: bit p (most significant first) is place p's sub-pixel of that
// share, 1 for white. Filled from column masks, one 64-place word at a time.
class SharePatterns {
 public:
  SharePatterns(int m, int64_t length)
      : m_m(m), m_words((length + 63) / 64), m_bits(static_cast<size_t>(m * m_words)), m_acc(m) {}

  // Places 0..count) from the column masks codes[0..count).
  void FromCodes(const Code* codes, int64_t count) {
    for (int64_t j0 = 0; j0 < count; j0 += 64) {
      const int n = static_cast<int>(std::min<int64_t>(64, count - j0));
      SpreadToShares(codes + j0, n, m_m, m_acc.data());
      for (int r = 0; r < m_m; ++r)
        m_bits[r * m_words + j0 / 64] = m_acc[r];
    }
  }

  void SetPlace(int r, int64_t p, bool white) {
    uint64_t& word = m_bits[r * m_words + (p >> 6)];
    const uint64_t bit = uint64_t{1} << (63 - (p & 63));
    word = white ? (word | bit) : (word & ~bit);
  }

  // n bits (1..64) of share r's string from place p on, right-aligned; p + n <= length.
  uint64_t Extract(int r, int64_t p, int n) const {
    const uint64_t* bits = m_bits.data() + r * m_words;
    const int64_t w = p >> 6;
    const int b = static_cast<int>(p & 63);
    uint64_t top = bits[w] << b;
    if (b + n > 64)
      top |= bits[w + 1] >> (64 - b);
    return n == 64 ? top : top >> (64 - n);
  }

 private:
  int m_m;
  int64_t m_words;
  std::vector<uint64_t> m_bits;
  std::vector<uint64_t> m_acc;
};

// Writes one row of s x s blocks into every share. Block row a of share r holds s places
// of that share's pattern from place (a * s) mod length on, wrapping at the pattern's end:
// f copies of a matrix row laid out row-major, or a row followed by filler. Block rows whose
// start repeats are copied whole, not written again.
class BlockRowWriter {
 public:
  BlockRowWriter(std::vector<BmpImage>& shares, int m, int64_t s, int64_t length)
      : m_shares(shares), m_m(m), m_s(s), m_length(length) {
    // The starts (a * s) mod length repeat with period length / gcd(s, length).
    m_distinct = std::min(s, length / std::gcd(s, length));
    for (int64_t a = 0; a < m_distinct; ++a)
      m_starts.push_back(a * s % length);
    m_writers.resize(static_cast<size_t>(m * m_distinct));
  }

  void StartRow(int64_t top) {
    m_top = top;
    for (int r = 0; r < m_m; ++r) {
      for (int64_t a = 0; a < m_distinct; ++a) {
        m_writers[r * m_distinct + a].Start(m_shares[r].Row(static_cast<int32_t>(top + a)));
      }
    }
  }

  // PutBlock for patterns held as words (length <= kWordPattern, see PatternWords).
  void PutBlockWords(const uint64_t* words) {
    for (int r = 0; r < m_m; ++r) {
      const uint64_t word = words[r];
      for (int64_t a = 0; a < m_distinct; ++a) {
        BitWriter& writer = m_writers[r * m_distinct + a];
        const int64_t start = m_starts[a];
        const int64_t first = std::min(m_s, m_length - start);  // places before the wrap
        writer.Put(Places(word, start, first), static_cast<int>(first));
        // The block's side never exceeds the pattern, so it wraps once at most.
        if (first < m_s)
          writer.Put(Places(word, 0, m_s - first), static_cast<int>(m_s - first));
      }
    }
  }

  // PutBlockWords for count blocks at once, share by share, so that each writer works in
  // registers. Block x's pattern for share r is words[x * m + r], or with shared words the
  // length bits from bit r * length of words[x] (WordColumns).
  void PutRowWords(const uint64_t* words, int64_t count, bool shared) {
    const int64_t stride = shared ? 1 : m_m;
    for (int r = 0; r < m_m; ++r) {
      const int field = shared ? static_cast<int>(r * m_length) : 0;
      for (int64_t a = 0; a < m_distinct; ++a) {
        BitWriter writer = m_writers[r * m_distinct + a];
        const int64_t start = m_starts[a];
        const int first = static_cast<int>(std::min(m_s, m_length - start));
        const int rest = static_cast<int>(m_s) - first;
        // The places before the wrap, and after it: shifts and masks fixed for the row.
        const int firstShift = field + static_cast<int>(m_length - start) - first;
        const uint64_t firstMask = first == 64 ? ~uint64_t{0} : (uint64_t{1} << first) - 1;
        const int restShift = field + static_cast<int>(m_length) - rest;
        const uint64_t restMask = (uint64_t{1} << rest) - 1;
        const uint64_t* word = words + (shared ? 0 : r);
        if (rest == 0) {
          for (int64_t x = 0; x < count; ++x, word += stride)
            writer.Put((*word >> firstShift) & firstMask, first);
        } else {
          for (int64_t x = 0; x < count; ++x, word += stride) {
            writer.Put((*word >> firstShift) & firstMask, first);
            writer.Put((*word >> restShift) & restMask, rest);
          }
        }
        m_writers[r * m_distinct + a] = writer;
      }
    }
  }

  void PutBlock(const SharePatterns& patterns) {
    for (int r = 0; r < m_m; ++r) {
      for (int64_t a = 0; a < m_distinct; ++a) {
        BitWriter& writer = m_writers[r * m_distinct + a];
        int64_t place = m_starts[a];
        for (int64_t left = m_s; left > 0;) {
          const int n = static_cast<int>(std::min({int64_t{64}, left, m_length - place}));
          writer.Put(patterns.Extract(r, place, n), n);
          left -= n;
          place += n;
          if (place == m_length)
            place = 0;
        }
      }
    }
  }

  void FinishRow() {
    for (auto& writer : m_writers)
      writer.Flush();
    for (int r = 0; r < m_m; ++r) {
      BmpImage& share = m_shares[r];
      const size_t stride = static_cast<size_t>(share.Stride());
      for (int64_t a = m_distinct; a < m_s; ++a) {
        std::memcpy(share.Row(static_cast<int32_t>(m_top + a)),
                    share.Row(static_cast<int32_t>(m_top + a % m_distinct)), stride);
      }
    }
  }

 private:
  std::vector<BmpImage>& m_shares;
  int m_m;
  int64_t m_s;
  int64_t m_length;
  int64_t m_distinct;
  std::vector<int64_t> m_starts;
  std::vector<BitWriter> m_writers;
  int64_t m_top = 0;

  // n places (1..64) of a word pattern from place p on, right-aligned.
  uint64_t Places(uint64_t word, int64_t p, int64_t n) const {
    const uint64_t shifted = word >> (m_length - p - n);
    return n == 64 ? shifted : shifted & ((uint64_t{1} << n) - 1);
  }
};

// The choices of one Shuffle of count places.
int64_t ShuffleChoices(int64_t count) {
  return count > 1 ? count - 1 : 0;
}

// Pixels with at most this many choices have a row's choices drawn at once.
constexpr int64_t kRowChoices = 64;

// The bounds of one pixel's choices, in order: a shuffle of places (count down to 2), then
// blackOrWhite choices of two.
std::vector<ChoiceBound> PixelBounds(int64_t places, int64_t blackOrWhite, uint32_t span) {
  std::vector<ChoiceBound> bounds;
  for (int64_t i = places - 1; i > 0; --i)
    bounds.emplace_back(static_cast<uint32_t>(i + 1), span);
  for (int64_t k = 0; k < blackOrWhite; ++k)
    bounds.emplace_back(2, span);
  return bounds;
}

// Methods 0 and 5: one share pixel per secret pixel, all shares from one column, chosen
// among columns. codeOf(x, j) gives the white mask of column j at pixel x; beginRow(y,
// choiceAt) sees each row's choices (choiceAt(x)) before they are used.
template <typename CodeOf, typename BeginRow>
void EncodeOneColumnPerPixel(RandomSource& random, const BmpImage& secret, int m,
                             std::vector<BmpImage>& shares, uint32_t columns, RowBand band,
                             const ProgressFn& progress, BeginRow beginRow, CodeOf codeOf) {
  const int64_t width = secret.Width();
  if (width == 0 || band.end <= band.first)
    return;
  ChoiceStream choices(random, width * (band.end - band.first));
  const ChoiceBound bound(columns, choices.Span());
  std::vector<uint32_t> rowChoices(width);
  RowProgress rowsDone(progress, band.end - band.first);
  std::vector<BitWriter> writers(m);
  std::vector<uint64_t> acc(m);
  uint64_t codes[64];
  const uint32_t lowest = static_cast<uint32_t>(choices.Lowest());
  // One row, with choiceAt(x) the choice of pixel x; made twice over, so that the way the
  // choices are read is settled once per row.
  const auto encodeRow = [&](int32_t y, const auto& choiceAt) {
    beginRow(y, choiceAt);
    for (int r = 0; r < m; ++r)
      writers[r].Start(shares[r].Row(y));
    for (int64_t x0 = 0; x0 < width; x0 += 64) {
      const int n = static_cast<int>(std::min<int64_t>(64, width - x0));
      for (int i = 0; i < n; ++i)
        codes[i] = codeOf(x0 + i, choiceAt(x0 + i));
      SpreadToShares(codes, n, m, acc.data());
      for (int r = 0; r < m; ++r)
        writers[r].Put(n == 64 ? acc[r] : acc[r] >> (64 - n), n);
    }
    for (auto& writer : writers)
      writer.Flush();
    rowsDone.Done(y - band.first);
  };
  for (int32_t y = static_cast<int32_t>(band.first); y < band.end; ++y) {
    // Usually the row's numbers stand in the buffer with none rejected: read them in place.
    if (const int32_t* raw = choices.TakeAccepted(bound, width)) {
      encodeRow(y, [&](int64_t x) { return bound.Mod(static_cast<uint32_t>(raw[x]) - lowest); });
    } else {
      choices.Fill(bound, rowChoices.data(), width);
      encodeRow(y, [&](int64_t x) { return rowChoices[x]; });
    }
  }
}

// Tables of codes larger than this are read a row ahead: their columns lie all over memory.
constexpr size_t kPrefetchCodes = size_t{1} << 17;

void EncodeRandomBasisColumn(RandomSource& random, const BmpImage& secret, const BasisMatrix& s0,
                             const BasisMatrix& s1, std::vector<BmpImage>& shares, RowBand band,
                             const ProgressFn& progress) {
  const CodeTable codes[2] = {WhiteCodes(s1), WhiteCodes(s0)};
  const bool prefetch = codes[0].size() >= kPrefetchCodes;
  WhiteRows rows(secret);
  const uint8_t* bits = nullptr;
  EncodeOneColumnPerPixel(
      random, secret, s0.Rows(), shares, static_cast<uint32_t>(s0.Cols()), band, progress,
      [&](int32_t y, const auto& choiceAt) {
        bits = rows.Row(y);
        // Ask for the whole row's columns first, so that the reads overlap instead of
        // waiting one by one.
        for (int64_t x = 0; prefetch && x < secret.Width(); ++x)
          __builtin_prefetch(&codes[IsWhite(bits, x)][choiceAt(x)]);
      },
      [&](int64_t x, uint32_t j) { return codes[IsWhite(bits, x)][j]; });
}

// Methods 2, 3 and 4: every secret pixel permutes its matrix and becomes an s x s block.
// filler: places c..s*s) of each share, black or white by a choice each, after the
// permutation's choices.
void EncodePermutedBlocks(RandomSource& random, const BmpImage& secret, const BasisMatrix& s0,
                          const BasisMatrix& s1, MatrixOrder reached, std::vector<BmpImage>& shares,
                          int64_t s, bool filler, RowBand band, const ProgressFn& progress) {
  const int m = s0.Rows();
  const int64_t c = s0.Cols();
  const int64_t width = secret.Width();
  const int64_t rows = band.end - band.first;
  const int64_t length = filler ? s * s : c;
  const int64_t fillerPlaces = filler ? s * s - c : 0;
  const int64_t perPixel = ShuffleChoices(c) + m * fillerPlaces;
  PermutedColumns columns[2] = {PermutedColumns(s1), PermutedColumns(s0)};
  if (width > 0 && rows > 0) {
    ChoiceStream choices(random, width * rows * perPixel);
    const ChoiceBound blackOrWhite(2, choices.Span());
    SharePatterns patterns(m, length);
    BlockRowWriter writer(shares, m, s, length);
    WhiteRows white(secret);
    RowProgress rowsDone(progress, rows);
    const bool inWords = length <= kWordPattern;
    uint64_t words[kShareSlots];
    // Short patterns of choices: a whole row drawn at once, then read pixel by pixel.
    const bool byRow = inWords && perPixel > 0 && perPixel <= kRowChoices;
    const std::vector<ChoiceBound> bounds =
        byRow ? PixelBounds(c, m * fillerPlaces, choices.Span()) : std::vector<ChoiceBound>();
    std::vector<uint32_t> rowChoices(byRow ? width * perPixel : 0);
    std::vector<uint64_t> rowWords(byRow ? width * m : 0);
    const bool inOneWord = byRow && m * c < 64;
    const WordColumns layout(c, inOneWord ? m : 0);
    // The two running orders in registers: S1's for black pixels, S0's for white.
    uint64_t blackOrder = layout.From(columns[0]), whiteOrder = layout.From(columns[1]);
    for (int32_t y = static_cast<int32_t>(band.first); y < band.end; ++y) {
      const uint8_t* bits = white.Row(y);
      writer.StartRow(s * y);
      if (byRow && inOneWord && fillerPlaces == 0) {
        // The orders' words are every share's patterns at once: all the row needs.
        choices.FillCycle(bounds.data(), perPixel, rowChoices.data(), width * perPixel);
        const uint32_t* next = rowChoices.data();
        uint64_t* orders = rowWords.data();
        switch (c) {
          case 2:
            OneWordRow<2>(layout, bits, width, next, perPixel, blackOrder, whiteOrder, orders);
            break;
          case 3:
            OneWordRow<3>(layout, bits, width, next, perPixel, blackOrder, whiteOrder, orders);
            break;
          case 4:
            OneWordRow<4>(layout, bits, width, next, perPixel, blackOrder, whiteOrder, orders);
            break;
          default:
            OneWordRow<0>(layout, bits, width, next, perPixel, blackOrder, whiteOrder, orders);
        }
        writer.PutRowWords(orders, width, true);
        writer.FinishRow();
        rowsDone.Done(y - band.first);
        continue;
      }
      if (byRow) {
        choices.FillCycle(bounds.data(), perPixel, rowChoices.data(), width * perPixel);
        const uint32_t* next = rowChoices.data();
        for (int64_t x = 0; x < width; ++x, next += perPixel) {
          const bool isWhite = IsWhite(bits, x);
          if (inOneWord) {
            const uint64_t order = layout.Permuted(isWhite ? whiteOrder : blackOrder, next);
            (isWhite ? whiteOrder : blackOrder) = order;
            for (int r = 0; r < m; ++r)
              rowWords[x * m + r] = layout.Share(order, r);
          } else {
            uint64_t* pixelWords = rowWords.data() + x * m;
            PermutedColumns& chosen = columns[isWhite];
            chosen.PermuteWith(next);
            PatternWords(chosen.Codes(), c, m, pixelWords);
          }
          uint64_t* pixelWords = rowWords.data() + x * m;
          const uint32_t* fillerChoices = next + ShuffleChoices(c);
          for (int r = 0; fillerPlaces > 0 && r < m; ++r) {
            for (int64_t p = 0; p < fillerPlaces; ++p)
              pixelWords[r] = (pixelWords[r] << 1) | (*fillerChoices++ == 0);
          }
        }
        writer.PutRowWords(rowWords.data(), width, false);
        writer.FinishRow();
        rowsDone.Done(y - band.first);
        continue;
      }
      for (int64_t x = 0; x < width; ++x) {
        PermutedColumns& chosen = columns[IsWhite(bits, x)];
        chosen.Permute(choices);
        if (inWords) {
          PatternWords(chosen.Codes(), c, m, words);
          for (int r = 0; r < m; ++r) {
            for (int64_t p = 0; p < fillerPlaces; ++p)
              words[r] = (words[r] << 1) | (choices.Below(blackOrWhite) == 0);
          }
          writer.PutBlockWords(words);
          continue;
        }
        patterns.FromCodes(chosen.Codes(), c);
        for (int r = 0; r < m; ++r) {
          for (int64_t p = 0; p < fillerPlaces; ++p)
            patterns.SetPlace(r, c + p, choices.Below(blackOrWhite) == 0);
        }
        writer.PutBlock(patterns);
      }
      writer.FinishRow();
      rowsDone.Done(y - band.first);
    }
    if (inOneWord) {
      layout.WriteBack(blackOrder, columns[0]);
      layout.WriteBack(whiteOrder, columns[1]);
    }
  }
  reached.Keep(columns);
}

// Method 1: only the top-left pixel of every whole s x s block of the secret is read.
void EncodePixelSampling(RandomSource& random, const BmpImage& secret, const BasisMatrix& s0,
                         const BasisMatrix& s1, MatrixOrder reached, std::vector<BmpImage>& shares,
                         RowBand band, const ProgressFn& progress) {
  const int m = s0.Rows();
  const int64_t c = s0.Cols();
  const int64_t s = SquareBlockSide(c);
  const int64_t across = secret.Width() / s;
  const int64_t down = band.end - band.first;
  PermutedColumns columns[2] = {PermutedColumns(s1), PermutedColumns(s0)};
  if (across > 0 && down > 0) {
    ChoiceStream choices(random, across * down * ShuffleChoices(c));
    SharePatterns patterns(m, c);
    uint64_t words[kShareSlots];
    BlockRowWriter writer(shares, m, s, c);
    WhiteRows rows(secret);
    RowProgress rowsDone(progress, down);
    for (int64_t by = band.first; by < band.end; ++by) {
      const uint8_t* bits = rows.Row(static_cast<int32_t>(by * s));
      writer.StartRow(by * s);
      for (int64_t bx = 0; bx < across; ++bx) {
        PermutedColumns& chosen = columns[IsWhite(bits, bx * s)];
        chosen.Permute(choices);
        if (c <= kWordPattern) {
          PatternWords(chosen.Codes(), c, m, words);
          writer.PutBlockWords(words);
        } else {
          patterns.FromCodes(chosen.Codes(), c);
          writer.PutBlock(patterns);
        }
      }
      writer.FinishRow();
      rowsDone.Done(by - band.first);
    }
  }
  reached.Keep(columns);
}

// The innocent rows of one secret row, and the white masks of the m columns of T:
// column t is black in every share except share t where innocent t is white there.
class InnocentColumns {
 public:
  explicit InnocentColumns(const std::vector<BmpImage>& innocents) {
    for (const BmpImage& image : innocents)
      m_rows.emplace_back(image);
    m_bits.resize(innocents.size());
  }
  void BeginRow(int32_t y) {
    for (size_t t = 0; t < m_rows.size(); ++t)
      m_bits[t] = m_rows[t].Row(y);
  }
  Code WhiteMask(int t, int64_t x) const {
    return IsWhite(m_bits[t], x) ? static_cast<Code>(1u << t) : Code{0};
  }

 private:
  std::vector<WhiteRows> m_rows;
  std::vector<const uint8_t*> m_bits;
};

void EncodeExtendedPreserveSize(RandomSource& random, const BmpImage& secret,
                                const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                                const BasisMatrix& s1, std::vector<BmpImage>& shares, RowBand band,
                                const ProgressFn& progress) {
  const int m = s0.Rows();
  const int32_t c = s0.Cols();
  const CodeTable codes[2] = {WhiteCodes(s1), WhiteCodes(s0)};
  WhiteRows rows(secret);
  InnocentColumns innocent(innocents);
  const uint8_t* bits = nullptr;
  EncodeOneColumnPerPixel(
      random, secret, m, shares, static_cast<uint32_t>(c + m), band, progress,
      [&](int32_t y, const auto&) {
        bits = rows.Row(y);
        innocent.BeginRow(y);
      },
      [&](int64_t x, uint32_t j) {
        return j < static_cast<uint32_t>(c) ? codes[IsWhite(bits, x)][j]
                                            : innocent.WhiteMask(static_cast<int>(j - c), x);
      });
}

void EncodeExtendedPreserveDetail(RandomSource& random, const BmpImage& secret,
                                  const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                                  const BasisMatrix& s1, std::vector<BmpImage>& shares,
                                  RowBand band, const ProgressFn& progress) {
  const int m = s0.Rows();
  const int32_t c = s0.Cols();
  const int32_t length = c + m;
  const int64_t s = SquareBlockSide(length);
  const int64_t width = secret.Width();
  if (width == 0 || band.end <= band.first)
    return;
  const CodeTable codes[2] = {WhiteCodes(s1), WhiteCodes(s0)};
  std::vector<Code> permuted(length);
  ChoiceStream choices(random, width * (band.end - band.first) * ShuffleChoices(length));
  // The shuffle's bounds made once, when they are few: the same choices without a division.
  std::vector<ChoiceBound> bounds;
  for (uint32_t bound = 1; length <= 4096 && bound <= static_cast<uint32_t>(length); ++bound)
    bounds.emplace_back(bound, choices.Span());
  uint64_t words[kShareSlots];
  SharePatterns patterns(m, length);
  BlockRowWriter writer(shares, m, s, length);
  WhiteRows rows(secret);
  InnocentColumns innocent(innocents);
  RowProgress rowsDone(progress, band.end - band.first);
  for (int32_t y = static_cast<int32_t>(band.first); y < band.end; ++y) {
    const uint8_t* bits = rows.Row(y);
    innocent.BeginRow(y);
    writer.StartRow(s * y);
    for (int64_t x = 0; x < width; ++x) {
      // E starts from its stored order at every pixel: scheme columns, then T's columns.
      const Code* scheme = codes[IsWhite(bits, x)].data();
      std::copy(scheme, scheme + c, permuted.begin());
      for (int t = 0; t < m; ++t)
        permuted[c + t] = innocent.WhiteMask(t, x);
      Shuffle(
          length,
          [&](uint32_t bound) {
            return bounds.empty() ? choices.Below(bound) : choices.Below(bounds[bound - 1]);
          },
          [&](int64_t i, int64_t j) { std::swap(permuted[i], permuted[j]); });
      if (length <= kWordPattern) {
        PatternWords(permuted.data(), length, m, words);
        writer.PutBlockWords(words);
      } else {
        patterns.FromCodes(permuted.data(), length);
        writer.PutBlock(patterns);
      }
    }
    writer.FinishRow();
    rowsDone.Done(y - band.first);
  }
}

}  // namespace

int64_t MethodWalkRows(ExpansionMethod method, const BmpImage& secret, int64_t c) {
  if (MethodInfo(method).layout == PixelLayout::SampledBlock)
    return secret.Height() / SquareBlockSide(c);
  return secret.Height();
}

// The encoder of a method follows from its row: its pixel layout, and whether innocent
// images join the scheme's columns.
void EncodeShareRows(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                     const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                     const BasisMatrix& s1, BasisMatrix* reached0, BasisMatrix* reached1,
                     std::vector<BmpImage>& shares, RowBand band, const ProgressFn& progress) {
  const MethodRow& row = MethodInfo(method);
  const MatrixOrder reached{reached0, reached1};
  if (!PermutesPair(method)) {
    if (!row.innocents) {
      EncodeRandomBasisColumn(random, secret, s0, s1, shares, band, progress);
    } else if (row.layout == PixelLayout::OneColumn) {
      EncodeExtendedPreserveSize(random, secret, innocents, s0, s1, shares, band, progress);
    } else {
      EncodeExtendedPreserveDetail(random, secret, innocents, s0, s1, shares, band, progress);
    }
  } else if (row.layout == PixelLayout::SampledBlock) {
    EncodePixelSampling(random, secret, s0, s1, reached, shares, band, progress);
  } else {
    const int64_t s = MethodBlockSide(method, s0.Rows(), s0.Cols());
    EncodePermutedBlocks(random, secret, s0, s1, reached, shares, s, row.side == BlockSide::Filler,
                         band, progress);
  }
}

void EncodeUnpermutedShares(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                            const std::vector<BmpImage>& innocents, const BasisMatrix& s0,
                            const BasisMatrix& s1, std::vector<BmpImage>& shares,
                            const ProgressFn& progress) {
  assert(!PermutesPair(method) && "a method that permutes its matrices");
  const RowBand all{0, MethodWalkRows(method, secret, s0.Cols())};
  EncodeShareRows(random, method, secret, innocents, s0, s1, nullptr, nullptr, shares, all,
                  progress);
}

void EncodeShares(RandomSource& random, ExpansionMethod method, const BmpImage& secret,
                  const std::vector<BmpImage>& innocents, BasisMatrix& s0, BasisMatrix& s1,
                  std::vector<BmpImage>& shares, const ProgressFn& progress) {
  const RowBand all{0, MethodWalkRows(method, secret, s0.Cols())};
  EncodeShareRows(random, method, secret, innocents, s0, s1, &s0, &s1, shares, all, progress);
}

}  // namespace quillon
