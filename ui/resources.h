// Window resources as data: dialog templates with their controls in dialog units, menus and
// toolbars. A program writes its resources once as a ResourceSet; every backend builds its
// windows from the same data. Texts are byte strings exactly as the program holds them (a
// backend that shows them converts them for display). Plain values: copy them freely; the
// lookups are const and safe to share between threads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::ui {

// A rectangle; its meaning (dialog units or pixels) is the owner's.
struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
  bool operator==(const Rect&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// Standard command identifiers.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
// Controls without an identifier of their own (labels, group boxes).
constexpr int kIdStatic = -1;
// The identifier a frame gives its standard toolbar.
constexpr int kStandardToolBarId = 0xE800;

// Window and control styles, one bit each. Combine with |.
enum Style : uint32_t {
  kNoStyle = 0,
  // Windows.
  kVisible = 1u << 0,
  kPopup = 1u << 1,
  kCaption = 1u << 2,
  kSysMenu = 1u << 3,  // window menu and close box
  kModalFrame = 1u << 4,
  kThickFrame = 1u << 5,
  kMinimizeBox = 1u << 6,
  kMaximizeBox = 1u << 7,
  kBorder = 1u << 8,
  kTabStop = 1u << 9,
  kVScroll = 1u << 10,
  kHScroll = 1u << 11,
  kDisabled = 1u << 12,
  // Edit boxes.
  kNumber = 1u << 13,  // only digits can be typed
  kAutoHScroll = 1u << 14,
  // Buttons.
  kDefaultButton = 1u << 15,
  // List boxes and drop-down lists.
  kMultipleSel = 1u << 16,  // every click toggles one entry
  kNotify = 1u << 17,       // tells its parent about clicks and selection changes
  kSort = 1u << 18,
  kDropDownList = 1u << 19,  // pick from the list, no typing
  // Toolbars.
  kToolTips = 1u << 20,
  kFlyBy = 1u << 21,
  kAlignTop = 1u << 22,
};

constexpr uint32_t kOverlappedWindow =
    kCaption | kSysMenu | kThickFrame | kMinimizeBox | kMaximizeBox;

enum class ControlKind { PushButton, Edit, Static, GroupBox, ListBox, ComboBox };

struct ControlTemplate {
  ControlKind kind = ControlKind::Static;
  int id = kIdStatic;
  std::string text;
  Rect rect;  // dialog units
  uint32_t style = kNoStyle;
  bool operator==(const ControlTemplate&) const = default;
};

// A resource is named by a number or by a text; texts match without regard to ASCII case.
class ResourceName {
 public:
  ResourceName(int number) : m_number(number) {}  // NOLINT: names are written as literals
  ResourceName(const char* name) : m_name(name) {}
  ResourceName(std::string name) : m_name(std::move(name)) {}
  bool IsNumber() const { return m_number >= 0; }
  int Number() const { return m_number; }
  const std::string& Name() const { return m_name; }
  bool Matches(const ResourceName& other) const;
  // The number in decimal, or the name.
  std::string ToString() const;

 private:
  int m_number = -1;
  std::string m_name;
};

struct DialogTemplate {
  ResourceName name = 0;
  std::string caption;
  Rect rect;  // dialog units; width and height are those of the client area
  uint32_t style = kNoStyle;
  std::string fontName;  // empty: the system font
  int fontPoints = 0;
  std::vector<ControlTemplate> controls;  // in creation (and tab) order
};

struct MenuItemTemplate {
  std::string text;                     // empty for a separator
  int id = 0;                           // 0 for a separator and a pop-up
  std::vector<MenuItemTemplate> items;  // the items of a pop-up
  bool IsSeparator() const { return text.empty() && id == 0 && items.empty(); }
  bool IsPopup() const { return !items.empty(); }
};

struct MenuTemplate {
  ResourceName name = 0;
  std::vector<MenuItemTemplate> popups;
};

struct ToolBarEntryTemplate {
  int command = 0;  // 0: a separator
  int glyph = -1;   // index of the button's picture in the glyph strip
  bool IsSeparator() const { return command == 0; }
};

struct ToolBarTemplate {
  ResourceName name = 0;
  Size button;  // glyph size in pixels
  std::vector<ToolBarEntryTemplate> entries;
  // The glyph strip: rows of characters, one per pixel, button.width characters per glyph
  // side by side; each character is looked up in palette (character, red, green, blue).
  std::vector<std::string> glyphRows;
  struct Colour {
    char key;
    uint8_t red, green, blue;
  };
  std::vector<Colour> palette;
};

struct ResourceSet {
  std::vector<DialogTemplate> dialogs;
  std::vector<MenuTemplate> menus;
  std::vector<ToolBarTemplate> toolbars;

  // Null when no resource of that name exists.
  const DialogTemplate* FindDialog(const ResourceName& name) const;
  const MenuTemplate* FindMenu(const ResourceName& name) const;
  const ToolBarTemplate* FindToolBar(const ResourceName& name) const;
};

}  // namespace quillon::ui
