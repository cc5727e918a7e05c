// The Studio as a wx application: the user's language (the "quillon-studio" gettext catalog,
// looked up first in $QUILLON_STUDIO_LOCALE_DIR, then in <build>/locale beside a program run
// from the build, then in <prefix>/share/locale beside the installed program), the settings kept
// through wxConfig, and the main window, opening the picture named on the command line as the
// secret. One per process, on the GUI thread.
#pragma once

#include <wx/app.h>
#include <wx/config.h>

#include <memory>

#include "studio/document.h"
#include "studio/texts.h"

namespace quillon::studio::wx {

class StudioApp : public wxApp {
 public:
  bool OnInit() override;
  int OnExit() override;

 private:
  void LoadSettings();
  void SaveSettings();

  std::unique_ptr<Document> m_document;
  std::unique_ptr<Texts> m_texts;
};

// The settings as stored in config, read into the document (whose setters keep them within
// range), and the document's settings written over everything config held; false when they
// could not be written.
void ReadSettings(wxConfigBase& config, Document& document);
bool WriteSettings(wxConfigBase& config, const Document& document);

// Sets up the translations for the user's locale; called once the toolkit runs. Texts built
// after it speak the user's language.
void UseUserLanguage();
// Texts that translate through the catalogs UseUserLanguage loaded.
Texts TranslatedTexts();

// Runs the program. Without a display it says so in one line on stderr and answers 1.
int RunStudio(int argc, char** argv);

}  // namespace quillon::studio::wx
