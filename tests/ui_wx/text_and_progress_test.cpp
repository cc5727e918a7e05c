#include <wx/progdlg.h>
#include <wx/stattext.h>

#include "tests/ui_wx/wx_test_util.h"
#include "ui/wx/windows1252.h"

namespace quillon::ui::wx::testing {
namespace {

// The decoding itself is core/windows1252's (tests/core); here, what reaches the toolkit.
TEST(Windows1252Test, ProgramTextsBecomeWxStringsAndTypedTextComesBack) {
  EXPECT_EQ(Utf8(DecodeWindows1252("Par\xE1metros: /tmp/ni\xC3\xB1o.bmp \x80")),
            "Par\u00E1metros: /tmp/ni\u00F1o.bmp \u20AC");
  EXPECT_EQ(DecodeWindows1252(std::string("a\0b", 3)).length(), 3u);
  for (const char* text : {"Criptograf\xED"
                           "a Visual",
                           "\x80\x8A\x9F\x81", "plain"})
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
    // The toolkit's own labels ("Elapsed time:") would speak another language than the program.
    std::vector<std::string> texts;
    for (wxWindow* child : shown->GetChildren()) {
      if (dynamic_cast<wxStaticText*>(child) && child->IsShown())
        texts.push_back(Utf8(child->GetLabel()));
    }
    EXPECT_EQ(texts, std::vector<std::string>{"Splitting"});
    slow->Update(1.0);
    EXPECT_NE(shownProgress(), nullptr) << "stays until the work is done";
  }
  Pump(50);
  EXPECT_EQ(shownProgress(), nullptr);
}

}  // namespace
}  // namespace quillon::ui::wx::testing
