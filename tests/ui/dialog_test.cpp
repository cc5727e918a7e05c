#include "ui/dialog.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/ui/ui_test_util.h"
#include "ui/file_dialog.h"

namespace quillon::ui {
namespace {

using headless::Script;

constexpr int kEditK = 10, kEditN = 11, kButtonMore = 12;
constexpr int kEditFree = 20, kButtonNested = 21, kList = 22;

ResourceSet TestResources() {
  ResourceSet set;
  const uint32_t digits = kBorder | kTabStop | kNumber;
  set.dialogs.push_back(DialogTemplate{
      "PAIR",
      "Pair",
      Rect{10, 10, 100, 60},
      kCaption | kSysMenu,
      "",
      0,
      {
          {ControlKind::Static, kIdStatic, "k", {1, 5, 3, 8}, 0},
          {ControlKind::Edit, kEditK, "", {5, 5, 20, 12}, digits},
          {ControlKind::Edit, kEditN, "", {5, 20, 20, 12}, digits},
          {ControlKind::PushButton, kButtonMore, "More", {5, 40, 20, 10}, kTabStop},
          {ControlKind::PushButton, kIdOk, "OK", {40, 40, 20, 10}, kTabStop | kDefaultButton},
      }});
  set.dialogs.push_back(DialogTemplate{
      7,
      "Main",
      Rect{0, 0, 200, 100},
      kPopup | kCaption | kModalFrame,
      "MS Sans Serif",
      8,
      {
          {ControlKind::Edit, kEditFree, "", {5, 5, 20, 12}, kBorder | kTabStop},
          {ControlKind::PushButton, kButtonNested, "Nested", {5, 20, 30, 10}, kTabStop},
          {ControlKind::PushButton, kIdCancel, "Quit", {5, 35, 30, 10}, kTabStop},
          {ControlKind::ListBox, kList, "", {50, 5, 60, 80}, kBorder | kMultipleSel | kNotify},
      }});
  return set;
}

// n from 2 to 9, then k from 2 to the n just read; "More" counts its clicks.
class PairDialog : public Dialog {
 public:
  explicit PairDialog(Application& app, Window* parent = nullptr) : Dialog(app, "pair", parent) {}
  int32_t m_k = 2;
  int32_t m_n = 3;
  int m_more = 0;

 protected:
  void DoDataExchange(DataExchange& dx) override {
    dx.Int(kEditN, m_n, 2, 9);
    dx.Int(kEditK, m_k, 2, m_n);
  }
  bool OnCommand(int id, Notify code) override {
    static const CommandEntry<PairDialog> kTable[] = {
        {kButtonMore, Notify::Command, &PairDialog::OnMore},
    };
    return Dispatch(*this, kTable, id, code) || Dialog::OnCommand(id, code);
  }
  void OnMore() { ++m_more; }
};

// Enter does nothing; "Nested" runs a pair dialog, a file dialog and a message box on top.
class MainDialog : public Dialog {
 public:
  explicit MainDialog(Application& app) : Dialog(app, 7) {}
  int m_pairResult = 0;
  std::string m_chosen;
  int m_selChanges = 0;

