// Small pieces the stack panel and the print dialog share: the question for a file to save
// (behind a hook that tests and scripts replace, so that no native modal dialog waits for a
// user who is not there) and mnemonics for translated labels. GUI thread only.
#pragma once

#include <wx/string.h>
#include <wx/window.h>

#include <functional>
#include <string>
#include <vector>

namespace quillon::studio::wx {

struct SaveFileQuestion {
  wxString title;
  wxString folder;    // where the dialog starts; "" for the toolkit's default
  wxString name;      // the file name offered
  wxString wildcard;  // in wxFileDialog's form
};

// Answers with the chosen path (UTF-8), or "" when the user cancelled.
using SaveFileAsker = std::function<std::string(wxWindow* parent, const SaveFileQuestion&)>;

// Replaces how files to save are asked for; an empty asker restores the native file dialog
// (which asks before replacing a file). Returns the asker it replaced.
SaveFileAsker SetSaveFileAsker(SaveFileAsker asker);
// Asks through the current asker.
std::string AskSaveFile(wxWindow* parent, const SaveFileQuestion& question);

// A command's label ("Save PDF…") as the title of the dialog it opens: without the ellipsis.
wxString DialogTitle(const std::string& label);

// path with extension added when it has none ("stack" -> "stack.png"); extension with its dot.
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace quillon::studio::wx
