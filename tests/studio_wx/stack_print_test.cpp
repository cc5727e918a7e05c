// The stack panel's and the print dialog's wiring on real windows: ticks, nudges, drags and
// zoom reach the document and come back on screen; files are asked for through the hook.
// What the document does with them is tested headless in tests/studio/.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/spinctrl.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "core/env.h"
#include "core/random.h"
#include "io/print_sheets.h"
#include "studio/document.h"
#include "studio/texts.h"
#include "studio/wx/asker.h"
#include "studio/wx/print_dialog.h"
#include "studio/wx/print_preview.h"
#include "studio/wx/stack_canvas.h"
#include "studio/wx/stack_panel.h"
#include "tests/shares/share_test_util.h"
#include "tests/studio/studio_test_util.h"
#include "tests/test_util.h"

namespace quillon::studio::wx {
namespace {

wxString U(const std::string& text) {
  return wxString::FromUTF8(text);
}

void Settle() {
  for (int i = 0; i < 5; ++i) {
    wxTheApp->ProcessPendingEvents();
    wxYield();
  }
}

template <typename T>
T* Find(wxWindow* top, const std::string& name) {
  wxWindow* found = wxWindow::FindWindowByName(U(name), top);
  T* typed = dynamic_cast<T*>(found);
  EXPECT_NE(typed, nullptr) << "no control named " << name;
  return typed;
}

// The labels of the static texts under top, unwrapped.
std::vector<std::string> Lines(wxWindow* top) {
  std::vector<std::string> lines;
  for (wxWindow* child : top->GetChildren()) {
    if (auto* text = dynamic_cast<wxStaticText*>(child)) {
      wxString label = text->GetLabel();
      label.Replace("\n", " ");
      lines.push_back(std::string(label.utf8_str()));
    }
    for (const std::string& line : Lines(child))
      lines.push_back(line);
  }
  return lines;
}

// Whether a static text under top shows line (alone or with more lines).
bool Shows(wxWindow* top, const std::string& line) {
  for (const std::string& shown : Lines(top)) {
    if (shown.find(line) != std::string::npos)
      return true;
  }
  return false;
}

void Click(wxWindow* control) {
  ASSERT_NE(control, nullptr);
  if (auto* box = dynamic_cast<wxCheckBox*>(control)) {
    box->SetValue(!box->GetValue());
    wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(box->GetValue());
    box->GetEventHandler()->ProcessEvent(event);
  } else {
    wxCommandEvent event(wxEVT_BUTTON, control->GetId());
    event.SetEventObject(control);
    control->GetEventHandler()->ProcessEvent(event);
  }
  Settle();
}

void Mouse(wxWindow* window, wxEventType type, wxPoint at, bool leftDown) {
  wxMouseEvent event(type);
  event.SetPosition(at);
  event.m_leftDown = leftDown;
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}

void Key(wxWindow* window, int code) {
  wxKeyEvent event(wxEVT_KEY_DOWN);
  event.m_keyCode = code;
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}

class StackPrintTest : public ::testing::Test {
 protected:
  StackPrintTest() : doc(Env::Default()) {
    testing::SaveBmp(testing::SeenPicture(
                         {"bbbbwwww", "bbbbwwww", "wwwwbbbb", "wwwwbbbb", "bwbwbwbw", "wbwbwbwb"}),
                     dir.File("secret.bmp"));
    frame = new wxFrame(nullptr, wxID_ANY, "stack");
    frame->SetSize(1000, 700);
  }
  ~StackPrintTest() override {
    frame->Destroy();
    Settle();
  }

  // Two shares of the (2,2) scheme with square sub-pixels, in a shown panel.
  void EncryptAndShow() {
    ASSERT_TRUE(doc.OpenSecret(dir.File("secret.bmp")));
    doc.SetSchemeKind(SchemeKind::Scheme2of2);
    doc.SetMethod(ExpansionMethod::SquareSubpixelExpansion);
    std::unique_ptr<EncryptJob> job;
    ASSERT_TRUE(doc.StartEncrypt(MakeSeededRandom(5), &job));
    std::thread worker([&job] { job->Run(); });
    worker.join();
    ASSERT_TRUE(job->Deliver());
    panel = new StackPanel(frame, doc, texts, asker);
    frame->Show();
    frame->Layout();
    Settle();
  }

  wxCheckBox* Tick(int layer) {
    return Find<wxCheckBox>(panel, texts.LayerLine(doc.Layers()[layer]));
  }
  StackCanvas* Canvas() { return Find<StackCanvas>(panel, texts.Text(Label::kStack)); }

