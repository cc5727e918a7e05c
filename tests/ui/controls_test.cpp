#include "ui/controls.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <optional>

#include "tests/ui/ui_test_util.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/frame.h"
#include "ui/user_input.h"

namespace quillon::ui {
namespace {

TEST(ComboBoxTest, SelectionFollowsItsEntry) {
  const ResourceSet none;
  headless::HeadlessPlatform platform;
  Application app(platform, none, "quillon");
  Window window(app);
  auto& combo = static_cast<ComboBox&>(window.CreateControl(
      ControlKind::ComboBox, 5, "", Rect{0, 0, 200, 120}, kVisible | kDropDownList | kVScroll));
  EXPECT_EQ(combo.DropHeight(), 120);
  EXPECT_EQ(combo.GetCurSel(), kNoEntry);
  for (const char* entry : {"a", "b", "c", "d"})
    combo.AddString(entry);
  EXPECT_EQ(combo.SetCurSel(2), 2);
  EXPECT_EQ(combo.Text(), "c");
  combo.DeleteString(0);  // before the selection: it moves down with its entry
  EXPECT_EQ(combo.GetCurSel(), 1);
  combo.InsertString(0, "z");
  EXPECT_EQ(combo.GetCurSel(), 2);
  EXPECT_EQ(combo.DeleteString(2), 3) << "deleting the selected entry";
  EXPECT_EQ(combo.GetCurSel(), kNoEntry);
  EXPECT_EQ(combo.DeleteString(3), kNoEntry);
  EXPECT_EQ(combo.SetCurSel(3), kNoEntry);
  EXPECT_EQ(combo.Entries(), (std::vector<std::string>{"z", "b", "d"}));
  combo.SetCurSel(0);
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);
  EXPECT_EQ(combo.GetCurSel(), kNoEntry);
  EXPECT_EQ(combo.Text(), "");
}

TEST(ListBoxTest, MultipleSelectionTogglesAndReportsInOrder) {
  const ResourceSet none;
  headless::HeadlessPlatform platform;
  Application app(platform, none, "quillon");
  Window window(app);
  auto& list = static_cast<ListBox&>(
      window.CreateControl(ControlKind::ListBox, 7, "", Rect{}, kVisible | kMultipleSel | kNotify));
  for (const char* entry : {"1 2 ", "1 3 ", "2 3 ", "1 2 3 "})
    list.AddString(entry);
  for (int index : {3, 0, 2, 3})
    EXPECT_EQ(UserClickEntry(window, 7, index), "");
  EXPECT_EQ(list.GetSelItems(16), (std::vector<int>{0, 2}));
  EXPECT_EQ(list.GetSelItems(1), (std::vector<int>{0})) << "at most the count asked for";
  EXPECT_EQ(list.GetSelCount(), 2);
  EXPECT_EQ(list.GetCurSel(), kNoEntry) << "no single selection in a multiple-selection box";
  list.DeleteString(1);
  EXPECT_EQ(list.GetSelItems(16), (std::vector<int>{0, 1})) << "selections move with entries";
  list.SetSel(-1, false);
  EXPECT_EQ(list.GetSelCount(), 0);
  EXPECT_NE(UserClickEntry(window, 7, 3), "") << "no entry 3";
  list.Enable(false);
  EXPECT_NE(UserClickEntry(window, 7, 0), "");
  EXPECT_EQ(list.GetSelCount(), 0) << "a disabled box does not change";
}

TEST(ParseIntegerTest, WholeDecimalNumbersWithin32Bits) {
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"7", 7},
      {" 42 ", 42},
      {"-3", -3},
      {"+5", 5},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", {}},
      {"", {}},
      {"  ", {}},
      {"4a", {}},
      {"a4", {}},
      {"-", {}},
      {"1 2", {}},
      {"99999999999999999999", {}},
  };
  for (const auto& [text, expected] : cases) {
    int32_t value = 0;
    EXPECT_EQ(ParseInteger(text, &value), expected.has_value()) << text;
    if (expected) {
      EXPECT_EQ(value, *expected) << text;
    }
  }
  EXPECT_EQ(IntegerRangePrompt(2, 9), "Please enter an integer between 2 and 9.");
  EXPECT_EQ(IntegerRangePrompt(-1, 0), "Please enter an integer between -1 and 0.");
}

