#include "studio/wx/stack_widgets.h"

#include <wx/filedlg.h>

#include <filesystem>
#include <set>
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

// Letters by their code points, not by the C library's locale, which a program that has not
// set one reads as ASCII only (and would skip the "É" of a translated label).
bool IsLetter(wxUniChar::value_type c) {
  if (c < 0x80)
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (c >= 0xC0 && c <= 0x24F)
    return c != 0xD7 && c != 0xF7;  // Latin letters, not the signs × and ÷
  return c >= 0x370 && c < 0x2000;  // Greek, Cyrillic and on; not the punctuation block
}

// The lower-case form, for telling "S" and "s" as one mnemonic.
wxUniChar::value_type Lower(wxUniChar::value_type c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
    return c + 0x20;
  if (c >= 0x100 && c <= 0x17F && c % 2 == 0)
    return c + 1;  // Latin Extended-A pairs capital and small letters
  return c;
}

}  // namespace

SaveFileAsker SetSaveFileAsker(SaveFileAsker asker) {
  return std::exchange(CurrentAsker(), std::move(asker));
}

std::string AskSaveFile(wxWindow* parent, const SaveFileQuestion& question) {
  const SaveFileAsker& asker = CurrentAsker();
  return asker ? asker(parent, question) : NativeAsk(parent, question);
}

std::vector<wxString> WithMnemonics(const std::vector<std::string>& labels) {
  std::set<wxUniChar::value_type> taken;
  std::vector<wxString> out;
  for (const std::string& label : labels) {
    const wxString text = wxString::FromUTF8(label);
    // A letter at a word's start is the one a reader guesses; any letter will do after that.
    size_t at = wxString::npos;
    for (int pass = 0; pass < 2 && at == wxString::npos; ++pass) {
      for (size_t i = 0; i < text.length(); ++i) {
        const wxUniChar c = text[i];
        const bool wordStart = i == 0 || text[i - 1] == ' ';
        if (!IsLetter(c.GetValue()) || (pass == 0 && !wordStart))
          continue;
        const wxUniChar::value_type lower = Lower(c.GetValue());
        if (taken.count(lower) == 0) {
          taken.insert(lower);
          at = i;
          break;
        }
      }
    }
    wxString marked;
    for (size_t i = 0; i < text.length(); ++i) {
      if (i == at)
        marked += '&';
      if (text[i] == '&')
        marked += '&';
      marked += text[i];
    }
    out.push_back(marked);
  }
  return out;
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
