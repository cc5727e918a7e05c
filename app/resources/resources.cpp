#include "app/resources/resources.h"

namespace quillon::res {
namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;
using ui::Rect;

// Resource compilers make push buttons and edit boxes tab stops.
ControlTemplate PushButton(int id, const char* text, Rect rect) {
  return {ControlKind::PushButton, id, text, rect, ui::kTabStop};
}

ControlTemplate DefaultButton(int id, const char* text, Rect rect) {
  return {ControlKind::PushButton, id, text, rect, ui::kTabStop | ui::kDefaultButton};
}

ControlTemplate Label(const char* text, Rect rect, int id = ui::kIdStatic) {
  return {ControlKind::Static, id, text, rect, ui::kNoStyle};
}

ControlTemplate Group(const char* text, Rect rect) {
  return {ControlKind::GroupBox, ui::kIdStatic, text, rect, ui::kNoStyle};
}

ControlTemplate DigitsBox(int id, Rect rect) {
  return {ControlKind::Edit, id, "", rect, ui::kBorder | ui::kTabStop | ui::kNumber};
}

constexpr uint32_t kParameterDialogStyle = ui::kCaption | ui::kSysMenu;

DialogTemplate PrincipDialog() {
  const uint32_t edit = ui::kBorder | ui::kTabStop | ui::kAutoHScroll;
  return DialogTemplate{kPrincipDialog,
                        "Criptograf\xED"
                        "a Visual",
                        Rect{0, 0, 226, 130},
                        ui::kPopup | ui::kCaption | ui::kModalFrame,
                        "MS Sans Serif",
                        14,
                        {
                            PushButton(ui::kIdCancel, "SALIR", Rect{10, 110, 30, 9}),
                            Group("Imagen", Rect{55, 0, 165, 125}),
                            Label("n", Rect{15, 71, 8, 8}),
                            Label("k", Rect{15, 86, 8, 10}),
                            Group("Par\xE1metros", Rect{5, 60, 45, 40}),
                            {ControlKind::Edit, kEditN, "", Rect{25, 70, 10, 12}, edit},
                            {ControlKind::Edit, kEditK, "", Rect{25, 85, 10, 12}, edit},
                            PushButton(kButtonEncriptar, "Encriptar", Rect{5, 30, 45, 10}),
                            PushButton(kButtonDesencriptar, "Desencriptar", Rect{5, 45, 45, 10}),
                            PushButton(kButtonAbrir, "Abrir", Rect{15, 5, 20, 10}),
                        }};
}

DialogTemplate KxNDialog() {
  return DialogTemplate{kKxNDialog,
                        "(k,n)-threshold Visual Cryptography Scheme",
                        Rect{50, 50, 200, 80},
                        kParameterDialogStyle,
                        "",
                        0,
                        {
                            Label("Enter the qualified set threshold, k =", Rect{30, 15, 115, 8}),
                            DigitsBox(kEditThresholdK, Rect{147, 13, 20, 12}),
                            Label("Enter the number of participants, n =", Rect{30, 35, 115, 8}),
                            DigitsBox(kEditParticipantsN, Rect{147, 33, 20, 12}),
                            DefaultButton(ui::kIdOk, "OK", Rect{70, 60, 60, 15}),
                        }};
}

// NXNVCS, 2XNVCS and GENVCS differ only in name and caption.
DialogTemplate NOnlyDialog(const char* name, const char* caption) {
  return DialogTemplate{name,
                        caption,
                        Rect{50, 50, 200, 60},
                        kParameterDialogStyle,
                        "",
                        0,
                        {
                            Label("Enter the number of participants, n =", Rect{30, 15, 115, 8}),
                            DigitsBox(kEditParticipantsN, Rect{147, 13, 20, 12}),
                            DefaultButton(ui::kIdOk, "OK", Rect{70, 40, 60, 15}),
                        }};
}

DialogTemplate MinQualSetDialog() {
  return DialogTemplate{
      kMinQualSetDialog,
      "Choose the Minimal Qualified Sets",
      Rect{50, 50, 180, 200},
      kParameterDialogStyle,
      "",
      0,
      {
          {ControlKind::ListBox, kListCandidateSets, "", Rect{10, 10, 90, 190},
           ui::kBorder | ui::kVScroll | ui::kHScroll | ui::kMultipleSel | ui::kNotify},
          DefaultButton(ui::kIdOk, "OK", Rect{110, 50, 50, 15}),
          Label("Select each set of participants that comprises a minimal qualified \n"
                "set from the possible sets of participants in the list box.  When \n"
                "done, choose 'OK'.",
                Rect{108, 80, 64, 80}, kStaticSetsHelp),
      }};
}

DialogTemplate CoalesceDialog() {
  return DialogTemplate{kCoalesceDialog,
                        "",
                        Rect{50, 50, 111, 55},
                        ui::kPopup | ui::kCaption | ui::kBorder,
                        "MS Sans Serif",
                        14,
                        {
                            Label("\xBF"
                                  "Cuantas capas vas a combinar?",
                                  Rect{5, 5, 105, 8}),
                            DigitsBox(kEditLayerCount, Rect{50, 20, 10, 12}),
                            DefaultButton(ui::kIdOk, "OK", Rect{45, 40, 20, 10}),
                        }};
}

ui::MenuTemplate Menu() {
  using Item = ui::MenuItemTemplate;
  const Item separator;
  return ui::MenuTemplate{kMenu,
                          {
                              Item{"File",
                                   0,
                                   {
                                       Item{"Open SI...", kCmdOpenImage, {}},
                                       Item{"Close", kCmdCloseImage, {}},
                                       Item{"Close all", kCmdCloseAll, {}},
                                       Item{"Save current as...", kCmdSaveCurrentAs, {}},
                                       separator,
                                       Item{"Exit", kCmdExit, {}},
                                   }},
                              Item{"Encrypt", 0, {Item{"Encrypt SI", kCmdEncrypt, {}}}},
                              Item{"Coalesce", 0, {Item{"Combine shares...", kCmdCombine, {}}}},
                              Item{"Help",
                                   0,
                                   {
                                       Item{"Help...", kCmdHelp, {}},
                                       Item{"About Quillon...", kCmdAbout, {}},
                                   }},
                          }};
}

// Glyphs for open (a folder), save (a disk), encrypt (a padlock) and combine (two layers).
ui::ToolBarTemplate ToolBar() {
  using Entry = ui::ToolBarEntryTemplate;
  const Entry separator;
  return ui::ToolBarTemplate{
      kToolBar,
      ui::Size{16, 15},
      {Entry{kToolOpen, 0}, Entry{kToolSaveCurrentAs, 1}, separator, Entry{kToolEncrypt, 2},
       Entry{kToolCombine, 3}, separator, separator, separator},
      {
          "................................................................",
          ".................kkkkkkkkkkkkkk.......kkkk.......kkkkkkkkk......",
          ".................kbkwwwwwwwwkbk......kggggk......kwkwkwkwk......",
          ".kkkkk...........kbkwwwwwwwwkbk.....kgk..kgk.....kkwkwkwkk......",
          "kyyyyyk..........kbkwwwwwwwwkbk.....kgk..kgk.....kwkwkwkwk......",
          "kyyyyyykkkkkkk...kbkwwwwwwwwkbk.....kgk..kgk.....kkwkwkkkkkkkk..",
          "kyyyyyyyyyyyyk...kbbkkkkkkkkbbk...kkkkkkkkkkkk...kwkwkwkbkbkbk..",
          "kyykkkkkkkkkkkkk.kbbbbbbbbbbbbk...kyyyyyyyyyyk...kkwkwkkbkbkbk..",
          "kyykoooooooooook.kbbkkkkkkkkbbk...kyyyyykkyyyk...kwkwkwkbkbkbk..",
          "kykoooooooooook..kbbkggkwwwkbbk...kyyyyykkyyyk...kkkkkkkbkbkbk..",
          "kykoooooooooook..kbbkggkwwwkbbk...kyyyyyykyyyk........kbkbkbkk..",
          "kkoooooooooook...kbbkggkwwwkbbk...kyyyyyykyyyk........kkbkbkbk..",
          "kkkkkkkkkkkkkk...kkkkkkkkkkkkkk...kyyyyyyyyyyk........kbkbkbkk..",
          "..................................kkkkkkkkkkkk........kkkkkkkk..",
          "................................................................",
      },
      {{'.', 192, 192, 192},
       {'k', 0, 0, 0},
       {'w', 255, 255, 255},
       {'g', 128, 128, 128},
       {'y', 255, 255, 0},
       {'o', 128, 128, 0},
       {'b', 0, 0, 128}},
  };
}

ui::ResourceSet Build() {
  ui::ResourceSet set;
  set.dialogs = {
      PrincipDialog(),
      KxNDialog(),
      NOnlyDialog(kNxNDialog, "(n,n)-threshold Visual Cryptography Scheme"),
      NOnlyDialog(k2xNDialog, "(2,n)-threshold Visual Cryptography Scheme"),
      NOnlyDialog(kGenDialog, "General Access Structure VCS"),
      MinQualSetDialog(),
      CoalesceDialog(),
  };
  set.menus = {Menu()};
  set.toolbars = {ToolBar()};
  return set;
}

}  // namespace

const ui::ResourceSet& QuillonResources() {
  static const ui::ResourceSet resources = Build();
  return resources;
}

}  // namespace quillon::res
