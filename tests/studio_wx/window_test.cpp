// The window's hooks for scripts and screen readers: names, labels, mnemonics, menus.
#include <wx/checklst.h>
#include <wx/fileconf.h>
#include <wx/menu.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <map>
#include <set>

#include "studio/wx/app.h"
#include "studio/wx/mnemonics.h"
#include "tests/studio_wx/studio_wx_test_util.h"
#include "tests/test_util.h"

namespace quillon::studio::wx::testing {
namespace {

TEST(Mnemonics, FirstFreeLetterInAnyLanguage) {
  struct Case {
    std::vector<std::string> labels;
    std::vector<std::string> marked;
  } cases[] = {
      {{"Open\u2026", "Open Shares\u2026", "Print\u2026"},
       {"&Open\u2026", "Open &Shares\u2026", "&Print\u2026"}},
      {{"Zoom In", "Zoom Out"}, {"&Zoom In", "Zoom &Out"}},
      {{"Save", "Stack", "Size"}, {"&Save", "S&tack", "S&ize"}},
      // Accented letters are letters of their own, told without a locale; digits are none.
      {{"\u00C1brir", "Ayuda", "\u00C9tat", "123"}, {"&\u00C1brir", "&Ayuda", "&\u00C9tat", "123"}},
      // A label's own '&' is doubled; when every letter is taken the first one is shared.
      {{"Save & Quit", "ab", "ba", "b"}, {"&Save && Quit", "&ab", "&ba", "&b"}},
  };
  for (const Case& c : cases) {
    const std::vector<wxString> marked = WithMnemonics(c.labels);
    ASSERT_EQ(marked.size(), c.marked.size());
    for (size_t i = 0; i < marked.size(); ++i)
      EXPECT_EQ(std::string(marked[i].utf8_str()), c.marked[i]) << c.labels[i];
  }
}

using Hooks = StudioWindow;

// Every control a user reaches has a name a screen reader speaks (never the toolkit's
// default class name) and no two the same, every label a mnemonic, the main buttons' their own; the
// scripts' hooks hold.
TEST_F(Hooks, NamesLabelsAndMnemonics) {
  EXPECT_EQ(Utf8(frame->GetTitle()).rfind(kProgramName, 0), 0u);
  EXPECT_EQ(Find<wxChoice>(kSchemeControlName)->GetCount(), 5u);
  EXPECT_EQ(Find<wxChoice>(kMethodControlName)->GetCount(), 7u);
  Find<wxSpinCtrl>(kParticipantsControlName);
  Find<wxSpinCtrl>(kThresholdControlName);
  const std::pair<const char*, Label> buttons[] = {{kEncryptButtonName, Label::kEncrypt},
                                                   {kSaveSharesButtonName, Label::kSaveShares},
                                                   {kPrintButtonName, Label::kPrint}};
  for (const auto& [name, label] : buttons)
    EXPECT_EQ(Utf8(Find<wxButton>(name)->GetLabelText()), texts.Text(label)) << name;

  std::map<wxChar, std::vector<std::string>> letters;
  std::set<std::string> names;
  // The texts before a control, whose mnemonic takes the focus there.
  std::set<std::string> controlLabels;
  for (Label label : {Label::kScheme, Label::kMethod, Label::kParticipants, Label::kThreshold,
                      Label::kLuminanceThreshold, Label::kQualifiedSets, Label::kShareFormat})
    controlLabels.insert(texts.Text(label));
  std::function<void(wxWindow*)> walk = [&](wxWindow* window) {
    for (wxWindow* child : window->GetChildren()) {
      const bool control = dynamic_cast<wxButton*>(child) || dynamic_cast<wxCheckBox*>(child) ||
                           dynamic_cast<wxChoice*>(child) || dynamic_cast<wxSpinCtrl*>(child) ||
                           dynamic_cast<wxSlider*>(child) || dynamic_cast<wxTextCtrl*>(child) ||
                           dynamic_cast<wxCheckListBox*>(child);
      const std::string name = Utf8(child->GetName());
      if (control) {
        EXPECT_EQ(name.find_first_of("&"), std::string::npos) << name;
        EXPECT_TRUE(names.insert(name).second) << "two controls named " << name;
        for (const char* toolkit :
             {"button", "check", "choice", "wxSpinCtrl", "slider", "text", "listBox", "checkBox"})
          EXPECT_NE(name, toolkit) << "unnamed " << child->GetClassInfo()->GetClassName();
      }
      const wxString label = child->GetLabel();
      const bool labelled = ((dynamic_cast<wxButton*>(child) || dynamic_cast<wxCheckBox*>(child)) &&
                             child->GetId() != wxID_CANCEL) ||
                            (dynamic_cast<wxStaticText*>(child) &&
                             controlLabels.count(Utf8(wxStaticText::GetLabelText(label))));
      if (labelled) {
        const int amp = label.Find('&');
        ASSERT_NE(amp, wxNOT_FOUND) << Utf8(label);
        letters[wxTolower(label[amp + 1])].push_back(Utf8(label));
      }
      walk(child);
    }
  };
  walk(frame);
  for (const char* name : {kEncryptButtonName, kSaveSharesButtonName, kPrintButtonName}) {
    const wxString label = Find<wxButton>(name)->GetLabel();
    EXPECT_EQ(letters[wxTolower(label[label.Find('&') + 1])].size(), 1u) << Utf8(label);
  }

  // Every menu and menu item has a mnemonic; the commands have their shortcuts.
  wxMenuBar* bar = frame->GetMenuBar();
  for (size_t m = 0; m < bar->GetMenuCount(); ++m) {
    EXPECT_NE(bar->GetMenuLabel(m).Find('&'), wxNOT_FOUND) << Utf8(bar->GetMenuLabel(m));
    for (wxMenuItem* item : bar->GetMenu(m)->GetMenuItems()) {
      if (!item->IsSeparator()) {
        EXPECT_NE(item->GetItemLabel().Find('&'), wxNOT_FOUND) << Utf8(item->GetItemLabel());
      }
    }
  }
  const std::pair<int, const char*> shortcuts[] = {
      {wxID_OPEN, "Ctrl+O"}, {wxID_SAVE, "Ctrl+S"}, {wxID_PRINT, "Ctrl+P"}, {wxID_EXIT, "Ctrl+Q"}};
  for (const auto& [id, accel] : shortcuts) {
    wxMenuItem* item = bar->FindItem(id);
    ASSERT_NE(item, nullptr) << accel;
    EXPECT_TRUE(item->GetItemLabel().EndsWith(wxString("\t") + accel))
        << Utf8(item->GetItemLabel());
  }
}

// What the window remembers goes through wxConfig and comes back: the scheme, the window's
// size, the recent files, and nothing of an earlier, longer list.
TEST(Settings, KeptThroughTheConfigFile) {
  quillon::testing::ScratchDir dir;
  const wxString file = Wx(dir.File("studio.conf"));
  Document before(Env::Default());
  before.SetSchemeKind(SchemeKind::SchemeKofN);
  before.SetParticipants(5);
  before.SetThreshold(3);
  before.SetWindowSize(1400, 900);
  {
    wxFileConfig config("quillon-studio", "", file, "", wxCONFIG_USE_LOCAL_FILE);
    for (int i = 0; i < 5; ++i)
      config.Write(wxString::Format("Recent%d", i + 1), wxString::Format("/old/%d.png", i));
    ASSERT_TRUE(config.Flush());
    ASSERT_TRUE(WriteSettings(config, before));
  }
  wxFileConfig config("quillon-studio", "", file, "", wxCONFIG_USE_LOCAL_FILE);
  Document after(Env::Default());
  ReadSettings(config, after);
  EXPECT_EQ(after.Scheme().Kind(), SchemeKind::SchemeKofN);
  EXPECT_EQ(after.Scheme().Participants(), 5);
  EXPECT_EQ(after.Scheme().Threshold(), 3);
  EXPECT_EQ(after.Settings().windowWidth, 1400);
  EXPECT_TRUE(after.Recent().Paths().empty());
}

}  // namespace
}  // namespace quillon::studio::wx::testing
