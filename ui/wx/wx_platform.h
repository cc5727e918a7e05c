// The framework's backend with real windows, on wxWidgets 3.2 (GTK on Linux).
//
// Dialogs are built from the same templates as every backend: the template's font (or a close
// match when the system lacks it; no font means the toolkit's GUI font), positions and sizes
// in dialog units converted by the toolkit's own rule for that font. Every user action on a
// widget is fed into the models through user_input.h; after each one the widgets of every
// open dialog are refreshed from their models (texts, entries, selections, visibility,
// enabled state, focus) and the client surfaces that the program drew on are presented.
// File dialogs, message boxes and progress windows are the toolkit's own. Frames are real
// windows while their model is visible: menu, toolbar (glyphs from the resource, drop-down
// lists where the program put them) and the client surface below; the backend looks for them
// whenever it is idle and after every user action (SyncWindows).
//
// Texts go through a decoder for display (Windows-1252 by default; see windows1252.h) and
// back through EncodeWindows1252 when the user types them. File names chosen in file dialogs
// are handed to the program as the system's own bytes.
//
// What a program draws on a window's client surface (Window::Client) is what that window
// shows, repaints included: a dialog's client area starts in the dialog colour, which stays
// transparent over the group boxes; pixels of any other colour cover them.
//
// The toolkit must be initialised (RunWithToolkit) before a WxPlatform is made, and the
// platform destroyed before it is cleaned up. Single-threaded: the user-interface thread only.
// A program's main() then reads:
//
//   return ui::wx::RunWithToolkit(argc, argv, [&] {
//     ui::wx::WxPlatform platform;
//     MyApp app(platform, resources, ui::Application::NameFromPath(argv[0]));
//     const int status = app.Run();
//     platform.RunWhileFramesVisible(app);
//     return status;
//   });
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <wx/evtloop.h>
#include <wx/font.h>
#include <wx/string.h>
#include <wx/window.h>

#include "ui/platform.h"

namespace quillon::ui {
class Application;
class Control;
class Window;
}  // namespace quillon::ui

namespace quillon::ui::wx {

using TextDecoder = std::function<wxString(std::string_view)>;

class DialogView;
class FrameView;

class WxPlatform : public Platform {
 public:
  // decoder: program texts to display texts; null means Windows-1252.
  explicit WxPlatform(TextDecoder decoder = nullptr);
  ~WxPlatform() override;
  WxPlatform(const WxPlatform&) = delete;
  WxPlatform& operator=(const WxPlatform&) = delete;

  int RunModal(Dialog& dialog) override;
  int RunFileDialog(FileDialog& dialog) override;
  int ShowMessageBox(const MessageBoxRequest& request) override;
  // The toolkit's progress dialog, shown once the work has taken ProgressDelay().
  std::unique_ptr<ProgressDialog> OpenProgress(const Window* owner, const std::string& caption,
                                               const std::string& text) override;
  bool StartProgram(const std::string& name) override;
  Size ScreenSize() const override;
  // The toolkit's dialog base units for the template's font: the average width of the ASCII
  // letters and the character height, in pixels.
  Size DialogBaseUnits(const DialogTemplate& dialog) const override;

  // Makes, refreshes and destroys the real frames of app's model frames: a frame has a real
  // window exactly while its model is visible. Runs by itself when idle and after input.
  void SyncWindows(Application& app);
  // Runs the event loop until none of app's frames is visible (for programs that leave a
  // frame running when their start-up returns). Returns at once when none is.
  void RunWhileFramesVisible(Application& app);

  // The real window showing a model window (a dialog in its modal loop, a visible frame), or
  // null. For tests and for owners of the toolkit's own dialogs.
  wxWindow* ViewOf(const Window* window) const;
  // The widget of a model dialog's or frame's control, or null.
  wxWindow* ControlView(const Window* window, int id) const;

  void SetProgressDelay(std::chrono::milliseconds delay) { m_progressDelay = delay; }
  std::chrono::milliseconds ProgressDelay() const { return m_progressDelay; }

  // The font a dialog made from this template shows.
  wxFont FontFor(const DialogTemplate& dialog) const;
  wxString Decode(std::string_view text) const { return m_decoder(text); }

 private:
  friend class DialogView;
  friend class FrameView;
  // The window the toolkit's own dialogs belong to: the owner's view, else the innermost
  // modal dialog, else none.
  wxWindow* ParentFor(const Window* owner) const;
  // After a user action: paint what waits, then bring every view in step with its model.
  void AfterInput(Application& app);

  TextDecoder m_decoder;
  std::chrono::milliseconds m_progressDelay{500};
  std::vector<DialogView*> m_modal;        // innermost last
  std::vector<FrameView*> m_frames;        // toolkit windows: destroyed with Destroy()
  wxEventLoopBase* m_frameLoop = nullptr;  // RunWhileFramesVisible's loop
  mutable wxWindow* m_measure = nullptr;   // a hidden window that measures fonts
  bool m_syncing = false;
};

// Initialises the toolkit for this process, runs body and cleans up. Returns body's result,
// or 1 with a message on stderr when there is no display to show windows on.
int RunWithToolkit(int argc, char** argv, const std::function<int()>& body);

}  // namespace quillon::ui::wx
