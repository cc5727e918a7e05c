#include "core/bmp_image.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>

#include "tests/fault_env.h"
#include "tests/test_util.h"

namespace quillon {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;
using testing::WriteFileBytes;

void Put(std::vector<uint8_t>& bytes, size_t offset, uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A file laid out the plain way: headers, `entries` colour-table entries, then the rows.
// Fields that the reader copies without using get odd values, so a round trip shows they are
// copied and not recomputed.
std::vector<uint8_t> MakeFile(int32_t width, int32_t height, int bits, uint32_t clrUsed,
                              uint32_t seed) {
  int64_t entries = BmpPaletteEntries(bits, clrUsed);
  int64_t stride = BmpStride(width, bits);
  size_t offBits = 54 + 4 * entries;
  std::vector<uint8_t> bytes(offBits + stride * height);
  std::mt19937 engine(seed);
  for (size_t i = 54; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(engine());
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, 12345, 4);  // not the file size: read and written, never used
  Put(bytes, 6, 7, 2);
  Put(bytes, 8, 9, 2);
  Put(bytes, 10, offBits, 4);
  Put(bytes, 14, 40, 4);
  Put(bytes, 18, width, 4);
  Put(bytes, 22, height, 4);
  Put(bytes, 26, 1, 2);
  Put(bytes, 28, bits, 2);
  Put(bytes, 30, 0, 4);
  Put(bytes, 34, 999, 4);
  Put(bytes, 38, 2835, 4);
  Put(bytes, 42, 1234, 4);
  Put(bytes, 46, clrUsed, 4);
  Put(bytes, 50, 3, 4);
  return bytes;
}

// What the desktop program would have said for a load, kept as texts so that the cases read
// as the user sees them: one line per outcome, the colour-table line first.
class LoadLog {
 public:
  bool Load(BmpImage& image, int64_t maxPixelBytes = kBmpMaxPixelBytes) {
    const Outcome outcome = image.Load(Env::Default(), maxPixelBytes);
    m_codes.push_back(outcome.code);
    if (image.PaletteCutShort())
      m_texts.push_back("ERROR: Can't read bitmap's color palette!");
    switch (outcome.code) {
      case Code::kOk:
        break;
      case Code::kShortPixelData:
      case Code::kCannotRead:
        m_texts.push_back("ERROR: Can't read in image!");
        break;
      case Code::kNoMemory:
        m_texts.push_back("ERROR: Can't allocate memory for image!");
        break;
      case Code::kCannotOpen:
        m_texts.push_back("ERROR: Cannot open " + outcome.file);
        break;
      default:
        m_texts.push_back("ERROR: Unsupported bitmap file " + outcome.file);
    }
    return outcome.ok();
  }
  const std::vector<std::string>& Texts() const { return m_texts; }
  const std::vector<Code>& Codes() const { return m_codes; }
  void Clear() {
    m_texts.clear();
    m_codes.clear();
  }

 private:
  std::vector<std::string> m_texts;
  std::vector<Code> m_codes;
};

struct Loaded {
  bool ok;
  BmpImage image;
  std::vector<std::string> messages;
};

Loaded LoadBytes(const ScratchDir& dir, const std::vector<uint8_t>& bytes) {
  std::string path = dir.File("in.bmp");
  WriteFileBytes(path, bytes);
  LoadLog log;
  BmpImage image(path);
  bool ok = log.Load(image);
  return {ok, image, log.Texts()};
}

TEST(BmpImage, BlankImageFileIsExactly74Bytes) {
  ScratchDir dir;
  BmpImage image(dir.File("blank.bmp"), 3, 10);
  EXPECT_EQ(image.Stride(), 4);
  EXPECT_EQ(image.Header().biSizeImage, 12u);
  EXPECT_EQ(image.Header().bfOffBits, 62u);
  EXPECT_EQ(image.Header().bfSize, 74u);
  ASSERT_TRUE(image.Save(Env::Default()));
  std::vector<uint8_t> expected = {
      'B', 'M', 74, 0, 0,   0,   0,   0, 0, 0, 62, 0, 0, 0,        // file header
      40,  0,   0,  0, 10,  0,   0,   0, 3, 0, 0,  0, 1, 0, 1, 0,  // size, width, height...
      0,   0,   0,  0, 12,  0,   0,   0, 0, 0, 0,  0, 0, 0, 0, 0,  // compression, image size
      0,   0,   0,  0, 0,   0,   0,   0,                           // colours used, important
      0,   0,   0,  0, 255, 255, 255, 0,                           // black, white
      0,   0,   0,  0, 0,   0,   0,   0, 0, 0, 0,  0};             // three zero rows
  EXPECT_EQ(ReadFileBytes(image.FileName()), expected);
}

TEST(BmpImage, StrideRoundsRowsUpToFourBytes) {
  EXPECT_EQ(BmpStride(32, 1), 4);
  EXPECT_EQ(BmpStride(33, 1), 8);
  EXPECT_EQ(BmpStride(1, 1), 4);
  EXPECT_EQ(BmpStride(0, 1), 0);
  EXPECT_EQ(BmpStride(5, 24), 16);
  EXPECT_EQ(BmpStride(3, 4), 4);
  EXPECT_LT(BmpStride(-1, 1), 0);
  EXPECT_LT(BmpStride(0x7FFFFFFF, 24), 0);  // a row beyond 2^31 bytes
}

TEST(BmpImage, BlankImageStartsBlack) {
  BmpImage image("x.bmp", 5, 13);
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 13; ++c)
      ASSERT_EQ(image.GetPixel(r, c), 'b');
  }
  image.SetPixel(4, 12, 0);
  EXPECT_EQ(image.GetPixel(4, 12), 'w');
  EXPECT_EQ(image.GetPixel(4, 11), 'b');
}

TEST(BmpImage, SetPixelTouchesOnlyItsOwnBits) {
  BmpImage one("x.bmp", 1, 16);
  for (int c = 0; c < 16; ++c)
    one.SetPixel(0, c, 0);
  one.SetPixel(0, 9, 1);
  EXPECT_EQ(one.Row(0)[0], 0xFF);
  EXPECT_EQ(one.Row(0)[1], 0xFF & ~0x40);

  ScratchDir dir;
  Loaded four = LoadBytes(dir, MakeFile(4, 1, 4, 0, 1));
  ASSERT_TRUE(four.ok);
  std::memset(four.image.Row(0), 0, 2);
  four.image.SetPixel(0, 1, 0);
  four.image.SetPixel(0, 2, 0);
  EXPECT_EQ(four.image.Row(0)[0], 0x0F);
  EXPECT_EQ(four.image.Row(0)[1], 0xF0);
  EXPECT_EQ(four.image.GetPixel(0, 0), 'b');
  EXPECT_EQ(four.image.GetPixel(0, 3), 'b');

  Loaded two = LoadBytes(dir, MakeFile(4, 1, 2, 0, 2));
  ASSERT_TRUE(two.ok);
  two.image.Row(0)[0] = 0xFF;
  two.image.SetPixel(0, 2, 1);
  EXPECT_EQ(two.image.Row(0)[0], 0xFF & ~0x0C);
  EXPECT_EQ(two.image.GetPixel(0, 2), 'b');
  EXPECT_EQ(two.image.GetPixel(0, 1), 'w');

  Loaded eight = LoadBytes(dir, MakeFile(2, 1, 8, 0, 3));
  ASSERT_TRUE(eight.ok);
  eight.image.SetPixel(0, 1, 0);
  EXPECT_EQ(eight.image.Row(0)[1], 255);
  eight.image.SetPixel(0, 1, 1);
  EXPECT_EQ(eight.image.Row(0)[1], 0);
}

