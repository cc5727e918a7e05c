// Screenshots of every dialog of the resources, for people to look at: written when
// QUILLON_SCREENSHOTS names a directory, skipped otherwise.
#include <cstdlib>

#include <wx/uiaction.h>

#include "tests/ui_wx/wx_test_util.h"
#include "ui/dialog.h"
#include "ui/frame.h"

namespace quillon::ui::wx::testing {
namespace {

void Shoot(const wxRect& rect, const std::string& file) {
  const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                              std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                              std::to_string(rect.y) + " +repage " + file;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(WxTest, ScreenshotsOfEveryDialog) {
  const char* directory = std::getenv("QUILLON_SCREENSHOTS");
  if (!directory)
    GTEST_SKIP() << "set QUILLON_SCREENSHOTS to a directory to take screenshots";
  const std::string prefix = std::string(directory) + "/";
  for (const DialogTemplate& source : res::QuillonResources().dialogs) {
    ui::Dialog dialog(app, source.name);
    const std::string name = source.name.ToString();
    driver.Dialog(platform.Decode(source.caption),
                  {Check([&](DialogView& view) {
                     if (source.name.Matches(res::kPrincipDialog)) {
                       // A picture where the program draws the secret: black and white stripes.
                       Surface& client = view.Model().Client();
                       for (int y = 0; y < 120; ++y) {
                         for (int x = 0; x < 200; ++x)
                           client.SetPixel(160 + x, 29 + y,
                                           ((x / 10 + y / 10) % 2) ? kBlack : kWhite);
                       }
                       view.Model().SetDlgItemText(res::kEditN, "2");
                     }
                   }),
                   Check([&](DialogView& view) {
                     Pump(300);
                     Shoot(view.GetScreenRect(), prefix + "dialog-" + name + ".png");
                   }),
                   Key(WXK_ESCAPE)});
    dialog.DoModal();
  }

  // A message box over the main dialog, answered with a real Return key.
  ui::Dialog main(app, res::kPrincipDialog);
  wxUIActionSimulator sim;
  driver
      .Dialog(
          platform.Decode(res::QuillonResources().FindDialog(res::kPrincipDialog)->caption),
          {Check([&](DialogView& view) {
             // Opened from the event queue, not from the driver's timer, which must go on
             // ticking inside the box's own loop.
             view.CallAfter([&] { main.MessageBox("No se pueden combinar las im\xE1genes. "); });
           }),
           Key(WXK_ESCAPE)})
      .ShowMessage(wxString::FromUTF8("No se pueden combinar las im\u00E1genes. "), [&](wxDialog&) {
        wxWindow* view = platform.ViewOf(&main);
        Shoot(view->GetScreenRect(), prefix + "message-box.png");
        sim.MouseMove(view->GetScreenRect().GetPosition() + view->GetSize() / 2);
        Pump(100);
        sim.Char(WXK_RETURN);
      });
  main.DoModal();

  // A frame with the menu and the toolbar of the resources.
  FrameWnd frame(app);
  ASSERT_TRUE(frame.Create("Quillon", kOverlappedWindow, Rect{0, 0, 900, 600}, nullptr,
                           ResourceName(res::kMenu)));
  ToolBar toolbar(app);
  ASSERT_TRUE(toolbar.Create(frame, kVisible | kAlignTop, kStandardToolBarId));
  ASSERT_TRUE(toolbar.LoadToolBar(res::kToolBar));
  frame.Client().FillRect(0, 0, 900, 600, kWhite);
  frame.ShowWindow(true);
  platform.SyncWindows(app);
  wxWindow* view = platform.ViewOf(&frame);
  ASSERT_NE(view, nullptr);
  PumpUntil([&] { return view->IsShownOnScreen(); });
  Pump(300);
  Shoot(view->GetScreenRect(), prefix + "frame.png");
  frame.ShowWindow(false);
  platform.SyncWindows(app);
}

}  // namespace
}  // namespace quillon::ui::wx::testing