  testing::ScratchDir dir;
  Document doc;
  Texts texts;
  wxFrame* frame = nullptr;
  StackPanel* panel = nullptr;
  std::string answer;
  std::vector<SaveFileQuestion> asked;

 private:
  // Records every file question and answers each with answer.
  class RecordingAsker : public Asker {
   public:
    explicit RecordingAsker(StackPrintTest& test) : m_test(test) {}
    std::vector<std::string> OpenFiles(wxWindow*, const std::string&, const std::string&,
                                       const std::string&, bool) override {
      return {};
    }
    std::string ChooseFolder(wxWindow*, const std::string&, const std::string&) override {
      return "";
    }
    bool Confirm(wxWindow*, const std::string&, const std::string&) override { return false; }
    std::string SaveFile(wxWindow*, const SaveFileQuestion& question) override {
      m_test.asked.push_back(question);
      return m_test.answer;
    }

   private:
    StackPrintTest& m_test;
  };

 protected:
  RecordingAsker asker{*this};
};

TEST_F(StackPrintTest, TicksStackTheLayersAndSayWhatTheyShow) {
  EncryptAndShow();
  ASSERT_EQ(doc.Layers().size(), 2u);
  // The new shares appear as thumbnails, fitted to the row.
  for (const Layer& layer : doc.Layers()) {
    auto* thumbnail = Find<wxStaticBitmap>(panel, layer.name);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_TRUE(thumbnail->GetBitmap().IsOk());
    EXPECT_LE(thumbnail->GetBitmap().GetWidth(), 48);
  }
  for (int i = 0; i < 2; ++i) {
    if (doc.Layers()[i].ticked)
      Click(Tick(i));
  }
  EXPECT_FALSE(Canvas()->VisibleImage().IsOk());
  EXPECT_TRUE(Shows(panel, texts.StackLine(doc.CheckStack(), doc.Layers())));
  EXPECT_FALSE(Find<wxButton>(panel, texts.Text(Label::kDecodeExactly))->IsEnabled());

  Click(Tick(0));
  Click(Tick(1));
  ASSERT_TRUE(doc.Layers()[0].ticked && doc.Layers()[1].ticked);
  const std::string qualified = texts.StackLine(doc.CheckStack(), doc.Layers());
  EXPECT_NE(qualified.find("qualified"), std::string::npos) << qualified;
  EXPECT_TRUE(Shows(panel, qualified));
  EXPECT_TRUE(Canvas()->VisibleImage().IsOk());

  // Decoding shows the decoded picture; saving then saves it, through the hook.
  auto* decode = Find<wxButton>(panel, texts.Text(Label::kDecodeExactly));
  ASSERT_TRUE(decode->IsEnabled());
  Click(decode);
  ASSERT_NE(doc.Decoded(), nullptr);
  EXPECT_TRUE(Shows(panel, texts.DecodedLine(*doc.Decoded())));
  answer = dir.File("decoded");
  Click(Find<wxButton>(panel, texts.Text(Label::kSaveDecoded)));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].name, "secret-decoded.png");
  EXPECT_TRUE(std::filesystem::exists(dir.File("decoded.png")));
  EXPECT_TRUE(Shows(panel, texts.SavedLine(dir.File("decoded.png"))));
}

TEST_F(StackPrintTest, TheSelectedLayerIsNudgedDraggedAndAligned) {
  EncryptAndShow();
  // From the keyboard the layer is chosen in a list; a click on a row's name chooses it too.
  auto* moving = Find<wxChoice>(panel, texts.Text(Label::kLayerToMove));
  moving->SetSelection(0);
  wxCommandEvent chosen(wxEVT_CHOICE, moving->GetId());
  chosen.SetInt(0);
  moving->GetEventHandler()->ProcessEvent(chosen);
  StackCanvas* canvas = Canvas();
  Key(canvas, WXK_LEFT);
  EXPECT_EQ(doc.Layers()[0].dx, -1);
  wxStaticText* name = nullptr;
  for (wxWindow* child : Tick(1)->GetParent()->GetChildren()) {
    if (auto* text = dynamic_cast<wxStaticText*>(child))
      name = text;
  }
  ASSERT_NE(name, nullptr);
  Mouse(name, wxEVT_LEFT_DOWN, {2, 2}, true);
  EXPECT_EQ(moving->GetSelection(), 1);
  Key(canvas, WXK_RIGHT);
  Key(canvas, WXK_DOWN);
  Key(canvas, WXK_DOWN);
  EXPECT_EQ(doc.Layers()[1].dx, 1);
  EXPECT_EQ(doc.Layers()[1].dy, 2);
  EXPECT_EQ(doc.Layers()[0].dx, -1);

  // A drag moves by whole picture pixels at the zoom: 2.5 pixels' worth is 2.
  const int zoom = canvas->Zoom().numerator;
  ASSERT_GE(zoom, 2) << "a small stack is fitted larger than 1:1";
  Mouse(canvas, wxEVT_LEFT_DOWN, {20, 20}, true);
  Mouse(canvas, wxEVT_MOTION, {20 - zoom * 5 / 2, 20}, true);
  Mouse(canvas, wxEVT_LEFT_UP, {20 - zoom * 5 / 2, 20}, false);
  EXPECT_EQ(doc.Layers()[1].dx, -1);
  EXPECT_EQ(doc.Layers()[1].dy, 2);

  Click(Find<wxButton>(panel, texts.Text(Label::kAlignLayers)));
  EXPECT_EQ(doc.Layers()[0].dx, 0);
  EXPECT_EQ(doc.Layers()[1].dx, 0);
  EXPECT_EQ(doc.Layers()[1].dy, 0);
}

