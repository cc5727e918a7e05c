// The Studio's words: every result and state is worded, through the catalog, with every blank
// filled; a few sentences are checked word for word.
#include "studio/texts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <regex>
#include <set>

#include "io/print_sheets.h"
#include "schemes/method_table.h"
#include "schemes/scheme_table.h"

namespace quillon::studio {
namespace {

// Marks every text that went through the catalog.
std::string Marked(const char* english) {
  return std::string("<<") + english + ">>";
}

// Whether text was translated and has no blank left.
void ExpectWorded(const std::string& text, const std::string& what) {
  EXPECT_FALSE(text.empty()) << what;
  EXPECT_NE(text.find("<<"), std::string::npos) << what << ": " << text;
  EXPECT_FALSE(std::regex_search(text, std::regex("\\{[a-z]+\\}"))) << what << ": " << text;
}

TEST(Texts, EveryResultIsWordedThroughTheCatalog) {
  const Texts texts(Marked);
  for (int p = static_cast<int>(Problem::kBusy); p <= static_cast<int>(Problem::kNotDecoded); ++p)
    ExpectWorded(texts.Say(Result::Refuse(static_cast<Problem>(p), 2)),
                 "problem " + std::to_string(p));
  const Role roles[] = {Role::kNone,  Role::kSecret,  Role::kLayer, Role::kInnocent,
                        Role::kShare, Role::kStacked, Role::kPdf};
  for (int c = static_cast<int>(Code::kCancelled); c <= static_cast<int>(Code::kCannotDraw); ++c) {
    for (Role role : roles) {
      for (int error : {0, EACCES, EISDIR}) {
        Outcome outcome =
            Outcome::Fail(static_cast<Code>(c), "dir/f.png", error).At(1).With("d.bmp");
        const std::string what =
            "code " + std::to_string(c) + " role " + std::to_string(static_cast<int>(role));
        const std::string text = texts.Say(Result::From(outcome, role));
        ExpectWorded(text, what);
        if (role != Role::kNone && outcome.code != Code::kInterrupted) {
          EXPECT_NE(text.find("\u201Cdir/f.png\u201D"), std::string::npos) << what << ": " << text;
        }
      }
    }
  }
  EXPECT_EQ(texts.Say(Result::Ok()), "");
  EXPECT_EQ(Texts().Say(Result::Refuse(Problem::kNoShares)),
            "There are no shares yet: encrypt the secret first.");
}

TEST(Texts, LabelsNamesAndHooks) {
  const Texts texts(Marked);
  std::set<std::string> labels;
  for (int l = 0; l < static_cast<int>(Label::kCount); ++l) {
    const std::string text = texts.Text(static_cast<Label>(l));
    ExpectWorded(text, "label " + std::to_string(l));
    labels.insert(text);
  }
  EXPECT_EQ(labels.size(), static_cast<size_t>(Label::kCount)) << "no two labels alike";
  const Texts english;
  EXPECT_EQ(english.Text(Label::kEncrypt), "Encrypt");
  EXPECT_EQ(english.Text(Label::kSaveShares), "Save Shares\u2026");
  EXPECT_EQ(english.Text(Label::kPrint), "Print\u2026");
  EXPECT_EQ(english.Text(Label::kScheme), kSchemeControlName);
  EXPECT_EQ(english.Text(Label::kMethod), kMethodControlName);
  EXPECT_EQ(english.Text(Label::kParticipants), kParticipantsControlName);
  EXPECT_EQ(english.Text(Label::kThreshold), kThresholdControlName);
  // Papers: ISO names as they are, the others through the catalog, sizes of one's own in mm.
  EXPECT_EQ(english.PaperName("a3"), "A3");
  EXPECT_EQ(english.PaperName("letter"), "Letter");
  EXPECT_EQ(english.PaperName("210x297.5"), "210 \u00D7 297.5 mm");
  for (const std::string& paper : PaperChoices())
    EXPECT_TRUE(FindPaper(paper)) << paper;
  // The title keeps the program's name in every language.
  EXPECT_EQ(texts.WindowTitle(""), "Quillon Studio");
  EXPECT_EQ(texts.WindowTitle("/home/ana/secret.png"), "Quillon Studio \u2014 secret.png");

  std::set<std::string> names;
  for (const SchemeRow& row : SchemeRows())
    names.insert(texts.SchemeName(row.kind));
  for (const MethodRow& row : MethodRows())
    names.insert(texts.MethodName(row.method));
  EXPECT_EQ(names.size(), SchemeRows().size() + MethodRows().size());
  for (const std::string& name : names)
    ExpectWorded(name, "name");
}

TEST(Texts, StatesAreWorded) {
  const Texts texts(Marked);
  for (auto kind : {SecretWarningKind::kNoBlack, SecretWarningKind::kNoWhite,
                    SecretWarningKind::kNegativePalette})
    ExpectWorded(texts.Warning({kind, {}}), "warning");
  for (auto fix :
       {FixKind::kReadByColour, FixKind::kInvert, FixKind::kChangeThreshold, FixKind::kDither})
    ExpectWorded(texts.FixButton({fix, 97}), "fix");
  for (auto problem : {SetsProblem::kNoSets, SetsProblem::kEmptySet, SetsProblem::kEmptyMember,
                       SetsProblem::kNotAParticipant})
    ExpectWorded(texts.SetsMessage({problem, 2, "4", 3}), "sets");
  std::vector<Layer> layers(2);
  layers[1].name = "b.png";
  layers[1].participant = 4;
  for (int s = 0; s <= static_cast<int>(StackCheck::State::kForbidden); ++s) {
    StackCheck check;
    check.state = static_cast<StackCheck::State>(s);
    check.layer = 1;
    check.members = 0b101;
    check.analysed = s == static_cast<int>(StackCheck::State::kQualified);
    check.l = 1;
    check.h = 2;
    check.m = 4;
    ExpectWorded(texts.StackLine(check, layers), "stack " + std::to_string(s));
  }
  SharesPlan plan;
  plan.files = {"out/capa1.png", "out/capa2.png"};
  plan.replaced = {"out/capa2.png"};
  plan.leftOver = {"out/capa3.bmp"};
  ExpectWorded(texts.SavePlanLine(plan), "plan");
  ExpectWorded(texts.ReplaceQuestion(plan), "replace");
  ExpectWorded(texts.LeftOverLine(plan), "left over");
  EXPECT_EQ(texts.ReplaceQuestion(SharesPlan()), "");
  ExpectWorded(texts.ZoomLine(3, 1), "zoom");
  ExpectWorded(texts.SavedLine("out/stack.png"), "saved");
  ExpectWorded(texts.PreviewPages(2), "pages");
}

// The sentences that carry numbers, word for word in English.
TEST(Texts, EnglishSentences) {
  const Texts texts;
  EXPECT_EQ(texts.Say(Result::From(Outcome::Fail(Code::kSingleQualified).At(0))),
            "Participant 1 alone is a qualified set, so share 1 would show the secret in the "
            "clear. Change the sets, or allow a share in the clear.");
  EXPECT_EQ(texts.Say(Result::From(
                Outcome::Fail(Code::kOutputIsInput, "out/capa1.bmp").With("out/capa1.bmp"),
                Role::kShare)),
            "\u201Cout/capa1.bmp\u201D is \u201Cout/capa1.bmp\u201D, which is open here: saving "
            "would replace it. Choose another name or folder.");
  EXPECT_EQ(
      texts.Say(Result::From(Outcome::Fail(Code::kCannotReplace, "capa2.bmp", EACCES).At(1),
                             Role::kShare)),
      "Cannot put \u201Ccapa2.bmp\u201D in place: Permission denied. The shares before it were "
      "replaced: the folder holds a mixed set.");
  EXPECT_EQ(
      texts.Say(Result::From(Outcome::Fail(Code::kCannotOpen, "gone.png", ENOENT), Role::kSecret)),
      "Cannot open \u201Cgone.png\u201D: No such file or directory.");
  EXPECT_EQ(texts.SetsMessage({SetsProblem::kNotAParticipant, 2, "4", 3}),
            "In set 2, \u201C4\u201D is not a participant from 1 to 3.");
  EXPECT_EQ(texts.FixButton({FixKind::kChangeThreshold, 97}), "Use Threshold 97");
  EXPECT_EQ(texts.Progress(0.428), "Encrypting\u2026 42%");
  EXPECT_EQ(texts.ZoomLine(1, 8), "Zoom 12%");
  EXPECT_EQ(texts.ZoomLine(24, 1), "Zoom 2400%");
  EXPECT_EQ(texts.SavedLine("/tmp/out/stack.png"), "Saved \u201Cstack.png\u201D.");

  SchemeSetup setup;
  setup.SetKind(SchemeKind::SchemeKofN);
  setup.SetParticipants(3);
  setup.SetMethod(ExpansionMethod::SquareSubpixelExpansion);
  EXPECT_EQ(texts.PrintLabel("capa1.bmp", setup),
            "capa1.bmp    (k,n) threshold, k = 2, n = 3, Square sub-pixel expansion");

  SchemeSetup twoOfTwo;
  const SchemeFacts facts = AnalyzeScheme(twoOfTwo);
  const ShareFacts shares = ShareSizeFacts(facts, ExpansionMethod::RandomBasisColumn, 10, 7, 0.5);
  EXPECT_EQ(texts.FactLines(facts, shares, ExpansionMethod::RandomBasisColumn, 0.5),
            (std::vector<std::string>{
                "Pixel expansion: 2 sub-pixels for every secret pixel.",
                "The shares keep the secret's size: each of their pixels is one sub-pixel drawn "
                "at random.",
                "Each share: 10 \u00D7 7 pixels, 5.0 \u00D7 3.5 mm printed at 0.50 mm a pixel.",
                "Sets of 1: they see nothing of the secret.",
                "Sets of 2: contrast 1/2 (0.500).",
                "Security: every forbidden set sees nothing of the secret (checked exactly).",
            }));

  SchemeSetup faint;
  faint.SetKind(SchemeKind::SchemeNofN);
  faint.SetParticipants(9);
  const std::vector<std::string> warnings = texts.FactWarnings(AnalyzeScheme(faint));
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0],
            "The contrast 1/256 (0.004) is low: below 1/16 the secret is hard to see on stacked "
            "transparencies.");
}

}  // namespace
}  // namespace quillon::studio
