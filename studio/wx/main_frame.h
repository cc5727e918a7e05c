// The Studio's main window: menus, toolbar and shortcuts for every command, the secret, the
// scheme and its facts on the left, the layers and their stack on the right, and the
// Encrypt, Save Shares… and Print… buttons with the progress of an encryption. Pictures
// dropped on the window open as the secret. Results are shown in an info bar, never in a
// dialog that would stop the user.
//
// The encryption runs on a worker thread (studio/encrypt_job.h) while the window stays
// responsive; closing the window cancels it and waits for it. The questions the window asks
// go through an Asker that tests may replace. GUI thread only; the document and texts
// outlive the frame.
#pragma once

#include <wx/frame.h>
#include <wx/timer.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "studio/document.h"
#include "studio/texts.h"
#include "studio/wx/asker.h"
#include "studio/wx/mnemonics.h"

class wxButton;
class wxChoice;
class wxGauge;
class wxInfoBar;
class wxMenu;
class wxMenuItem;
class wxStaticText;

namespace quillon::studio::wx {

class StackPanel;

class MainFrame : public wxFrame, public DocumentObserver {
 public:
  MainFrame(Document& document, const Texts& texts);
  ~MainFrame() override;

  void DocumentChanged(unsigned aspects) override;

  // The commands of the menus, toolbar and buttons.
  void OpenSecret(const std::string& path);
  void Encrypt();
  void CancelEncrypt();
  void SaveShares();
  void Print();

  // Tests answer the window's questions in place of the user.
  void ReplaceAsker(std::unique_ptr<Asker> asker) { m_asker.Replace(std::move(asker)); }
  // Whether an encryption runs; the last message the info bar showed (for tests).
  bool Encrypting() const { return m_job != nullptr; }
  const std::string& LastMessage() const { return m_lastMessage; }
  // How long the last encryption took from Encrypt to its shares shown, in milliseconds.
  double LastEncryptMs() const { return m_lastEncryptMs; }
  StackPanel* Stack() const { return m_stack; }

 private:
  void MakeMenus();
  void MakeToolBar();
  wxWindow* MakeActions(wxWindow* parent);
  void ShowRecent();
  void ShowState();
  void Report(const Result& result);
  void Tell(const std::string& message, bool problem);
  void OpenShares();
  void JobEnded();
  void OnClose(wxCloseEvent& event);

  Document& m_document;
  const Texts& m_texts;
  AskerSlot m_asker;
  Mnemonics m_mnemonics;                  // the controls of the window: one group for Alt+letter
  std::map<Label, std::string> m_marked;  // the main buttons' labels with their mnemonics
  StackPanel* m_stack = nullptr;
  wxInfoBar* m_infoBar = nullptr;
  wxMenu* m_recentMenu = nullptr;
  wxMenuItem* m_recentItem = nullptr;
  wxButton* m_encrypt = nullptr;
  wxButton* m_saveShares = nullptr;
  wxButton* m_print = nullptr;
  wxChoice* m_format = nullptr;
  wxGauge* m_gauge = nullptr;
  wxButton* m_cancel = nullptr;
  wxStaticText* m_progressText = nullptr;
  wxTimer m_progressTimer;
  std::unique_ptr<EncryptJob> m_job;
  std::thread m_worker;
  std::chrono::steady_clock::time_point m_encryptStarted;
  double m_lastEncryptMs = 0;
  std::string m_lastMessage;
};

}  // namespace quillon::studio::wx