// The whole-row view that stacking uses against one GetPixel per pixel, at every depth and
// width, with random pixels (deep ones mostly zero, so that black occurs) and padding.
TEST(BmpImage, WhiteRowMatchesGetPixel) {
  ScratchDir dir;
  uint32_t seed = 100;
  for (int bits : {1, 2, 4, 8, 24}) {
    for (int32_t width = 1; width <= 41; width += 4) {
      std::vector<uint8_t> bytes = MakeFile(width, 3, bits, 0, seed++);
      std::mt19937 engine(seed);
      for (size_t i = 54 + 4 * BmpPaletteEntries(bits, 0); i < bytes.size(); ++i) {
        if (engine() % 3 != 0)
          bytes[i] = 0;
      }
      Loaded loaded = LoadBytes(dir, bytes);
      ASSERT_TRUE(loaded.ok);
      for (int32_t r = 0; r < 3; ++r) {
        std::vector<uint8_t> row((width + 7) / 8, 0xAA);
        loaded.image.WhiteRow(r, row.data());
        std::vector<uint8_t> expected((width + 7) / 8, 0);
        for (int32_t c = 0; c < width; ++c) {
          if (loaded.image.GetPixel(r, c) == 'w')
            expected[c / 8] |= static_cast<uint8_t>(0x80 >> (c % 8));
        }
        EXPECT_EQ(row, expected) << bits << " bits, width " << width << ", row " << r;
      }
    }
  }
}

TEST(BmpImage, OnlyAllZeroBitsAreBlack) {
  ScratchDir dir;
  // A 1-bit file whose table lists white first: bit 0 still reads black.
  std::vector<uint8_t> bytes = MakeFile(8, 1, 1, 2, 4);
  std::memcpy(&bytes[54], "\xff\xff\xff\x00\x00\x00\x00\x00", 8);
  bytes[62] = 0x0F;
  Loaded one = LoadBytes(dir, bytes);
  ASSERT_TRUE(one.ok);
  EXPECT_EQ(one.image.GetPixel(0, 0), 'b');
  EXPECT_EQ(one.image.GetPixel(0, 7), 'w');

  std::vector<uint8_t> rgb = MakeFile(3, 1, 24, 0, 5);
  ASSERT_EQ(rgb.size(), 54u + 12u);  // no colour table
  std::memcpy(&rgb[54], "\x00\x00\x01\x00\x00\x00\x05\x00\x00", 9);
  Loaded deep = LoadBytes(dir, rgb);
  ASSERT_TRUE(deep.ok);
  EXPECT_EQ(deep.image.GetPixel(0, 0), 'w');
  EXPECT_EQ(deep.image.GetPixel(0, 1), 'b');
  EXPECT_EQ(deep.image.GetPixel(0, 2), 'w');
  deep.image.SetPixel(0, 1, 0);
  EXPECT_EQ(std::vector<uint8_t>(deep.image.Row(0) + 3, deep.image.Row(0) + 6),
            (std::vector<uint8_t>{255, 255, 255}));
}

TEST(BmpImage, LoadThenSaveReproducesTheFileByteForByte) {
  ScratchDir dir;
  struct Case {
    int32_t width, height;
    int bits;
    uint32_t clrUsed;
  };
  const Case cases[] = {{13, 7, 1, 0}, {64, 2, 1, 2}, {9, 3, 2, 0},   {5, 4, 4, 0},
                        {6, 5, 4, 12}, {7, 3, 8, 0},  {4, 4, 8, 200}, {5, 3, 24, 0},
                        {3, 2, 24, 5}, {1, 1, 1, 0},  {0, 0, 8, 0}};
  uint32_t seed = 10;
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = MakeFile(c.width, c.height, c.bits, c.clrUsed, seed++);
    Loaded loaded = LoadBytes(dir, bytes);
    ASSERT_TRUE(loaded.ok) << c.bits << " bits";
    EXPECT_TRUE(loaded.messages.empty());
    loaded.image.SetFileName(dir.File("out.bmp"));
    ASSERT_TRUE(loaded.image.Save(Env::Default()));
    EXPECT_EQ(ReadFileBytes(dir.File("out.bmp")), bytes)
        << c.width << "x" << c.height << " at " << c.bits << " bits, " << c.clrUsed << " colours";
  }
}

TEST(BmpImage, SuiteFilesTheReaderSupportsRoundTrip) {
  ScratchDir dir;
  const char* files[] = {"g/pal1.bmp",     "g/pal1bg.bmp",    "g/pal1wb.bmp",
                         "g/pal4.bmp",     "g/pal4gs.bmp",    "g/pal8-0.bmp",
                         "g/pal8.bmp",     "g/pal8gs.bmp",    "g/pal8nonsquare.bmp",
                         "g/pal8w124.bmp", "g/pal8w125.bmp",  "g/pal8w126.bmp",
                         "g/rgb24.bmp",    "g/rgb24pal.bmp",  "q/pal1p1.bmp",
                         "q/pal2.bmp",     "q/pal2color.bmp", "q/pal8os2v2-40sz.bmp"};
  for (const char* name : files) {
    std::string path = std::string(QUILLON_BMPSUITE_DIR) + "/" + name;
    LoadLog log;
    BmpImage image(path);
    ASSERT_TRUE(log.Load(image)) << name;
    EXPECT_TRUE(log.Texts().empty()) << name;
    image.SetFileName(dir.File("copy.bmp"));
    ASSERT_TRUE(image.Save(Env::Default())) << name;
    EXPECT_EQ(ReadFileBytes(dir.File("copy.bmp")), ReadFileBytes(path)) << name;
  }

  // pal1wb stores the same picture as pal1 with the two colours swapped in the table, so its
  // indices, and with them black and white, are the inverse of pal1's.
  BmpImage normal(std::string(QUILLON_BMPSUITE_DIR) + "/g/pal1.bmp");
  BmpImage swapped(std::string(QUILLON_BMPSUITE_DIR) + "/g/pal1wb.bmp");
  ASSERT_TRUE(normal.Load(Env::Default()) && swapped.Load(Env::Default()));
  int black = 0;
  for (int r = 0; r < normal.Height(); ++r) {
    for (int c = 0; c < normal.Width(); ++c) {
      ASSERT_NE(normal.GetPixel(r, c), swapped.GetPixel(r, c));
      black += normal.GetPixel(r, c) == 'b';
    }
  }
  EXPECT_GT(black, 0);
  EXPECT_LT(black, 127 * 64);
}

