#include <wx/filedlg.h>
#include <wx/listbox.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>
#include <wx/uiaction.h>

#include "tests/ui_wx/wx_test_util.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"

namespace quillon::ui::wx::testing {
namespace {

// A parameter dialog as the program writes one: n from 2 to 9, then k from 2 to n.
class KxNDialog : public ui::Dialog {
 public:
  explicit KxNDialog(Application& app) : Dialog(app, res::kKxNDialog) {}
  int32_t n = 2;
  int32_t k = 2;

 protected:
  void DoDataExchange(DataExchange& dx) override {
    dx.Int(res::kEditParticipantsN, n, 2, 9) && dx.Int(res::kEditThresholdK, k, 2, n);
  }
};

class LayerCountDialog : public ui::Dialog {
 public:
  explicit LayerCountDialog(Application& app) : Dialog(app, res::kCoalesceDialog) {}
  int32_t count = 3;

 protected:
  void DoDataExchange(DataExchange& dx) override { dx.Int(res::kEditLayerCount, count, 2, 9); }
};

// A main dialog in the manner of the program's: Enter does nothing, "Abrir" asks for a file
// and draws a picture at (160, 29), "Desencriptar" asks for a layer count and then complains.
class MainDialog : public ui::Dialog {
 public:
  explicit MainDialog(Application& app) : Dialog(app, res::kPrincipDialog) {}
  int32_t n = 2;
  int32_t k = 2;
  std::string chosen;

  static Rgb PictureAt(int x, int y) {
    return Rgb{static_cast<uint8_t>(x * 6), static_cast<uint8_t>(y * 8),
               static_cast<uint8_t>(x < 20 ? 200 : 30)};
  }
  static constexpr int kPictureWidth = 40;
  static constexpr int kPictureHeight = 30;

 protected:
  void DoDataExchange(DataExchange& dx) override {
    dx.Int(res::kEditN, n);
    dx.Int(res::kEditK, k);
  }
  void OnOK() override {}
  bool OnCommand(int id, Notify code) override {
    static const CommandEntry<MainDialog> kTable[] = {
        {res::kButtonAbrir, Notify::Command, &MainDialog::OnAbrir},
        {res::kButtonDesencriptar, Notify::Command, &MainDialog::OnDesencriptar},
    };
    return Dispatch(*this, kTable, id, code) || Dialog::OnCommand(id, code);
  }

