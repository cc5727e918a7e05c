#include "ui/resources.h"

#include <cctype>

namespace quillon::ui {
namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

template <class T>
const T* FindByName(const std::vector<T>& items, const ResourceName& name) {
  for (const T& item : items) {
    if (item.name.Matches(name))
      return &item;
  }
  return nullptr;
}

}  // namespace

bool ResourceName::Matches(const ResourceName& other) const {
  if (IsNumber() || other.IsNumber())
    return m_number == other.m_number;
  return SameIgnoringCase(m_name, other.m_name);
}

std::string ResourceName::ToString() const {
  return IsNumber() ? std::to_string(m_number) : m_name;
}

const DialogTemplate* ResourceSet::FindDialog(const ResourceName& name) const {
  return FindByName(dialogs, name);
}

const MenuTemplate* ResourceSet::FindMenu(const ResourceName& name) const {
  return FindByName(menus, name);
}

const ToolBarTemplate* ResourceSet::FindToolBar(const ResourceName& name) const {
  return FindByName(toolbars, name);
}

}  // namespace quillon::ui