std::string Suite(const std::string& name) {
  return std::string(QUILLON_BMPSUITE_DIR) + "/" + name;
}

// The two-colour view as one string, bottom row first.
std::string View(const BmpImage& image) {
  std::string view;
  for (int32_t r = 0; r < image.Height(); ++r) {
    for (int32_t c = 0; c < image.Width(); ++c)
      view += image.GetPixel(r, c);
  }
  return view;
}

// Every file of the suite ends in a loaded image or in a message with the image left empty;
// never in a crash, an overrun or a huge allocation. A loaded image saves as a plain file
// (40-byte header, uncompressed, bottom-up) that loads back as the same picture.
TEST(BmpImage, EverySuiteFileLoadsOrIsRefusedCleanly) {
  const std::set<std::string> refused = {
      "b/badbitcount.bmp", "b/badheadersize.bmp", "b/badwidth.bmp",   "b/reallybig.bmp",
      "b/rgb16-880.bmp",   "b/rletopdown.bmp",    "b/shortfile.bmp",  "q/pal1huffmsb.bmp",
      "q/rgb24jpeg.bmp",   "q/rgb24png.bmp",      "q/rgb24rle24.bmp", "q/rgba64.bmp",
      "x/ba-bm.bmp"};
  ScratchDir dir;
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(QUILLON_BMPSUITE_DIR)) {
    if (entry.path().extension() != ".bmp")
      continue;
    ++files;
    const std::string name =
        std::filesystem::relative(entry.path(), QUILLON_BMPSUITE_DIR).generic_string();
    LoadLog log;
    BmpImage image(entry.path().string());
    if (!log.Load(image)) {
      EXPECT_TRUE(refused.count(name)) << name << " refused: " << log.Texts().at(0);
      ASSERT_EQ(log.Texts().size(), 1u) << name;
      EXPECT_FALSE(image.HasPixels());
      EXPECT_EQ(image.Width(), 0);
      EXPECT_EQ(image.Height(), 0);
      continue;
    }
    EXPECT_FALSE(refused.count(name)) << name << " loaded";
    EXPECT_TRUE(log.Texts().empty()) << name;
    ASSERT_EQ(static_cast<int64_t>(image.Pixels().size()), image.Stride() * image.Height());
    const std::string view = View(image);
    image.SetFileName(dir.File("copy.bmp"));
    ASSERT_TRUE(image.Save(Env::Default())) << name;
    std::vector<uint8_t> saved = ReadFileBytes(dir.File("copy.bmp"));
    ASSERT_GE(saved.size(), 54u);
    EXPECT_EQ(saved[14], 40) << name;
    EXPECT_EQ(saved[30] | saved[31] | saved[32] | saved[33], 0) << name;
    EXPECT_EQ(static_cast<int64_t>(saved.size()),
              image.Header().bfOffBits + image.Stride() * image.Height())
        << name;
    BmpImage again(dir.File("copy.bmp"));
    ASSERT_TRUE(log.Load(again)) << name;
    EXPECT_EQ(View(again), view) << name;
    EXPECT_EQ(ReadFileBytes(dir.File("copy.bmp")), saved) << name;
  }
  EXPECT_EQ(files, 89);
}

// Inputs that once crashed the reader (fuzz/regressions) load, or are refused, cleanly; a
// loaded one saves and loads back as the same picture.
TEST(BmpImage, FuzzRegressionsAreReadCleanly) {
  ScratchDir dir;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(QUILLON_FUZZ_REGRESSIONS_DIR)) {
    ++files;
    LoadLog log;
    BmpImage image(entry.path().string());
    if (!log.Load(image)) {
      EXPECT_EQ(log.Texts().size(), 1u) << entry.path();
      EXPECT_FALSE(image.HasPixels());
      continue;
    }
    const std::string view = View(image);
    image.SetFileName(dir.File("copy.bmp"));
    ASSERT_TRUE(image.Save(Env::Default())) << entry.path();
    BmpImage again(dir.File("copy.bmp"));
    ASSERT_TRUE(log.Load(again)) << entry.path();
    EXPECT_EQ(View(again), view) << entry.path();
  }
  EXPECT_GT(files, 0);
}

