// The scripted backend: a test plays the user with a Script of steps, and the backend
// records what the program showed.
//
// Steps run in order. A step that opens a window (ExpectDialog, ChooseFile, CancelFile,
// Message) must meet exactly the modal window the program opens next; the steps after an
// ExpectDialog act on that dialog until it ends, and the following ones on the dialog below
// it (modal loops nest). A modal window that no step expects, a step that does not fit the
// window at hand, or a dialog left waiting when the script has run out is a failure: it is
// reported with a readable message, the offending window is cancelled (message boxes get
// their OK) and every later modal window is cancelled too, so the program unwinds. Finish
// adds the steps left unplayed. Failures go to the failure handler as they happen (tests
// install one that fails the test) and are kept for Finish.
//
// Message boxes, file dialogs, dialogs, progress windows and program starts are recorded
// with their owners and texts. Windows that are visible and marked for painting are painted
// before every step. Programs are really started unless SetStartPrograms(false).
// Not thread-safe.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/platform.h"
#include "ui/resources.h"

namespace quillon::ui {
class Dialog;
}

namespace quillon::ui::headless {

class Script {
 public:
  // Windows expected to open.
  Script& ExpectDialog(ResourceName name);
  // A file dialog with this title; the user chooses path (or cancels). Choosing an existing
  // file in a save dialog that asks before replacing stands for confirming the replacement.
  Script& ChooseFile(std::string title, std::string path);
  Script& CancelFile(std::string title);
  // A message box with this text (and caption), answered with OK.
  Script& Message(std::string text);
  Script& Message(std::string caption, std::string text);

  // What the user does in the dialog at the top.
  Script& Type(int id, std::string text);
  Script& Click(int id);
  Script& Choose(int id, int index);
  // One click per index, in the order given.
  Script& ClickEntries(int id, std::vector<int> indices);
  Script& Enter();
  Script& Escape();
  Script& CloseBox();
  // Runs check on the dialog at the top, to look at its state part-way.
  Script& Inspect(std::function<void(Dialog&)> check);

  size_t Size() const;
  struct Step;

 private:
  friend class HeadlessPlatform;
  enum class StepKind {
    kOpenDialog,
    kFile,
    kMessage,
    kType,
    kClick,
    kChoose,
    kClickEntry,
    kEnter,
    kEscape,
    kCloseBox,
    kInspect
  };
  Script& Add(StepKind kind, std::function<void(Step&)> fill);
  std::deque<std::shared_ptr<Step>> m_steps;
};

struct MessageRecord {
  const Window* owner = nullptr;
  std::string ownerText;  // the owner's caption when the box opened
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;
};

struct FileDialogRecord {
  bool open = true;
  std::string title;
  uint32_t flags = 0;
  std::string filter;
  std::string defaultExt;
  std::string initialName;
  const Window* owner = nullptr;
  std::string chosenPath;  // empty when cancelled
};

struct DialogRecord {
  std::string name;  // the template's name
  std::string caption;
  const Window* owner = nullptr;
  int result = 0;
};

struct ProgramRecord {
  std::string name;
  bool started = false;
};

struct ProgressRecord {
  const Window* owner = nullptr;
  std::string caption;
  std::string text;
  std::vector<double> fractions;
  bool closed = false;
};

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform();
  ~HeadlessPlatform() override;

  // Appends the script's steps to those still waiting.
  void Play(const Script& script);
  // Every failure so far and every step not played, one per line; empty when the program
  // met the script exactly. Clears both.
  std::string Finish();
  size_t StepsLeft() const { return m_steps.size(); }
  using FailureHandler = std::function<void(const std::string& failure)>;
  void SetFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

  void SetScreenSize(Size size) { m_screen = size; }
  // false: programs are recorded and reported started, but not run.
  void SetStartPrograms(bool start) { m_startPrograms = start; }

  const std::vector<MessageRecord>& Messages() const { return m_messages; }
  const std::vector<FileDialogRecord>& FileDialogs() const { return m_fileDialogs; }
  // In the order they ended: a dialog opened on top of another comes first.
  const std::vector<DialogRecord>& Dialogs() const { return m_dialogs; }
  const std::vector<ProgramRecord>& Programs() const { return m_programs; }
  const std::deque<ProgressRecord>& Progress() const { return m_progress; }
  // One line per window opened, step played and failure, in order.
  const std::vector<std::string>& Transcript() const { return m_transcript; }

  int RunModal(Dialog& dialog) override;
  int RunFileDialog(FileDialog& dialog) override;
  int ShowMessageBox(const MessageBoxRequest& request) override;
  std::unique_ptr<ProgressDialog> OpenProgress(const Window* owner, const std::string& caption,
                                               const std::string& text) override;
  bool StartProgram(const std::string& name) override;
  Size ScreenSize() const override { return m_screen; }
  // No font: the system font's 8 x 16. A font: MS Sans Serif 8 pt's 6 x 13 scaled by the
  // point size.
  Size DialogBaseUnits(const DialogTemplate& dialog) const override;

 private:
  void Fail(const std::string& failure);
  // The next step if it opens a window of this kind and matches; reports a failure and
  // returns null otherwise.
  std::shared_ptr<Script::Step> TakeOpening(Script::StepKind kind, const std::string& window,
                                            const std::function<bool(const Script::Step&)>& fits);
  void Note(std::string line) { m_transcript.push_back(std::move(line)); }

  std::deque<std::shared_ptr<Script::Step>> m_steps;
  std::vector<std::string> m_failures;
  FailureHandler m_onFailure;
  bool m_broken = false;
  Size m_screen{1280, 1024};
  bool m_startPrograms = true;
  std::vector<MessageRecord> m_messages;
  std::vector<FileDialogRecord> m_fileDialogs;
  std::vector<DialogRecord> m_dialogs;
  std::vector<ProgramRecord> m_programs;
  std::deque<ProgressRecord> m_progress;
  std::vector<std::string> m_transcript;
};

}  // namespace quillon::ui::headless