TEST_F(StackPrintTest, ZoomDrawsEveryPixelAsASharpSquare) {
  EncryptAndShow();
  StackCanvas* canvas = Canvas();
  panel->ZoomBy(-20);  // 1 in 8
  panel->ZoomBy(7);    // 1:1, then 2x, 3x, 4x, 6x
  ASSERT_EQ(canvas->Zoom().numerator, 6);
  EXPECT_TRUE(Shows(panel, texts.ZoomLine(6, 1)));
  const BmpImage& stacked = *doc.Stacked();
  const wxImage shown = canvas->VisibleImage();
  ASSERT_TRUE(shown.IsOk());
  ASSERT_GE(shown.GetWidth(), stacked.Width() * 6);
  for (int y = 0; y < stacked.Height() * 6; ++y) {
    for (int x = 0; x < stacked.Width() * 6; ++x) {
      const bool white = stacked.GetPixel(stacked.Height() - 1 - y / 6, x / 6) == 'w';
      ASSERT_EQ(shown.GetRed(x, y), white ? 255 : 0) << x << "," << y;
    }
  }
}

// The canvas builds only what is visible, at any zoom, by sampling the picture.
TEST(ZoomedRegion, SamplesThePictureUnderEveryScreenPixel) {
  const BmpImage picture = testing::RandomPicture(4096, 4096, 1, 3);
  const wxColour grey(100, 100, 100);
  const struct {
    ZoomFactor zoom;
    wxRect region;
  } cases[] = {
      {{1, 4}, {0, 0, 300, 200}},      {{1, 1}, {4000, 4000, 200, 200}},
      {{3, 1}, {100, 50, 61, 40}},     {{32, 1}, {100000, 120000, 640, 480}},
      {{32, 1}, {131000, 0, 300, 10}},  // reaches beyond the right edge
  };
  for (const auto& c : cases) {
    const wxImage image = ZoomedRegion(picture, c.zoom, c.region, grey);
    ASSERT_EQ(image.GetSize(), c.region.GetSize());
    for (int j = 0; j < c.region.height; ++j) {
      for (int i = 0; i < c.region.width; ++i) {
        const int64_t x = int64_t{c.region.x + i} * c.zoom.denominator / c.zoom.numerator;
        const int64_t y = int64_t{c.region.y + j} * c.zoom.denominator / c.zoom.numerator;
        int expected = 100;
        if (x < picture.Width() && y < picture.Height())
          expected = picture.GetPixel(picture.Height() - 1 - y, x) == 'w' ? 255 : 0;
        ASSERT_EQ(image.GetRed(i, j), expected)
            << c.zoom.numerator << "/" << c.zoom.denominator << " at " << i << "," << j;
      }
    }
  }
}

TEST_F(StackPrintTest, OpenedLayersGetAParticipantAndCanBeRemoved) {
  EncryptAndShow();
  testing::SaveBmp(*doc.Layers()[1].image, dir.File("other.bmp"));
  ASSERT_TRUE(doc.OpenLayers({dir.File("other.bmp")}));
  Settle();
  ASSERT_EQ(doc.Layers().size(), 3u);
  auto* participant = Find<wxChoice>(panel, texts.Text(Label::kParticipant) + ": other.bmp");
  ASSERT_NE(participant, nullptr);
  participant->SetSelection(2);
  wxCommandEvent chosen(wxEVT_CHOICE, participant->GetId());
  chosen.SetInt(2);
  participant->GetEventHandler()->ProcessEvent(chosen);
  EXPECT_EQ(doc.Layers()[2].participant, 1);
  EXPECT_FALSE(Find<wxChoice>(panel, texts.Text(Label::kParticipant) + ": " + doc.Layers()[0].name)
                   ->IsEnabled());

  Click(Find<wxButton>(panel, texts.Text(Label::kRemoveLayer) + ": other.bmp"));
  EXPECT_EQ(doc.Layers().size(), 2u);
  EXPECT_EQ(wxWindow::FindWindowByName(U(texts.Text(Label::kRemoveLayer) + ": other.bmp"), panel),
            nullptr);
}