// The variants show the same picture as their plain counterpart. At up to 8 bits black is
// palette index 0; above, black is every colour bit zero, so a 16-bit picture is black where
// the 24-bit one rounds to zero in every channel of its masks.
TEST(BmpImage, SuiteVariantsShowTheirPlainCounterpart) {
  struct Case {
    const char* file;
    const char* plain;
    int bits[3];  // red, green, blue bits of a 16-bit file; 0 for an exact match
  };
  const Case cases[] = {
      {"g/pal8rle.bmp", "g/pal8.bmp", {}},
      {"g/pal8os2.bmp", "g/pal8.bmp", {}},
      {"g/pal8v4.bmp", "g/pal8.bmp", {}},
      {"g/pal8v5.bmp", "g/pal8.bmp", {}},
      {"g/pal8topdown.bmp", "g/pal8.bmp", {}},
      {"g/pal8-0.bmp", "g/pal8.bmp", {}},
      {"q/pal8offs.bmp", "g/pal8.bmp", {}},
      {"q/pal8os2-hs.bmp", "g/pal8.bmp", {}},
      {"q/pal8os2-sz.bmp", "g/pal8.bmp", {}},
      {"q/pal8os2sp.bmp", "g/pal8.bmp", {}},
      {"q/pal8os2v2.bmp", "g/pal8.bmp", {}},
      {"q/pal8os2v2-16.bmp", "g/pal8.bmp", {}},
      {"q/pal8os2v2-sz.bmp", "g/pal8.bmp", {}},
      {"q/pal8oversizepal.bmp", "g/pal8.bmp", {}},
      {"g/pal4rle.bmp", "g/pal4.bmp", {}},
      {"g/rgb32.bmp", "g/rgb24.bmp", {}},
      {"g/rgb32bf.bmp", "g/rgb24.bmp", {}},
      {"g/rgb32bfdef.bmp", "g/rgb24.bmp", {}},
      {"q/rgb32fakealpha.bmp", "g/rgb24.bmp", {}},
      {"q/rgb32h52.bmp", "g/rgb24.bmp", {}},
      {"q/rgb32-xbgr.bmp", "g/rgb24.bmp", {}},
      {"q/rgb32-111110.bmp", "g/rgb24.bmp", {}},
      {"q/rgb32-7187.bmp", "g/rgb24.bmp", {}},
      {"q/rgba32-1.bmp", "g/rgb24.bmp", {}},
      {"q/rgba32-2.bmp", "g/rgb24.bmp", {}},
      {"q/rgba32h56.bmp", "g/rgb24.bmp", {}},
      {"q/rgba32abf.bmp", "g/rgb24.bmp", {}},
      {"q/rgba32-1010102.bmp", "g/rgb24.bmp", {}},
      {"q/rgba32-81284.bmp", "g/rgb24.bmp", {}},
      {"q/rgb24largepal.bmp", "g/rgb24.bmp", {}},
      {"q/rgb24lprof.bmp", "g/rgb24.bmp", {}},
      {"q/rgba32-61754.bmp", "g/rgb24.bmp", {6, 17, 5}},
      {"g/rgb16.bmp", "g/rgb24.bmp", {5, 5, 5}},
      {"g/rgb16bfdef.bmp", "g/rgb24.bmp", {5, 5, 5}},
      {"q/rgb16faketrns.bmp", "g/rgb24.bmp", {5, 5, 5}},
      {"q/rgba16-5551.bmp", "g/rgb24.bmp", {5, 5, 5}},
      {"g/rgb16-565.bmp", "g/rgb24.bmp", {5, 6, 5}},
      {"g/rgb16-565pal.bmp", "g/rgb24.bmp", {5, 6, 5}},
      {"q/rgba16-4444.bmp", "g/rgb24.bmp", {4, 4, 4}},
  };
  for (const Case& c : cases) {
    LoadLog log;
    BmpImage image(Suite(c.file));
    BmpImage plain(Suite(c.plain));
    ASSERT_TRUE(log.Load(image)) << c.file;
    ASSERT_TRUE(log.Load(plain)) << c.plain;
    ASSERT_EQ(image.Width(), plain.Width()) << c.file;
    ASSERT_EQ(image.Height(), plain.Height()) << c.file;
    if (c.bits[0] != 0) {
      // Rounded to the channel's bits, a dark 24-bit pixel becomes black.
      for (int32_t r = 0; r < plain.Height(); ++r) {
        for (int32_t col = 0; col < plain.Width(); ++col) {
          uint8_t* p = plain.Row(r) + 3 * col;
          for (int ch = 0; ch < 3; ++ch) {
            const int bits = c.bits[2 - ch];
            const int max = (1 << std::min(bits, 8)) - 1;
            if ((p[ch] * max + 127) / 255 == 0)
              p[ch] = 0;
          }
        }
      }
    }
    EXPECT_EQ(View(image), View(plain)) << c.file;
    EXPECT_TRUE(log.Texts().empty()) << c.file;
  }
}

// A file with any information header: `between` holds what lies between the headers and the
// pixel data (masks, colour table, a gap), and masks go into headers of 52 bytes or more.
struct FileShape {
  uint32_t infoSize = 40;
  int32_t width = 0;
  int32_t height = 0;
  int bits = 8;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
  std::vector<uint32_t> headerMasks;
  std::vector<uint8_t> between;
  std::vector<uint8_t> data;
};

FileShape Shape(int32_t width, int32_t height, int bits, uint32_t compression = 0,
                uint32_t infoSize = 40, uint32_t clrUsed = 0,
                std::vector<uint32_t> headerMasks = {}) {
  FileShape s;
  s.infoSize = infoSize;
  s.width = width;
  s.height = height;
  s.bits = bits;
  s.compression = compression;
  s.clrUsed = clrUsed;
  s.headerMasks = std::move(headerMasks);
  return s;
}

std::vector<uint8_t> Build(const FileShape& s) {
  std::vector<uint8_t> bytes(14 + s.infoSize);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 14, s.infoSize, 4);
  if (s.infoSize == 12) {
    Put(bytes, 18, s.width, 2);
    Put(bytes, 20, s.height, 2);
    Put(bytes, 22, 1, 2);
    Put(bytes, 24, s.bits, 2);
  } else {
    Put(bytes, 18, s.width, 4);
    Put(bytes, 22, s.height, 4);
    Put(bytes, 26, 1, 2);
    Put(bytes, 28, s.bits, 2);
    if (s.infoSize >= 40) {
      Put(bytes, 30, s.compression, 4);
      Put(bytes, 46, s.clrUsed, 4);
    }
    for (size_t m = 0; m < s.headerMasks.size() && s.infoSize >= 52; ++m)
      Put(bytes, 54 + 4 * m, s.headerMasks[m], 4);
  }
  bytes.insert(bytes.end(), s.between.begin(), s.between.end());
  Put(bytes, 10, static_cast<uint32_t>(bytes.size()), 4);
  bytes.insert(bytes.end(), s.data.begin(), s.data.end());
  Put(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
  return bytes;
}

FileShape WithData(FileShape s, std::vector<uint8_t> data) {
  s.data = std::move(data);
  return s;
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> bytes(4 * words.size());
  size_t at = 0;
  for (uint32_t w : words) {
    Put(bytes, at, w, 4);
    at += 4;
  }
  return bytes;
}

// The palette indices (or 24-bit pixels, as "b g r" numbers) of a held row.
std::vector<int> Indices(const BmpImage& image, int32_t row) {
  std::vector<int> values;
  const uint8_t* p = image.Row(row);
  for (int32_t c = 0; c < image.Width(); ++c) {
    switch (image.BitCount()) {
      case 4:
        values.push_back((p[c / 2] >> ((c % 2) ? 0 : 4)) & 0xF);
        break;
      case 8:
        values.push_back(p[c]);
        break;
      case 24:
        values.push_back(p[3 * c] << 16 | p[3 * c + 1] << 8 | p[3 * c + 2]);
        break;
    }
  }
  return values;
}

