#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include "tests/ui_wx/wx_test_util.h"
#include "ui/frame.h"

namespace quillon::ui::wx::testing {
namespace {

// A toolbar in the manner of the program's: the resource's buttons and a drop-down list on a
// widened separator.
class TestToolBar : public ToolBar {
 public:
  using ToolBar::ToolBar;
  std::vector<int> choices;

 protected:
  bool OnCreate() override {
    if (!LoadToolBar(res::kToolBar))
      return false;
    SetButtonInfo(5, res::kSchemeSelector, kSeparator, 200);
    Rect rect = GetItemRect(5);
    rect.height = 120;
    auto& list = static_cast<ComboBox&>(CreateControl(ControlKind::ComboBox, res::kSchemeSelector,
                                                      "", rect, kVisible | kDropDownList));
    list.AddString("first");
    list.AddString("second");
    list.SetCurSel(0);
    return true;
  }
  bool OnCommand(int id, Notify code) override {
    if (id == res::kSchemeSelector && code == Notify::SelChange) {
      choices.push_back(Item<ComboBox>(id)->GetCurSel());
      return true;
    }
    return ToolBar::OnCommand(id, code);
  }
};

class TestFrame : public FrameWnd {
 public:
  explicit TestFrame(Application& app) : FrameWnd(app), toolbar(app) {}
  TestToolBar toolbar;
  std::vector<int> commands;
  static constexpr Rgb kMark{20, 140, 60};

 protected:
  bool OnCreate() override {
    if (!toolbar.Create(*this, kVisible | kAlignTop | kToolTips, kStandardToolBarId))
      return false;
    for (int i = 0; i < 3; ++i)
      toolbar.SetButtonStyle(i, kCheckGroup);
    return true;
  }
  bool OnCommand(int id, Notify code) override {
    commands.push_back(id);
    if (id == res::kCmdExit)
      SendClose();
    if (id == res::kCmdHelp)
      MessageBox("No help file yet.");
    return code == Notify::Command;
  }
  void OnPaint() override { Client().FillRect(10, 100, 50, 130, kMark); }
};

void Post(wxEvtHandler* target, wxEvent& event) {
  target->QueueEvent(event.Clone());
}

TEST_F(WxTest, FrameShowsMenuToolbarAndClientAndHandsCommandsToTheModel) {
  TestFrame frame(app);
  ASSERT_TRUE(frame.Create("Quillon", kOverlappedWindow, Rect{0, 0, 900, 600}, nullptr,
                           ResourceName(res::kMenu)));
  platform.SyncWindows(app);
  EXPECT_EQ(platform.ViewOf(&frame), nullptr) << "a hidden frame has no window";

  frame.ShowWindow(true);
  platform.SyncWindows(app);
  auto* view = dynamic_cast<FrameView*>(platform.ViewOf(&frame));
  ASSERT_NE(view, nullptr);
  wxMenuBar* bar = view->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->GetMenuCount(), 4u);
  EXPECT_EQ(Utf8(bar->GetMenuLabelText(3)), "Help");
  EXPECT_EQ(bar->GetMenu(0)->GetMenuItemCount(), 6u) << "five items and a separator";
  EXPECT_EQ(Utf8(bar->GetLabel(res::kCmdSaveCurrentAs)), "Save current as...");

  wxToolBar* tools = view->Tools();
  ASSERT_NE(tools, nullptr);
  for (int command :
       {res::kToolOpen, res::kToolSaveCurrentAs, res::kToolEncrypt, res::kToolCombine}) {
    const wxToolBarToolBase* tool = tools->FindById(command);
    ASSERT_NE(tool, nullptr) << command;
    EXPECT_EQ(tool->GetNormalBitmap().GetSize(), wxSize(16, 15));
  }
  auto* choice =
      dynamic_cast<wxChoice*>(platform.ControlView(&frame.toolbar, res::kSchemeSelector));
  ASSERT_NE(choice, nullptr);
  EXPECT_EQ(choice->GetCount(), 2u);
  EXPECT_EQ(choice->GetSelection(), 0);
  EXPECT_EQ(choice->GetSize().x, 200);

  // What the frame paints on its client surface reaches the screen.
  ASSERT_TRUE(PumpUntil([&] { return view->IsShownOnScreen(); }));
  frame.Invalidate();
  platform.SyncWindows(app);
  Pump(300);
  const wxPoint origin = view->ClientPanel()->ClientToScreen(wxPoint(10, 100));
  const wxImage shot = CaptureScreen(wxRect(origin, wxSize(40, 30)));
  ASSERT_TRUE(shot.IsOk());
  EXPECT_EQ(shot.GetRed(20, 15), TestFrame::kMark.red);
  EXPECT_EQ(shot.GetGreen(20, 15), TestFrame::kMark.green);
  EXPECT_EQ(shot.GetBlue(0, 0), TestFrame::kMark.blue);

  // Menu items, toolbar buttons and the drop-down list reach the models.
  wxCommandEvent menu(wxEVT_MENU, res::kCmdHelp);
  Post(view, menu);
  wxCommandEvent tool(wxEVT_TOOL, res::kToolOpen);
  tool.SetEventObject(tools);
  Post(tools, tool);
  choice->SetSelection(1);
  wxCommandEvent chosen(wxEVT_CHOICE, choice->GetId());
  chosen.SetEventObject(choice);
  chosen.SetInt(1);
  Post(choice, chosen);
  driver.Message("No help file yet.");
  ASSERT_TRUE(
      PumpUntil([&] { return frame.commands.size() >= 2 && !frame.toolbar.choices.empty(); }));
  EXPECT_EQ(frame.commands, (std::vector<int>{res::kCmdHelp, res::kToolOpen}));
  EXPECT_EQ(frame.toolbar.choices, std::vector<int>{1});
  EXPECT_TRUE(frame.toolbar.GetButtonStyle(0) & kChecked) << "a check-group button latches";
  ASSERT_EQ(driver.Messages().size(), 1u);
  EXPECT_EQ(Utf8(driver.Messages()[0].caption), "quillon");

  // The program's changes reach the widgets; a reload of the buttons keeps the list.
  frame.toolbar.Item<ComboBox>(res::kSchemeSelector)->SetCurSel(0);
  frame.toolbar.LoadToolBar(res::kToolBar);
  platform.SyncWindows(app);
  choice = dynamic_cast<wxChoice*>(platform.ControlView(&frame.toolbar, res::kSchemeSelector));
  ASSERT_NE(choice, nullptr);
  EXPECT_EQ(choice->GetCount(), 2u);
  EXPECT_EQ(choice->GetSelection(), 0);
  EXPECT_FALSE(view->Tools()->GetToolState(res::kToolOpen)) << "reloaded buttons start up";

  frame.ShowWindow(false);
  platform.SyncWindows(app);
  EXPECT_EQ(platform.ViewOf(&frame), nullptr);

  // A program that leaves its frame running: the loop lasts until the frame closes.
  frame.ShowWindow(true);
  platform.SyncWindows(app);
  ASSERT_NE(platform.ViewOf(&frame), nullptr);
  wxCommandEvent exit(wxEVT_MENU, res::kCmdExit);
  Post(platform.ViewOf(&frame), exit);
  platform.RunWhileFramesVisible(app);
  EXPECT_TRUE(frame.IsDestroyed());
  EXPECT_EQ(platform.ViewOf(&frame), nullptr);
}

}  // namespace
}  // namespace quillon::ui::wx::testing
