#include <wx/progdlg.h>

#include "tests/ui_wx/wx_test_util.h"
#include "ui/wx/windows1252.h"

namespace quillon::ui::wx::testing {
namespace {

TEST(Windows1252Test, DecodesTheCodePageAndKeepsUtf8FileNames) {
  struct Case {
    std::string bytes;
    const char* utf8;
  };
  const Case cases[] = {
      {"Par\xE1metros", "Par\u00E1metros"},
      {"\xBF"
       "Cuantas capas?",
       "\u00BFCuantas capas?"},
      {"\x80 \x8A \x9F \xFF", "\u20AC \u0160 \u0178 \u00FF"},
      {"\x81\x8D", "\u0081\u008D"},  // undefined bytes: the C1 controls of that value
      // A program text holding a file name from the system.
      {"No se pueden combinar las im\xE1genes: /tmp/ni\xC3\xB1o.bmp",
       "No se pueden combinar las im\u00E1genes: /tmp/ni\u00F1o.bmp"},
      {"\xC3", "\u00C3"},            // a lone lead byte
      {"\xE1\x80", "\u00E1\u20AC"},  // too short for a three-byte sequence
      {"\xC0\xAF", "\u00C0\u00AF"},  // overlong forms are not UTF-8
      {std::string("a\0b", 3), "a"},
  };
  for (const Case& c : cases) {
    const wxString decoded = DecodeWindows1252(c.bytes);
    if (c.bytes.size() == 3 && c.bytes[1] == '\0') {
      EXPECT_EQ(decoded.length(), 3u);
      continue;
    }
    EXPECT_EQ(Utf8(decoded), c.utf8) << c.bytes;
  }
  for (const char* text : {"Criptograf\xED"
                           "a Visual",
                           "\x80\x8A\x9F", "plain"})
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(text)), text);
  EXPECT_EQ(EncodeWindows1252(wxString::FromUTF8("\u03A9 \u00E9")), "? \xE9");
}

TEST_F(WxTest, ProgressShowsTheToolkitsDialogOnlyForLongWork) {
  auto shownProgress = [] {
    for (wxWindow* window : wxTopLevelWindows) {
      if (dynamic_cast<wxGenericProgressDialog*>(window) && window->IsShown())
        return window;
    }
    return static_cast<wxWindow*>(nullptr);
  };
  {
    auto quick = platform.OpenProgress(nullptr, "Working", "Splitting");
    quick->Update(0.5);
    quick->Update(1.0);
    EXPECT_EQ(shownProgress(), nullptr) << "work under the delay shows nothing";
  }
  platform.SetProgressDelay(std::chrono::milliseconds(0));
  {
    auto slow = platform.OpenProgress(nullptr, "Working", "Splitting");
    slow->Update(0.25);
    wxWindow* shown = shownProgress();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(Utf8(shown->GetLabel()), "Working");
    slow->Update(1.0);
    EXPECT_NE(shownProgress(), nullptr) << "stays until the work is done";
  }
  Pump(50);
  EXPECT_EQ(shownProgress(), nullptr);
}

}  // namespace
}  // namespace quillon::ui::wx::testing