TEST(BmpImage, TopDownAndOs2FilesAreHeldBottomRowFirst) {
  ScratchDir dir;
  // Three rows of two 8-bit pixels, the top row stored first.
  FileShape topDown = Shape(2, -3, 8, 0, 40, 2);
  topDown.between = Words({0x000000, 0xFFFFFF});
  topDown.data = {1, 2, 0, 0, 3, 4, 0, 0, 5, 6, 0, 0};
  Loaded loaded = LoadBytes(dir, Build(topDown));
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.image.Height(), 3);
  EXPECT_EQ(Indices(loaded.image, 0), (std::vector<int>{5, 6}));
  EXPECT_EQ(Indices(loaded.image, 2), (std::vector<int>{1, 2}));
  EXPECT_EQ(loaded.image.Header().bfOffBits, 54u + 8u);

  // OS/2 1.x: 16-bit sizes and 3-byte colour-table entries, held as 4-byte ones.
  FileShape os2 = Shape(3, 1, 4, 0, 12, 0);
  for (int e = 0; e < 16; ++e)
    os2.between.insert(os2.between.end(), {uint8_t(e), uint8_t(2 * e), uint8_t(3 * e)});
  os2.data = {0x12, 0x30, 0, 0};
  loaded = LoadBytes(dir, Build(os2));
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(Indices(loaded.image, 0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(loaded.image.ColourTable()[5], (std::array<uint8_t, 4>{5, 10, 15, 0}));
  EXPECT_EQ(loaded.image.Header().biSize, 40u);
  EXPECT_EQ(loaded.image.Header().biClrUsed, 16u);

  // Pixel data starts at bfOffBits, after a gap and a table longer than the depth indexes.
  FileShape gap = Shape(1, 1, 1, 0, 40, 5);
  gap.between = Words({0, 0xFFFFFF, 1, 2, 3, 0xDEADBEEF});
  gap.data = {0x80, 0, 0, 0};
  loaded = LoadBytes(dir, Build(gap));
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.image.GetPixel(0, 0), 'w');
  EXPECT_EQ(loaded.image.Header().biClrUsed, 2u);
  EXPECT_TRUE(loaded.messages.empty());
}

