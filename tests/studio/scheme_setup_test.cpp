// The scheme choices: qualified sets read as typed, and n and k kept to what can be built.
#include "studio/scheme_setup.h"

#include <gtest/gtest.h>

#include "schemes/scheme_table.h"

namespace quillon::studio {
namespace {

TEST(SchemeSetup, QualifiedSetsAreCheckedAsTyped) {
  struct Case {
    const char* text;
    int n;
    SetsProblem problem;
    int set;
    std::string member;
    std::vector<uint32_t> sets;
  } cases[] = {
      {"1,2;2,3", 3, SetsProblem::kNone, 0, "", {0b011, 0b110}},
      {" 3 , 1 ;2 ", 3, SetsProblem::kNone, 0, "", {0b101, 0b010}},
      {"1,2;2,1;1,1,2", 2, SetsProblem::kNone, 0, "", {0b11}},
      {"", 3, SetsProblem::kNoSets, 0, "", {}},
      {"   ", 3, SetsProblem::kNoSets, 0, "", {}},
      {"1,2;", 3, SetsProblem::kEmptySet, 2, "", {}},
      {"1,,2", 3, SetsProblem::kEmptyMember, 1, "", {}},
      {"1,2;2,4", 3, SetsProblem::kNotAParticipant, 2, "4", {}},
      {"0,1", 9, SetsProblem::kNotAParticipant, 1, "0", {}},
      {"1;x", 9, SetsProblem::kNotAParticipant, 2, "x", {}},
      {"1;99999999999", 9, SetsProblem::kNotAParticipant, 2, "99999999999", {}},
      {"10", 12, SetsProblem::kNotAParticipant, 1, "10", {}},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> sets{0xFF};
    const SetsCheck check = ParseQualifiedSets(c.text, c.n, &sets);
    EXPECT_EQ(check.problem, c.problem) << c.text;
    EXPECT_EQ(check.set, c.set) << c.text;
    EXPECT_EQ(check.member, c.member) << c.text;
    if (check.Valid()) {
      EXPECT_EQ(sets, c.sets) << c.text;
      EXPECT_EQ(ParseQualifiedSets(QualifiedSetsText(sets), c.n, nullptr).problem,
                SetsProblem::kNone);
    } else {
      EXPECT_EQ(sets, std::vector<uint32_t>{0xFF}) << "left as it was: " << c.text;
    }
  }
  EXPECT_EQ(QualifiedSetsText({0b101, 0b010}), "1,3;2");
}

// The ranges the controls offer, and whether each k can be built.
TEST(SchemeSetup, RangesFollowWhatCanBeBuilt) {
  struct Case {
    SchemeKind kind;
    int n;
    bool optimal;
    IntRange participants, threshold;
    std::vector<int> buildable;  // k = 2 .. n
  } cases[] = {
      {SchemeKind::Scheme2of2, 7, false, {2, 2}, {2, 2}, {2}},
      {SchemeKind::Scheme2ofN, 7, false, {2, 9}, {2, 2}, {2}},
      {SchemeKind::SchemeNofN, 6, false, {2, 9}, {6, 6}, {6}},
      {SchemeKind::SchemeGeneral, 4, false, {2, 9}, {0, 0}, {}},
      {SchemeKind::SchemeKofN, 6, false, {2, 9}, {2, 6}, {2, 3, 4, 5, 6}},
      // The (k,n) construction grows too wide for 6 <= k < n from n = 7 on.
      {SchemeKind::SchemeKofN, 8, false, {2, 9}, {2, 8}, {2, 3, 4, 5, 8}},
      {SchemeKind::SchemeKofN, 9, false, {2, 9}, {2, 5}, {2, 3, 4, 5}},
      {SchemeKind::SchemeKofN, 9, true, {2, 9}, {2, 9}, {2, 3, 4, 5, 6, 7, 8, 9}},
  };
  for (const Case& c : cases) {
    SchemeSetup setup;
    setup.SetKind(SchemeKind::SchemeKofN);
    setup.SetParticipants(c.n);
    setup.SetOptimal(c.optimal);
    setup.SetKind(c.kind);
    const std::string name = std::string(SchemeInfo(c.kind).name) + std::to_string(c.n);
    EXPECT_EQ(setup.ParticipantRange().min, c.participants.min) << name;
    EXPECT_EQ(setup.ParticipantRange().max, c.participants.max) << name;
    EXPECT_EQ(setup.ThresholdRange().min, c.threshold.min) << name;
    EXPECT_EQ(setup.ThresholdRange().max, c.threshold.max) << name;
    std::vector<int> buildable;
    for (int k = 2; k <= c.n; ++k) {
      if (setup.ThresholdBuildable(k))
        buildable.push_back(k);
    }
    EXPECT_EQ(buildable, c.buildable) << name;
  }
}

// A k that cannot be built is skipped in the direction the user went; n and the optimal
// flag pull k down to one that can.
TEST(SchemeSetup, SettersStayBuildable) {
  SchemeSetup setup;
  setup.SetKind(SchemeKind::SchemeKofN);
  EXPECT_EQ(setup.SetParticipants(8), 8);
  EXPECT_EQ(setup.SetThreshold(5), 5);
  EXPECT_EQ(setup.SetThreshold(6), 8) << "up from 5 skips to (8,8)";
  EXPECT_EQ(setup.SetThreshold(7), 5) << "down from 8 skips to 5";
  EXPECT_EQ(setup.SetThreshold(12), 8);
  EXPECT_EQ(setup.SetParticipants(9), 9);
  EXPECT_EQ(setup.Threshold(), 5) << "(8,9) cannot be built";
  EXPECT_EQ(setup.SetThreshold(6), 5) << "nothing above 5 for n = 9";
  setup.SetOptimal(true);
  EXPECT_EQ(setup.SetThreshold(7), 7);
  setup.SetOptimal(false);
  EXPECT_EQ(setup.Threshold(), 5);
  EXPECT_EQ(setup.SetParticipants(1), 2);
  EXPECT_EQ(setup.SetParticipants(40), 9);
  EXPECT_EQ(setup.Check(), Code::kOk);

  // Schemes that fix n or k keep the chosen values for later.
  setup.SetKind(SchemeKind::Scheme2of2);
  EXPECT_EQ(setup.SetParticipants(4), 2);
  EXPECT_EQ(setup.Participants(), 2);
  setup.SetKind(SchemeKind::SchemeNofN);
  EXPECT_EQ(setup.Participants(), 9);
  EXPECT_EQ(setup.Threshold(), 9);
  EXPECT_FALSE(setup.Optimal());
  // Numbers that name no scheme or method (a damaged setting) change nothing.
  setup.SetKind(static_cast<SchemeKind>(5));
  setup.SetMethod(static_cast<ExpansionMethod>(-1));
  EXPECT_EQ(setup.Kind(), SchemeKind::SchemeNofN);
  EXPECT_EQ(setup.Method(), ExpansionMethod::RandomBasisColumn);
}

// The sets follow n, and toggling from the candidate list writes the text.
TEST(SchemeSetup, QualifiedSetsFollowParticipants) {
  SchemeSetup setup;
  setup.SetKind(SchemeKind::SchemeGeneral);
  EXPECT_EQ(setup.Check(), Code::kNoQualifiedSet);
  setup.SetParticipants(4);
  EXPECT_TRUE(setup.SetSetsText("1,4;2,3").Valid());
  ASSERT_NE(setup.Params().qualifiedSets, nullptr);
  const BasisMatrix& matrix = *setup.Params().qualifiedSets;
  ASSERT_EQ(matrix.Rows(), 2);
  ASSERT_EQ(matrix.Cols(), 4);
  // Column t holds participant t + 1's membership of each set.
  EXPECT_EQ(matrix.ColumnCode(0), 0b01u);
  EXPECT_EQ(matrix.ColumnCode(1), 0b10u);
  EXPECT_EQ(matrix.ColumnCode(2), 0b10u);
  EXPECT_EQ(matrix.ColumnCode(3), 0b01u);
  EXPECT_EQ(setup.Check(), Code::kOk);

  setup.SetParticipants(3);
  EXPECT_EQ(setup.SetsState().problem, SetsProblem::kNotAParticipant);
  EXPECT_TRUE(setup.Sets().empty());
  EXPECT_EQ(setup.Params().qualifiedSets, nullptr);
  EXPECT_EQ(setup.Check(), Code::kNoQualifiedSet);
  EXPECT_EQ(setup.SetsText(), "1,4;2,3") << "the text as typed stays";
  setup.SetParticipants(4);
  EXPECT_TRUE(setup.SetsState().Valid());

  const std::vector<uint32_t> candidates = setup.CandidateSets();
  ASSERT_EQ(candidates.size(), 15u);
  EXPECT_EQ(std::vector<uint32_t>(candidates.begin(), candidates.begin() + 10),
            (std::vector<uint32_t>{0b0001, 0b0010, 0b0100, 0b1000, 0b0011, 0b0101, 0b1001, 0b0110,
                                   0b1010, 0b1100}));
  EXPECT_EQ(candidates.back(), 0b1111u);
  setup.ToggleSet(0b0110);
  EXPECT_EQ(setup.SetsText(), "1,4");
  setup.ToggleSet(0b0011);
  EXPECT_EQ(setup.SetsText(), "1,4;1,2");
  EXPECT_TRUE(setup.HasSet(0b0011));
  setup.ToggleSet(0b10000);  // beyond n: nothing
  EXPECT_EQ(setup.SetsText(), "1,4;1,2");
}

}  // namespace
}  // namespace quillon::studio
