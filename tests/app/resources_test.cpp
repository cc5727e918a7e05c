#include "app/resources/resources.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/ui/ui_test_util.h"
#include "ui/dialog.h"
#include "ui/frame.h"

namespace quillon::res {
namespace {

using ui::headless::Script;

std::string Styles(uint32_t style) {
  static const std::pair<uint32_t, const char*> kNames[] = {
      {ui::kPopup, "popup"},           {ui::kCaption, "caption"},
      {ui::kSysMenu, "sysmenu"},       {ui::kModalFrame, "modalframe"},
      {ui::kBorder, "border"},         {ui::kTabStop, "tabstop"},
      {ui::kVScroll, "vscroll"},       {ui::kHScroll, "hscroll"},
      {ui::kNumber, "number"},         {ui::kAutoHScroll, "autohscroll"},
      {ui::kDefaultButton, "default"}, {ui::kMultipleSel, "multiplesel"},
      {ui::kNotify, "notify"},         {ui::kSort, "sort"},
  };
  std::string text;
  for (const auto& [bit, name] : kNames) {
    if (style & bit) {
      text += " ";
      text += name;
      style &= ~bit;
    }
  }
  return style ? text + " ?" : text;
}

std::string Dump(const ui::DialogTemplate& d) {
  static const char* const kKinds[] = {"button", "edit", "static", "group", "listbox", "combo"};
  auto rect = [](const ui::Rect& r) {
    return " (" + std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) +
           "," + std::to_string(r.height) + ")";
  };
  std::string text = d.name.ToString() + " \"" + d.caption + "\"" + rect(d.rect) + Styles(d.style);
  if (!d.fontName.empty())
    text += " font \"" + d.fontName + "\" " + std::to_string(d.fontPoints);
  text += "\n";
  for (const ui::ControlTemplate& c : d.controls) {
    text += std::string("  ") + kKinds[static_cast<int>(c.kind)] + " " + std::to_string(c.id) +
            " \"" + c.text + "\"" + rect(c.rect) + Styles(c.style) + "\n";
  }
  return text;
}

TEST(ResourcesTest, DialogTemplatesAsTheProgramDefinesThem) {
  const char* const kExpected[] = {
      "101 \"Criptograf\xED"
      "a Visual\" (0,0,226,130) popup caption modalframe font \"MS Sans Serif\" 14\n"
      "  button 2 \"SALIR\" (10,110,30,9) tabstop\n"
      "  group -1 \"Imagen\" (55,0,165,125)\n"
      "  static -1 \"n\" (15,71,8,8)\n"
      "  static -1 \"k\" (15,86,8,10)\n"
      "  group -1 \"Par\xE1metros\" (5,60,45,40)\n"
      "  edit 1006 \"\" (25,70,10,12) border tabstop autohscroll\n"
      "  edit 1007 \"\" (25,85,10,12) border tabstop autohscroll\n"
      "  button 1008 \"Encriptar\" (5,30,45,10) tabstop\n"
      "  button 1009 \"Desencriptar\" (5,45,45,10) tabstop\n"
      "  button 1010 \"Abrir\" (15,5,20,10) tabstop\n",

      "KXNVCS \"(k,n)-threshold Visual Cryptography Scheme\" (50,50,200,80) caption sysmenu\n"
      "  static -1 \"Enter the qualified set threshold, k =\" (30,15,115,8)\n"
      "  edit 3020 \"\" (147,13,20,12) border tabstop number\n"
      "  static -1 \"Enter the number of participants, n =\" (30,35,115,8)\n"
      "  edit 3021 \"\" (147,33,20,12) border tabstop number\n"
      "  button 1 \"OK\" (70,60,60,15) tabstop default\n",

      "NXNVCS \"(n,n)-threshold Visual Cryptography Scheme\" (50,50,200,60) caption sysmenu\n"
      "  static -1 \"Enter the number of participants, n =\" (30,15,115,8)\n"
      "  edit 3021 \"\" (147,13,20,12) border tabstop number\n"
      "  button 1 \"OK\" (70,40,60,15) tabstop default\n",

      "2XNVCS \"(2,n)-threshold Visual Cryptography Scheme\" (50,50,200,60) caption sysmenu\n"
      "  static -1 \"Enter the number of participants, n =\" (30,15,115,8)\n"
      "  edit 3021 \"\" (147,13,20,12) border tabstop number\n"
      "  button 1 \"OK\" (70,40,60,15) tabstop default\n",

      "GENVCS \"General Access Structure VCS\" (50,50,200,60) caption sysmenu\n"
      "  static -1 \"Enter the number of participants, n =\" (30,15,115,8)\n"
      "  edit 3021 \"\" (147,13,20,12) border tabstop number\n"
      "  button 1 \"OK\" (70,40,60,15) tabstop default\n",

      "MINQUALSET \"Choose the Minimal Qualified Sets\" (50,50,180,200) caption sysmenu\n"
      "  listbox 3102 \"\" (10,10,90,190) border vscroll hscroll multiplesel notify\n"
      "  button 1 \"OK\" (110,50,50,15) tabstop default\n"
      "  static 101 \"Select each set of participants that comprises a minimal qualified \n"
      "set from the possible sets of participants in the list box.  When \n"
      "done, choose 'OK'.\" (108,80,64,80)\n",

      "COALESCE \"\" (50,50,111,55) popup caption border font \"MS Sans Serif\" 14\n"
      "  static -1 \"\xBF"
      "Cuantas capas vas a combinar?\" (5,5,105,8)\n"
      "  edit 2021 \"\" (50,20,10,12) border tabstop number\n"
      "  button 1 \"OK\" (45,40,20,10) tabstop default\n",
  };
  const ui::ResourceSet& resources = QuillonResources();
  ASSERT_EQ(resources.dialogs.size(), std::size(kExpected));
  for (size_t i = 0; i < std::size(kExpected); ++i)
    EXPECT_EQ(Dump(resources.dialogs[i]), kExpected[i]);
  // The program asks for some by other spellings.
  for (const char* name : {"KxNVCS", "NxNVCS", "2xNVCS", "GenVcs", "MinQualSet", "coalesce"})
    EXPECT_NE(resources.FindDialog(name), nullptr) << name;
  EXPECT_EQ(resources.FindDialog(101), &resources.dialogs[0]);
  EXPECT_EQ(resources.FindDialog("101"), nullptr) << "a number is not a name";
}

std::string Dump(const std::vector<ui::MenuItemTemplate>& items, const std::string& indent) {
  std::string text;
  for (const ui::MenuItemTemplate& item : items) {
    text += indent +
            (item.IsSeparator() ? std::string("-")
                                : "\"" + item.text + "\" " + std::to_string(item.id)) +
            "\n";
    text += Dump(item.items, indent + "  ");
  }
  return text;
}

TEST(ResourcesTest, MenuAndToolbar) {
  const ui::ResourceSet& resources = QuillonResources();
  const ui::MenuTemplate* menu = resources.FindMenu("quillon");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(Dump(menu->popups, ""),
            "\"File\" 0\n"
            "  \"Open SI...\" 2001\n"
            "  \"Close\" 2004\n"
            "  \"Close all\" 2002\n"
            "  \"Save current as...\" 2003\n"
            "  -\n"
            "  \"Exit\" 2000\n"
            "\"Encrypt\" 0\n"
            "  \"Encrypt SI\" 2010\n"
            "\"Coalesce\" 0\n"
            "  \"Combine shares...\" 2020\n"
            "\"Help\" 0\n"
            "  \"Help...\" 2051\n"
            "  \"About Quillon...\" 2052\n");

  const ui::ToolBarTemplate* toolbar = resources.FindToolBar(kToolBar);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(toolbar->button, (ui::Size{16, 15}));
  std::vector<std::pair<int, int>> entries;
  for (const ui::ToolBarEntryTemplate& e : toolbar->entries)
    entries.emplace_back(e.command, e.glyph);
  EXPECT_EQ(entries,
            (std::vector<std::pair<int, int>>{
                {3002, 0}, {3003, 1}, {0, -1}, {3005, 2}, {3006, 3}, {0, -1}, {0, -1}, {0, -1}}));
  // Four glyphs side by side, every pixel a colour of the palette.
  ASSERT_EQ(toolbar->glyphRows.size(), 15u);
  std::set<char> palette;
  for (const auto& colour : toolbar->palette)
    palette.insert(colour.key);
  for (const std::string& row : toolbar->glyphRows) {
    EXPECT_EQ(row.size(), 64u);
    for (char c : row)
      EXPECT_TRUE(palette.count(c)) << c;
  }
}

class ResourceDialogTest : public ui::testing::HeadlessTest {
 protected:
  ResourceDialogTest() : HeadlessTest(QuillonResources()) {}
};

// The (k,n) dialog's exchange as the program needs it: n first, then k up to that n.
class KxNDialog : public ui::Dialog {
 public:
  explicit KxNDialog(ui::Application& app) : Dialog(app, "KxNVCS") {}
  int32_t m_k = 2;
  int32_t m_n = 3;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override {
    dx.Int(kEditParticipantsN, m_n, 2, 9);
    dx.Int(kEditThresholdK, m_k, 2, m_n);
  }
};

TEST_F(ResourceDialogTest, ParameterDialogRefusesAThresholdAboveN) {
  KxNDialog dialog(app);
  platform.Play(Script()
                    .ExpectDialog(kKxNDialog)
                    .Inspect([](ui::Dialog& d) {
                      EXPECT_EQ(d.GetDlgItemText(kEditParticipantsN), "3");
                      EXPECT_EQ(d.GetFocusId(), kEditThresholdK);
                    })
                    .Type(kEditParticipantsN, "4")
                    .Type(kEditThresholdK, "5")
                    .Enter()
                    .Message("quillon", "Please enter an integer between 2 and 4.")
                    .Inspect([](ui::Dialog& d) { EXPECT_EQ(d.GetFocusId(), kEditThresholdK); })
                    .Type(kEditParticipantsN, "10")
                    .Enter()
                    .Message("Please enter an integer between 2 and 9.")
                    .Inspect([](ui::Dialog& d) { EXPECT_EQ(d.GetFocusId(), kEditParticipantsN); })
                    .CloseBox());
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  EXPECT_EQ(dialog.m_n, 4) << "n passed the first time, k never did";
  EXPECT_EQ(dialog.m_k, 2);
}

TEST_F(ResourceDialogTest, MainDialogHasNoDefaultButtonNorCloseBoxAndSalirCancels) {
  ui::Dialog dialog(app, kPrincipDialog);
  platform.Play(Script()
                    .ExpectDialog(kPrincipDialog)
                    .Inspect([](ui::Dialog& d) {
                      EXPECT_EQ(d.DefaultCommand(), ui::kIdOk);
                      EXPECT_FALSE(d.Style() & ui::kSysMenu);
                      EXPECT_EQ(d.ClientSize().width, d.MapDialogRect({0, 0, 226, 130}).width);
                    })
                    .Type(kEditN, "x5")
                    .Inspect([](ui::Dialog& d) { EXPECT_EQ(d.GetDlgItemText(kEditN), "x5"); })
                    .Click(ui::kIdCancel));
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
}

TEST_F(ResourceDialogTest, ListDialogTogglesEntriesAndLayerCountTakesDigits) {
  ui::Dialog sets(app, kMinQualSetDialog);
  platform.Play(Script()
                    .ExpectDialog(kMinQualSetDialog)
                    .Inspect([](ui::Dialog& d) {
                      for (const char* entry : {"1 2 ", "1 3 ", "2 3 ", "1 2 3 "})
                        d.Item<ui::ListBox>(kListCandidateSets)->AddString(entry);
                    })
                    .ClickEntries(kListCandidateSets, {0, 2, 3, 3})
                    .Click(ui::kIdOk));
  EXPECT_EQ(sets.DoModal(), ui::kIdOk);
  EXPECT_EQ(sets.Item<ui::ListBox>(kListCandidateSets)->GetSelItems(16), (std::vector<int>{0, 2}));

  ui::Dialog layers(app, kCoalesceDialog);
  platform.Play(Script()
                    .ExpectDialog(kCoalesceDialog)
                    .Type(kEditLayerCount, "a3")
                    .Inspect([](ui::Dialog& d) {
                      EXPECT_EQ(d.GetDlgItemText(kEditLayerCount), "3");
                      EXPECT_EQ(d.GetWindowText(), "");
                    })
                    .Escape());
  EXPECT_EQ(layers.DoModal(), ui::kIdCancel);
}

}  // namespace
}  // namespace quillon::res
