// For people rather than for checks: screenshots of the window (when QUILLON_SCREENSHOTS names
// a folder) and the figures of the closing note, run by hand with
// --gtest_also_run_disabled_tests: how long Encrypt takes to show the shares, and how many
// events the window handles while a large secret encrypts.
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/timer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/studio/studio_test_util.h"
#include "tests/studio_wx/studio_wx_test_util.h"
#include "tests/test_util.h"

namespace quillon::studio::wx::testing {
namespace {

using quillon::testing::ScratchDir;

// A grey picture with a word on a light-to-dark ramp, as a photograph would give.
void WritePicture(const std::string& path, int width, int height) {
  wxBitmap bitmap(width, height, 24);
  {
    wxMemoryDC dc(bitmap);
    dc.GradientFillLinear(wxRect(0, 0, width, height), wxColour(250, 250, 250),
                          wxColour(120, 120, 120), wxSOUTH);
    dc.SetFont(wxFontInfo(height / 3).Bold());
    dc.SetTextForeground(*wxBLACK);
    const wxSize text = dc.GetTextExtent("QUILL");
    dc.DrawText("QUILL", (width - text.x) / 2, (height - text.y) / 2);
  }
  ASSERT_TRUE(bitmap.ConvertToImage().SaveFile(Wx(path), wxBITMAP_TYPE_PNG));
}

class Look : public StudioWindow {
 protected:
  void OpenAndChoose(const std::string& secret, ExpansionMethod method, int n = 5, int k = 3) {
    script.files.push_back({secret});
    Menu(wxID_OPEN);
    Choose(Find<wxChoice>(kSchemeControlName), texts.SchemeName(SchemeKind::SchemeKofN));
    Spin(Find<wxSpinCtrl>(kParticipantsControlName), n);
    Spin(Find<wxSpinCtrl>(kThresholdControlName), k);
    Tick(Find<wxCheckBox>(texts.Text(Label::kOptimalContrast)), true);
    Choose(Find<wxChoice>(kMethodControlName), texts.MethodName(method));
  }
};

void Shoot(const wxRect& rect, const std::string& file) {
  const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                              std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                              std::to_string(rect.y) + " +repage " + file;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(Look, Screenshots) {
  const char* folder = std::getenv("QUILLON_SCREENSHOTS");
  if (!folder)
    GTEST_SKIP() << "set QUILLON_SCREENSHOTS to a folder to take screenshots";
  ScratchDir dir;
  WritePicture(dir.File("secret.png"), 240, 130);
  frame->SetSize(frame->FromDIP(wxSize(1360, 940)));
  frame->Centre();
  // A scheme whose stack reads at a glance: (2,3) with square sub-pixels.
  OpenAndChoose(dir.File("secret.png"), ExpansionMethod::SquareSubpixelExpansion, 3, 2);
  Pump(500);
  Shoot(frame->GetScreenRect(), std::string(folder) + "/studio-open.png");
  Click(Find<wxButton>(kEncryptButtonName));
  ASSERT_TRUE(WaitForEncryption());
  for (int share = 0; share < 3; ++share)
    Tick(Find<wxCheckBox>(texts.LayerLine(document.Layers()[share])), share != 1);
  Pump(500);
  Shoot(frame->GetScreenRect(), std::string(folder) + "/studio-stack.png");

  // A general access structure with the innocent images of an extended method.
  Choose(Find<wxChoice>(kSchemeControlName), texts.SchemeName(SchemeKind::SchemeGeneral));
  Spin(Find<wxSpinCtrl>(kParticipantsControlName), 3);
  document.SetQualifiedSetsText("1,2;2,3");
  Choose(Find<wxChoice>(kMethodControlName),
         texts.MethodName(ExpansionMethod::ExtendedPreserveSize));
  document.SetInnocentImage(0, dir.File("secret.png"));
  Pump(500);
  Shoot(frame->GetScreenRect(), std::string(folder) + "/studio-scheme.png");
}

// Encrypt to thumbnails for a 2048 x 2048 secret; a 1 ms timer's ticks per second while an
// 8192 x 8192 secret encrypts, against the same timer with nothing to do.
TEST_F(Look, DISABLED_Figures) {
  ScratchDir dir;
  WritePicture(dir.File("s2048.png"), 2048, 2048);
  for (ExpansionMethod method : {ExpansionMethod::PixelSampling, ExpansionMethod::RandomBasisColumn,
                                 ExpansionMethod::SquareSubpixelExpansion}) {
    OpenAndChoose(dir.File("s2048.png"), method);
    Click(Find<wxButton>(kEncryptButtonName));
    ASSERT_TRUE(WaitForEncryption());
    ASSERT_EQ(document.MadeShares(), 5);
    std::printf("2048x2048, (3,5) optimal, %s: Encrypt to thumbnails %.0f ms\n",
                texts.MethodName(method).c_str(), frame->LastEncryptMs());
  }

  // Ticks per second of a 1 ms timer while running(seconds) holds; longest: the longest wait
  // between two ticks, in milliseconds.
  double longest = 0;
  const auto ticksPerSecond = [&](const std::function<bool(double)>& running) {
    wxGUIEventLoop loop;
    wxTimer timer;
    long ticks = 0;
    longest = 0;
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      ++ticks;
      const auto now = std::chrono::steady_clock::now();
      longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
      if (!running(std::chrono::duration<double>(now - start).count()))
        loop.Exit();
    });
    timer.Start(1);
    loop.Run();
    timer.Stop();
    return ticks / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  const double idle = ticksPerSecond([](double s) { return s < 2; });

  // A 1-bit BMP: pictures read by luminance stop at 32 megapixels.
  {
    BmpImage large(dir.File("s8192.bmp"), 8192, 8192);
    for (int32_t row = 0; row < 8192; ++row) {
      for (int32_t col = 0; col < 8192; ++col)
        large.SetPixel(row, col, ((row / 512 + col / 512) % 2) != 0);
    }
    quillon::testing::SaveBmp(large, dir.File("s8192.bmp"));
  }
  for (ExpansionMethod method :
       {ExpansionMethod::RandomBasisColumn, ExpansionMethod::SquareSubpixelExpansion}) {
    OpenAndChoose(dir.File("s8192.bmp"), method);
    ASSERT_EQ(document.Secret().Width(), 8192) << frame->LastMessage();
    Click(Find<wxButton>(kEncryptButtonName));
    ASSERT_TRUE(frame->Encrypting()) << frame->LastMessage();
    const auto start = std::chrono::steady_clock::now();
    const double busy = ticksPerSecond([&](double) { return frame->Encrypting(); });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(document.MadeShares(), 5) << frame->LastMessage();
    std::printf(
        "8192x8192, (3,5) optimal, %s: %.1f s; 1 ms timer %.0f events/s while encrypting "
        "(longest wait %.0f ms), %.0f events/s idle\n",
        texts.MethodName(method).c_str(), seconds, busy, longest, idle);
  }
}

}  // namespace
}  // namespace quillon::studio::wx::testing