 protected:
  bool OnInitDialog() override {
    for (const char* entry : {"a", "b", "c"})
      Item<ListBox>(kList)->AddString(entry);
    return Dialog::OnInitDialog();
  }
  void OnOK() override {}
  bool OnCommand(int id, Notify code) override {
    static const CommandEntry<MainDialog> kTable[] = {
        {kButtonNested, Notify::Command, &MainDialog::OnNested},
        {kList, Notify::SelChange, &MainDialog::OnListChange},
    };
    return Dispatch(*this, kTable, id, code) || Dialog::OnCommand(id, code);
  }
  void OnNested() {
    PairDialog pair(App(), this);
    m_pairResult = pair.DoModal();
    FileDialog file(App(), true, "", "", kFileMustExist | kHideReadOnly, "Text(*.txt)|*.txt||",
                    this);
    file.SetTitle("Pick one");
    m_chosen = file.DoModal() == kIdOk ? file.GetPathName() : "cancelled";
    MessageBox("done");
  }
  void OnListChange() { ++m_selChanges; }
};

class DialogTest : public testing::HeadlessTest {
 protected:
  DialogTest() : HeadlessTest(m_resources) {}
  ResourceSet m_resources = TestResources();
};

TEST_F(DialogTest, ShowsMembersAndStoresThemOnOk) {
  PairDialog dialog(app);
  dialog.m_k = 4;
  dialog.m_n = 7;
  platform.Play(Script()
                    .ExpectDialog("Pair")
                    .Inspect([](Dialog& d) {
                      EXPECT_EQ(d.GetDlgItemText(kEditK), "4");
                      EXPECT_EQ(d.GetDlgItemText(kEditN), "7");
                      EXPECT_EQ(d.GetFocusId(), kEditK) << "the first tab stop";
                    })
                    .Type(kEditN, "9")
                    .Type(kEditK, "9")
                    .Enter());
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(dialog.m_n, 9);
  EXPECT_EQ(dialog.m_k, 9);
  EXPECT_TRUE(platform.Messages().empty());
  EXPECT_FALSE(dialog.IsWindow()) << "the window ends with its modal loop";
  EXPECT_EQ(dialog.GetDlgItemText(kEditK), "9") << "its controls stay readable";
}

TEST_F(DialogTest, RefusedValuesPromptFocusTheBoxAndKeepTheDialogOpen) {
  struct Case {
    const char* n;
    const char* k;
    std::string prompt;
    int focus;
  };
  const Case cases[] = {
      {"4", "5", "Please enter an integer between 2 and 4.", kEditK},
      {"10", "", "Please enter an integer between 2 and 9.", kEditN},  // k is not looked at
      {"1", "1", "Please enter an integer between 2 and 9.", kEditN},
      {"", "3", "Please enter an integer.", kEditN},
      {"5", "", "Please enter an integer.", kEditK},
      {"99999999999", "3", "Please enter an integer.", kEditN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("n ") + c.n + ", k " + c.k);
    PairDialog dialog(app);
    platform.Play(Script()
                      .ExpectDialog("PAIR")
                      .Type(kEditN, c.n)
                      .Type(kEditK, c.k)
                      .Click(kIdOk)
                      .Message("quillon", c.prompt)
                      .Inspect([&](Dialog& d) {
                        EXPECT_FALSE(d.IsEnded());
                        EXPECT_EQ(d.GetFocusId(), c.focus);
                        const auto* edit = d.Item<EditBox>(c.focus);
                        EXPECT_EQ(edit->SelStart(), 0);
                        EXPECT_EQ(edit->SelEnd(), static_cast<int>(edit->Text().size()))
                            << "the offending text is selected";
                      })
                      .Type(kEditN, "6")
                      .Type(kEditK, "6")
                      .Click(kIdOk));
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(dialog.m_k, 6);
    ASSERT_FALSE(platform.Messages().empty());
    const headless::MessageRecord& prompt = platform.Messages().back();
    EXPECT_EQ(prompt.owner, &dialog);
    EXPECT_EQ(prompt.ownerText, "Pair");
    EXPECT_EQ(prompt.icon, MessageIcon::Exclamation);
  }
}

TEST_F(DialogTest, EscapeAndTheCloseBoxCancelWithoutStoring) {
  for (bool closeBox : {false, true}) {
    PairDialog dialog(app);
    Script script;
    script.ExpectDialog("pair").Type(kEditN, "8");
    closeBox ? script.CloseBox() : script.Escape();
    platform.Play(script);
    EXPECT_EQ(dialog.DoModal(), kIdCancel);
    EXPECT_EQ(dialog.m_n, 3);
  }
}

TEST_F(DialogTest, DigitsOnlyBoxesDropWhatIsNotADigit) {
  PairDialog dialog(app);
  dialog.m_more = 0;
  platform.Play(Script()
                    .ExpectDialog("pair")
                    .Type(kEditN, "-7x")
                    .Type(kEditK, " 5 ")
                    .Click(kButtonMore)
                    .Click(kButtonMore)
                    .Inspect([](Dialog& d) {
                      EXPECT_EQ(d.GetDlgItemText(kEditN), "7");
                      EXPECT_EQ(d.GetDlgItemText(kEditK), "5");
                      EXPECT_EQ(d.GetFocusId(), kButtonMore);
                    })
                    .Enter()  // the focused button, not the default one
                    .Escape());
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(dialog.m_more, 3);
}

TEST_F(DialogTest, ModalWindowsNestAndEnterCanBeSwallowed) {
  const std::string file = ::testing::TempDir() + "quillon-ui-dialog-test.txt";
  FILE* f = fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  MainDialog main(app);
  platform.Play(Script()
                    .ExpectDialog(7)
                    .Type(kEditFree, "-3 x")
                    .Enter()  // swallowed by OnOK
                    .ClickEntries(kList, {1, 0, 1})
                    .Click(kButtonNested)
                    .ExpectDialog("PAIR")
                    .Type(kEditN, "2")
                    .Type(kEditK, "3")
                    .Enter()
                    .Message("Please enter an integer between 2 and 2.")
                    .Escape()
                    .ChooseFile("Pick one", file)
                    .Message("quillon", "done")  // the application's name as caption
                    .Click(kIdCancel));
  EXPECT_EQ(main.DoModal(), kIdCancel);
  EXPECT_EQ(main.GetDlgItemText(kEditFree), "-3 x") << "a plain edit box takes any text";
  EXPECT_EQ(main.m_pairResult, kIdCancel);
  EXPECT_EQ(main.m_chosen, file);
  EXPECT_EQ(main.Item<ListBox>(kList)->GetSelItems(10), std::vector<int>{0});
  EXPECT_EQ(main.m_selChanges, 3);
  ASSERT_EQ(platform.Dialogs().size(), 2u);
  EXPECT_EQ(platform.Dialogs()[0].name, "PAIR") << "the inner dialog ends first";
  EXPECT_EQ(platform.Dialogs()[0].owner, &main);
  ASSERT_EQ(platform.FileDialogs().size(), 1u);
  const headless::FileDialogRecord& record = platform.FileDialogs()[0];
  EXPECT_TRUE(record.open);
  EXPECT_EQ(record.flags, 4100u);
  EXPECT_EQ(record.filter, "Text(*.txt)|*.txt||");
  EXPECT_EQ(record.owner, &main);
  EXPECT_EQ(platform.Messages().back().owner, &main);
  std::remove(file.c_str());
}

}  // namespace
}  // namespace quillon::ui