 private:
  void OnAbrir() {
    FileDialog file(App(), true, "", "", kFileMustExist | kHideReadOnly,
                    "Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*||", this);
    file.SetTitle("Seleccione la imagen que desea encriptar");
    if (file.DoModal() != kIdOk)
      return;
    chosen = file.GetPathName();
    for (int y = 0; y < kPictureHeight; ++y) {
      for (int x = 0; x < kPictureWidth; ++x)
        Client().SetPixel(160 + x, 29 + y, PictureAt(x, y));
    }
  }
  void OnDesencriptar() {
    LayerCountDialog layers(App());
    if (layers.DoModal() == kIdOk)
      MessageBox("No se pueden combinar las im\xE1genes. ");
  }
};

// Checks what a user would see of the dialog: the toolkit's dialog units, controls where the
// template puts them, no two overlapping, every text inside its control.
void CheckLayout(DialogView& view, WxPlatform& platform) {
  Dialog& model = view.Model();
  const DialogTemplate& source = *model.Template();
  SCOPED_TRACE(source.name.ToString());
  const Size base = platform.DialogBaseUnits(source);
  EXPECT_EQ(view.ConvertDialogToPixels(wxSize(4, 8)), wxSize(base.width, base.height));
  EXPECT_EQ(view.GetClientSize(), wxSize(model.ClientSize().width, model.ClientSize().height));

  struct Placed {
    const Control* control;
    wxRect rect;
  };
  std::vector<Placed> placed;
  for (const auto& control : model.Controls()) {
    if (control->Kind() == ControlKind::GroupBox) {
      // Drawn with the client area, not a widget of its own.
      const Rect r = model.MapDialogRect(control->GetRect());
      const wxRect rect(r.x, r.y, r.width, r.height);
      EXPECT_TRUE(wxRect(view.GetClientSize()).Contains(rect)) << control->Text();
      EXPECT_LE(view.GetTextExtent(platform.Decode(control->Text())).x + base.width * 2,
                rect.width);
      placed.push_back(Placed{control.get(), rect});
      continue;
    }
    wxWindow* widget = nullptr;
    for (wxWindow* child : view.GetChildren()) {
      if (child->GetPosition() == wxPoint(model.MapDialogRect(control->GetRect()).x,
                                          model.MapDialogRect(control->GetRect()).y))
        widget = child;
    }
    if (control->Id() != kIdStatic)
      widget = view.Widget(control->Id());
    ASSERT_NE(widget, nullptr) << "control " << control->Id() << " " << control->Text();
    const Rect want = model.MapDialogRect(control->GetRect());
    const wxRect rect = widget->GetRect();
    SCOPED_TRACE(control->Text() + " #" + std::to_string(control->Id()));
    EXPECT_EQ(rect.GetPosition(), wxPoint(want.x, want.y));
    if (control->Kind() != ControlKind::ComboBox) {
      EXPECT_EQ(rect.GetSize(), wxSize(want.width, want.height));
    }
    EXPECT_TRUE(wxRect(view.GetClientSize()).Contains(rect)) << "inside the dialog";

    // Texts fit: what the toolkit needs for the widget, or the measured wrapped lines.
    const wxSize need = widget->GetBestSize();
    switch (control->Kind()) {
      case ControlKind::PushButton:
        EXPECT_LE(need.x, rect.width) << "button label clipped";
        EXPECT_LE(need.y, rect.height) << "button label clipped";
        break;
      case ControlKind::Edit:
        EXPECT_LE(need.y, rect.height) << "edit box text clipped";
        break;
      case ControlKind::Static: {
        const auto* label = static_cast<wxStaticText*>(widget);
        int lines = 0;
        int lineHeight = 0;
        for (const wxString& line : wxSplit(label->GetLabel(), '\n', 0)) {
          const wxSize extent = label->GetTextExtent(line);
          EXPECT_LE(extent.x, rect.width) << "label line clipped: " << Utf8(line);
          lineHeight = std::max(lineHeight, label->GetCharHeight());
          ++lines;
        }
        EXPECT_LE(lines * lineHeight, rect.height) << "label lines clipped";
        break;
      }
      default:
        break;
    }
    placed.push_back(Placed{control.get(), rect});
  }
  for (size_t i = 0; i < placed.size(); ++i) {
    for (size_t j = i + 1; j < placed.size(); ++j) {
      const Placed& a = placed[i];
      const Placed& b = placed[j];
      const bool aGroup = a.control->Kind() == ControlKind::GroupBox;
      const bool bGroup = b.control->Kind() == ControlKind::GroupBox;
      if (aGroup && bGroup)
        continue;
      if (aGroup || bGroup) {
        // A group box frames controls: each one lies wholly inside or wholly outside.
        const wxRect& group = aGroup ? a.rect : b.rect;
        const wxRect& other = aGroup ? b.rect : a.rect;
        EXPECT_TRUE(group.Contains(other) || !group.Intersects(other))
            << a.control->Text() << " / " << b.control->Text();
        continue;
      }
      EXPECT_FALSE(a.rect.Intersects(b.rect))
          << "overlap: " << a.control->Text() << " #" << a.control->Id() << " and "
          << b.control->Text() << " #" << b.control->Id();
    }
  }
  if (source.name.Matches(res::kPrincipDialog)) {
    // Pictures are drawn from (160, 29) to the right and down: only the frame around them
    // may lie there.
    const wxRect picture(160, 29, 10000, 10000);
    for (const Placed& p : placed) {
      if (p.control->Kind() != ControlKind::GroupBox) {
        EXPECT_FALSE(p.rect.Intersects(picture)) << p.control->Text() << " under the picture";
      }
    }
  }
}

TEST_F(WxTest, EveryResourceDialogIsLaidOutWithoutOverlapsOrClippedTexts) {
  for (const DialogTemplate& source : res::QuillonResources().dialogs) {
    ui::Dialog dialog(app, source.name);
    driver.Dialog(platform.Decode(source.caption),
                  {Check([&](DialogView& view) { CheckLayout(view, platform); }), Key(WXK_ESCAPE)});
    EXPECT_EQ(dialog.DoModal(), kIdCancel) << source.name.ToString();
  }
}

TEST_F(WxTest, DataExchangeRefusesThenFocusesTheOffendingBox) {
  KxNDialog dialog(app);
  dialog.n = 4;
  dialog.k = 3;
  auto text = [](DialogView& view, int id) {
    return Utf8(static_cast<wxTextCtrl*>(view.Widget(id))->GetValue());
  };
  driver
      .Dialog(
          "(k,n)-threshold Visual Cryptography Scheme",
          {Check([&](DialogView& view) {
             EXPECT_EQ(text(view, res::kEditParticipantsN), "4");
             EXPECT_EQ(text(view, res::kEditThresholdK), "3");
           }),
           Type(res::kEditThresholdK, "5"), Click(kIdOk), Check([&](DialogView& view) {
             EXPECT_FALSE(dialog.IsEnded());
             EXPECT_EQ(dialog.GetFocusId(), res::kEditThresholdK);
             long from = -1, to = -1;
             static_cast<wxTextCtrl*>(view.Widget(res::kEditThresholdK))->GetSelection(&from, &to);
             EXPECT_EQ(from, 0);
             EXPECT_EQ(to, 1) << "the refused text is selected for typing over";
           }),
           Type(res::kEditThresholdK, "3"), Key(WXK_RETURN)})
      .Message("Please enter an integer between 2 and 4.");
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(dialog.n, 4);
  EXPECT_EQ(dialog.k, 3);
  ASSERT_EQ(driver.Messages().size(), 1u);
  EXPECT_EQ(Utf8(driver.Messages()[0].caption), "quillon");
}

TEST_F(WxTest, RealKeysAndClicksReachTheModels) {
  LayerCountDialog dialog(app);
  wxUIActionSimulator sim;
  auto pointAt = [](DialogView& view, int id) {
    wxWindow* widget = view.Widget(id);
    return widget->ClientToScreen(wxPoint(widget->GetSize().x / 2, widget->GetSize().y / 2));
  };
  driver.Dialog(
      "", {Check([&](DialogView& view) {
             // Focus follows the pointer where no window manager runs: the pointer
             // enters the dialog once it is on screen.
             sim.MouseMove(view.GetScreenPosition() - wxPoint(5, 5));
             Pump(100);
             sim.MouseMove(pointAt(view, res::kEditLayerCount));
             Pump(100);
             sim.MouseDblClick();
             Pump(100);
           }),
           Check([&](DialogView&) {
             sim.Char('a', wxMOD_CONTROL);
             Pump(100);
           }),
           Check([&](DialogView&) {
             sim.Text("x7");
             // The X server hands the keys on in its own time.
             PumpUntil([&] { return dialog.GetDlgItemText(res::kEditLayerCount) != "3"; });
           }),
           Check([&](DialogView& view) {
             EXPECT_EQ(dialog.GetDlgItemText(res::kEditLayerCount), "7");
             EXPECT_EQ(
                 Utf8(static_cast<wxTextCtrl*>(view.Widget(res::kEditLayerCount))->GetValue()), "7")
                 << "only digits can be typed";
           }),
           Check([&](DialogView& view) {
             sim.MouseMove(pointAt(view, kIdOk));
             sim.MouseClick();
           })});
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  EXPECT_EQ(dialog.count, 7);
}

TEST_F(WxTest, MainDialogFlowWithNestedWindowsAndAPictureThatSurvivesRepaints) {
  const std::string secret = ::testing::TempDir() + "secreto.bmp";
  std::FILE* file = std::fopen(secret.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);

  MainDialog dialog(app);
  auto wrongPixels = [](DialogView& view) {
    const wxPoint origin = view.ClientToScreen(wxPoint(160, 29));
    const wxImage shot = CaptureScreen(
        wxRect(origin, wxSize(MainDialog::kPictureWidth, MainDialog::kPictureHeight)));
    if (!shot.IsOk())
      return -1;
    int wrong = 0;
    for (int y = 0; y < MainDialog::kPictureHeight; ++y) {
      for (int x = 0; x < MainDialog::kPictureWidth; ++x) {
        const Rgb want = MainDialog::PictureAt(x, y);
        wrong += shot.GetRed(x, y) != want.red || shot.GetGreen(x, y) != want.green ||
                 shot.GetBlue(x, y) != want.blue;
      }
    }
    return wrong;
  };
  auto checkPicture = [&](DialogView& view) {
    // Repainted from scratch: the picture must come back. The X server shows it in its own
    // time, so look a few times.
    view.Refresh();
    view.Update();
    int wrong = -1;
    PumpUntil([&] { return (wrong = wrongPixels(view)) == 0; }, 3000);
    EXPECT_EQ(wrong, 0) << "pixels of the picture not on screen at (160, 29) (-1: no capture)";
  };
  driver
      .Dialog(
          wxString::FromUTF8("Criptograf\u00EDa Visual"),
          {Check([&](DialogView& view) {
             EXPECT_EQ(Utf8(static_cast<wxTextCtrl*>(view.Widget(res::kEditN))->GetValue()), "2");
             EXPECT_EQ(Utf8(static_cast<wxTextCtrl*>(view.Widget(res::kEditK))->GetValue()), "2");
             EXPECT_FALSE(view.HasFlag(wxCLOSE_BOX)) << "no close box";
           }),
           Type(res::kEditN, "5"), Key(WXK_RETURN),
           Check([&](DialogView&) { EXPECT_FALSE(dialog.IsEnded()) << "Enter does nothing"; }),
           Click(res::kButtonAbrir), Check(checkPicture), Click(res::kButtonDesencriptar),
           Check(checkPicture), Click(kIdCancel)})
      .ChooseFile("Seleccione la imagen que desea encriptar", wxString::FromUTF8(secret))
      .Dialog("", {Type(res::kEditLayerCount, "3"), Click(kIdOk)})
      .Message(wxString::FromUTF8("No se pueden combinar las im\u00E1genes. "));
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  EXPECT_EQ(dialog.chosen, secret);
  ASSERT_EQ(driver.Files().size(), 1u);
  EXPECT_EQ(Utf8(driver.Files()[0].wildcard), "Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*");
  EXPECT_TRUE(driver.Files()[0].style & wxFD_FILE_MUST_EXIST);
  std::remove(secret.c_str());
}

// The candidate-set dialog: entries filled when it opens, several selected by clicks.
class SetsDialog : public ui::Dialog {
 public:
  explicit SetsDialog(Application& app) : Dialog(app, res::kMinQualSetDialog) {}
  std::vector<int> chosen;

