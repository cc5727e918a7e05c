#include "tests/ui_wx/driver.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/imagpnm.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

namespace quillon::ui::wx::testing {

namespace {
// A dialog whose moves are done gets this many ticks to end before it counts as stuck.
constexpr int kStuckTicks = 100;
constexpr int kTickMs = 30;

// The title in quotes. Built by appending: g++ 12 warns falsely about "literal" + string.
std::string Quoted(const wxString& title) {
  std::string text(1, '"');
  text.append(title.utf8_str());
  text.push_back('"');
  return text;
}
}  // namespace

Driver::Driver() {
  Register();
  m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
  m_timer.Start(kTickMs);
}

Driver::~Driver() {
  m_timer.Stop();
  Unregister();
}

Driver& Driver::Dialog(wxString title, std::vector<Move> moves) {
  m_steps.push_back(Step{Step::kDialog, std::move(title), std::move(moves), wxString(), nullptr});
  return *this;
}

Driver& Driver::Message(wxString text) {
  m_steps.push_back(Step{Step::kMessage, std::move(text), {}, wxString(), nullptr});
  return *this;
}

Driver& Driver::ShowMessage(wxString text, std::function<void(wxDialog&)> whileShown) {
  m_steps.push_back(Step{Step::kMessage, std::move(text), {}, wxString(), std::move(whileShown)});
  return *this;
}

Driver& Driver::ChooseFile(wxString title, wxString path) {
  m_steps.push_back(Step{Step::kFile, std::move(title), {}, std::move(path), nullptr});
  return *this;
}

Driver& Driver::CancelFile(wxString title) {
  return ChooseFile(std::move(title), wxString());
}

void Driver::Fail(const std::string& failure) {
  m_failures.push_back(failure);
}

std::string Driver::Finish() {
  std::string report;
  for (const std::string& failure : m_failures)
    report += failure + "\n";
  for (const Step& step : m_steps)
    report += "step not played: " + std::string(step.title.utf8_str()) + "\n";
  m_failures.clear();
  m_steps.clear();
  return report;
}

int Driver::Enter(wxDialog* dialog) {
  // The file dialog's wait below dispatches events: no move may run meanwhile.
  m_inEnter = true;
  const int answer = Answer(dialog);
  m_inEnter = false;
  return answer;
}

int Driver::Answer(wxDialog* dialog) {
  const auto expected = [&](Step::Kind kind, const wxString& title) -> bool {
    if (m_steps.empty()) {
      Fail(Quoted(title) + " opened, but no step was left");
      return false;
    }
    if (m_steps.front().kind != kind || m_steps.front().title != title) {
      Fail(Quoted(title) + " opened, but the next step expected " + Quoted(m_steps.front().title));
      return false;
    }
    return true;
  };
  if (auto* box = dynamic_cast<wxMessageDialog*>(dialog)) {
    m_messages.push_back(MessageSeen{box->GetTitle(), box->GetMessage()});
    if (!expected(Step::kMessage, box->GetMessage()))
      return wxID_OK;
    const Step step = m_steps.front();
    m_steps.pop_front();
    if (!step.whileShown)
      return wxID_OK;
    m_shownBox = box;
    m_whileShown = step.whileShown;
    m_idleTicks = 0;
    return wxID_NONE;
  }
  if (auto* file = dynamic_cast<wxFileDialog*>(dialog)) {
    m_files.push_back(FileDialogSeen{file->GetMessage(), file->GetWildcard(),
                                     file->GetWindowStyle(), wxString()});
    // Answered here, never shown: GTK's own loop would not let a timer close it.
    if (!expected(Step::kFile, file->GetMessage()))
      return wxID_CANCEL;
    const wxString path = m_steps.front().path;
    m_steps.pop_front();
    if (path.empty())
      return wxID_CANCEL;
    // GTK applies the path to its chooser asynchronously: let it arrive.
    file->SetPath(path);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (file->GetPath() != path && std::chrono::steady_clock::now() < until)
      Pump(10);
    if (file->GetPath() != path) {
      Fail(std::string("the file dialog did not take ") + Quoted(path));
      return wxID_CANCEL;
    }
    m_files.back().chosen = path;
    return wxID_OK;
  }
  if (auto* view = dynamic_cast<DialogView*>(dialog)) {
    if (!expected(Step::kDialog, view->GetTitle()))
      return wxID_CANCEL;
    m_active.push_back(
        Active{view, std::deque<Move>(m_steps.front().moves.begin(), m_steps.front().moves.end())});
    m_steps.pop_front();
    m_idleTicks = 0;
    return wxID_NONE;
  }
  Fail(std::string("an unexpected window ") + Quoted(dialog->GetTitle()) + " opened");
  return wxID_CANCEL;
}

void Driver::Exit(wxDialog* dialog) {
  if (dialog == m_shownBox)
    m_shownBox = nullptr;
  if (!m_active.empty() && m_active.back().view == dialog)
    m_active.pop_back();
}

void Driver::Tick() {
  // A move waits until what the last one queued (a click, a key) has been handled.
  if (m_inEnter || (wxTheApp && wxTheApp->HasPendingEvents()))
    return;
  if (m_shownBox) {
    // Give the box a moment to reach the screen, then act once.
    if (m_whileShown && ++m_idleTicks == 10) {
      auto action = std::move(m_whileShown);
      m_whileShown = nullptr;
      action(*m_shownBox);
    }
    return;
  }
  if (m_active.empty())
    return;
  Active& top = m_active.back();
  if (!top.view->IsModal())
    return;
  if (top.moves.empty()) {
    if (++m_idleTicks == kStuckTicks) {
      Fail(Quoted(top.view->GetTitle()) + " stays open, but its moves have run out");
      top.view->EndModal(wxID_CANCEL);
    }
    return;
  }
  m_idleTicks = 0;
  Move move = std::move(top.moves.front());
  top.moves.pop_front();
  move(*top.view);
}

Move Click(int id) {
  return [id](DialogView& view) {
    wxWindow* button = view.Widget(id);
    if (!button)
      return;
    // Queued, not processed here: the handler may open a modal window, whose loop must run
    // outside this timer's callback.
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->QueueEvent(click.Clone());
  };
}

Move Type(int id, const std::string& text) {
  return [id, text](DialogView& view) {
    if (auto* edit = dynamic_cast<wxTextCtrl*>(view.Widget(id))) {
      edit->SetFocus();
      edit->SetValue(wxString::FromUTF8(text));
    }
  };
}

Move Key(int keyCode) {
  return [keyCode](DialogView& view) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = keyCode;
    key.SetEventObject(&view);
    view.GetEventHandler()->QueueEvent(key.Clone());
  };
}

