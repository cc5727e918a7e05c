// The method and scheme tables: the texts the desktop program shows and the names the command
// line takes must stay exactly as they were, and each row's facts must match its method.
#include <gtest/gtest.h>

#include <iterator>

#include "schemes/method_table.h"
#include "schemes/scheme_table.h"

namespace quillon {
namespace {

TEST(MethodTable, RowsInSelectorOrderWithTheirTextsAndFacts) {
  const struct {
    const char* name;
    const char* selectorText;
    bool blocks, extended, permutes;
  } expected[] = {
      {"random-column", "Random basis column", false, false, false},
      {"pixel-sampling", "Pixel sampling", true, false, true},
      {"square", "Square subpixel expansion", true, false, true},
      {"smallest-filler", "Smallest square expansion w/ filler", true, false, true},
      {"smallest-no-filler", "Smallest square expansion w/o filler", true, false, true},
      {"extended-size", "Extended VCS: preserve size...", false, true, false},
      {"extended-detail", "Extended VCS: preserve detail...", true, true, false},
  };
  ASSERT_EQ(MethodRows().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const MethodRow& row = MethodRows()[i];
    EXPECT_EQ(static_cast<size_t>(row.method), i);
    EXPECT_STREQ(row.name, expected[i].name);
    EXPECT_STREQ(row.selectorText, expected[i].selectorText);
    EXPECT_EQ(IsBlockMethod(row.method), expected[i].blocks) << row.name;
    EXPECT_EQ(IsExtendedMethod(row.method), expected[i].extended) << row.name;
    EXPECT_EQ(PermutesPair(row.method), expected[i].permutes) << row.name;
  }
}

TEST(SchemeTable, RowsInSelectorOrderWithTheirTextsAndThresholds) {
  // For n = 5 and k = 3: the participants and the threshold each scheme reads from them.
  const struct {
    const char* name;
    const char* selectorText;
    int participants, threshold;
  } expected[] = {
      {"2of2", "(2,2)-threshold VCS", 2, 2},         {"2ofn", "(2,n)-threshold VCS", 5, 2},
      {"nofn", "(n,n)-threshold VCS", 5, 5},         {"kofn", "(k,n)-threshold VCS", 5, 3},
      {"general", "General Access Structure", 5, 0},
  };
  ASSERT_EQ(SchemeRows().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const SchemeRow& row = SchemeRows()[i];
    EXPECT_EQ(static_cast<size_t>(row.kind), i);
    EXPECT_STREQ(row.name, expected[i].name);
    EXPECT_STREQ(row.selectorText, expected[i].selectorText);
    SchemeParams params;
    params.scheme = row.kind;
    params.n = 5;
    params.k = 3;
    EXPECT_EQ(SchemeParticipants(params), expected[i].participants) << row.name;
    EXPECT_EQ(SchemeThreshold(params), expected[i].threshold) << row.name;
  }
  EXPECT_EQ(SchemeInfo(SchemeKind::SchemeKofN).uses, kUsesN | kUsesK | kUsesOptimal);
  EXPECT_EQ(SchemeInfo(SchemeKind::SchemeGeneral).uses, kUsesN | kUsesSets);
}

}  // namespace
}  // namespace quillon