 protected:
  bool OnInitDialog() override {
    Dialog::OnInitDialog();
    auto* list = Item<ListBox>(res::kListCandidateSets);
    for (const char* entry : {"1 2 ", "1 3 ", "2 3 ", "1 2 3 "})
      list->AddString(entry);
    return true;
  }
  void OnOK() override {
    EndDialog(kIdOk);
    chosen = Item<ListBox>(res::kListCandidateSets)->GetSelItems(16);
  }
};

TEST_F(WxTest, MultiSelectListAndTheCloseBox) {
  SetsDialog sets(app);
  wxUIActionSimulator sim;
  // A plain click of the real mouse on the middle of an entry: each one toggles that entry,
  // and other buttons change nothing.
  auto click = [&](int index, wxMouseButton button = wxMOUSE_BTN_LEFT) {
    return Check([&, index, button](DialogView& view) {
      auto* list = static_cast<wxListBox*>(view.Widget(res::kListCandidateSets));
      std::vector<int> lines;
      for (int y = 0; y < list->GetClientSize().y; ++y) {
        if (list->HitTest(wxPoint(10, y)) == index)
          lines.push_back(y);
      }
      ASSERT_FALSE(lines.empty()) << "entry " << index << " not shown";
      sim.MouseMove(list->ClientToScreen(wxPoint(10, lines[lines.size() / 2])));
      Pump(50);
      sim.MouseClick(button);
      Pump(100);
    });
  };
  auto selected = [](DialogView& view) {
    auto* list = static_cast<wxListBox*>(view.Widget(res::kListCandidateSets));
    wxArrayInt on;
    list->GetSelections(on);
    return std::vector<int>(on.begin(), on.end());
  };
  driver.Dialog(
      "Choose the Minimal Qualified Sets",
      {Check([&](DialogView& view) {
         auto* list = static_cast<wxListBox*>(view.Widget(res::kListCandidateSets));
         ASSERT_EQ(list->GetCount(), 4u);
         EXPECT_EQ(Utf8(list->GetString(3)), "1 2 3 ");
         sim.MouseMove(view.GetScreenPosition() - wxPoint(5, 5));
         Pump(100);
       }),
       click(0), click(2), click(3), click(1, wxMOUSE_BTN_RIGHT), Check([&](DialogView& view) {
         EXPECT_EQ(selected(view), (std::vector<int>{0, 2, 3})) << "on screen";
       }),
       click(3), Click(kIdOk)});
  EXPECT_EQ(sets.DoModal(), kIdOk);
  EXPECT_EQ(sets.chosen, (std::vector<int>{0, 2}));

  ui::Dialog general(app, res::kGenDialog);
  driver.Dialog("General Access Structure VCS", {CloseBox()});
  EXPECT_EQ(general.DoModal(), kIdCancel);
  // COALESCE has no close box: the request is refused and the dialog stays until Escape.
  LayerCountDialog layers(app);
  driver.Dialog("", {CloseBox(), Check([&](DialogView&) { EXPECT_FALSE(layers.IsEnded()); }),
                     Key(WXK_ESCAPE)});
  EXPECT_EQ(layers.DoModal(), kIdCancel);
}

TEST_F(WxTest, FileDialogsTellTheirChoiceOrCancel) {
  const std::string target = ::testing::TempDir() + "copia";
  FileDialog save(app, false, "", "", kOverwritePrompt | kHideReadOnly,
                  "Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*||");
  save.SetTitle("Save Image As...");
  driver.ChooseFile("Save Image As...", wxString::FromUTF8(target)).CancelFile("Save Image As...");
  EXPECT_EQ(save.DoModal(), kIdOk);
  EXPECT_EQ(save.GetPathName(), target);
  EXPECT_EQ(save.GetFileTitle(), "copia");
  EXPECT_EQ(save.DoModal(), kIdCancel);
  EXPECT_EQ(save.GetPathName(), "");
  ASSERT_EQ(driver.Files().size(), 2u);
  EXPECT_TRUE(driver.Files()[0].style & wxFD_SAVE);
  EXPECT_TRUE(driver.Files()[0].style & wxFD_OVERWRITE_PROMPT);
}

}  // namespace
}  // namespace quillon::ui::wx::testing
