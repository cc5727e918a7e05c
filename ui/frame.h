// Frame windows with a menu, and toolbars.
//
// A FrameWnd is a top-level window; Create makes it from a caption, style, rectangle (pixels)
// and a menu resource, and runs OnCreate. It is visible only when its style holds kVisible
// or ShowWindow(true) is called. Menu items send their identifier as a command to the frame.
//
// A ToolBar is a child window whose entries (buttons and separators) come from a toolbar
// resource. A button click sends its command to the toolbar, which hands commands it does
// not handle itself on to its owner (the frame). LoadToolBar replaces the entries, and with
// them every style and width set since; child controls made on the toolbar (drop-down lists
// on separators) are separate windows and stay as they are. Item rectangles are laid out
// left to right from the entries: a button is its glyph plus 7 x 6 pixels, a separator
// 8 pixels wide unless given a width. Not thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace quillon::ui {

struct MenuItem {
  std::string text;
  int id = 0;
  bool enabled = true;
  bool checked = false;
  std::vector<MenuItem> items;  // a pop-up's items
  bool IsSeparator() const { return text.empty() && id == 0 && items.empty(); }
};

class Menu {
 public:
  Menu() = default;
  explicit Menu(const MenuTemplate& source);
  const std::vector<MenuItem>& Popups() const { return m_popups; }
  // The command item with this identifier, searched through every pop-up; null if none.
  MenuItem* Find(int id);
  const MenuItem* Find(int id) const;

 private:
  std::vector<MenuItem> m_popups;
};

class FrameWnd : public Window {
 public:
  explicit FrameWnd(Application& app) : Window(app) {}

  // Fails when the named menu does not exist; no name means no menu.
  bool Create(std::string caption, uint32_t style, Rect rect, Window* parent,
              const std::optional<ResourceName>& menuName);
  // Null when the frame has no menu.
  Menu* GetMenu() { return m_menu ? &*m_menu : nullptr; }
  const Menu* GetMenu() const { return m_menu ? &*m_menu : nullptr; }

 protected:
  // Runs at the end of Create; false makes Create fail.
  virtual bool OnCreate() { return true; }

 private:
  std::optional<Menu> m_menu;
};

// Toolbar entry styles; kChecked is the state of a check button.
enum ButtonStyle : uint32_t {
  kButton = 0,
  kSeparator = 1u << 0,
  kCheck = 1u << 1,
  kGroup = 1u << 2,
  kCheckGroup = kCheck | kGroup,
  kChecked = 1u << 8,
};

struct ToolBarEntry {
  int command = 0;
  uint32_t style = kButton;
  int glyph = -1;  // buttons
  int width = 0;   // separators; 0: the default width
};

class ToolBar : public Window {
 public:
  explicit ToolBar(Application& app) : Window(app) {}

  // Makes the toolbar a child of parent (its owner too) and runs OnCreate.
  bool Create(Window& parent, uint32_t style, int id);
  // Replaces the entries by the resource's. False when there is no such resource.
  bool LoadToolBar(const ResourceName& name);
  // The resource last loaded, or null.
  const ToolBarTemplate* Source() const { return m_source; }

  int GetCount() const { return static_cast<int>(m_entries.size()); }
  // Callers keep 0 <= index < GetCount().
  const ToolBarEntry& GetEntry(int index) const { return m_entries[index]; }
  // Turns an entry into a button (imageOrWidth: glyph) or a separator (imageOrWidth: width).
  void SetButtonInfo(int index, int id, uint32_t style, int imageOrWidth);
  void SetButtonStyle(int index, uint32_t style);
  uint32_t GetButtonStyle(int index) const { return m_entries[index].style; }
  // Pixels, relative to the toolbar.
  Rect GetItemRect(int index) const;
  // Index of the entry carrying this command, or -1.
  int CommandToIndex(int id) const;

  // A click on entry index: a check button latches (a check group keeps one of its
  // contiguous buttons down), then the command goes out. Separators do nothing. Returns
  // whether a handler ran.
  bool ClickButton(int index);

 protected:
  // Runs inside Create; false makes Create fail.
  virtual bool OnCreate() { return true; }
  // Hands what the toolbar does not handle to its owner.
  bool OnCommand(int id, Notify code) override;

 private:
  std::vector<ToolBarEntry> m_entries;
  const ToolBarTemplate* m_source = nullptr;
};

}  // namespace quillon::ui
