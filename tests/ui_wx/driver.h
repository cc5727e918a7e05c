// Plays the user on real windows, for tests under a virtual display. Steps are met in order
// by the modal windows the program opens: a dialog of the framework (then its moves run one
// by one from a timer inside its modal loop, so a move that opens another modal window lets
// that window's steps run nested), a message box (answered OK without showing, through the
// toolkit's modal hook), a file dialog (given a path or cancelled). A window no step expects,
// one of another title, or a dialog whose moves have run out while it stays open for a few
// seconds is a failure: it is cancelled so the program unwinds, and reported by Finish.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/modalhook.h>
#include <wx/timer.h>

#include "ui/wx/views.h"

namespace quillon::ui::wx::testing {

using Move = std::function<void(DialogView&)>;

struct MessageSeen {
  wxString caption;
  wxString text;
};

struct FileDialogSeen {
  wxString title;
  wxString wildcard;
  long style = 0;
  wxString chosen;
};

class Driver : public wxModalDialogHook {
 public:
  Driver();
  ~Driver() override;

  Driver& Dialog(wxString title, std::vector<Move> moves);
  Driver& Message(wxString text);
  // A message box really shown; whileShown runs once from the timer while it is on screen
  // and must close it (a simulated key, say).
  Driver& ShowMessage(wxString text, std::function<void(wxDialog&)> whileShown);
  Driver& ChooseFile(wxString title, wxString path);
  Driver& CancelFile(wxString title);

  // Failures and steps left, one per line; empty when the program met the steps exactly.
  std::string Finish();
  const std::vector<MessageSeen>& Messages() const { return m_messages; }
  const std::vector<FileDialogSeen>& Files() const { return m_files; }

 protected:
  int Enter(wxDialog* dialog) override;
  void Exit(wxDialog* dialog) override;

 private:
  struct Step {
    enum Kind { kDialog, kMessage, kFile } kind;
    wxString title;
    std::vector<Move> moves;
    wxString path;  // file steps; empty: cancel
    std::function<void(wxDialog&)> whileShown;
  };
  struct Active {
    DialogView* view;
    std::deque<Move> moves;
  };
  int Answer(wxDialog* dialog);
  void Fail(const std::string& failure);
  void Tick();

  std::deque<Step> m_steps;
  std::vector<Active> m_active;  // innermost last
  std::vector<std::string> m_failures;
  std::vector<MessageSeen> m_messages;
  std::vector<FileDialogSeen> m_files;
  wxTimer m_timer;
  int m_idleTicks = 0;
  bool m_inEnter = false;
  wxDialog* m_shownBox = nullptr;
  std::function<void(wxDialog&)> m_whileShown;
};

// Moves.
Move Click(int id);
Move Type(int id, const std::string& text);
Move Key(int keyCode);  // Escape, Return: as the dialog hears them
Move Check(std::function<void(DialogView&)> check);
// Ends the modal loop the way the toolkit would if the window were closed under the program.
Move CloseBox();

// The pixels now on screen in the rectangle (screen coordinates), captured from the root
// window of the display; an empty image when capturing failed.
wxImage CaptureScreen(const wxRect& rect);
// Dispatches pending events of the active loop for about the given time.
void Pump(int milliseconds);
// Dispatches events until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000);

}  // namespace quillon::ui::wx::testing
