// Modal dialogs built from a dialog template, with data exchange between the dialog's
// members and its controls.
//
// DoModal finds the template by name (numbers, or texts without regard to case), makes the
// controls, runs OnInitDialog (whose default shows the members in the controls) and hands
// the dialog to the platform's modal loop; it returns the result given to EndDialog, or -1
// when there is no such template. The default OK action reads and validates the members
// (UpdateData) and ends the dialog with kIdOk only when every value passed; Escape, the close
// box and a kIdCancel button end it with kIdCancel. EndDialog only marks the end: the dialog
// and its controls stay usable until the running handler returns, and the controls stay
// readable after DoModal. Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/window.h"

namespace quillon::ui {

class Dialog;

// The framework's standard validation prompts.
std::string IntegerPrompt();                               // "Please enter an integer."
std::string IntegerRangePrompt(int32_t min, int32_t max);  // "... between 2 and 9."

// A whole decimal number, optionally signed, with blanks allowed around it and nothing else,
// within 32 bits (core/whole_number.h's parser in the framework's form).
bool ParseInteger(std::string_view text, int32_t* value);

// One pass of data exchange. When showing, values go into the controls; when saving, they
// are read back and checked. The first value that fails shows the standard prompt (a message
// box owned by the dialog), moves the focus to the offending control with its text selected,
// and makes every later call of the pass do nothing: the members read before it keep their
// new values, the failing one and those after it keep theirs.
class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool saving) : m_dialog(dialog), m_saving(saving) {}
  bool IsSaving() const { return m_saving; }
  bool Failed() const { return m_failed; }

  // Edit box id <-> value as a decimal integer. Return whether the exchange went on.
  bool Int(int id, int32_t& value);
  // The same, and when saving the value must lie in min..max.
  bool Int(int id, int32_t& value, int32_t min, int32_t max);
  bool Text(int id, std::string& value);

 private:
  bool Fail(int id, const std::string& prompt);
  Dialog& m_dialog;
  bool m_saving;
  bool m_failed = false;
};

class Dialog : public Window {
 public:
  // parent: the owner window, or null.
  Dialog(Application& app, ResourceName templateName, Window* parent = nullptr);

  virtual int DoModal();
  void EndDialog(int result);
  bool IsEnded() const { return m_ended; }
  int Result() const { return m_result; }
  // Whether the dialog's modal loop runs now.
  bool IsModal() const { return m_modal; }

  // Runs one data exchange pass; returns whether it succeeded.
  bool UpdateData(bool save = true);

  const ResourceName& TemplateName() const { return m_templateName; }
  // Null before DoModal found it.
  const DialogTemplate* Template() const { return m_template; }
  Window* Owner() const { return m_ownerWindow; }
  // Dialog units to pixels, with the platform's base units for this dialog's font.
  Rect MapDialogRect(const Rect& rect) const;

  // The keyboard's Enter: the default button's command, or kIdOk when there is none.
  int DefaultCommand() const;

 protected:
  // Returns true to let the framework put the focus on the first control that is a tab
  // stop; false when the dialog placed the focus itself.
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel() { EndDialog(kIdCancel); }
  virtual void DoDataExchange(DataExchange&) {}
  // kIdOk runs OnOK and kIdCancel OnCancel when a derived table did not take them.
  bool OnCommand(int id, Notify code) override;

 private:
  ResourceName m_templateName;
  const DialogTemplate* m_template = nullptr;
  Window* m_ownerWindow;
  bool m_ended = false;
  bool m_modal = false;
  int m_result = 0;
};

}  // namespace quillon::ui
