// Screenshots of every dialog of the resources, for people to look at: written when
// QUILLON_SCREENSHOTS names a directory, skipped otherwise.
#include <cstdlib>

#include "tests/ui_wx/wx_test_util.h"
#include "ui/dialog.h"

namespace quillon::ui::wx::testing {
namespace {

TEST_F(WxTest, ScreenshotsOfEveryDialog) {
  const char* directory = std::getenv("QUILLON_SCREENSHOTS");
  if (!directory)
    GTEST_SKIP() << "set QUILLON_SCREENSHOTS to a directory to take screenshots";
  for (const DialogTemplate& source : res::QuillonResources().dialogs) {
    ui::Dialog dialog(app, source.name);
    const std::string name = source.name.ToString();
    driver.Dialog(
        platform.Decode(source.caption),
        {Check([&](DialogView& view) {
           if (source.name.Matches(res::kPrincipDialog)) {
             // A picture where the program draws the secret: black and white stripes.
             Surface& client = view.Model().Client();
             for (int y = 0; y < 120; ++y) {
               for (int x = 0; x < 200; ++x)
                 client.SetPixel(160 + x, 29 + y, ((x / 10 + y / 10) % 2) ? kBlack : kWhite);
             }
             view.Model().SetDlgItemText(res::kEditN, "2");
           }
         }),
         Check([&](DialogView& view) {
           Pump(300);
           const wxRect rect = view.GetScreenRect();
           const std::string command = "import -window root -crop " + std::to_string(rect.width) +
                                       "x" + std::to_string(rect.height) + "+" +
                                       std::to_string(rect.x) + "+" + std::to_string(rect.y) +
                                       " +repage " + directory + "/dialog-" + name + ".png";
           EXPECT_EQ(std::system(command.c_str()), 0) << command;
         }),
         Key(WXK_ESCAPE)});
    dialog.DoModal();
  }
}

}  // namespace
}  // namespace quillon::ui::wx::testing