TEST(FileDialogTest, NamePartsFiltersAndDefaultExtension) {
  struct Case {
    const char* path;
    const char* name;
    const char* title;
    const char* ext;
  };
  const Case cases[] = {
      {"/d/copia", "copia", "copia", ""},
      {"/d/copia.bmp", "copia.bmp", "copia", "bmp"},
      {"/d/copia.BMP", "copia.BMP", "copia", "BMP"},
      {"/d.x/a.b.bmp", "a.b.bmp", "a.b", "bmp"},
      {"/d.x/noext", "noext", "noext", ""},
      {"secreto.bmp", "secreto.bmp", "secreto", "bmp"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(FileTitleOf(c.path), c.title) << c.path;
    EXPECT_EQ(FileExtOf(c.path), c.ext) << c.path;
  }
  EXPECT_EQ(ParseFilter("Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*||"),
            (std::vector<FileFilter>{{"Bitmap Files(*.bmp)", "*.bmp"}, {"All Files(*.*)", "*.*"}}));
  EXPECT_TRUE(ParseFilter("").empty());

  const ResourceSet none;
  headless::HeadlessPlatform platform;
  Application app(platform, none, "quillon");
  FileDialog save(app, false, "txt");
  EXPECT_EQ(save.Flags(), uint32_t{kHideReadOnly | kOverwritePrompt});
  save.Accept("/tmp/x/../notes");
  EXPECT_EQ(save.GetPathName(), "/tmp/notes.txt");
  save.Accept("/tmp/notes.md");
  EXPECT_EQ(save.GetPathName(), "/tmp/notes.md");
  save.Accept("relative.md");
  EXPECT_EQ(save.GetPathName(), (std::filesystem::current_path() / "relative.md").string());
}

TEST(SurfaceTest, DrawingIsClippedToTheSurface) {
  Canvas canvas;
  EXPECT_EQ(canvas.Width(), 1024);
  EXPECT_EQ(canvas.Height(), 768);
  EXPECT_EQ(canvas.GetPixel(0, 0), kBlack);
  canvas.FillRect(0, 0, 1280, 1024, kWhite);  // a screen larger than the canvas
  EXPECT_EQ(canvas.GetPixel(1023, 767), kWhite);
  canvas.SetPixel(1024, 0, kBlack);
  canvas.SetPixel(-1, 5, kBlack);
  canvas.SetPixel(3, 768, kBlack);
  EXPECT_EQ(canvas.Data(), std::vector<uint8_t>(1024 * 768 * 3, 255))
      << "pixels outside are dropped";

  Surface source(4, 3, Rgb{1, 2, 3});
  source.SetPixel(0, 0, Rgb{9, 9, 9});
  source.SetPixel(3, 2, Rgb{7, 7, 7});
  Surface target(5, 5, kWhite);
  target.CopyFrom(source, 0, 0, 4, 3, 2, 3);  // the block's lower right part falls outside
  EXPECT_EQ(target.GetPixel(2, 3), (Rgb{9, 9, 9}));
  EXPECT_EQ(target.GetPixel(4, 4), (Rgb{1, 2, 3}));
  EXPECT_EQ(target.GetPixel(1, 3), kWhite);
  target.CopyFrom(source, -1, -1, 3, 3, 0, 0);  // starts left of and above the source
  EXPECT_EQ(target.GetPixel(0, 0), kWhite);
  EXPECT_EQ(target.GetPixel(1, 1), (Rgb{9, 9, 9}));
  EXPECT_EQ(target.GetPixel(2, 2), (Rgb{1, 2, 3}));
  target.CopyFrom(source, 0, 0, 800, 600, 10, 10);  // nothing lands
  EXPECT_EQ(target.GetPixel(4, 4), (Rgb{1, 2, 3}));
}

ResourceSet FrameResources() {
  ResourceSet set;
  set.menus.push_back(
      MenuTemplate{"MAIN",
                   {MenuItemTemplate{"File", 0, {{"Open", 100, {}}, {}, {"Exit", 101, {}}}},
                    MenuItemTemplate{"Help", 0, {{"About", 102, {}}}}}});
  set.dialogs.push_back(DialogTemplate{
      "ASK",
      "Ask",
      Rect{0, 0, 50, 30},
      kCaption | kSysMenu,
      "",
      0,
      {{ControlKind::PushButton, kIdOk, "OK", {5, 5, 20, 10}, kTabStop | kDefaultButton}}});
  set.toolbars.push_back(
      ToolBarTemplate{300, Size{16, 15}, {{200, 0}, {201, 1}, {}, {202, 2}, {}}, {}, {}});
  return set;
}

class Frame : public FrameWnd {
 public:
  using FrameWnd::FrameWnd;
  std::vector<int> m_commands;
  int m_paints = 0;

 protected:
  bool OnCommand(int id, Notify code) override {
    m_commands.push_back(id);
    return code == Notify::Command;
  }
  void OnPaint() override { ++m_paints; }
};

class Bar : public ToolBar {
 public:
  using ToolBar::ToolBar;
  int m_selections = 0;

 protected:
  bool OnCreate() override {
    if (!LoadToolBar(300))
      return false;
    SetButtonInfo(4, 310, kSeparator, 200);
    const Rect r = GetItemRect(4);
    auto& combo = static_cast<ComboBox&>(CreateControl(
        ControlKind::ComboBox, 310, "", Rect{r.x, r.y, r.width, 120}, kVisible | kDropDownList));
    combo.AddString("one");
    combo.AddString("two");
    combo.SetCurSel(0);
    return true;
  }
  bool OnCommand(int id, Notify code) override {
    static const CommandEntry<Bar> kTable[] = {{310, Notify::SelChange, &Bar::OnSelection}};
    return Dispatch(*this, kTable, id, code) || ToolBar::OnCommand(id, code);
  }
  // A choice that needs confirming: cancelled, the selector goes back to the first entry.
  void OnSelection() {
    ++m_selections;
    Dialog ask(App(), "ask");
    if (ask.DoModal() != kIdOk)
      Item<ComboBox>(310)->SetCurSel(0);
  }
};

TEST(FrameTest, MenuToolbarAndReload) {
  const ResourceSet resources = FrameResources();
  headless::HeadlessPlatform platform;
  Application app(platform, resources, "quillon");
  Frame frame(app);
  EXPECT_FALSE(frame.Create("Frame", kOverlappedWindow, Rect{0, 0, 900, 600}, nullptr,
                            ResourceName("nope")));
  ASSERT_TRUE(frame.Create("Frame", kOverlappedWindow, Rect{0, 0, 900, 600}, nullptr,
                           ResourceName("main")));
  EXPECT_FALSE(frame.IsWindowVisible());
  Bar bar(app);
  ASSERT_TRUE(bar.Create(frame, kVisible | kAlignTop, kStandardToolBarId));
  EXPECT_EQ(bar.GetItemRect(3), (Rect{54, 0, 23, 21})) << "two buttons and a separator before";
  EXPECT_EQ(bar.GetItemRect(4), (Rect{77, 0, 200, 21}));
  for (int i : {0, 1})
    bar.SetButtonStyle(i, kCheckGroup);

  EXPECT_EQ(UserMenu(frame, 101), "");
  EXPECT_NE(UserMenu(frame, 999), "");
  frame.GetMenu()->Find(102)->enabled = false;
  EXPECT_NE(UserMenu(frame, 102), "");
  EXPECT_EQ(UserToolBarClick(bar, 201), "");  // handed on to the frame
  EXPECT_EQ(bar.GetButtonStyle(1), uint32_t{kCheckGroup | kChecked});
  EXPECT_EQ(UserToolBarClick(bar, 200), "");
  EXPECT_EQ(bar.GetButtonStyle(0), uint32_t{kCheckGroup | kChecked});
  EXPECT_EQ(bar.GetButtonStyle(1), uint32_t{kCheckGroup}) << "one of the group stays down";
  EXPECT_NE(UserToolBarClick(bar, 310), "") << "a separator is no button";
  platform.Play(headless::Script().ExpectDialog("ASK").Escape().ExpectDialog("ASK").Enter());
  EXPECT_EQ(UserChoose(bar, 310, 1), "");
  EXPECT_EQ(bar.Item<ComboBox>(310)->GetCurSel(), 0) << "put back after the cancel";
  EXPECT_EQ(UserChoose(bar, 310, 1), "");
  EXPECT_EQ(bar.m_selections, 2);
  EXPECT_EQ(frame.m_commands, (std::vector<int>{101, 201, 200}));

  ASSERT_TRUE(bar.LoadToolBar(300));
  EXPECT_EQ(bar.GetButtonStyle(0), uint32_t{kButton}) << "styles set since are gone";
  EXPECT_EQ(bar.GetEntry(4).style, uint32_t{kSeparator});
  EXPECT_EQ(bar.GetEntry(4).command, 0);
  const auto* combo = bar.Item<ComboBox>(310);
  ASSERT_NE(combo, nullptr) << "the selector survives the reload";
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(combo->GetCount(), 2);

  frame.Invalidate();
  app.UpdateWindows();
  EXPECT_EQ(frame.m_paints, 0) << "a hidden window is not painted";
  EXPECT_FALSE(frame.WasEverVisible());
  frame.ShowWindow(true);
  app.UpdateWindows();
  app.UpdateWindows();
  EXPECT_EQ(frame.m_paints, 1);
  EXPECT_EQ(frame.Client().Width(), 900);
  EXPECT_EQ(UserCloseBox(frame), "");
  EXPECT_TRUE(frame.IsDestroyed());
  EXPECT_TRUE(frame.WasEverVisible());
  EXPECT_EQ(platform.Finish(), "");
}

TEST(ApplicationTest, NameFromPath) {
  EXPECT_EQ(Application::NameFromPath("/usr/bin/quillon"), "quillon");
  EXPECT_EQ(Application::NameFromPath("C:\\bin\\quillon.exe"), "quillon");
  EXPECT_EQ(Application::NameFromPath("quillon.v2.exe"), "quillon.v2");
}

}  // namespace
}  // namespace quillon::ui
