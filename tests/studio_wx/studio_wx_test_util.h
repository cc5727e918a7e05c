// Helpers of the Studio's GUI tests: a window over a document with the user's questions
// answered by the test, controls found by name and used the way a user's click sends its
// event, and the event loop run until something happened.
#pragma once

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/spinctrl.h>
#include <wx/utils.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/env.h"
#include "studio/document.h"
#include "studio/texts.h"
#include "studio/wx/asker.h"
#include "studio/wx/main_frame.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx::testing {

// Answers the window's questions from lists the test fills, and records them.
class ScriptedAsker : public Asker {
 public:
  struct Script {
    std::deque<std::vector<std::string>> files;
    std::deque<std::string> folders;
    std::deque<bool> confirms;
    std::deque<std::string> saves;
    std::vector<std::string> asked;  // every confirmation's message and its yes label
  };
  explicit ScriptedAsker(Script* script) : m_script(script) {}

  std::vector<std::string> OpenFiles(wxWindow*, const std::string& title, const std::string&,
                                     const std::string&, bool) override {
    if (m_script->files.empty()) {
      ADD_FAILURE() << "unexpected file question: " << title;
      return {};
    }
    std::vector<std::string> files = m_script->files.front();
    m_script->files.pop_front();
    return files;
  }
  std::string ChooseFolder(wxWindow*, const std::string& title, const std::string&) override {
    if (m_script->folders.empty()) {
      ADD_FAILURE() << "unexpected folder question: " << title;
      return "";
    }
    std::string folder = m_script->folders.front();
    m_script->folders.pop_front();
    return folder;
  }
  bool Confirm(wxWindow*, const std::string& message, const std::string& yes) override {
    m_script->asked.push_back(message + " [" + yes + "]");
    if (m_script->confirms.empty()) {
      ADD_FAILURE() << "unexpected question: " << message;
      return false;
    }
    const bool answer = m_script->confirms.front();
    m_script->confirms.pop_front();
    return answer;
  }
  std::string SaveFile(wxWindow*, const SaveFileQuestion& question) override {
    if (m_script->saves.empty()) {
      ADD_FAILURE() << "unexpected file to save: " << question.title;
      return "";
    }
    std::string path = m_script->saves.front();
    m_script->saves.pop_front();
    return path;
  }

 private:
  Script* m_script;
};

// Runs the event loop until done() or the time is up; answers done().
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end)
      return false;
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();  // windows destroyed meanwhile go now
    wxMilliSleep(2);
  }
  return true;
}

inline void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  PumpUntil([&] { return std::chrono::steady_clock::now() > end; }, ms + 1000);
}

// A shown main window over its own document, in English.
class StudioWindow : public ::testing::Test {
 protected:
  StudioWindow() : document(Env::Default()) {
    frame = new MainFrame(document, texts);
    frame->ReplaceAsker(std::make_unique<ScriptedAsker>(&script));
    frame->Show();
    Pump(100);
  }
  ~StudioWindow() override {
    frame->Destroy();
    Pump(50);
  }

  template <typename T>
  T* Find(const std::string& name, wxWindow* within = nullptr) {
    wxWindow* found = wxWindow::FindWindowByName(Wx(name), within ? within : frame);
    T* control = dynamic_cast<T*>(found);
    EXPECT_NE(control, nullptr) << "no control named " << name;
    return control;
  }

  // What a user's click or choice sends, through the control's own event handlers.
  void Click(wxButton* button) {
    ASSERT_TRUE(button->IsEnabled()) << Utf8(button->GetName());
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
  }
  void Choose(wxChoice* choice, const std::string& item) {
    const int i = choice->FindString(Wx(item));
    ASSERT_NE(i, wxNOT_FOUND) << item;
    choice->SetSelection(i);
    wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
    event.SetEventObject(choice);
    event.SetInt(i);
    choice->ProcessWindowEvent(event);
    Pump(20);
  }
  void Spin(wxSpinCtrl* spin, int value) {
    spin->SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(value);
    spin->ProcessWindowEvent(event);
    Pump(20);
  }
  void Tick(wxCheckBox* box, bool ticked) {
    box->SetValue(ticked);
    wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
    event.SetEventObject(box);
    event.SetInt(ticked ? 1 : 0);
    box->ProcessWindowEvent(event);
    Pump(20);
  }
  void Menu(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    frame->ProcessWindowEvent(event);
    Pump(20);
  }
  bool WaitForEncryption() {
    return PumpUntil([&] { return !frame->Encrypting(); });
  }

  Texts texts;
  Document document;
  ScriptedAsker::Script script;
  MainFrame* frame;
};

}  // namespace quillon::studio::wx::testing