TEST(BmpImage, RleStreamsAreClippedAndUnsetPixelsAreIndexZero) {
  ScratchDir dir;
  // RLE8, 4 x 4. Row 0: a run of 6 clipped to 4. Row 1: an absolute run of 3 (padded),
  // then end of line. A delta of (1, 0) to column 1 of row 2, a run of 1, then an absolute
  // run of 5 that runs past the row. A delta past the picture ends it; row 3 stays unset.
  FileShape rle8 = Shape(4, 4, 8, 1, 40, 16);
  rle8.between.resize(64);
  rle8.data = {6, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1,
               0, 1, 9, 0, 5, 4, 5, 6, 7, 8, 0, 0, 2, 0, 200};
  Loaded loaded = LoadBytes(dir, Build(rle8));
  ASSERT_TRUE(loaded.ok) << loaded.messages.at(0);
  EXPECT_EQ(loaded.image.BitCount(), 8);
  EXPECT_EQ(loaded.image.Header().biCompression, 0u);
  EXPECT_EQ(Indices(loaded.image, 0), (std::vector<int>{7, 7, 7, 7}));
  EXPECT_EQ(Indices(loaded.image, 1), (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(Indices(loaded.image, 2), (std::vector<int>{0, 9, 4, 5}));
  EXPECT_EQ(Indices(loaded.image, 3), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(loaded.image.GetPixel(3, 0), 'b');

  // RLE4, 5 x 2: a run alternates the byte's halves; an absolute run of 3 nibbles takes two
  // bytes and is padded to a word; end of line, a run past the row, end of bitmap.
  FileShape rle4 = Shape(5, 2, 4, 2, 40, 0);
  rle4.between.resize(64);
  rle4.data = {3, 0x12, 0, 3, 0xAB, 0xC0, 0, 0, 9, 0x45, 0, 1};
  loaded = LoadBytes(dir, Build(rle4));
  ASSERT_TRUE(loaded.ok) << loaded.messages.at(0);
  EXPECT_EQ(Indices(loaded.image, 0), (std::vector<int>{1, 2, 1, 0xA, 0xB}));
  EXPECT_EQ(Indices(loaded.image, 1), (std::vector<int>{4, 5, 4, 5, 4}));

  // A stream that stops before the picture is done is short pixel data.
  rle4.data = {3, 0x12, 0, 0, 0, 5, 0x12};
  loaded = LoadBytes(dir, Build(rle4));
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.messages, std::vector<std::string>{"ERROR: Can't read in image!"});
}

TEST(BmpImage, DeepPixelsAreBlackExactlyWhenEveryColourBitIsZero) {
  ScratchDir dir;
  // 16 bits without masks are 5-5-5: the top bit is no colour. Colours scale to 8 bits and
  // a colour that is not zero never scales to zero.
  FileShape rgb16 = Shape(4, 1, 16);
  rgb16.data = {0x00, 0x80, 0x01, 0x00, 0xFF, 0x7F, 0x00, 0x7C};
  Loaded loaded = LoadBytes(dir, Build(rgb16));
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(loaded.image.BitCount(), 24);
  EXPECT_EQ(View(loaded.image), "bwww");
  EXPECT_EQ(Indices(loaded.image, 0),
            (std::vector<int>{0, 0x080000, 0xFFFFFF, 0x0000FF}));  // b g r

  // 32 bits with alpha bit fields after a 40-byte header: alpha plays no part, and a
  // channel of more than 8 bits keeps a lone low bit as 1.
  FileShape alpha = Shape(3, 1, 32, 6, 40, 0);
  alpha.between = Words({0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000});
  alpha.data = Words({0xC0000000, 0x00000001, 0x3FF00000});
  loaded = LoadBytes(dir, Build(alpha));
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(Indices(loaded.image, 0), (std::vector<int>{0, 0x010000, 0x0000FF}));

  // Masks inside a V5 header, in an unusual order.
  FileShape v5 = Shape(2, 1, 16, 3, 124, 0);
  v5.headerMasks = {0x000F, 0x00F0, 0x0F00, 0xF000};
  v5.data = {0x00, 0xF0, 0x0F, 0x00};
  loaded = LoadBytes(dir, Build(v5));
  ASSERT_TRUE(loaded.ok);
  EXPECT_EQ(Indices(loaded.image, 0), (std::vector<int>{0, 0x0000FF}));
  EXPECT_EQ(loaded.image.Header().biSize, 40u);
}

TEST(BmpImage, HostileAndUnsupportedFilesAreRefusedWithAMessage) {
  ScratchDir dir;
  const std::string unsupported = "ERROR: Unsupported bitmap file " + dir.File("in.bmp");
  const std::vector<uint8_t> pixels(4096, 0x11);
  struct Case {
    const char* what;
    FileShape shape;
  };
  const Case cases[] = {
      {"bit count 0", Shape(4, 4, 0)},
      {"bit count 17", Shape(4, 4, 17)},
      {"64-bit pixels", Shape(4, 4, 64)},
      {"JPEG inside", Shape(4, 4, 0, 4, 40, 0)},
      {"PNG inside", Shape(4, 4, 0, 5, 40, 0)},
      {"unknown compression", Shape(4, 4, 8, 7, 40, 0)},
      {"OS/2 Huffman", Shape(4, 4, 1, 3, 64, 0)},
      {"OS/2 RLE24", Shape(4, 4, 24, 4, 64, 0)},
      {"RLE8 of 4 bits", Shape(4, 4, 4, 1, 40, 0)},
      {"RLE4 of 8 bits", Shape(4, 4, 8, 2, 40, 0)},
      {"top-down RLE", Shape(4, -4, 8, 1, 40, 0)},
      {"bit fields of 24 bits", Shape(4, 4, 24, 3, 40, 0)},
      {"empty mask", Shape(4, 4, 16, 3, 56, 0, {0xF800, 0x07E0, 0})},
      {"broken mask", Shape(4, 4, 16, 3, 56, 0, {0xF000, 0x0F00, 0x0101})},
      {"overlapping masks", Shape(4, 4, 32, 3, 56, 0, {0xFF0000, 0xFFFF, 0xFF})},
      {"mask beyond 16 bits", Shape(4, 4, 16, 3, 56, 0, {0x1F0000, 0x03E0, 0x1F})},
      {"header size 66", Shape(4, 4, 8, 0, 66, 0)},
      {"negative width", Shape(-4, 4, 8)},
      {"rows without pixels", Shape(0, 1 << 30, 8)},
      {"smallest height", Shape(4, INT32_MIN, 8)},
      {"row beyond 2^31 bytes", Shape(0x7FFFFFFF, 1, 24)},
      {"pixels beyond 2^31 bytes", Shape(3000000, 2000000, 24)},
  };
  for (const Case& c : cases) {
    FileShape shape = c.shape;
    shape.data = pixels;
    Loaded loaded = LoadBytes(dir, Build(shape));
    EXPECT_FALSE(loaded.ok) << c.what;
    EXPECT_EQ(loaded.messages, std::vector<std::string>{unsupported}) << c.what;
    EXPECT_FALSE(loaded.image.HasPixels()) << c.what;
    EXPECT_EQ(loaded.image.Width(), 0) << c.what;
    EXPECT_EQ(loaded.image.Height(), 0) << c.what;
  }

  // Not a BMP at all, pixel data said to start inside the headers, bit fields whose masks
  // the file does not hold, and files cut inside their headers.
  std::vector<uint8_t> png = Build(WithData(Shape(4, 4, 8), pixels));
  png[0] = 0x89;
  png[1] = 'P';
  std::vector<uint8_t> inside = Build(WithData(Shape(4, 4, 8), pixels));
  Put(inside, 10, 30, 4);
  std::vector<uint8_t> noMasks = Build(Shape(1, 1, 16, 3, 40, 0));
  std::vector<std::vector<uint8_t>> others = {png, inside, noMasks};
  for (size_t length : {0, 1, 14, 17, 53}) {
    std::vector<uint8_t> cut = MakeFile(4, 4, 1, 0, 9);
    cut.resize(length);
    others.push_back(cut);
  }
  std::vector<uint8_t> cutV5 = Build(Shape(1, 1, 8, 0, 124, 0));
  cutV5.resize(100);
  others.push_back(cutV5);
  for (const auto& bytes : others) {
    Loaded loaded = LoadBytes(dir, bytes);
    EXPECT_FALSE(loaded.ok) << bytes.size();
    EXPECT_EQ(loaded.messages, std::vector<std::string>{unsupported}) << bytes.size();
  }

  // The reader can be told to refuse large pictures.
  std::vector<uint8_t> wide = MakeFile(400, 300, 8, 0, 3);
  WriteFileBytes(dir.File("in.bmp"), wide);
  LoadLog log;
  BmpImage image(dir.File("in.bmp"));
  EXPECT_FALSE(log.Load(image, 400 * 300 - 1));
  EXPECT_TRUE(log.Load(image, 400 * 300));
  EXPECT_EQ(log.Texts(), std::vector<std::string>{unsupported});
}

TEST(BmpImage, ShortPixelDataLeavesNoPixels) {
  ScratchDir dir;
  std::vector<uint8_t> bytes = MakeFile(30, 20, 24, 0, 11);
  bytes.pop_back();
  Loaded shortData = LoadBytes(dir, bytes);
  EXPECT_FALSE(shortData.ok);
  EXPECT_EQ(shortData.messages, std::vector<std::string>{"ERROR: Can't read in image!"});
  EXPECT_FALSE(shortData.image.HasPixels());
  EXPECT_EQ(shortData.image.Width(), 0);

  // A declared size of gigabytes in a small file is never allocated.
  std::vector<uint8_t> big = MakeFile(4, 4, 24, 0, 12);
  Put(big, 18, 20000, 4);
  Put(big, 22, 20000, 4);
  EXPECT_EQ(LoadBytes(dir, big).messages, std::vector<std::string>{"ERROR: Can't read in image!"});

  std::vector<uint8_t> cutTable = MakeFile(4, 4, 8, 0, 13);
  cutTable.resize(54 + 100);
  Loaded noTable = LoadBytes(dir, cutTable);
  EXPECT_FALSE(noTable.ok);
  EXPECT_EQ(noTable.messages, (std::vector<std::string>{"ERROR: Can't read bitmap's color palette!",
                                                        "ERROR: Can't read in image!"}));
}

TEST(BmpImage, MissingFileLeavesTheImageAsItWas) {
  ScratchDir dir;
  LoadLog log;
  BmpImage image(dir.File("nothing.bmp"));
  EXPECT_FALSE(log.Load(image));
  EXPECT_EQ(log.Texts(), std::vector<std::string>{"ERROR: Cannot open " + dir.File("nothing.bmp")});
  EXPECT_FALSE(image.HasPixels());
  EXPECT_EQ(image.Header().bfSize, 40u);
  EXPECT_EQ(image.FileName(), dir.File("nothing.bmp"));
  EXPECT_EQ(BmpImage().FileName(), "test.bmp");
}

TEST(BmpImage, FailedSaveKeepsTheOldFile) {
  ScratchDir dir;
  std::string path = dir.File("keep.bmp");
  WriteFileBytes(path, {'o', 'l', 'd'});

  // An image that claims a size but holds no pixels cannot be written.
  BmpImage empty(path);
  empty.MutableHeader().biWidth = 8;
  empty.MutableHeader().biHeight = 8;
  empty.MutableHeader().biBitCount = 1;
  EXPECT_EQ(empty.Save(Env::Default()).code, Code::kNoPixels);
  EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

  BmpImage nowhere(dir.File("no/such/folder/x.bmp"), 2, 2);
  const Outcome missing = nowhere.Save(Env::Default());
  EXPECT_EQ(missing.code, Code::kCannotCreate);
  EXPECT_EQ(missing.file, nowhere.FileName());
  EXPECT_EQ(missing.error, ENOENT);

  // A good save replaces the old file and gets ordinary permissions.
  BmpImage good(path, 2, 2);
  ASSERT_TRUE(good.Save(Env::Default()));
  EXPECT_EQ(ReadFileBytes(path).size(), 70u);
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IRUSR, 0u);
  EXPECT_NE(info.st_mode & S_IWUSR, 0u);
}

// What a failed save must leave: its message, false, the earlier file byte for byte and no
// temporary file. Answers an empty text when all holds, else what went wrong.
std::string CheckFailedSave(const std::filesystem::path& folder, const std::string& target,
                            Code expected, int error = 0) {
  auto listing = [&folder] {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.insert(entry.path().filename().string());
    return names;
  };
  auto contents = [&target] {
    return std::filesystem::is_regular_file(target) ? ReadFileBytes(target)
                                                    : std::vector<uint8_t>();
  };
  const std::set<std::string> before = listing();
  const std::vector<uint8_t> old = contents();
  BmpImage image(target, 64, 64);
  const Outcome saved = image.Save(Env::Default());
  if (saved)
    return "the save succeeded";
  if (saved.code != expected || saved.file != target || (error != 0 && saved.error != error))
    return "outcome " + std::to_string(static_cast<int>(saved.code)) + " " + saved.file + " " +
           std::to_string(saved.error);
  if (contents() != old)
    return "the earlier file changed";
  if (listing() != before)
    return "the folder's files changed";
  return "";
}

// Runs body in a child process (for a mount or a limit that must not touch the test program)
// and answers what it wrote to its pipe: empty for success.
std::string InChild(const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0)
    return "no pipe";
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const std::string result = body();
    ssize_t ignored = write(fds[1], result.data(), result.size());
    (void)ignored;
    _exit(0);
  }
  close(fds[1]);
  std::string result;
  char buffer[256];
  for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
    result.append(buffer, static_cast<size_t>(got));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status))
    return "the child died";
  return result;
}

