// Whole user flows through the main dialog, from start-up to "SALIR".
#include <gtest/gtest.h>

#include <filesystem>

#include "app/resources/resource_ids.h"
#include "combine/stack.h"
#include "tests/app/app_test_util.h"
#include "ui/dialog.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;
using ui::headless::Script;

const char kOpenTitle[] = "Seleccione la imagen que desea encriptar";
const char kDoneCaption[] = "Encriptaci\xF3n Realizada";
const char kDoneText[] =
    "Imagen ENCRIPTADA\nLas imagenes han sido almacenadas\ncon los nombres:\n"
    "capa1.bmp, capa2.bmp,.., capan.bmp";
const char kBadParameters[] =
    "The number of participants n must be from 2 to 9 and the threshold k from 2 to n.";

constexpr ui::Rgb kRed{255, 0, 0};

// Red (white to the program, red on screen) with a black cross.
std::string RedCross(const std::string& path) {
  Write24BitBmp(path, 24, 16, [](int x, int y) { return x == 5 || y == 9 ? ui::kBlack : kRed; });
  return path;
}

using MainDialogTest = AppTest;

TEST_F(MainDialogTest, OpenEncryptAndCombineThenSalir) {
  const std::string secret = RedCross(dir.File("secreto.bmp"));
  platform.Play(
      Script()
          .ExpectDialog(res::kPrincipDialog)
          .Inspect([](ui::Dialog& d) {
            EXPECT_EQ(d.GetDlgItemText(res::kEditN), "2");
            EXPECT_EQ(d.GetDlgItemText(res::kEditK), "2");
          })
          .Type(res::kEditN, "4")
          .Enter()  // in an edit box: nothing runs, the dialog stays
          .Click(res::kButtonAbrir)
          .ChooseFile(kOpenTitle, secret)
          .Inspect([&](ui::Dialog& d) { EXPECT_TRUE(ShowsPicture(d.Client(), 160, 29, secret)); })
          .Type(res::kEditN, "3")
          .Type(res::kEditK, "2")
          .Click(res::kButtonEncriptar)
          .Message(kDoneCaption, kDoneText)
          .Click(res::kButtonDesencriptar)
          .ExpectDialog(res::kCoalesceDialog)
          .Inspect([](ui::Dialog& d) { EXPECT_EQ(d.GetDlgItemText(res::kEditLayerCount), "3"); })
          .Type(res::kEditLayerCount, "2")
          .Enter()
          .ChooseFile("Seleccione la capa 1", "capa1.bmp")
          .ChooseFile("Seleccione la capa 2", "capa3.bmp")
          .Inspect([&](ui::Dialog& d) {
            EXPECT_TRUE(ShowsPicture(d.Client(), 160, 29, dir.File("resultado.bmp")));
          })
          .Click(ui::kIdCancel));
  EXPECT_EQ(app.Run(), 0);

  const CShareFrame& frame = *app.Frame();
  EXPECT_FALSE(frame.WasEverVisible()) << "the frame stays hidden the whole run";
  EXPECT_EQ(frame.CurrentPath(), secret);
  ASSERT_EQ(frame.Images().Count(), 5);
  EXPECT_EQ(frame.Images().Name(0), secret);
  EXPECT_EQ(frame.Images().Label(0), "secreto");
  for (int i = 1; i <= 3; ++i)
    EXPECT_EQ(frame.Images().Name(i), "capa" + std::to_string(i) + ".bmp");
  EXPECT_EQ(frame.Images().Name(4), "resultado.bmp");
  EXPECT_EQ(frame.Images().Selection(), 4);
  EXPECT_EQ(frame.CurrentImage()->FileName(), "resultado.bmp");

  // (2,3) shares of the secret's size; the result is the stack of the two chosen.
  std::vector<BmpImage> shares;
  for (const char* name : {"capa1.bmp", "capa2.bmp", "capa3.bmp"}) {
    shares.emplace_back(dir.File(name));
    ASSERT_TRUE(shares.back().Load(Env::Default())) << name;
    EXPECT_EQ(shares.back().Width(), 24);
    EXPECT_EQ(shares.back().Height(), 16);
  }
  EXPECT_FALSE(fs::exists(dir.File("capa4.bmp")));
  BmpImage result(dir.File("resultado.bmp"));
  ASSERT_TRUE(result.Load(Env::Default()));
  EXPECT_EQ(Pixels(result), Pixels(StackLayers({&shares[0], &shares[2]}, "r.bmp")));
  EXPECT_EQ(ReadText(dir.File("tez.ini")), "2");
  ASSERT_EQ(platform.Programs().size(), 2u);
  EXPECT_EQ(platform.Programs()[0].name, "skiv.exe");

  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].owner, &frame);
}

TEST_F(MainDialogTest, EncriptarRefusalsAndPicturesThatCannotBeShown) {
  const std::string secret = RedCross(dir.File("secreto.bmp"));
  const std::string old = SavePicture("resultado.bmp", {"bbbbbbbb", "bwwwwwwb", "bbbbbbbb"});
  struct Typed {
    const char* n;
    const char* k;
  };
  // Not numbers read as 0; everything here is refused before anything is built.
  const Typed kRefused[] = {{"10", "2"}, {"4", "5"}, {"abc", "2"}, {"3", "1"}, {"-3", "2"}};
  Script script;
  script.ExpectDialog(res::kPrincipDialog)
      .Click(res::kButtonEncriptar)
      .Message("Cannot Encrypt", "Please open a secret image file first.")
      .Click(res::kButtonAbrir)
      .CancelFile(kOpenTitle)
      .Click(res::kButtonAbrir)
      .ChooseFile(kOpenTitle, secret);
  for (const Typed& typed : kRefused) {
    script.Type(res::kEditN, typed.n)
        .Type(res::kEditK, typed.k)
        .Click(res::kButtonEncriptar)
        .Message("Cannot Encrypt", kBadParameters);
  }
  // A cancelled combination still shows the result left from before.
  script.Click(res::kButtonDesencriptar)
      .ExpectDialog(res::kCoalesceDialog)
      .Escape()
      .Inspect([&](ui::Dialog& d) {
        EXPECT_TRUE(ShowsPicture(d.Client(), 160, 29, old));
        EXPECT_EQ(d.Client().GetPixel(160 + 20, 29 + 10), ui::kWhite)
            << "nothing of the larger secret drawn before stays";
      })
      // Now there is none: nothing is drawn and the last picture survives a repaint.
      .Inspect([&](ui::Dialog& d) {
        fs::remove(old);
        d.Client().FillRect(0, 0, 1000, 1000, ui::kWhite);
        d.Invalidate();
      })
      .Click(res::kButtonDesencriptar)
      .ExpectDialog(res::kCoalesceDialog)
      .Escape()
      .Inspect([&](ui::Dialog& d) {
        ASSERT_TRUE(static_cast<const CPrincipDlg&>(d).Picture().has_value());
        EXPECT_EQ(d.Client().GetPixel(160, 29), ui::kBlack);
        EXPECT_EQ(d.Client().GetPixel(161, 30), ui::kWhite);
      })
      .Click(ui::kIdCancel);
  platform.Play(script);
  EXPECT_EQ(app.Run(), 0);

  EXPECT_EQ(app.Frame()->Images().Count(), 1);
  EXPECT_FALSE(fs::exists(dir.File("capa1.bmp")));
  EXPECT_EQ(app.Frame()->ToolBar().m_n, -3) << "the dialog hands its values on unchecked";
  EXPECT_EQ(app.Frame()->ToolBar().m_scheme, 3);
}

}  // namespace
}  // namespace quillon::testing
