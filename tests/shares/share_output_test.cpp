#include <gtest/gtest.h>

#include <filesystem>

#include "shares/expansion.h"
#include "tests/shares/share_test_util.h"

namespace quillon {
namespace {

using testing::FakeSession;
using testing::Picture;
using testing::ScratchDir;

TEST(ShareNames, OneDigitFromOne) {
  EXPECT_EQ(ShareName(0), "capa1.bmp");
  EXPECT_EQ(ShareName(8), "capa9.bmp");
}

TEST(ShareTable, CreatesBlankSharesNamedInOrder) {
  ShareTable table;
  table.CreateShareImages(3, 10, 4);
  ASSERT_EQ(table.Images().size(), 3u);
  EXPECT_EQ(table.Images()[2].FileName(), "capa3.bmp");
  EXPECT_EQ(table.Images()[0].Width(), 10);
  EXPECT_EQ(table.Images()[0].Height(), 4);
  // A 10 x 4 blank share: 62 bytes of header and colour table and four 4-byte rows.
  EXPECT_EQ(table.Images()[1].Header().bfSize, 78u);
}

}  // namespace
}  // namespace quillon
