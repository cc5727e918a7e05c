// The list of registered images: at most 25 entries, each a path (a full path for an opened
// file, a plain name for a share or a result) and the label its selector shows, and the
// selected entry. The desktop program mirrors it in its image selector; this holds the rules.
// Not thread-safe.
#pragma once

#include <array>
#include <string>

namespace quillon {

constexpr int kMaxImages = 25;
constexpr int kNoImage = -1;

class ImageList {
 public:
  // Appends an entry without touching the selection. A full list first drops its last entry,
  // so the new one takes its place and entries 0 to 23 stay.
  void RegisterImage(const std::string& path, const std::string& label);

  int Count() const { return m_imageCount; }
  // 0 <= index < Count().
  const std::string& Name(int index) const { return m_imageNames[index]; }
  const std::string& Label(int index) const { return m_labels[index]; }

  // kNoImage when nothing is selected. Selecting an index out of range selects nothing.
  int Selection() const { return m_selection; }
  void Select(int index);
  // The selected entry's path, or null.
  const std::string* SelectedName() const;

  // Removes the selected entry (later ones move down by one) and selects entry 0, or nothing
  // when the list is left empty. Returns false, changing nothing, when nothing is selected.
  bool CloseSelected();
  // Empties the list.
  void CloseAll();
  // Gives the selected entry a new path and label, keeping it selected. False when nothing
  // is selected.
  bool RenameSelected(const std::string& path, const std::string& label);

 private:
  std::array<std::string, kMaxImages> m_imageNames;
  std::array<std::string, kMaxImages> m_labels;
  int m_imageCount = 0;
  int m_selection = kNoImage;
};

}  // namespace quillon
