#include "studio/wx/app.h"

#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/translation.h>
#include <wx/uilocale.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "core/env.h"
#include "studio/settings.h"
#include "studio/wx/main_frame.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx {

void UseUserLanguage() {
  wxUILocale::UseDefault();
  // Files and messages write numbers the C way, whatever the user's language.
  std::setlocale(LC_NUMERIC, "C");
  if (const char* dir = std::getenv("QUILLON_STUDIO_LOCALE_DIR"); dir && *dir)
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(wxString::FromUTF8(dir));
  // Run from the build, the catalogs are in <build>/locale; installed, <prefix>/bin/quillon-
  // studio finds <prefix>/share/locale, wherever the prefix is.
  const wxFileName program(wxStandardPaths::Get().GetExecutablePath());
  wxFileName built(program.GetPath(), "");
  built.AppendDir("locale");
  wxFileTranslationsLoader::AddCatalogLookupPathPrefix(built.GetPath());
  wxFileName installed(program.GetPath(), "");
  installed.RemoveLastDir();
  installed.AppendDir("share");
  installed.AppendDir("locale");
  wxFileTranslationsLoader::AddCatalogLookupPathPrefix(installed.GetPath());
  auto* translations = new wxTranslations;
  wxTranslations::Set(translations);
  translations->AddStdCatalog();
  translations->AddCatalog("quillon-studio");
}

Texts TranslatedTexts() {
  return Texts(
      [](const char* english) { return Utf8(wxGetTranslation(wxString::FromUTF8(english))); });
}

bool StudioApp::OnInit() {
  // Not wxApp::OnInit: the command line is ours (a picture to open), not the toolkit's.
  wxInitAllImageHandlers();
  SetAppName("quillon-studio");
  SetAppDisplayName(kProgramName);
  // Settings in ~/.config, where a desktop keeps them, rather than a dot file in the home.
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  UseUserLanguage();
  m_texts = std::make_unique<Texts>(TranslatedTexts());
  m_document = std::make_unique<Document>(Env::Default());
  LoadSettings();
  auto* frame = new MainFrame(*m_document, *m_texts);
  frame->Show();
  // The recent files and the folders remember where the file is, not where we started.
  if (argc > 1) {
    wxFileName path(argv[1]);
    path.MakeAbsolute();
    frame->OpenSecret(Utf8(path.GetFullPath()));
  }
  return true;
}

int StudioApp::OnExit() {
  // The frame is gone by now; what it left in the document is kept.
  if (m_document)
    SaveSettings();
  return wxApp::OnExit();
}

void ReadSettings(wxConfigBase& config, Document& document) {
  SettingPairs pairs;
  wxString key;
  long cookie = 0;
  for (bool more = config.GetFirstEntry(key, cookie); more;
       more = config.GetNextEntry(key, cookie)) {
    pairs.emplace_back(Utf8(key), Utf8(config.Read(key, wxString())));
  }
  document.ApplySettings(SettingsFromPairs(pairs));
}

bool WriteSettings(wxConfigBase& config, const Document& document) {
  // Entries the settings no longer have (a shorter recent list) must not come back.
  config.DeleteAll();
  for (const auto& [key, value] : SettingsToPairs(document.Settings()))
    config.Write(wxString::FromUTF8(key), wxString::FromUTF8(value));
  return config.Flush();
}

void StudioApp::LoadSettings() {
  ReadSettings(*wxConfigBase::Get(), *m_document);
}

void StudioApp::SaveSettings() {
  // The window is gone: a failure is said on stderr, not in a dialog nobody asked for.
  wxLogNull quiet;
  const wxFileName file = wxFileConfig::GetLocalFile(GetAppName());
  // A fresh account may have no ~/.config yet.
  wxFileName::Mkdir(file.GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  if (!WriteSettings(*wxConfigBase::Get(), *m_document)) {
    std::fprintf(stderr, "quillon-studio: cannot save the settings in %s\n",
                 static_cast<const char*>(file.GetFullPath().utf8_str()));
  }
}

int RunStudio(int argc, char** argv) {
  wxApp::SetInstance(new StudioApp);
  if (!wxEntryStart(argc, argv)) {
    // wxEntryStart has undone its own start; cleaning up again would touch GTK without a
    // display, which aborts.
    std::fprintf(stderr, "quillon-studio: cannot open the display to show windows\n");
    return 1;
  }
  int status = 1;
  if (wxTheApp->CallOnInit()) {
    status = wxTheApp->OnRun();
    wxTheApp->OnExit();
  }
  wxEntryCleanup();
  return status;
}

}  // namespace quillon::studio::wx
