#include "ui/controls.h"

#include <algorithm>

namespace quillon::ui {

Control::Control(Window& parent, ControlKind kind, int id, std::string text, Rect rect,
                 uint32_t style)
    : m_text(std::move(text)),
      m_parent(parent),
      m_kind(kind),
      m_id(id),
      m_rect(rect),
      m_style(style) {}

void Control::Show(bool show) {
  m_style = show ? (m_style | kVisible) : (m_style & ~uint32_t{kVisible});
}

void Control::Enable(bool enable) {
  m_style = enable ? (m_style & ~uint32_t{kDisabled}) : (m_style | kDisabled);
}

void EditBox::SetText(std::string text) {
  m_text = std::move(text);
  m_selStart = m_selEnd = 0;
}

void EditBox::SetSel(int start, int end) {
  const int length = static_cast<int>(m_text.size());
  // -1 as the end stands for the end of the text, as in the edit control's messages.
  if (end < 0 || end > length)
    end = length;
  start = std::clamp(start, 0, end);
  m_selStart = start;
  m_selEnd = end;
}

int ListControlBase::AddString(std::string text) {
  int index = GetCount();
  if (HasStyle(kSort))
    index = static_cast<int>(std::upper_bound(m_entries.begin(), m_entries.end(), text) -
                             m_entries.begin());
  m_entries.insert(m_entries.begin() + index, std::move(text));
  EntryInserted(index);
  return index;
}

int ListControlBase::InsertString(int index, std::string text) {
  if (index == -1)
    index = GetCount();
  if (index < 0 || index > GetCount())
    return kNoEntry;
  m_entries.insert(m_entries.begin() + index, std::move(text));
  EntryInserted(index);
  return index;
}

int ListControlBase::DeleteString(int index) {
  if (index < 0 || index >= GetCount())
    return kNoEntry;
  m_entries.erase(m_entries.begin() + index);
  EntryDeleted(index);
  return GetCount();
}

void ListControlBase::ResetContent() {
  m_entries.clear();
  EntriesCleared();
}

std::string ListControlBase::GetEntry(int index) const {
  return index >= 0 && index < GetCount() ? m_entries[index] : std::string();
}

int ComboBox::SetCurSel(int index) {
  m_selection = index >= 0 && index < GetCount() ? index : kNoEntry;
  return m_selection;
}

void ComboBox::EntryInserted(int index) {
  if (m_selection >= index)
    ++m_selection;
}

void ComboBox::EntryDeleted(int index) {
  // Deleting the selected entry leaves nothing selected.
  if (m_selection == index)
    m_selection = kNoEntry;
  else if (m_selection > index)
    --m_selection;
}

bool ListBox::SetSel(int index, bool select) {
  if (!IsMultiple())
    return false;
  if (index == -1) {
    std::fill(m_selected.begin(), m_selected.end(), select);
    return true;
  }
  if (index < 0 || index >= GetCount())
    return false;
  m_selected[index] = select;
  return true;
}

bool ListBox::GetSel(int index) const {
  return index >= 0 && index < GetCount() && m_selected[index];
}

int ListBox::GetSelCount() const {
  return static_cast<int>(std::count(m_selected.begin(), m_selected.end(), true));
}

std::vector<int> ListBox::GetSelItems(int maxCount) const {
  std::vector<int> items;
  for (int i = 0; i < GetCount() && static_cast<int>(items.size()) < maxCount; ++i) {
    if (m_selected[i])
      items.push_back(i);
  }
  return items;
}

int ListBox::GetCurSel() const {
  if (IsMultiple())
    return kNoEntry;
  const auto it = std::find(m_selected.begin(), m_selected.end(), true);
  return it == m_selected.end() ? kNoEntry : static_cast<int>(it - m_selected.begin());
}

int ListBox::SetCurSel(int index) {
  if (IsMultiple())
    return kNoEntry;
  std::fill(m_selected.begin(), m_selected.end(), false);
  if (index < 0 || index >= GetCount())
    return kNoEntry;
  m_selected[index] = true;
  return index;
}

void ListBox::EntryInserted(int index) {
  m_selected.insert(m_selected.begin() + index, false);
}

void ListBox::EntryDeleted(int index) {
  m_selected.erase(m_selected.begin() + index);
}

}  // namespace quillon::ui
