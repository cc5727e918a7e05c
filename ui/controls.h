// Controls as model objects: each holds its whole state (text, entries, selection,
// visibility, enabled state), so a program's behaviour can be observed without a display.
// The methods here are what the program does to a control; what a user does (typing,
// clicking, choosing) is in user_input.h and ends in notifications to the parent window.
// Entry indices follow the list-control conventions: -1 (kNoEntry) stands for "none" and is
// what the operations return for an index out of range. Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/resources.h"

namespace quillon::ui {

class Window;

constexpr int kNoEntry = -1;

class Control {
 public:
  // A control shows when its style holds kVisible.
  Control(Window& parent, ControlKind kind, int id, std::string text, Rect rect, uint32_t style);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Window& Parent() const { return m_parent; }
  ControlKind Kind() const { return m_kind; }
  int Id() const { return m_id; }
  // Dialog units for controls made from a dialog template, pixels otherwise.
  const Rect& GetRect() const { return m_rect; }
  void SetRect(const Rect& rect) { m_rect = rect; }
  uint32_t Style() const { return m_style; }
  bool HasStyle(uint32_t style) const { return (m_style & style) == style; }

  virtual std::string Text() const { return m_text; }
  virtual void SetText(std::string text) { m_text = std::move(text); }

  bool IsVisible() const { return HasStyle(kVisible); }
  void Show(bool show);
  bool IsEnabled() const { return !HasStyle(kDisabled); }
  void Enable(bool enable);
  // Whether the user can reach it: visible and enabled.
  bool IsUsable() const { return IsVisible() && IsEnabled(); }

 protected:
  std::string m_text;

 private:
  Window& m_parent;
  ControlKind m_kind;
  int m_id;
  Rect m_rect;
  uint32_t m_style;
};

class EditBox : public Control {
 public:
  using Control::Control;
  void SetText(std::string text) override;
  // The selected characters: start <= end, clamped to the text.
  void SetSel(int start, int end);
  int SelStart() const { return m_selStart; }
  int SelEnd() const { return m_selEnd; }

 private:
  int m_selStart = 0;
  int m_selEnd = 0;
};

// Entries kept in insertion order, or sorted when the control has kSort.
class ListControlBase : public Control {
 public:
  using Control::Control;
  // Index of the new entry.
  int AddString(std::string text);
  // Inserts before index (-1: at the end). Returns the new index or kNoEntry.
  int InsertString(int index, std::string text);
  // Returns the number of entries left, or kNoEntry when index is out of range.
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  // Empty for an index out of range.
  std::string GetEntry(int index) const;
  const std::vector<std::string>& Entries() const { return m_entries; }

 protected:
  // Keeps selections on their entries when entries come and go.
  virtual void EntryInserted(int index) = 0;
  virtual void EntryDeleted(int index) = 0;
  virtual void EntriesCleared() = 0;
  std::vector<std::string> m_entries;
};

// A drop-down list: the user picks one entry and cannot type. Its text is the selected
// entry's.
class ComboBox : public ListControlBase {
 public:
  // The rectangle's height is that of the opened list.
  ComboBox(Window& parent, int id, Rect rect, uint32_t style)
      : ListControlBase(parent, ControlKind::ComboBox, id, "", rect, style) {}
  std::string Text() const override { return GetEntry(m_selection); }
  int GetCurSel() const { return m_selection; }
  // An index out of range clears the selection and returns kNoEntry.
  int SetCurSel(int index);
  int DropHeight() const { return GetRect().height; }

 private:
  void EntryInserted(int index) override;
  void EntryDeleted(int index) override;
  void EntriesCleared() override { m_selection = kNoEntry; }
  int m_selection = kNoEntry;
};

// A list box; with kMultipleSel any number of entries are selected independently.
class ListBox : public ListControlBase {
 public:
  using ListControlBase::ListControlBase;
  bool IsMultiple() const { return HasStyle(kMultipleSel); }
  // Multiple selection: selects or deselects one entry (-1: every entry).
  bool SetSel(int index, bool select);
  bool GetSel(int index) const;
  int GetSelCount() const;
  // The selected indices in increasing order, at most maxCount of them.
  std::vector<int> GetSelItems(int maxCount) const;
  // Single selection: the selected entry, or kNoEntry.
  int GetCurSel() const;
  int SetCurSel(int index);

 private:
  void EntryInserted(int index) override;
  void EntryDeleted(int index) override;
  void EntriesCleared() override { m_selected.clear(); }
  std::vector<bool> m_selected;  // one flag per entry
};

}  // namespace quillon::ui
