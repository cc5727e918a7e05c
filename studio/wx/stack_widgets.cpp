#include "studio/wx/stack_widgets.h"

#include <wx/filedlg.h>

#include <filesystem>
#include <utility>

namespace quillon::studio::wx {
namespace {

SaveFileAsker& CurrentAsker() {
  static SaveFileAsker asker;
  return asker;
}

std::string NativeAsk(wxWindow* parent, const SaveFileQuestion& question) {
  wxFileDialog dialog(parent, question.title, question.folder, question.name, question.wildcard,
                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK)
    return "";
  return std::string(dialog.GetPath().utf8_str());
}

}  // namespace

SaveFileAsker SetSaveFileAsker(SaveFileAsker asker) {
  return std::exchange(CurrentAsker(), std::move(asker));
}

std::string AskSaveFile(wxWindow* parent, const SaveFileQuestion& question) {
  const SaveFileAsker& asker = CurrentAsker();
  return asker ? asker(parent, question) : NativeAsk(parent, question);
}

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
