#include "ui/frame.h"

#include "ui/application.h"

namespace quillon::ui {
namespace {

MenuItem FromTemplate(const MenuItemTemplate& source) {
  MenuItem item{source.text, source.id, true, false, {}};
  for (const MenuItemTemplate& child : source.items)
    item.items.push_back(FromTemplate(child));
  return item;
}

template <class Item>
Item* FindIn(std::vector<Item>& items, int id) {
  for (Item& item : items) {
    if (item.items.empty() && !item.IsSeparator() && item.id == id)
      return &item;
    if (Item* found = FindIn(item.items, id))
      return found;
  }
  return nullptr;
}

constexpr int kDefaultSeparatorWidth = 8;
constexpr int kButtonMarginX = 7;
constexpr int kButtonMarginY = 6;

}  // namespace

Menu::Menu(const MenuTemplate& source) {
  for (const MenuItemTemplate& popup : source.popups)
    m_popups.push_back(FromTemplate(popup));
}

MenuItem* Menu::Find(int id) {
  return FindIn(m_popups, id);
}

const MenuItem* Menu::Find(int id) const {
  return const_cast<Menu*>(this)->Find(id);
}

bool FrameWnd::Create(std::string caption, uint32_t style, Rect rect, Window* parent,
                      const std::optional<ResourceName>& menuName) {
  m_menu.reset();
  if (menuName) {
    const MenuTemplate* menu = App().Resources().FindMenu(*menuName);
    if (!menu)
      return false;
    m_menu.emplace(*menu);
  }
  CreateWindowModel(std::move(caption), style, rect, parent, 0, Size{rect.width, rect.height});
  return OnCreate();
}

bool ToolBar::Create(Window& parent, uint32_t style, int id) {
  CreateWindowModel(std::string(), style, Rect{}, &parent, id, Size{});
  return OnCreate();
}

bool ToolBar::LoadToolBar(const ResourceName& name) {
  const ToolBarTemplate* source = App().Resources().FindToolBar(name);
  if (!source)
    return false;
  m_source = source;
  m_entries.clear();
  for (const ToolBarEntryTemplate& entry : source->entries) {
    if (entry.IsSeparator())
      m_entries.push_back(ToolBarEntry{0, kSeparator, -1, 0});
    else
      m_entries.push_back(ToolBarEntry{entry.command, kButton, entry.glyph, 0});
  }
  return true;
}

void ToolBar::SetButtonInfo(int index, int id, uint32_t style, int imageOrWidth) {
  ToolBarEntry& entry = m_entries[index];
  entry.command = id;
  entry.style = style;
  if (style & kSeparator) {
    entry.width = imageOrWidth;
    entry.glyph = -1;
  } else {
    entry.glyph = imageOrWidth;
    entry.width = 0;
  }
}

void ToolBar::SetButtonStyle(int index, uint32_t style) {
  m_entries[index].style = style;
}

Rect ToolBar::GetItemRect(int index) const {
  const Size glyph = m_source ? m_source->button : Size{16, 15};
  const int height = glyph.height + kButtonMarginY;
  int x = 0;
  for (int i = 0; i <= index && i < GetCount(); ++i) {
    const ToolBarEntry& entry = m_entries[i];
    int width = glyph.width + kButtonMarginX;
    if (entry.style & kSeparator)
      width = entry.width > 0 ? entry.width : kDefaultSeparatorWidth;
    if (i == index)
      return Rect{x, 0, width, height};
    x += width;
  }
  return Rect{};
}

int ToolBar::CommandToIndex(int id) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (m_entries[i].command == id)
      return i;
  }
  return -1;
}

bool ToolBar::ClickButton(int index) {
  if (index < 0 || index >= GetCount() || (m_entries[index].style & kSeparator))
    return false;
  ToolBarEntry& clicked = m_entries[index];
  if ((clicked.style & kCheckGroup) == kCheckGroup) {
    auto inGroup = [this](int i) {
      return i >= 0 && i < GetCount() && (m_entries[i].style & kCheckGroup) == kCheckGroup;
    };
    for (int i = index - 1; inGroup(i); --i)
      m_entries[i].style &= ~uint32_t{kChecked};
    for (int i = index + 1; inGroup(i); ++i)
      m_entries[i].style &= ~uint32_t{kChecked};
    clicked.style |= kChecked;
  } else if (clicked.style & kCheck) {
    clicked.style ^= kChecked;
  }
  return SendCommand(clicked.command);
}

bool ToolBar::OnCommand(int id, Notify code) {
  Window* owner = GetOwner();
  return owner && owner != this && owner->SendCommand(id, code);
}

}  // namespace quillon::ui
