// The desktop program itself on real windows: open a secret through the file dialog,
// "Encriptar", "Desencriptar" with two layers, "Abrir" of a smaller picture, "SALIR"; the
// files on disk and the pictures on screen at (160, 29).
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "app/share_app.h"
#include "core/bmp_image.h"
#include "tests/ui_wx/wx_test_util.h"

namespace quillon::ui::wx::testing {
namespace {

// The share and result files are written to the working folder: run in a fresh one.
class InFreshFolder {
 public:
  InFreshFolder() : m_previous(std::filesystem::current_path()) {
    m_path = std::filesystem::temp_directory_path() / ("quillon-flow-" + std::to_string(getpid()));
    std::filesystem::create_directories(m_path);
    std::filesystem::current_path(m_path);
  }
  ~InFreshFolder() {
    std::filesystem::current_path(m_previous);
    std::filesystem::remove_all(m_path);
  }
  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_previous, m_path;
};

TEST_F(WxTest, TheProgramEncryptsAndCombinesThroughRealWindows) {
  InFreshFolder folder;
  // A 40 x 24 secret: a black bar across a white field, nearer its bottom stored row.
  BmpImage secret(folder.File("secret.bmp"), 24, 40);
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 0; x < 40; ++x)
      secret.SetPixel(y, x, y >= 4 && y < 10);
  }
  ASSERT_TRUE(secret.Save(Env::Default()));

  // Opened last: an 8 x 8 black square, smaller than the result shown before it.
  BmpImage small(folder.File("small.bmp"), 8, 8);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x)
      small.SetPixel(y, x, true);
  }
  ASSERT_TRUE(small.Save(Env::Default()));

  CShareApp program(platform, "quillon");
  // Counts the pixels of the dialog's 40 x 24 area at (160, 29) that misfit(x, y, colour)
  // finds wrong, until none is or time runs out; -1 until the area could be captured.
  const auto countMisfits = [](DialogView& view, int& count,
                               const std::function<bool(int, int, const wxColour&)>& misfit) {
    const wxPoint origin = view.ClientToScreen(wxPoint(160, 29));
    view.Refresh();
    view.Update();
    PumpUntil(
        [&] {
          const wxImage shot = CaptureScreen(wxRect(origin, wxSize(40, 24)));
          if (!shot.IsOk())
            return false;
          count = 0;
          for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 40; ++x)
              count += misfit(x, y,
                              wxColour(shot.GetRed(x, y), shot.GetGreen(x, y), shot.GetBlue(x, y)));
          }
          return count == 0;
        },
        3000);
  };
  int wrong = -1;
  const auto resultOnScreen = [&](DialogView& view) {
    BmpImage result(folder.File("resultado.bmp"));
    ASSERT_TRUE(result.Load(Env::Default()));
    // The picture's bottom stored row is its top line on screen.
    countMisfits(view, wrong, [&](int x, int y, const wxColour& seen) {
      return (seen.Red() < 128) != (result.GetPixel(23 - y, x) == 'b');
    });
  };
  // Where the result was and the square is not, nothing black or white is left: the dialog
  // shows its own colour again (and the "Imagen" frame's line).
  int remains = -1;
  const auto resultGone = [&](DialogView& view) {
    countMisfits(view, remains, [](int x, int y, const wxColour& seen) {
      return x < 8 && y < 8 ? seen != *wxBLACK : seen == *wxBLACK || seen == *wxWHITE;
    });
  };
  driver
      .Dialog(
          wxString::FromUTF8("Criptograf\u00EDa Visual"),
          {Click(res::kButtonAbrir), Click(res::kButtonEncriptar), Click(res::kButtonDesencriptar),
           Check(resultOnScreen), Click(res::kButtonAbrir), Check(resultGone), Click(kIdCancel)})
      .ChooseFile("Seleccione la imagen que desea encriptar",
                  wxString::FromUTF8(folder.File("secret.bmp")))
      .Message(
          "Imagen ENCRIPTADA\nLas imagenes han sido almacenadas\ncon los nombres:\n"
          "capa1.bmp, capa2.bmp,.., capan.bmp")
      .Dialog("", {Type(res::kEditLayerCount, "2"), Click(kIdOk)})
      .ChooseFile("Seleccione la capa 1", wxString::FromUTF8(folder.File("capa1.bmp")))
      .ChooseFile("Seleccione la capa 2", wxString::FromUTF8(folder.File("capa2.bmp")))
      .ChooseFile("Seleccione la imagen que desea encriptar",
                  wxString::FromUTF8(folder.File("small.bmp")));
  program.Run();

  EXPECT_EQ(wrong, 0) << "pixels of resultado.bmp not on screen at (160, 29) (-1: not looked)";
  EXPECT_EQ(remains, 0) << "pixels of the earlier picture left around the smaller one";
  // The stacked (2,2) shares are black wherever the secret is.
  BmpImage result(folder.File("resultado.bmp"));
  ASSERT_TRUE(result.Load(Env::Default()));
  ASSERT_EQ(result.Width(), 40);
  ASSERT_EQ(result.Height(), 24);
  for (int32_t y = 4; y < 10; ++y) {
    for (int32_t x = 0; x < 40; ++x)
      EXPECT_EQ(result.GetPixel(y, x), 'b') << y << "," << x;
  }
  EXPECT_TRUE(std::filesystem::exists(folder.File("capa2.bmp")));
}

}  // namespace
}  // namespace quillon::ui::wx::testing