TEST(BmpImage, AFailedSaveLeavesTheEarlierFileAndNoTemporaryFile) {
  ScratchDir dir;
  const std::vector<uint8_t> old = MakeFile(8, 8, 1, 0, 1);
  WriteFileBytes(dir.File("keep.bmp"), old);

  EXPECT_EQ(
      CheckFailedSave(dir.Path(), dir.File("no/such/folder/x.bmp"), Code::kCannotCreate, ENOENT),
      "");
  std::filesystem::create_directories(dir.File("in-the-way.bmp/inside"));
  EXPECT_EQ(CheckFailedSave(dir.Path(), dir.File("in-the-way.bmp"), Code::kNotRegularFile), "");

  // A file size limit: writing past it fails as on a full disk, whatever the permissions.
  EXPECT_EQ(InChild([&] {
              signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{200, 200};
              if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return std::string("no limit");
              return CheckFailedSave(dir.Path(), dir.File("keep.bmp"), Code::kCannotWrite, EFBIG);
            }),
            "");
  EXPECT_EQ(ReadFileBytes(dir.File("keep.bmp")), old);
}

// A really full disk: a small file system of its own, mounted where only a child process sees
// it. That takes root (as in CI); elsewhere the test is skipped.
TEST(BmpImage, ASaveOnAFullDiskLeavesTheEarlierFile) {
  ScratchDir dir;
  const std::string mount = dir.File("small");
  std::filesystem::create_directories(mount);
  const std::string result = InChild([&] {
    if (unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
        ::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k") != 0) {
      return std::string("skip");
    }
    const std::string target = mount + "/keep.bmp";
    WriteFileBytes(target, MakeFile(8, 8, 1, 0, 2));
    // Fill the rest of the disk.
    std::FILE* filler = std::fopen((mount + "/filler").c_str(), "wb");
    const std::vector<char> block(1024, 'x');
    while (filler != nullptr &&
           std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
           std::fflush(filler) == 0) {
    }
    if (filler != nullptr)
      std::fclose(filler);
    return CheckFailedSave(mount, target, Code::kCannotWrite, ENOSPC);
  });
  if (result == "skip")
    GTEST_SKIP() << "cannot mount a small file system here (needs root)";
  EXPECT_EQ(result, "");
}

// What is not a bitmap at all is told apart from a bitmap the reader refuses, and nothing that
// is not a regular file is read (a FIFO without a writer must not block the reader).
TEST(BmpImage, LoadOutcomesNameWhatTheFileIs) {
  ScratchDir dir;
  WriteFileBytes(dir.File("empty.bmp"), {});
  WriteFileBytes(dir.File("text.bmp"), {'h', 'e', 'l', 'l', 'o', '\n'});
  WriteFileBytes(dir.File("bad.bmp"), {'B', 'M', 0, 0});
  WriteFileBytes(dir.File("good.bmp"), MakeFile(4, 4, 1, 0, 1));
  std::filesystem::create_directory(dir.File("folder.bmp"));
  ASSERT_EQ(mkfifo(dir.File("fifo.bmp").c_str(), 0600), 0);
  testing::FaultEnv failing;
  failing.FailPath(testing::FileOp::kReadAt, "good.bmp", EIO);
  struct Case {
    const char* name;
    Env* env;
    Code code;
    int error;
  } cases[] = {
      {"empty.bmp", &Env::Default(), Code::kNotAPicture, 0},
      {"text.bmp", &Env::Default(), Code::kNotAPicture, 0},
      {"bad.bmp", &Env::Default(), Code::kUnsupportedBitmap, 0},
      {"folder.bmp", &Env::Default(), Code::kNotRegularFile, EISDIR},
      {"fifo.bmp", &Env::Default(), Code::kNotRegularFile, 0},
      {"missing.bmp", &Env::Default(), Code::kCannotOpen, ENOENT},
      {"good.bmp", &failing, Code::kCannotRead, EIO},
      {"good.bmp", &Env::Default(), Code::kOk, 0},
  };
  for (bool twoColour : {false, true}) {
    // The pixels, read after the headers and the colour table, fail as well.
    testing::FaultEnv pixelsFail;
    pixelsFail.FailCall(testing::FileOp::kReadAt, 3, EIO);
    std::vector<Case> all(std::begin(cases), std::end(cases));
    all.push_back({"good.bmp", &pixelsFail, Code::kCannotRead, EIO});
    for (const Case& c : all) {
      BmpImage image(dir.File(c.name));
      const Outcome outcome = twoColour ? image.LoadTwoColour(*c.env) : image.Load(*c.env);
      EXPECT_EQ(outcome.code, c.code) << c.name << twoColour;
      EXPECT_EQ(outcome.error, c.error) << c.name << twoColour;
      EXPECT_EQ(image.HasPixels(), c.code == Code::kOk) << c.name << twoColour;
      if (!outcome) {
        EXPECT_EQ(outcome.file, dir.File(c.name)) << c.name << twoColour;
      }
    }
  }
}

std::vector<int64_t> HeaderFields(const BmpHeader& h) {
  return {h.bfType,          h.bfSize,          h.bfReserved1,   h.bfReserved2,
          h.bfOffBits,       h.biSize,          h.biWidth,       h.biHeight,
          h.biPlanes,        h.biBitCount,      h.biCompression, h.biSizeImage,
          h.biXPelsPerMeter, h.biYPelsPerMeter, h.biClrUsed,     h.biClrImportant};
}

