// The hidden frame's commands through its menu and toolbar, its dialogs and its canvas.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/canvas.h"
#include "app/resources/resource_ids.h"
#include "shares/share_output.h"
#include "tests/app/app_test_util.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/user_input.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;
using ui::headless::Script;

const char kOpenTitle[] = "Seleccione la imagen que desea encriptar";
const char kDoneCaption[] = "Encriptaci\xF3n Realizada";
const char kDoneText[] =
    "Imagen ENCRIPTADA\nLas imagenes han sido almacenadas\ncon los nombres:\n"
    "capa1.bmp, capa2.bmp,.., capan.bmp";
const char kCannotCombine[] = "No se pueden combinar las im\xE1genes. ";
const char kFilter[] = "Bitmap Files(*.bmp)|*.bmp|All Files(*.*)|*.*||";

class ShareFrameTest : public AppTest {
 protected:
  CSchemeToolBar& ToolBar() { return frame.ToolBar(); }
  // Plays the script for one user action and checks that it was used up.
  template <class Action>
  void Run(const Script& script, Action action) {
    platform.Play(script);
    action();
    EXPECT_EQ(platform.StepsLeft(), 0u);
  }
  void Menu(int id, const Script& script = Script()) {
    Run(script, [&] { EXPECT_EQ(ui::UserMenu(frame, id), ""); });
  }
  void Button(int id, const Script& script = Script()) {
    Run(script, [&] { EXPECT_EQ(ui::UserToolBarClick(ToolBar(), id), ""); });
  }
  void Choose(int selector, int index, const Script& script = Script()) {
    Run(script, [&] { EXPECT_EQ(ui::UserChoose(ToolBar(), selector, index), ""); });
  }
  void Open(const std::string& path) {
    Menu(res::kCmdOpenImage, Script().ChooseFile(kOpenTitle, path));
  }
  std::vector<std::string> SelectorEntries() { return ToolBar().m_imageList->Entries(); }
  std::vector<std::string> Labels() {
    std::vector<std::string> labels;
    for (int i = 0; i < frame.Images().Count(); ++i)
      labels.push_back(frame.Images().Label(i));
    return labels;
  }

  CShareFrame frame{app, env};
};

TEST_F(ShareFrameTest, StartValuesAndSelectorsThatSurviveAToolbarReload) {
  EXPECT_FALSE(frame.IsWindowVisible());
  EXPECT_EQ(frame.GetWindowText(), "Quillon");
  EXPECT_EQ(frame.GetRect(), (ui::Rect{0, 0, 900, 600}));
  CSchemeToolBar& tb = ToolBar();
  EXPECT_EQ(tb.GetDlgCtrlID(), ui::kStandardToolBarId);
  EXPECT_EQ(std::make_tuple(tb.m_scheme, tb.m_method, tb.m_n, tb.m_k), std::make_tuple(0, 0, 2, 2));
  EXPECT_FALSE(tb.m_qualifiedSets.has_value());
  EXPECT_EQ(tb.m_schemeList->Text(), "(2,2)-threshold VCS");
  EXPECT_EQ(tb.m_schemeList->GetCount(), 5);
  EXPECT_EQ(tb.m_methodList->Text(), "Random basis column");
  EXPECT_EQ(tb.m_methodList->GetCount(), 7);
  EXPECT_EQ(tb.m_imageList->GetCount(), 0);
  EXPECT_EQ(frame.Images().Count(), 0);
  EXPECT_EQ(frame.CurrentImage(), nullptr);
  EXPECT_EQ(tb.m_schemeList->GetRect(), (ui::Rect{23 * 4 + 8, 0, 200, 120}));
  EXPECT_EQ(tb.m_methodList->DropHeight(), 160);
  EXPECT_EQ(tb.m_imageList->GetRect().width, 240);
  EXPECT_EQ(tb.GetButtonStyle(0), ui::kCheckGroup);
  EXPECT_EQ(frame.Canvas().GetPixel(1023, 767), ui::kWhite);

  frame.SelectKnScheme(5, 3);
  EXPECT_EQ(std::make_tuple(tb.m_scheme, tb.m_method, tb.m_n, tb.m_k), std::make_tuple(3, 0, 5, 3));

  Choose(res::kMethodSelector, 1);
  EXPECT_EQ(tb.m_method, 1);
  EXPECT_EQ(tb.m_scheme, 3) << "choosing a method changes nothing else";
  const std::string secret = SavePicture("s.bmp", {"bw"});
  Open(secret);  // ends with a reload
  EXPECT_EQ(tb.GetButtonStyle(0), ui::kButton) << "the reload loses the check-group style";
  EXPECT_EQ(tb.GetButtonStyle(5), ui::kSeparator);
  EXPECT_EQ(tb.m_methodList->Text(), "Pixel sampling");
  EXPECT_EQ(tb.m_schemeList->GetCurSel(), 0);
  EXPECT_EQ(SelectorEntries(), std::vector<std::string>{"s"});
  EXPECT_EQ(tb.m_imageList->GetCurSel(), 0);
}

