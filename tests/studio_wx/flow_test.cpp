// Whole flows on the real window: what the user does reaches the document through the
// controls, menus and dialogs, and what the document holds shows up in the window.
#include <wx/checklst.h>
#include <wx/dnd.h>
#include <wx/menu.h>
#include <wx/slider.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <fstream>

#include "studio/wx/print_dialog.h"
#include "tests/studio/studio_test_util.h"
#include "tests/studio_wx/studio_wx_test_util.h"

namespace quillon::studio::wx::testing {
namespace {

namespace fs = std::filesystem;
using quillon::testing::ScratchDir;

// A grey picture with a dark square: both colours at the default threshold.
void WriteSecret(const std::string& path, int width, int height) {
  std::vector<uint8_t> luma(static_cast<size_t>(width) * height, 220);
  for (int y = height / 4; y < height * 3 / 4; ++y) {
    for (int x = width / 4; x < width * 3 / 4; ++x)
      luma[static_cast<size_t>(y) * width + x] = 30;
  }
  quillon::testing::WriteGreyPng(path, width, height, luma);
}

// How ScriptedAsker records the label of the button that goes on.
std::string Yes(const std::string& label) {
  return std::string(" [").append(label).append("]");
}

using Flow = StudioWindow;

// Open a PNG, choose the optimal (3,5) scheme with pixel sampling, encrypt, stack shares 1, 2
// and 4, save the set as PNG (asked before replacing), print.
TEST_F(Flow, OpenChooseEncryptStackSavePrint) {
  ScratchDir dir;
  const std::string secret = dir.File("secret.png");
  WriteSecret(secret, 64, 48);
  auto* encrypt = Find<wxButton>(kEncryptButtonName);
  EXPECT_FALSE(encrypt->IsEnabled()) << "nothing to encrypt yet";

  script.files.push_back({secret});
  Menu(wxID_OPEN);
  EXPECT_EQ(document.Secret().Path(), secret);
  EXPECT_EQ(Utf8(frame->GetTitle()), texts.WindowTitle(secret));
  EXPECT_TRUE(encrypt->IsEnabled());

  Choose(Find<wxChoice>(kSchemeControlName), texts.SchemeName(SchemeKind::SchemeKofN));
  Spin(Find<wxSpinCtrl>(kParticipantsControlName), 5);
  Spin(Find<wxSpinCtrl>(kThresholdControlName), 3);
  Tick(Find<wxCheckBox>(texts.Text(Label::kOptimalContrast)), true);
  Choose(Find<wxChoice>(kMethodControlName), texts.MethodName(ExpansionMethod::PixelSampling));
  const SchemeSetup& setup = document.Scheme();
  EXPECT_EQ(setup.Kind(), SchemeKind::SchemeKofN);
  EXPECT_EQ(setup.Participants(), 5);
  EXPECT_EQ(setup.Threshold(), 3);
  EXPECT_TRUE(setup.Optimal());
  EXPECT_EQ(setup.Method(), ExpansionMethod::PixelSampling);
  EXPECT_EQ(Find<wxSpinCtrl>(kThresholdControlName)->GetValue(), 3);

  Click(encrypt);
  ASSERT_TRUE(WaitForEncryption());
  ASSERT_EQ(document.MadeShares(), 5);
  EXPECT_EQ(frame->LastMessage(), texts.SharesMade(5));
  EXPECT_EQ(document.Secret().Path(), secret) << "the secret stays the secret";

  // The shares are ticked in the stack panel's rows, found by what they say.
  for (int share = 0; share < 5; ++share)
    Tick(Find<wxCheckBox>(texts.LayerLine(document.Layers()[share])), share != 2 && share != 4);
  const StackCheck stacked = document.CheckStack();
  EXPECT_EQ(stacked.state, StackCheck::State::kQualified);
  EXPECT_EQ(stacked.members, 0b1011u);

  // Save as PNG: the names are shown first; a second save asks before replacing and writes
  // nothing when the user declines.
  Choose(Find<wxChoice>(texts.Text(Label::kShareFormat)), texts.Text(Label::kFormatPng));
  const std::string folder = dir.File("shares");
  fs::create_directory(folder);
  script.folders = {folder, folder};
  script.confirms = {true, false};
  Click(Find<wxButton>(kSaveSharesButtonName));
  for (int r = 1; r <= 5; ++r)
    EXPECT_TRUE(fs::exists(folder + "/capa" + std::to_string(r) + ".png")) << r;
  const auto written = fs::last_write_time(folder + "/capa1.png");
  Click(Find<wxButton>(kSaveSharesButtonName));
  ASSERT_EQ(script.asked.size(), 2u);
  EXPECT_NE(script.asked[0].find("capa5.png"), std::string::npos) << script.asked[0];
  EXPECT_TRUE(script.asked[0].ends_with(Yes(texts.Text(Label::kSave))));
  EXPECT_TRUE(script.asked[1].ends_with(Yes(texts.Text(Label::kReplace)))) << script.asked[1];
  EXPECT_EQ(fs::last_write_time(folder + "/capa1.png"), written);
  EXPECT_EQ(document.Settings().sharesFolder, folder);

  // Print… opens the print dialog over the window; its Save PDF writes the shares.
  const std::string pdf = dir.File("shares.pdf");
  script.saves.push_back(pdf);
  bool printed = false;
  frame->CallAfter([&] {
    for (wxWindow* window : wxTopLevelWindows) {
      if (auto* dialog = dynamic_cast<PrintDialog*>(window)) {
        Click(Find<wxButton>(texts.Text(Label::kSavePdf), dialog));
        printed = true;
        dialog->EndModal(wxID_CANCEL);
      }
    }
  });
  Click(Find<wxButton>(kPrintButtonName));
  EXPECT_TRUE(printed);
  EXPECT_GT(fs::file_size(pdf), 0u);
}

// The secret's and the scheme's controls reach the document: the threshold, a warning's fix
// button, the qualified sets typed and ticked, an innocent image chosen, the optimal offer.
TEST_F(Flow, SecretAndSchemeControls) {
  ScratchDir dir;
  const std::string light = dir.File("light.png");
  quillon::testing::WriteGreyPng(light, 8, 8, std::vector<uint8_t>(64, 200));
  script.files.push_back({light});
  Menu(wxID_OPEN);
  ASSERT_FALSE(document.Secret().Warnings().empty()) << "no black pixel at 128";
  const SecretWarning warning = document.Secret().Warnings()[0];
  const SecretFix fix = warning.fixes.at(0);
  Click(Find<wxButton>(texts.FixButton(fix) + ": " + texts.Warning(warning)));
  Pump(50);
  EXPECT_TRUE(document.Secret().Warnings().empty());
  EXPECT_EQ(document.Secret().Reading(), document.Secret().Fixed(fix));

  auto* slider = Find<wxSlider>(texts.Text(Label::kLuminanceThreshold));
  slider->SetValue(90);
  wxCommandEvent slid(wxEVT_SLIDER, slider->GetId());
  slid.SetEventObject(slider);
  slider->ProcessWindowEvent(slid);
  EXPECT_EQ(document.Secret().Reading().rule.threshold, 90);

  Choose(Find<wxChoice>(kSchemeControlName), texts.SchemeName(SchemeKind::SchemeGeneral));
  Spin(Find<wxSpinCtrl>(kParticipantsControlName), 3);
  EXPECT_FALSE(Find<wxSpinCtrl>(kThresholdControlName)->IsShown());
  auto* sets = Find<wxTextCtrl>(texts.Text(Label::kQualifiedSets));
  sets->SetValue("1,2;2,4");  // sends the text event as typing does
  EXPECT_EQ(document.Scheme().SetsText(), "1,2;2,4");
  EXPECT_FALSE(document.Scheme().SetsState().Valid());
  sets->SetValue("1,2");
  auto* candidates = Find<wxCheckListBox>(texts.Text(Label::kCandidateSets));
  const int twoThree = candidates->FindString(Wx(texts.SetName(0b110)));
  ASSERT_NE(twoThree, wxNOT_FOUND);
  wxCommandEvent ticked(wxEVT_CHECKLISTBOX, candidates->GetId());
  ticked.SetEventObject(candidates);
  ticked.SetInt(twoThree);
  candidates->ProcessWindowEvent(ticked);
  EXPECT_EQ(document.Scheme().Sets(), (std::vector<uint32_t>{0b011, 0b110}));
  EXPECT_EQ(Utf8(sets->GetValue()), document.Scheme().SetsText());

  Choose(Find<wxChoice>(kMethodControlName),
         texts.MethodName(ExpansionMethod::ExtendedPreserveSize));
  script.files.push_back({light});
  Click(Find<wxButton>(texts.ShareNumber(1) + ": " + texts.Text(Label::kInnocentImage)));
  Pump(50);
  EXPECT_EQ(document.Scheme().InnocentImage(1), light);

  // (5,9) is offered the optimal construction; taking it changes the scheme.
  Choose(Find<wxChoice>(kSchemeControlName), texts.SchemeName(SchemeKind::SchemeKofN));
  Spin(Find<wxSpinCtrl>(kParticipantsControlName), 9);
  Spin(Find<wxSpinCtrl>(kThresholdControlName), 5);
  ASSERT_TRUE(document.Facts().optimalOffered);
  auto* offer = Find<wxButton>(texts.Text(Label::kUseOptimal));
  EXPECT_TRUE(offer->IsShown());
  Click(offer);
  Pump(50);
  EXPECT_TRUE(document.Scheme().Optimal());
  EXPECT_TRUE(Find<wxCheckBox>(texts.Text(Label::kOptimalContrast))->GetValue());
}

// A picture dropped on the window opens as the secret; one that cannot be read is worded in
// the info bar and leaves the secret that was open.
TEST_F(Flow, DropOpensTheSecret) {
  ScratchDir dir;
  const std::string secret = dir.File("dropped.png");
  WriteSecret(secret, 16, 16);
  const std::string bad = dir.File("notes.txt");
  { std::ofstream(bad) << "not a picture"; }
  auto* target = dynamic_cast<wxFileDropTarget*>(frame->GetDropTarget());
  ASSERT_NE(target, nullptr);
  for (const std::string& file : {secret, bad}) {
    wxArrayString files;
    files.Add(Wx(file));
    EXPECT_TRUE(target->OnDropFiles(10, 10, files));
    Pump(50);
  }
  EXPECT_EQ(document.Secret().Path(), secret);
  EXPECT_EQ(frame->LastMessage(), texts.Say(document.OpenSecret(bad)));
  EXPECT_NE(frame->LastMessage(), "");
}

// Cancel stops the work and leaves the document without shares; the window stays usable.
TEST_F(Flow, CancelWritesNothing) {
  ScratchDir dir;
  const std::string secret = dir.File("large.png");
  WriteSecret(secret, 2048, 2048);
  script.files.push_back({secret});
  Menu(wxID_OPEN);
  Choose(Find<wxChoice>(kSchemeControlName), texts.SchemeName(SchemeKind::SchemeKofN));
  Spin(Find<wxSpinCtrl>(kParticipantsControlName), 7);
  Spin(Find<wxSpinCtrl>(kThresholdControlName), 4);
  Click(Find<wxButton>(kEncryptButtonName));
  ASSERT_TRUE(frame->Encrypting());
  auto* cancel = Find<wxButton>(texts.Text(Label::kCancel));
  EXPECT_TRUE(cancel->IsShown());
  EXPECT_FALSE(Find<wxButton>(kEncryptButtonName)->IsEnabled());
  Click(cancel);
  ASSERT_TRUE(WaitForEncryption());
  EXPECT_EQ(document.MadeShares(), 0);
  EXPECT_FALSE(document.Busy());
  EXPECT_TRUE(Find<wxButton>(kEncryptButtonName)->IsEnabled());
  EXPECT_FALSE(Find<wxButton>(kSaveSharesButtonName)->IsEnabled());
}

}  // namespace
}  // namespace quillon::studio::wx::testing