TEST_F(StackPrintTest, PrintDialogPreviewsPageOneAndSavesThePdf) {
  EncryptAndShow();
  PrintDialog dialog(frame, doc, texts, asker);
  dialog.Show();
  Settle();
  Click(Find<wxCheckBox>(&dialog, texts.Text(Label::kSamePage)));
  ASSERT_TRUE(doc.Print().samePage);

  PrintPreview expected;
  ASSERT_TRUE(doc.PreviewPrint(&expected));
  ASSERT_EQ(expected.firstPageShares.size(), 2u);
  auto* preview = Find<PrintPreviewWindow>(&dialog, texts.Text(Label::kPreview));
  const wxRect paper = preview->PaperRect();
  const std::vector<wxRect> shares = preview->ShareRects();
  ASSERT_EQ(shares.size(), 2u);
  const double scale = paper.width / expected.paperWidthMm;
  for (size_t i = 0; i < shares.size(); ++i) {
    const PlacedShare& placed = expected.layout.shares[expected.firstPageShares[i]];
    EXPECT_NEAR(shares[i].x - paper.x, placed.xMm * scale, 1.5);
    EXPECT_NEAR(shares[i].y - paper.y, placed.yMm * scale, 1.5);
    EXPECT_TRUE(paper.Contains(shares[i]));
  }
  EXPECT_FALSE(shares[0].Intersects(shares[1]));

  // A paper of one's own size: the last entry, then its sides.
  auto* paperChoice = Find<wxChoice>(&dialog, texts.Text(Label::kPaper));
  paperChoice->SetSelection(static_cast<int>(PaperChoices().size()));
  wxCommandEvent custom(wxEVT_CHOICE, paperChoice->GetId());
  paperChoice->GetEventHandler()->ProcessEvent(custom);
  auto* width = Find<wxSpinCtrlDouble>(&dialog, texts.Text(Label::kPaperWidth));
  ASSERT_TRUE(width->IsEnabled());
  width->SetValue(300);
  wxSpinDoubleEvent widened(wxEVT_SPINCTRLDOUBLE, width->GetId(), 300);
  width->GetEventHandler()->ProcessEvent(widened);
  const std::optional<Paper> own = FindPaper(doc.Print().paper);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->widthMm, 300);
  EXPECT_EQ(own->heightMm, 297);

  // Pixels too large for the paper: the misfit is worded and nothing can be saved.
  auto* pixel = Find<wxSpinCtrlDouble>(&dialog, texts.Text(Label::kPixelSize));
  pixel->SetValue(20);
  wxSpinDoubleEvent spun(wxEVT_SPINCTRLDOUBLE, pixel->GetId(), 20);
  pixel->GetEventHandler()->ProcessEvent(spun);
  PrintPreview misfit;
  ASSERT_FALSE(doc.PreviewPrint(&misfit));
  EXPECT_TRUE(Shows(&dialog, texts.PrintMisfit(misfit, doc.Print())));
  auto* save = Find<wxButton>(&dialog, texts.Text(Label::kSavePdf));
  EXPECT_FALSE(save->IsEnabled());

  // The offered pixel size that fits is taken with one click.
  ASSERT_GE(misfit.layout.misfit.fittingPixelMm, 0.05);
  Click(Find<wxButton>(&dialog, texts.Text(Label::kUseFittingPixel)));
  EXPECT_DOUBLE_EQ(doc.Print().pixelMm,
                   std::floor(misfit.layout.misfit.fittingPixelMm * 100) / 100);
  ASSERT_TRUE(save->IsEnabled());
  std::filesystem::create_directory(dir.File("print"));
  answer = dir.File("print/shares");
  Click(save);
  const std::vector<uint8_t> pdf = testing::ReadFileBytes(dir.File("print/shares.pdf"));
  ASSERT_GE(pdf.size(), 5u);
  EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
  // The next Save PDF starts in the folder printed to.
  Click(save);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(std::string(asked[1].folder.utf8_str()), dir.File("print"));
  // Dialogs are titled by their commands without the ellipsis.
  EXPECT_EQ(dialog.GetTitle(), "Print");
  EXPECT_EQ(asked[0].title, "Save PDF");
}

}  // namespace
}  // namespace quillon::studio::wx