struct SchemeCase {
  int index;
  std::function<Script()> dialogs;
  int scheme, n, k, shares;
};

TEST_F(ShareFrameTest, EverySchemeThroughItsDialogThenEncryptFromTheMenu) {
  const std::string secret = SavePicture("secreto.bmp", 6, 8, [](int r, int c) { return r == c; });
  const SchemeCase kCases[] = {
      {2,
       [] {
         return Script().ExpectDialog(res::kNxNDialog).Type(res::kEditParticipantsN, "5").Enter();
       },
       2, 5, 5, 5},
      {1,
       [] {
         return Script().ExpectDialog(res::k2xNDialog).Type(res::kEditParticipantsN, "4").Enter();
       },
       1, 4, 2, 4},
      {0, [] { return Script(); }, 0, 2, 2, 2},  // no dialog; k stays
      {3,
       [] {
         return Script()
             .ExpectDialog(res::kKxNDialog)
             .Inspect([](ui::Dialog& d) {
               EXPECT_EQ(d.GetDlgItemText(res::kEditParticipantsN), "2");
               EXPECT_EQ(d.GetDlgItemText(res::kEditThresholdK), "2");
             })
             .Type(res::kEditParticipantsN, "4")
             .Type(res::kEditThresholdK, "5")
             .Enter()
             .Message("Please enter an integer between 2 and 4.")
             .Inspect([](ui::Dialog& d) { EXPECT_EQ(d.GetFocusId(), res::kEditThresholdK); })
             .Type(res::kEditParticipantsN, "10")
             .Enter()
             .Message("Please enter an integer between 2 and 9.")
             .Inspect([](ui::Dialog& d) { EXPECT_EQ(d.GetFocusId(), res::kEditParticipantsN); })
             .Type(res::kEditParticipantsN, "3")
             .Type(res::kEditThresholdK, "2")
             .Enter();
       },
       3, 3, 2, 3},
      {4,
       [] {
         return Script()
             .ExpectDialog(res::kGenDialog)
             .Inspect(
                 [](ui::Dialog& d) { EXPECT_EQ(d.GetDlgItemText(res::kEditParticipantsN), "3"); })
             .Type(res::kEditParticipantsN, "3")
             .Enter()
             .ExpectDialog(res::kMinQualSetDialog)
             .Inspect([](ui::Dialog& d) {
               EXPECT_EQ(d.Item<ui::ListBox>(res::kListCandidateSets)->Entries(),
                         (std::vector<std::string>{"1 2 ", "1 3 ", "2 3 ", "1 2 3 "}));
             })
             .ClickEntries(res::kListCandidateSets, {0, 2})
             .Click(ui::kIdOk);
       },
       4, 3, 2, 3},
  };
  for (const SchemeCase& c : kCases) {
    SCOPED_TRACE("scheme " + std::to_string(c.index));
    frame.SelectImage(0);  // the secret again; encrypting makes the first share current
    if (frame.Images().Count() == 0)
      Open(secret);
    Choose(res::kSchemeSelector, c.index, c.dialogs());
    CSchemeToolBar& tb = ToolBar();
    EXPECT_EQ(std::make_tuple(tb.m_scheme, tb.m_n, tb.m_k), std::make_tuple(c.scheme, c.n, c.k));
    EXPECT_EQ(tb.m_schemeList->GetCurSel(), c.index);
    const int before = frame.Images().Count();
    Menu(res::kCmdEncrypt, Script().Message(kDoneCaption, kDoneText));
    ASSERT_EQ(frame.Images().Count(), before + c.shares);
    EXPECT_EQ(frame.Images().Name(before + c.shares - 1), ShareName(c.shares - 1));
    EXPECT_EQ(frame.Images().Selection(), before);
    EXPECT_EQ(frame.CurrentImage()->FileName(), "capa1.bmp");
    EXPECT_EQ(platform.Messages().back().owner, &frame);
  }
  const BasisMatrix& sets = *ToolBar().m_qualifiedSets;
  ASSERT_EQ(sets.Rows(), 2);
  EXPECT_EQ(std::vector<int>({sets.Get(0, 0), sets.Get(0, 1), sets.Get(0, 2), sets.Get(1, 0),
                              sets.Get(1, 1), sets.Get(1, 2)}),
            (std::vector<int>{1, 1, 0, 0, 1, 1}));
}