// The two-colour view of a fully loaded image, as the bytes of a new 1-bit image hold it.
std::vector<uint8_t> ViewBytes(const BmpImage& image) {
  const int64_t stride = BmpStride(image.Width(), 1);
  std::vector<uint8_t> bytes(static_cast<size_t>(stride * image.Height()));
  for (int32_t r = 0; r < image.Height(); ++r) {
    for (int32_t c = 0; c < image.Width(); ++c) {
      if (image.GetPixel(r, c) == 'w')
        bytes[r * stride + c / 8] |= static_cast<uint8_t>(0x80 >> (c % 8));
    }
  }
  return bytes;
}

// Reading straight into two colours gives what the full load shows, or the same refusal, for
// every file of the suite (every depth, RLE, bit fields, OS/2, top-down, cut files) and for
// random pictures of every depth and awkward widths, bottom-up and top-down.
TEST(BmpImage, TwoColourLoadIsTheViewOfTheFullLoad) {
  ScratchDir dir;
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(QUILLON_BMPSUITE_DIR)) {
    if (entry.path().extension() == ".bmp")
      paths.push_back(entry.path().string());
  }
  std::mt19937 engine(300);
  // Mostly zero bytes, so that black pixels occur at every depth.
  auto bytes = [&engine](int64_t n) {
    std::vector<uint8_t> out(static_cast<size_t>(n));
    for (uint8_t& b : out)
      b = engine() % 3 == 0 ? static_cast<uint8_t>(engine()) : 0;
    return out;
  };
  for (int bits : {1, 2, 4, 8, 16, 24, 32}) {
    for (int32_t width : {1, 7, 8, 9, 23, 64, 67}) {
      for (int32_t height : {5, -5}) {
        FileShape shape = Shape(width, height, bits);
        shape.between = bytes(bits <= 8 ? 4 << bits : 0);
        shape.data = bytes(BmpStride(width, bits) * 5);
        paths.push_back(dir.File("random" + std::to_string(paths.size()) + ".bmp"));
        WriteFileBytes(paths.back(), Build(shape));
      }
    }
  }
  for (const std::string& path : paths) {
    BmpImage full(path), view(path);
    const Outcome loaded = full.Load(Env::Default());
    const Outcome viewed = view.LoadTwoColour(Env::Default());
    ASSERT_EQ(viewed.code, loaded.code) << path;
    EXPECT_EQ(view.PaletteCutShort(), full.PaletteCutShort()) << path;
    if (!loaded) {
      EXPECT_FALSE(view.HasPixels()) << path;
      continue;
    }
    const BmpImage blank(path, full.Height(), full.Width());
    EXPECT_EQ(HeaderFields(view.Header()), HeaderFields(blank.Header())) << path;
    EXPECT_EQ(view.ColourTable(), blank.ColourTable()) << path;
    EXPECT_EQ(view.Pixels(), ViewBytes(full)) << path;
  }
}

// An RLE file's pixels are not bounded by its length: beyond kMaxPicturePixels it is refused
// before anything is allocated. An uncompressed file is bounded by its length, so that the
// program's own shares beyond that count (8192 x 8192 from a 4096 x 4096 secret) stay readable.
TEST(BmpImage, DeclaredSizesAreCheckedBeforeAnythingIsAllocated) {
  ScratchDir dir;
  const std::vector<uint8_t> endAtOnce = {0, 1};
  struct Case {
    const char* what;
    FileShape shape;
    Code code;
  };
  const Case cases[] = {
      {"RLE8 46000 x 46000", WithData(Shape(46000, 46000, 8, 1), endAtOnce),
       Code::kPictureTooLarge},
      {"RLE4 beyond by a row", WithData(Shape(8192, 4097, 4, 2), endAtOnce),
       Code::kPictureTooLarge},
      {"RLE8 of 2^25 pixels", WithData(Shape(8192, 4096, 8, 1), endAtOnce), Code::kOk},
      {"RLE8 without its stream", Shape(8192, 4096, 8, 1), Code::kShortPixelData},
      {"1 bit, 6000 x 6000", WithData(Shape(6000, 6000, 1), std::vector<uint8_t>(752 * 6000, 0x5A)),
       Code::kOk},
      {"1 bit, 6000 x 6000 a byte short",
       WithData(Shape(6000, 6000, 1), std::vector<uint8_t>(752 * 6000 - 1)), Code::kShortPixelData},
  };
  for (const Case& c : cases) {
    WriteFileBytes(dir.File("in.bmp"), Build(c.shape));
    for (bool twoColour : {false, true}) {
      BmpImage image(dir.File("in.bmp"));
      const Outcome outcome =
          twoColour ? image.LoadTwoColour(Env::Default()) : image.Load(Env::Default());
      EXPECT_EQ(outcome.code, c.code) << c.what << twoColour;
      EXPECT_EQ(image.HasPixels(), c.code == Code::kOk) << c.what << twoColour;
      if (c.code == Code::kPictureTooLarge) {
        EXPECT_EQ(outcome.detail,
                  std::to_string(c.shape.width) + " x " + std::to_string(c.shape.height));
      }
    }
  }
  // The desktop program calls it an unsupported bitmap.
  WriteFileBytes(dir.File("in.bmp"), Build(cases[0].shape));
  EXPECT_EQ(LoadBytes(dir, Build(cases[0].shape)).messages,
            std::vector<std::string>{"ERROR: Unsupported bitmap file " + dir.File("in.bmp")});
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__has_feature)
#define QUILLON_CAN_LIMIT_MEMORY 1
#elif defined(__has_feature)
#if !__has_feature(address_sanitizer)
#define QUILLON_CAN_LIMIT_MEMORY 1
#endif
#endif

#ifdef QUILLON_CAN_LIMIT_MEMORY
// The RLE file of fuzz/regressions that once took 2 GB: refused in a child whose address space
// has 64 MB to spare (the sanitizers need it all), by either loader.
TEST(BmpImage, AnRleBombIsRefusedWithinLittleMemory) {
  const std::string bomb =
      std::string(QUILLON_FUZZ_REGRESSIONS_DIR) + "/rle8-46000x46000-ends-at-once.bmp";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct rlimit limit;
    getrlimit(RLIMIT_AS, &limit);
    std::ifstream status("/proc/self/statm");
    long pages = 0;
    status >> pages;
    limit.rlim_cur = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (rlim_t{64} << 20);
    setrlimit(RLIMIT_AS, &limit);
    BmpImage image(bomb), view(bomb);
    const bool ok = image.Load(Env::Default()).code == Code::kPictureTooLarge &&
                    view.LoadTwoColour(Env::Default()).code == Code::kPictureTooLarge;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

}  // namespace
}  // namespace quillon
