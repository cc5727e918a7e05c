// The questions the Studio's window asks the user through modal dialogs: which files, which
// folder, whether to go on. The window asks through this interface only, so that GUI tests
// answer in place of the user instead of driving native dialogs. GUI thread only.
#pragma once

#include <wx/string.h>

#include <memory>
#include <string>
#include <vector>

class wxWindow;

namespace quillon::studio::wx {

struct SaveFileQuestion {
  wxString title;
  wxString folder;    // where the dialog starts; "" for the toolkit's default
  wxString name;      // the file name offered
  wxString wildcard;  // in wxFileDialog's form
};

class Asker {
 public:
  virtual ~Asker() = default;
  // The files chosen (one unless several), in the order given; empty when cancelled.
  virtual std::vector<std::string> OpenFiles(wxWindow* parent, const std::string& title,
                                             const std::string& folder, const std::string& filter,
                                             bool several) = 0;
  // A folder; "" when cancelled.
  virtual std::string ChooseFolder(wxWindow* parent, const std::string& title,
                                   const std::string& folder) = 0;
  // Whether the user goes on: yes is the label of the button that does.
  virtual bool Confirm(wxWindow* parent, const std::string& message, const std::string& yes) = 0;
  // A file to save to (UTF-8); "" when cancelled. The toolkit's dialog asks before replacing.
  virtual std::string SaveFile(wxWindow* parent, const SaveFileQuestion& question) = 0;
};

// The toolkit's own dialogs.
std::unique_ptr<Asker> MakeDialogAsker();

// Forwards to an asker that may be replaced while the window lives.
class AskerSlot : public Asker {
 public:
  AskerSlot() : m_asker(MakeDialogAsker()) {}
  void Replace(std::unique_ptr<Asker> asker) { m_asker = std::move(asker); }

  std::vector<std::string> OpenFiles(wxWindow* parent, const std::string& title,
                                     const std::string& folder, const std::string& filter,
                                     bool several) override {
    return m_asker->OpenFiles(parent, title, folder, filter, several);
  }
  std::string ChooseFolder(wxWindow* parent, const std::string& title,
                           const std::string& folder) override {
    return m_asker->ChooseFolder(parent, title, folder);
  }
  bool Confirm(wxWindow* parent, const std::string& message, const std::string& yes) override {
    return m_asker->Confirm(parent, message, yes);
  }
  std::string SaveFile(wxWindow* parent, const SaveFileQuestion& question) override {
    return m_asker->SaveFile(parent, question);
  }

 private:
  std::unique_ptr<Asker> m_asker;
};

}  // namespace quillon::studio::wx