TEST_F(ShareFrameTest, CancelledParameterDialogsPutTheSelectorBack) {
  CSchemeToolBar& tb = ToolBar();
  Choose(res::kSchemeSelector, 2,
         Script().ExpectDialog(res::kNxNDialog).Type(res::kEditParticipantsN, "3").Enter());
  // (k,n) cancelled: the selector shows (n,n) again, n and k as they were.
  Choose(res::kSchemeSelector, 3,
         Script().ExpectDialog(res::kKxNDialog).Type(res::kEditParticipantsN, "5").Escape());
  EXPECT_EQ(std::make_tuple(tb.m_scheme, tb.m_n, tb.m_k), std::make_tuple(2, 3, 3));
  EXPECT_EQ(tb.m_schemeList->GetCurSel(), 2);
  // n = 4 confirmed, the list cancelled: n is kept, the scheme and the sets are not.
  Choose(res::kSchemeSelector, 4,
         Script()
             .ExpectDialog(res::kGenDialog)
             .Type(res::kEditParticipantsN, "4")
             .Enter()
             .ExpectDialog(res::kMinQualSetDialog)
             .Inspect([](ui::Dialog& d) {
               EXPECT_EQ(d.Item<ui::ListBox>(res::kListCandidateSets)->GetCount(), 11);
             })
             .CloseBox());
  EXPECT_EQ(std::make_tuple(tb.m_scheme, tb.m_n, tb.m_k), std::make_tuple(2, 4, 3));
  EXPECT_EQ(tb.m_schemeList->GetCurSel(), 2);
  EXPECT_FALSE(tb.m_qualifiedSets.has_value());
  // OK with nothing chosen: a general structure without sets, which encryption refuses.
  Choose(res::kSchemeSelector, 4,
         Script()
             .ExpectDialog(res::kGenDialog)
             .Enter()
             .ExpectDialog(res::kMinQualSetDialog)
             .Click(ui::kIdOk));
  EXPECT_EQ(tb.m_scheme, 4);
  ASSERT_TRUE(tb.m_qualifiedSets.has_value());
  EXPECT_EQ(tb.m_qualifiedSets->Rows(), 0);
  Open(SavePicture("s.bmp", {"bw"}));
  Menu(res::kCmdEncrypt,
       Script().Message("Cannot Encrypt", "This scheme has no qualified set of participants."));
  EXPECT_EQ(frame.Images().Count(), 1);
}

TEST_F(ShareFrameTest, EveryMethodThroughTheSelectorAndTheToolbarButton) {
  const int kWidth = 7, kHeight = 5;
  const std::string secret =
      SavePicture("secreto.bmp", kHeight, kWidth, [](int r, int c) { return (r + c) % 3 == 0; });
  const std::string cat = SavePicture("cat.bmp", 8, 8, [](int r, int) { return r < 4; });
  const std::string house = SavePicture("house.bmp", 8, 8, [](int, int c) { return c < 4; });
  Open(secret);
  for (int method = 0; method < 7; ++method) {
    SCOPED_TRACE("method " + std::to_string(method));
    frame.SelectImage(0);
    Choose(res::kMethodSelector, method);
    EXPECT_EQ(ToolBar().m_method, method);
    EXPECT_EQ(ToolBar().m_scheme, 0);
    Script script;
    if (IsExtendedMethod(static_cast<ExpansionMethod>(method))) {
      script.ChooseFile("Select Innocent Image File 1", cat)
          .ChooseFile("Select Innocent Image File 2", house);
    }
    script.Message(kDoneCaption, kDoneText);
    Button(res::kToolEncrypt, script);
    const ShareSize size =
        MethodShareSize(static_cast<ExpansionMethod>(method), kWidth, kHeight, 2, 2);
    BmpImage share(dir.File("capa2.bmp"));
    ASSERT_TRUE(share.Load(Env::Default()));
    EXPECT_EQ(share.Width(), size.width);
    EXPECT_EQ(share.Height(), size.height);
    EXPECT_EQ(frame.CurrentImage()->FileName(), "capa1.bmp");
  }
  const auto& files = platform.FileDialogs();
  ASSERT_FALSE(files.empty());
  EXPECT_EQ(files.back().filter, kFilter);
  EXPECT_EQ(files.back().flags, 4100u);

  // Giving up at the second innocent image: one message, nothing registered, no reload.
  frame.SelectImage(0);
  const int count = frame.Images().Count();
  ToolBar().SetButtonStyle(0, ui::kCheckGroup | ui::kChecked);
  Button(res::kToolEncrypt,
         Script()
             .ChooseFile("Select Innocent Image File 1", cat)
             .CancelFile("Select Innocent Image File 2")
             .Message("Cannot Encrypt without valid innocent image source file."));
  EXPECT_EQ(frame.Images().Count(), count);
  EXPECT_EQ(frame.CurrentImage()->FileName(), secret) << "the secret stays current";
  EXPECT_EQ(ToolBar().GetButtonStyle(0), ui::kCheckGroup | ui::kChecked);
}

