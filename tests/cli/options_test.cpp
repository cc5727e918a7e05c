#include "cli/options.h"

#include <gtest/gtest.h>

#include "cli/console.h"
#include "cli/scheme_choice.h"

namespace quillon::cli {
namespace {

const std::vector<OptionDef> kOptions = {
    {"--n", "", true}, {"-o", "--output", true}, {"--quiet", "", false}};

TEST(ParseArgsTest, SplitsOptionsAndPositionalArguments) {
  ParsedArgs parsed =
      ParseArgs({"a.bmp", "--n", "3", "b.bmp", "--output=r.bmp", "--quiet"}, kOptions);
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.positional, (std::vector<std::string>{"a.bmp", "b.bmp"}));
  EXPECT_EQ(*parsed.Value("--n"), "3");
  EXPECT_EQ(*parsed.Value("-o"), "r.bmp");  // stored under the option's main name
  EXPECT_TRUE(parsed.Has("--quiet"));
  EXPECT_FALSE(parsed.help);
}

TEST(ParseArgsTest, DoubleDashEndsOptionsAndValuesMayStartWithADash) {
  ParsedArgs parsed = ParseArgs({"--n", "-3", "--", "--quiet", "-x.bmp"}, kOptions);
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(*parsed.Value("--n"), "-3");
  EXPECT_EQ(parsed.positional, (std::vector<std::string>{"--quiet", "-x.bmp"}));
}

TEST(ParseArgsTest, ReportsEachKindOfUsageError) {
  EXPECT_NE(ParseArgs({"--bogus"}, kOptions).error.find("unknown option '--bogus'"),
            std::string::npos);
  EXPECT_NE(ParseArgs({"--bogus=1"}, kOptions).error.find("'--bogus'"), std::string::npos);
  EXPECT_NE(ParseArgs({"--n"}, kOptions).error.find("needs a value"), std::string::npos);
  // The next word is another option, not the missing value.
  EXPECT_NE(ParseArgs({"--n", "--quiet"}, kOptions).error.find("needs a value"), std::string::npos);
  EXPECT_NE(ParseArgs({"-o", "-h"}, kOptions).error.find("needs a value"), std::string::npos);
  EXPECT_NE(ParseArgs({"--quiet=yes"}, kOptions).error.find("takes no value"), std::string::npos);
  EXPECT_NE(ParseArgs({"-o", "a", "--output", "b"}, kOptions).error.find("more than once"),
            std::string::npos);
}

TEST(ParseArgsTest, HelpWinsOverUsageErrors) {
  ParsedArgs parsed = ParseArgs({"--bogus", "-h"}, kOptions);
  EXPECT_TRUE(parsed.help);
  EXPECT_TRUE(ParseArgs({"x", "--help"}, kOptions).help);
}

TEST(ValueParserTest, SchemesAndMethodsByNameOrIndex) {
  EXPECT_EQ(ParseSchemeKind("2of2"), SchemeKind::Scheme2of2);
  EXPECT_EQ(ParseSchemeKind("KofN"), SchemeKind::SchemeKofN);
  EXPECT_EQ(ParseSchemeKind("4"), SchemeKind::SchemeGeneral);
  EXPECT_EQ(ParseSchemeKind("5"), std::nullopt);
  EXPECT_EQ(ParseSchemeKind("3of3"), std::nullopt);
  EXPECT_EQ(ParseSchemeKind(""), std::nullopt);
  for (size_t i = 0; i < MethodRows().size(); ++i) {
    auto method = static_cast<ExpansionMethod>(i);
    EXPECT_EQ(ParseExpansionMethod(ExpansionMethodName(method)), method);
    EXPECT_EQ(ParseExpansionMethod(std::to_string(i)), method);
  }
  EXPECT_EQ(ParseExpansionMethod("7"), std::nullopt);
  EXPECT_EQ(ParseExpansionMethod("-1"), std::nullopt);
  EXPECT_EQ(ParseExpansionMethod("square "), std::nullopt);
}

// The lists that usage errors show, made from the tables, read as they always did.
TEST(ValueParserTest, NameListsOfTheTables) {
  EXPECT_EQ(JoinWords(SchemeNames(), "or"), "2of2, 2ofn, nofn, kofn or general");
  EXPECT_EQ(SchemeChoices(), "2of2, 2ofn, nofn, kofn, general or 0 to 4");
  EXPECT_EQ(JoinWords(SchemeNames(kUsesOptimal), "or"), "kofn");
  EXPECT_EQ(JoinWords(SchemeNames(kUsesSets), "or"), "general");
  EXPECT_EQ(MethodChoices(),
            "random-column, pixel-sampling, square, smallest-filler, smallest-no-filler, "
            "extended-size, extended-detail or 0 to 6");
  EXPECT_EQ(JoinWords(MethodNames(IsBlockMethod), "or"),
            "pixel-sampling, square, smallest-filler, smallest-no-filler or extended-detail");
  EXPECT_EQ(JoinWords(MethodNames(IsExtendedMethod), "and"), "extended-size and extended-detail");
  EXPECT_EQ(JoinWords({"one"}, "or"), "one");
  EXPECT_EQ(JoinWords({}, "or"), "");
}

TEST(ValueParserTest, NumbersAreStrict) {
  EXPECT_EQ(ParseWholeNumber("9"), 9);
  EXPECT_EQ(ParseWholeNumber("-4"), -4);
  for (const char* bad : {"", "+3", "3 ", " 3", "2.5", "0x3", "3a", "99999999999"}) {
    EXPECT_EQ(ParseWholeNumber(bad), std::nullopt) << bad;
  }
  // Only the seeds that name different streams of std::minstd_rand.
  EXPECT_EQ(ParseSeed("1"), 1u);
  EXPECT_EQ(ParseSeed("2147483646"), 2147483646u);
  for (const char* bad :
       {"", "-1", "+1", "0", "2147483647", "2147483648", "4294967296", "12x", " 1"}) {
    EXPECT_EQ(ParseSeed(bad), std::nullopt) << bad;
  }
}

TEST(QualifiedSetsTest, ParsesSetsAndBuildsMembershipRows) {
  std::vector<std::vector<int>> sets;
  ASSERT_EQ(ParseQualifiedSets("1,2; 2 ,3", sets), "");
  EXPECT_EQ(sets, (std::vector<std::vector<int>>{{1, 2}, {2, 3}}));

  SchemeChoice choice;
  choice.n = 3;
  choice.sets = {{1, 2}, {2, 3}};
  BasisMatrix matrix = QualifiedSetMatrix(choice);
  ASSERT_EQ(matrix.Rows(), 2);
  ASSERT_EQ(matrix.Cols(), 3);
  EXPECT_EQ(matrix.Get(0, 0), 1);
  EXPECT_EQ(matrix.Get(0, 1), 1);
  EXPECT_EQ(matrix.Get(0, 2), 0);
  EXPECT_EQ(matrix.Get(1, 0), 0);
  EXPECT_EQ(matrix.Get(1, 2), 1);

  // A participant beyond n widens the matrix; the scheme then ignores that column.
  choice.sets = {{1, 5}};
  EXPECT_EQ(QualifiedSetMatrix(choice).Cols(), 5);
}

TEST(QualifiedSetsTest, RefusesBadSetsAndKeepsNothing) {
  std::vector<std::vector<int>> sets = {{7}};
  for (const char* bad : {"", ";", "1,2;", "1,,2", ",1", "0,1", "1,10", "a", "1;2;-3", "1.5"}) {
    EXPECT_NE(ParseQualifiedSets(bad, sets), "") << bad;
    EXPECT_TRUE(sets.empty()) << bad;
  }
}

TEST(SchemeChoiceTest, OutOfRangeNumbersAreLeftToTheSchemeToRefuse) {
  SchemeChoice choice;
  ASSERT_EQ(
      ReadSchemeChoice(
          ParseArgs({"--scheme", "kofn", "--n", "12", "--k", "-1"}, SchemeOptionTable()), choice),
      "");
  EXPECT_EQ(choice.n, 12);
  EXPECT_EQ(choice.k, -1);
}

TEST(ConsoleTextTest, ConvertsWindows1252AndJoinsLines) {
  // The desktop program's texts carry single Windows-1252 bytes such as 0xF3 for 'ó'.
  EXPECT_EQ(ToUtf8("Encriptaci\xF3n"), "Encriptaci\xC3\xB3n");
  EXPECT_EQ(ToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(ToUtf8("im\xC3\xA1genes"), "im\xC3\xA1genes");  // UTF-8 already
  EXPECT_EQ(OneLine("Imagen ENCRIPTADA\nLas imagenes\r\nfin"),
            "Imagen ENCRIPTADA Las imagenes  fin");
}

}  // namespace
}  // namespace quillon::cli
