// What a backend does for the framework: run modal windows (dialogs, file dialogs, message
// boxes), show progress, start programs and tell the screen's size. Two kinds of backends
// implement it: a scripted one for tests (headless/) and real windows.
//
// Contract for every backend:
// - RunModal returns once dialog.IsEnded(), with dialog.Result(). Before it is called the
//   framework has made the dialog's controls and run its OnInitDialog; the backend feeds user
//   input through the functions of user_input.h, so that the model objects hold the truth.
//   A backend with real widgets builds them from the controls (MapDialogRect gives pixels),
//   refreshes them from the models after every input it feeds in (handlers change texts,
//   entries, selections and focus), and leaves its loop once the dialog IsEnded. A handler
//   that runs during the modal loop may open further modal windows: they nest.
// - RunFileDialog returns kIdOk after dialog.Accept(path) or kIdCancel.
// - ShowMessageBox returns kIdOk when the user has answered.
// - StartProgram starts a program by its bare name through the usual search path, with the
//   caller's environment and working directory; it never waits for it and leaves no zombie.
//   Returns whether the program was started.
// Single-threaded: call from the user-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "ui/resources.h"

namespace quillon::ui {

class Dialog;
class FileDialog;
class Window;

enum class MessageIcon { None, Exclamation };

struct MessageBoxRequest {
  const Window* owner = nullptr;  // may be null
  std::string caption;            // already defaulted to the application's name
  std::string text;
  MessageIcon icon = MessageIcon::None;
};

// A window that shows how far long work has come; it closes when destroyed. The work runs in
// the caller's loop, so Update is the moment a backend can redraw.
class ProgressDialog {
 public:
  virtual ~ProgressDialog() = default;
  // fraction: 0 to 1, never decreasing.
  virtual void Update(double fraction) = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  virtual int RunModal(Dialog& dialog) = 0;
  virtual int RunFileDialog(FileDialog& dialog) = 0;
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  virtual std::unique_ptr<ProgressDialog> OpenProgress(const Window* owner,
                                                       const std::string& caption,
                                                       const std::string& text) = 0;
  virtual bool StartProgram(const std::string& name) = 0;

  // The primary display in pixels.
  virtual Size ScreenSize() const = 0;
  // Pixels per 4 horizontal and per 8 vertical dialog units of a dialog made from this
  // template (they depend on its font).
  virtual Size DialogBaseUnits(const DialogTemplate& dialog) const = 0;
};

}  // namespace quillon::ui