// Every encryption draws from a source of its own, made when it starts: the same seed twice
// gives the same shares.
TEST_F(ShareFrameTest, EveryEncryptionDrawsFromAFreshSource) {
  int made = 0;
  frame.SetRandomMaker([&] {
    ++made;
    return MakeSeededRandom(5);
  });
  Open(SavePicture("secreto.bmp", 16, 16, [](int r, int c) { return (r * c) % 3 == 0; }));
  std::vector<std::vector<uint8_t>> shares;
  for (int i = 0; i < 2; ++i) {
    frame.SelectImage(0);
    Menu(res::kCmdEncrypt, Script().Message(kDoneCaption, kDoneText));
    shares.push_back(ReadFileBytes(dir.File("capa1.bmp")));
  }
  EXPECT_EQ(made, 2);
  EXPECT_EQ(shares[0], shares[1]);
}

TEST_F(ShareFrameTest, CombiningCancelledAtTheSecondOfThreeLayers) {
  const std::string a = SavePicture("a.bmp", {"bwbw"});
  frame.SelectKnScheme(3, 2);
  Menu(res::kCmdCombine,
       Script()
           .ExpectDialog(res::kCoalesceDialog)
           .Inspect([](ui::Dialog& d) { EXPECT_EQ(d.GetDlgItemText(res::kEditLayerCount), "3"); })
           .Type(res::kEditLayerCount, "1")
           .Enter()
           .Message("Please enter an integer between 2 and 9.")
           .Type(res::kEditLayerCount, "3")
           .Enter()
           .ChooseFile("Seleccione la capa 1", a)
           .CancelFile("Seleccione la capa 2")
           .Message("quillon", kCannotCombine));
  EXPECT_EQ(Pixels(frame.Layers()[0]), (std::vector<std::string>{"bwbw"}));
  EXPECT_EQ(platform.Programs().size(), 1u);
  EXPECT_EQ(ReadText(dir.File("tez.ini")), "1");
  EXPECT_FALSE(fs::exists(dir.File("resultado.bmp")));
  EXPECT_EQ(frame.Images().Count(), 0);
  EXPECT_EQ(platform.Messages().back().owner, &frame);

  // A layer that cannot be read: Load's message, then the same refusal.
  testing::WriteFileBytes(dir.File("junk.bmp"), {'n', 'o'});
  Button(res::kToolCombine, Script()
                                .ExpectDialog(res::kCoalesceDialog)
                                .Type(res::kEditLayerCount, "2")
                                .Enter()
                                .ChooseFile("Seleccione la capa 1", dir.File("junk.bmp"))
                                .Message("ERROR: Unsupported bitmap file " + dir.File("junk.bmp"))
                                .Message(kCannotCombine));
  EXPECT_FALSE(fs::exists(dir.File("resultado.bmp")));
}

// Puts a folder alone on PATH while it lives.
class ScopedPath {
 public:
  explicit ScopedPath(const fs::path& folder) : m_old(getenv("PATH") ? getenv("PATH") : "") {
    setenv("PATH", folder.c_str(), 1);
  }
  ~ScopedPath() { setenv("PATH", m_old.c_str(), 1); }

 private:
  std::string m_old;
};

