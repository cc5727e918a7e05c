// The few session steps that share generation needs from its host: the desktop program's
// frame implements them with its image list and message boxes, quillon-cli with plain files
// and stderr.
#pragma once

#include <optional>
#include <string>

#include "core/report.h"

namespace quillon {

class ShareSession {
 public:
  virtual ~ShareSession() = default;

  // Appends a share to the image list (path and label are both the share's name).
  virtual void RegisterImage(const std::string& path, const std::string& label) = 0;
  // Selects list entry (image count - m), the first of the m new shares when the list had
  // room for them, and redraws the canvas from it.
  virtual void SelectFirstNewShare(int m) = 0;
  // A modal message with an OK button; an empty caption stands for the application's title.
  virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
  // Asks for an existing BMP file under the given dialog title; nullopt when cancelled.
  virtual std::optional<std::string> ChooseInnocentImage(const std::string& title) = 0;
  // How far the share work has come, 0 to 1, every few rows; hosts show it for long work.
  virtual void ShowProgress(double /*fraction*/) {}
  // Where a share of this name is written; the desktop program writes to the working folder.
  virtual std::string OutputPath(const std::string& name) { return name; }
};

// The session's message boxes as the reporter of Load and Save, so that their messages reach
// the user the way every other message does.
inline Reporter SessionReporter(ShareSession& session) {
  return [&session](const std::string& caption, const std::string& text) {
    session.ShowMessage(caption, text);
  };
}

}  // namespace quillon
