#include "core/windows1252.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace {

TEST(Windows1252Test, EachSequenceIsJudgedOnItsOwn) {
  struct Case {
    std::string bytes;
    const char* utf8;
  };
  const Case cases[] = {
      {"Caf\xE9 cr\xE8me", "Caf\u00E9 cr\u00E8me"},
      {"Se\xF1"
       "al recibida",
       "Se\u00F1al recibida"},
      {"\xBF"
       "Cuantas capas? \x80",
       "\u00BFCuantas capas? \u20AC"},
      {"\x80 \x8A \x9F \xFF", "\u20AC \u0160 \u0178 \u00FF"},
      {"\x81\x8D", "\u0081\u008D"},  // undefined bytes: the C1 controls of that value
      {"ya en UTF-8: im\xC3\xA1genes \xF0\x9F\x98\x80", "ya en UTF-8: im\u00E1genes \U0001F600"},
      // A program text holding a file name from the system: both read right.
      {"No se pudo leer el \xE1rbol: /tmp/ni\xC3\xB1o.bmp",
       "No se pudo leer el \u00E1rbol: /tmp/ni\u00F1o.bmp"},
      {"\xC3", "\u00C3"},                                // a lone lead byte
      {"\xE1\x80", "\u00E1\u20AC"},                      // too short for a three-byte sequence
      {"\xC0\xAF", "\u00C0\u00AF"},                      // overlong forms are not UTF-8
      {"\xED\xA0\x80", "\u00ED\u00A0\u20AC"},            // nor are surrogates
      {"\xF4\x90\x80\x80", "\u00F4\u0090\u20AC\u20AC"},  // nor code points beyond U+10FFFF
  };
  for (const Case& c : cases)
    EXPECT_EQ(Windows1252ToUtf8(c.bytes), c.utf8) << c.bytes;
  EXPECT_EQ(Windows1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(Windows1252ToCodePoints("\xE1\xC3\xA1"), U"\u00E1\u00E1");
}

TEST(Windows1252Test, EveryByteComesBackAndOtherCharactersHaveNone) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    const std::u32string decoded = Windows1252ToCodePoints(text);
    ASSERT_EQ(decoded.size(), 1u) << byte;
    EXPECT_EQ(CodePointToWindows1252(decoded[0]), static_cast<char>(byte)) << byte;
  }
  EXPECT_EQ(CodePointToWindows1252(U'\u03A9'), std::nullopt);
  EXPECT_EQ(CodePointToWindows1252(U'\u0080'), std::nullopt);  // 0x80 is the euro sign
  EXPECT_EQ(CodePointToWindows1252(U'\U0001F600'), std::nullopt);
}

}  // namespace
}  // namespace quillon