TEST_F(ShareFrameTest, TheViewerFindsTheLayersDigitInTezIniOrIsMissedWithoutHarm) {
  const std::string a = SavePicture("a.bmp", {"bwbw", "wwww"});
  const std::string b = SavePicture("b.bmp", {"wwbb", "wbww"});
  const fs::path bin = dir.Path() / "bin";
  fs::create_directory(bin);
  const auto combine = [&](int count) {
    Script script;
    script.ExpectDialog(res::kCoalesceDialog)
        .Type(res::kEditLayerCount, std::to_string(count))
        .Enter();
    for (int i = 0; i < count; ++i)
      script.ChooseFile("Seleccione la capa " + std::to_string(i + 1), i % 2 ? b : a);
    Menu(res::kCmdCombine, script);
  };

  {
    ScopedPath path(bin);  // no viewer anywhere
    platform.SetStartPrograms(true);
    combine(2);
  }
  ASSERT_EQ(platform.Programs().size(), 2u);
  EXPECT_FALSE(platform.Programs()[0].started);
  EXPECT_EQ(frame.Images().Count(), 1);
  EXPECT_EQ(Pixels(*frame.CurrentImage()), (std::vector<std::string>{"bwbb", "wbww"}));

  // A stand-in viewer that records what it finds; tez.ini is replaced whole, so even a viewer
  // that reads late finds one digit.
  const fs::path viewer = bin / "skiv.exe";
  std::ofstream(viewer) << "#!/bin/sh\n"
                           "IFS= read -r digit < tez.ini\n"
                           "printf '%s\\n' \"$digit\" >> seen.txt\n";
  fs::permissions(viewer, fs::perms::owner_all);
  {
    ScopedPath path(bin);
    combine(3);
  }
  EXPECT_EQ(ReadText(dir.File("tez.ini")), "3");
  EXPECT_FALSE(fs::exists(dir.File("tez.ini.tmp")));
  for (int i = 0; i < 200 && ReadText(dir.File("seen.txt")).size() < 6; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  const std::string seen = ReadText(dir.File("seen.txt"));
  ASSERT_EQ(seen.size(), 6u) << seen;
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(seen[2 * i] >= '1' && seen[2 * i] <= '3') << seen;
    EXPECT_EQ(seen[2 * i + 1], '\n') << "tez.ini holds one byte";
  }
  EXPECT_EQ(frame.Images().Count(), 2) << "running twice registers the result twice";
  EXPECT_EQ(frame.Images().Selection(), 1);
}

TEST_F(ShareFrameTest, TheImageListWhenFullAndAfterClosing) {
  // Appended rather than "i" + number: g++ 12 warns falsely about the latter.
  const auto label = [](int i) {
    std::string text = "i";
    text += std::to_string(i);
    return text;
  };
  std::vector<std::string> files;
  for (int i = 0; i < 26; ++i)
    files.push_back(SavePicture(label(i) + ".bmp", {std::string(i + 1, 'b')}));
  for (int i = 0; i < 25; ++i)
    frame.RegisterImage(files[i], label(i));
  Open(files[25]);
  ASSERT_EQ(frame.Images().Count(), 25);
  EXPECT_EQ(frame.Images().Name(23), files[23]);
  EXPECT_EQ(frame.Images().Name(24), files[25]);
  EXPECT_EQ(SelectorEntries(), Labels());
  EXPECT_EQ(ToolBar().m_imageList->GetCurSel(), 24);

  // 23 images and a three-share encryption: entry 22 is selected and becomes current.
  for (int i = 0; i < 2; ++i) {
    frame.SelectImage(frame.Images().Count() - 1);
    Menu(res::kCmdCloseImage);
  }
  ASSERT_EQ(frame.Images().Count(), 23);
  frame.SelectImage(0);
  frame.SelectKnScheme(3, 2);
  Menu(res::kCmdEncrypt, Script().Message(kDoneCaption, kDoneText));
  ASSERT_EQ(frame.Images().Count(), 25);
  EXPECT_EQ(frame.Images().Name(23), "capa1.bmp");
  EXPECT_EQ(frame.Images().Name(24), "capa3.bmp");
  EXPECT_EQ(frame.Images().Selection(), 22);
  EXPECT_EQ(frame.CurrentImage()->FileName(), frame.Images().Name(22));

  // Closing entry 2 of 5 through the selector and the menu.
  Menu(res::kCmdCloseAll);
  EXPECT_EQ(frame.Images().Count(), 0);
  EXPECT_EQ(frame.Canvas().GetPixel(0, 30), ui::kWhite);
  EXPECT_EQ(frame.CurrentImage()->FileName(), frame.Images().Name(22)) << "close all keeps it";
  for (int i = 0; i < 5; ++i)
    Open(files[i]);
  Choose(res::kImageSelector, 2);
  EXPECT_EQ(frame.CurrentImage()->FileName(), files[2]);
  Menu(res::kCmdCloseImage);
  EXPECT_EQ(Labels(), (std::vector<std::string>{"i0", "i1", "i3", "i4"}));
  EXPECT_EQ(SelectorEntries(), Labels());
  EXPECT_EQ(frame.Images().Selection(), 0);
  EXPECT_EQ(frame.CurrentImage()->FileName(), files[0]);

  // Nothing selected: closing does nothing.
  ToolBar().m_imageList->SetCurSel(ui::kNoEntry);
  frame.SelectImage(ui::kNoEntry);
  Menu(res::kCmdCloseImage);
  EXPECT_EQ(frame.Images().Count(), 4);
}

