#include "studio/wx/stack_widgets.h"

#include <filesystem>

namespace quillon::studio::wx {
wxString DialogTitle(const std::string& label) {
  const std::string ellipsis = "\u2026";
  if (label.size() >= ellipsis.size() &&
      label.compare(label.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0) {
    return wxString::FromUTF8(label.substr(0, label.size() - ellipsis.size()));
  }
  return wxString::FromUTF8(label);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  if (path.empty() || std::filesystem::path(path).has_extension())
    return path;
  return path + extension;
}

}  // namespace quillon::studio::wx