Move Check(std::function<void(DialogView&)> check) {
  return check;
}

Move CloseBox() {
  return [](DialogView& view) {
    wxCloseEvent close(wxEVT_CLOSE_WINDOW, view.GetId());
    close.SetEventObject(&view);
    close.SetCanVeto(true);
    view.GetEventHandler()->QueueEvent(close.Clone());
  };
}

void Pump(int milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  // Outside any modal loop there is no active loop: one of our own dispatches then.
  std::unique_ptr<wxGUIEventLoop> own;
  std::unique_ptr<wxEventLoopActivator> activate;
  if (!wxEventLoopBase::GetActive()) {
    own = std::make_unique<wxGUIEventLoop>();
    activate = std::make_unique<wxEventLoopActivator>(own.get());
  }
  do {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (loop && loop->Pending())
      loop->Dispatch();
    if (loop)
      loop->ProcessIdle();
    if (wxTheApp)
      wxTheApp->ProcessPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < until);
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done() && std::chrono::steady_clock::now() < until)
    Pump(10);
  return done();
}

wxImage CaptureScreen(const wxRect& rect) {
  char path[] = "/tmp/quillon-capture-XXXXXX.ppm";
  const int fd = mkstemps(path, 4);
  if (fd < 0)
    return wxImage();
  close(fd);
  // ImageMagick reads the root window through the X server: what is really on screen.
  const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                              std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                              std::to_string(rect.y) + " +repage -depth 8 " + path + " 2>/dev/null";
  wxImage image;
  if (std::system(command.c_str()) == 0) {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNM))
      wxImage::AddHandler(new wxPNMHandler);
    wxLogNull quiet;
    image.LoadFile(path, wxBITMAP_TYPE_PNM);
  }
  std::remove(path);
  return image;
}

}  // namespace quillon::ui::wx::testing