TEST_F(ShareFrameTest, FilesThatCannotBeWrittenAreReportedAndNeverCalledASuccess) {
  const std::string secret = SavePicture("secreto.bmp", {"bwwb", "wbbw"});
  Open(secret);
  // A folder where a share or the result should go: nothing can replace it.
  fs::create_directory(dir.File("capa2.bmp"));
  fs::create_directory(dir.File("resultado.bmp"));
  Menu(res::kCmdEncrypt, Script().Message("quillon", "ERROR: Can't open capa2.bmp"));
  EXPECT_EQ(frame.Images().Count(), 1) << "a set that is not written is not registered";
  EXPECT_FALSE(fs::exists(dir.File("capa1.bmp"))) << "a set is written whole or not at all";
  EXPECT_EQ(frame.CurrentImage()->FileName(), secret);
  ASSERT_GT(platform.Progress().size(), 0u);
  EXPECT_TRUE(platform.Progress().back().closed);
  EXPECT_EQ(platform.Progress().back().owner, &frame);
  EXPECT_EQ(platform.Progress().back().fractions.back(), 1.0);

  Menu(res::kCmdCombine, Script()
                             .ExpectDialog(res::kCoalesceDialog)
                             .Enter()
                             .ChooseFile("Seleccione la capa 1", secret)
                             .ChooseFile("Seleccione la capa 2", secret)
                             .Message("ERROR: Can't open resultado.bmp"));
  EXPECT_EQ(frame.Images().Count(), 1) << "the result is not registered";
  EXPECT_EQ(frame.CurrentImage()->FileName(), secret) << "nor drawn";
}

