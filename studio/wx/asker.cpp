#include "studio/wx/asker.h"
#include "studio/wx/wx_text.h"

#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

namespace quillon::studio::wx {
namespace {

class DialogAsker : public Asker {
 public:
  std::vector<std::string> OpenFiles(wxWindow* parent, const std::string& title,
                                     const std::string& folder, const std::string& filter,
                                     bool several) override {
    wxFileDialog dialog(parent, Wx(title), Wx(folder), wxEmptyString, Wx(filter),
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST | (several ? wxFD_MULTIPLE : 0));
    std::vector<std::string> files;
    if (dialog.ShowModal() != wxID_OK)
      return files;
    wxArrayString paths;
    dialog.GetPaths(paths);
    for (const wxString& path : paths)
      files.push_back(Utf8(path));
    return files;
  }

  std::string ChooseFolder(wxWindow* parent, const std::string& title,
                           const std::string& folder) override {
    wxDirDialog dialog(parent, Wx(title), Wx(folder), wxDD_DEFAULT_STYLE);
    if (dialog.ShowModal() != wxID_OK)
      return "";
    return Utf8(dialog.GetPath());
  }

  bool Confirm(wxWindow* parent, const std::string& message, const std::string& yes) override {
    wxMessageDialog dialog(parent, Wx(message),
                           wxTheApp ? wxTheApp->GetAppDisplayName() : wxString(),
                           wxOK | wxCANCEL | wxICON_QUESTION);
    dialog.SetOKLabel(Wx(yes));
    return dialog.ShowModal() == wxID_OK;
  }

  std::string SaveFile(wxWindow* parent, const SaveFileQuestion& question) override {
    wxFileDialog dialog(parent, question.title, question.folder, question.name, question.wildcard,
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
      return "";
    return Utf8(dialog.GetPath());
  }
};

}  // namespace

std::unique_ptr<Asker> MakeDialogAsker() {
  return std::make_unique<DialogAsker>();
}

}  // namespace quillon::studio::wx