// The files in the working folder, hidden staged files included.
std::vector<std::string> FolderFiles(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct EncryptFailure {
  const char* what;
  bool secretIsShare1;  // the secret is the earlier capa1.bmp, opened from the working folder
  int method;
  std::function<void(FaultEnv&)> fault;
  std::string message;  // caption|text; a placeholder @ stands for the working folder
};

// Refused or failed encryptions: their one message, no success message, nothing registered,
// and the earlier shares as they were, without a staged file left beside them.
TEST_F(ShareFrameTest, AnEncryptionThatFailsWritesAndRegistersNoShare) {
  const std::string share1 = SavePicture("capa1.bmp", {"bw"});
  const std::string share2 = SavePicture("capa2.bmp", {"wb"});
  const std::string secret = SavePicture("secreto.bmp", {"b"});
  const std::vector<uint8_t> before1 = ReadFileBytes(share1), before2 = ReadFileBytes(share2);
  const EncryptFailure kCases[] = {
      {"memory", false, 0, [](FaultEnv& e) { e.SetAvailableMemory(100); },
       "Cannot Encrypt|There is not enough memory for shares of this size."},
      {"block", false, 1, [](FaultEnv&) {},
       "Cannot Encrypt|The secret image is smaller than one block of this method."},
      {"secret", true, 0, [](FaultEnv&) {},
       "Cannot Encrypt|The share capa1.bmp would replace @/capa1.bmp, an image it is made from; "
       "nothing was written."},
      {"create", false, 0, [](FaultEnv& e) { e.FailPath(FileOp::kCreateNew, "capa2"); },
       "quillon|ERROR: Can't open capa2.bmp"},
      {"write", false, 0, [](FaultEnv& e) { e.FailPath(FileOp::kAppend, "capa2"); },
       "quillon|ERROR: Can't write image!"},
      {"rename", false, 0, [](FaultEnv& e) { e.FailPath(FileOp::kRename, "capa1"); },
       "quillon|ERROR: Can't open capa1.bmp"},
  };
  for (const EncryptFailure& c : kCases) {
    SCOPED_TRACE(c.what);
    FaultEnv faults;
    c.fault(faults);
    CShareFrame failing(app, faults);
    failing.ToolBar().m_method = c.method;
    std::string message = c.message;
    if (const size_t at = message.find('@'); at != std::string::npos)
      message.replace(at, 1, dir.Path().string());
    const size_t bar = message.find('|');
    Run(Script()
            .ChooseFile(kOpenTitle, c.secretIsShare1 ? share1 : secret)
            .Message(message.substr(0, bar), message.substr(bar + 1)),
        [&] {
          EXPECT_EQ(ui::UserMenu(failing, res::kCmdOpenImage), "");
          EXPECT_EQ(ui::UserMenu(failing, res::kCmdEncrypt), "");
        });
    EXPECT_EQ(failing.Images().Count(), 1);
    EXPECT_EQ(ReadFileBytes(share1), before1);
    EXPECT_EQ(ReadFileBytes(share2), before2);
    EXPECT_EQ(FolderFiles(dir.Path()),
              (std::vector<std::string>{"capa1.bmp", "capa2.bmp", "secreto.bmp"}));
  }
}

struct CombineFailure {
  const char* what;
  std::function<void(FaultEnv&)> fault;
  std::function<Script()> script;  // from the layer-count dialog on
  bool written;
};

TEST_F(ShareFrameTest, LayersWithoutPixelsOrThatTheResultWouldReplaceAndACutColourTable) {
  const std::string a = SavePicture("a.bmp", {"bw"});
  const std::string b = SavePicture("b.bmp", {"wb"});
  const std::string old = SavePicture("resultado.bmp", {"ww"});
  const std::string empty = dir.File("empty.bmp");
  Write24BitBmp(empty, 0, 0, [](int, int) { return ui::kWhite; });
  const std::vector<uint8_t> before = ReadFileBytes(old);
  const auto layers = [](const std::string& first, const std::string& second) {
    Script script;
    script.ExpectDialog(res::kCoalesceDialog).Enter().ChooseFile("Seleccione la capa 1", first);
    if (!second.empty())
      script.ChooseFile("Seleccione la capa 2", second);
    return script;
  };
  const CombineFailure kCases[] = {
      {"no pixels", [](FaultEnv&) {},
       [&] { return layers(empty, "").Message("quillon", kCannotCombine); }, false},
      {"result is a layer", [](FaultEnv&) {},
       [&] {
         return layers(a, old).Message("ERROR: The result resultado.bmp would replace the layer " +
                                       old + "; nothing was written.");
       },
       false},
      // The second read of the first layer is its colour table: told at once, before the
      // second layer is asked for, and the combination goes on.
      {"colour table", [](FaultEnv& e) { e.FailCall(FileOp::kReadAt, 2); },
       [&] {
         return layers(a, "")
             .Message("ERROR: Can't read bitmap's color palette!")
             .ChooseFile("Seleccione la capa 2", b);
       },
       true},
  };
  for (const CombineFailure& c : kCases) {
    SCOPED_TRACE(c.what);
    FaultEnv faults;
    c.fault(faults);
    CShareFrame combining(app, faults);
    Run(c.script(), [&] { EXPECT_EQ(ui::UserMenu(combining, res::kCmdCombine), ""); });
    EXPECT_EQ(combining.Images().Count(), c.written ? 1 : 0);
    EXPECT_EQ(ReadFileBytes(old) == before, !c.written);
  }
}

struct SaveCase {
  const char* typed;
  const char* written;
};

TEST_F(ShareFrameTest, SaveCurrentAsNamesAndAFailedSave) {
  Menu(res::kCmdSaveCurrentAs);  // an empty list: no dialog at all
  const std::string secret = SavePicture("secreto.bmp", {"bwwb", "wbbw"});
  Open(secret);
  const SaveCase kCases[] = {
      {"copia", "copia.bmp"}, {"copia.bmp", "copia.bmp"}, {"copia.BMP", "copia.BMP.bmp"}};
  for (const SaveCase& c : kCases) {
    SCOPED_TRACE(c.typed);
    fs::remove(dir.File(c.written));
    Button(res::kToolSaveCurrentAs, Script().ChooseFile("Save Image As...", dir.File(c.typed)));
    BmpImage written(dir.File(c.written));
    ASSERT_TRUE(written.Load(Env::Default()));
    EXPECT_EQ(Pixels(written), (std::vector<std::string>{"bwwb", "wbbw"}));
    EXPECT_EQ(frame.Images().Name(0), dir.File(c.written));
    EXPECT_EQ(Labels(), std::vector<std::string>{"copia"});
    EXPECT_EQ(SelectorEntries(), Labels());
    EXPECT_EQ(ToolBar().m_imageList->GetCurSel(), 0);
  }
  const auto& dialog = platform.FileDialogs().back();
  EXPECT_FALSE(dialog.open);
  EXPECT_EQ(dialog.flags, ui::kHideReadOnly | ui::kOverwritePrompt);

  // A file that cannot be written: Save's message, and the entry keeps the file it had.
  const std::string nowhere = dir.File("missing/x.bmp");
  Menu(res::kCmdSaveCurrentAs,
       Script().ChooseFile("Save Image As...", nowhere).Message("ERROR: Can't open " + nowhere));
  EXPECT_EQ(frame.Images().Name(0), dir.File("copia.BMP.bmp"));
  EXPECT_EQ(frame.CurrentImage()->FileName(), dir.File("copia.BMP.bmp"));
}

struct CanvasCase {
  int width, height;
};

TEST_F(ShareFrameTest, TheCanvasDrawsTheSelectedImageUprightBelowTheToolbarStrip) {
  const auto black = [](int r, int c) { return (r + 2 * c) % 7 == 0; };
  for (const CanvasCase& c : {CanvasCase{100, 50}, CanvasCase{1200, 800}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    Open(SavePicture("p.bmp", c.height, c.width, black));
    const ui::Surface& canvas = frame.Canvas();
    for (int y = 0; y < canvas.Height(); ++y) {
      for (int x = 0; x < canvas.Width(); ++x) {
        const int r = c.height + kPictureTop - y;
        const bool inside = y > kPictureTop && r >= 0 && x < c.width;
        const ui::Rgb expected = inside && black(r, x) ? ui::kBlack : ui::kWhite;
        ASSERT_EQ(canvas.GetPixel(x, y), expected) << x << ", " << y;
      }
    }
  }
  // Painting a shown frame copies the top-left 800 x 600 of the canvas.
  frame.ShowWindow(true);
  app.UpdateWindows();
  for (int y : {0, 30, 599}) {
    for (int x : {0, 13, 799})
      EXPECT_EQ(frame.Client().GetPixel(x, y), frame.Canvas().GetPixel(x, y));
  }
  EXPECT_EQ(frame.Client().GetPixel(850, 10), ui::kWhite);
}

TEST_F(ShareFrameTest, AnUnreadableFileIsRegisteredAndReportedByBothLoads) {
  const std::string junk = dir.File("junk.bmp");
  testing::WriteFileBytes(junk, {'B', 'M'});
  const std::string message = "ERROR: Unsupported bitmap file " + junk;
  Open(SavePicture("good.bmp", {"bb"}));
  Menu(res::kCmdOpenImage,
       Script().ChooseFile(kOpenTitle, junk).Message("quillon", message).Message(message));
  EXPECT_EQ(frame.Images().Count(), 2);
  EXPECT_FALSE(frame.CurrentImage()->HasPixels());
  EXPECT_EQ(frame.Canvas().GetPixel(0, 30), ui::kWhite);
  Menu(res::kCmdEncrypt,
       Script().Message("Cannot Encrypt", "Please open a secret image file first."));

  Menu(res::kCmdOpenImage, Script().CancelFile(kOpenTitle));
  EXPECT_EQ(frame.Images().Count(), 2);
}

TEST_F(ShareFrameTest, HelpAboutAndExit) {
  Menu(res::kCmdHelp, Script().Message("quillon", CShareFrame::HelpText()));
  Menu(res::kCmdAbout, Script().Message("quillon", CShareFrame::AboutText()));
  for (const auto& m : platform.Messages()) {
    EXPECT_EQ(m.owner, &frame);
    // The texts are ours: no person's name, address or web site.
    for (const char* address : {"http", "www", ".com", ".org", "@"})
      EXPECT_EQ(m.text.find(address), std::string::npos) << m.text;
  }
  EXPECT_EQ(ui::UserMenu(frame, res::kCmdExit), "");
  EXPECT_TRUE(frame.IsDestroyed());
}

}  // namespace
}  // namespace quillon::testing
