#include "ui/user_input.h"

#include <cctype>

#include "ui/dialog.h"
#include "ui/frame.h"

namespace quillon::ui {
namespace {

// The usable control with this identifier, or why there is none.
template <class T>
std::string Find(Window& window, int id, const char* what, T** found) {
  Control* control = window.GetDlgItem(id);
  *found = dynamic_cast<T*>(control);
  std::string where = " ";
  where += std::to_string(id);
  where += " in \"";
  where += window.GetWindowText();
  where += "\"";
  std::string problem;
  if (!control)
    problem = "there is no control" + where;
  else if (!*found)
    problem = "control" + where + " is not " + what;
  else if (!control->IsVisible())
    problem = "control" + where + " is hidden";
  else if (!control->IsEnabled())
    problem = "control" + where + " is disabled";
  return problem;
}

}  // namespace

std::string UserType(Window& window, int id, std::string_view text) {
  EditBox* edit = nullptr;
  if (std::string problem = Find(window, id, "an edit box", &edit); !problem.empty())
    return problem;
  std::string typed;
  for (char c : text) {
    if (!edit->HasStyle(kNumber) || std::isdigit(static_cast<unsigned char>(c)))
      typed += c;
  }
  window.GotoDlgCtrl(id);
  edit->SetText(typed);
  edit->SetSel(static_cast<int>(typed.size()), static_cast<int>(typed.size()));
  window.SendCommand(id, Notify::EditChange);
  return std::string();
}

std::string UserClick(Window& window, int id) {
  Control* button = nullptr;
  if (std::string problem = Find(window, id, "a push button", &button); !problem.empty())
    return problem;
  if (button->Kind() != ControlKind::PushButton)
    return "control " + std::to_string(id) + " is not a push button";
  window.GotoDlgCtrl(id);
  window.SendCommand(id, Notify::Command);
  return std::string();
}

std::string UserChoose(Window& window, int id, int index) {
  ComboBox* combo = nullptr;
  if (std::string problem = Find(window, id, "a drop-down list", &combo); !problem.empty())
    return problem;
  if (index < 0 || index >= combo->GetCount())
    return "drop-down list " + std::to_string(id) + " has no entry " + std::to_string(index);
  window.GotoDlgCtrl(id);
  combo->SetCurSel(index);
  window.SendCommand(id, Notify::SelChange);
  return std::string();
}

std::string UserClickEntry(Window& window, int id, int index) {
  ListBox* list = nullptr;
  if (std::string problem = Find(window, id, "a list box", &list); !problem.empty())
    return problem;
  if (index < 0 || index >= list->GetCount())
    return "list box " + std::to_string(id) + " has no entry " + std::to_string(index);
  window.GotoDlgCtrl(id);
  if (list->IsMultiple())
    list->SetSel(index, !list->GetSel(index));
  else
    list->SetCurSel(index);
  if (list->HasStyle(kNotify))
    window.SendCommand(id, Notify::SelChange);
  return std::string();
}

std::string UserEnter(Dialog& dialog) {
  const Control* focused = dialog.GetDlgItem(dialog.GetFocusId());
  const int command = focused && focused->Kind() == ControlKind::PushButton
                          ? focused->Id()
                          : dialog.DefaultCommand();
  dialog.SendCommand(command, Notify::Command);
  return std::string();
}

std::string UserEscape(Dialog& dialog) {
  dialog.SendCommand(kIdCancel, Notify::Command);
  return std::string();
}

std::string UserCloseBox(Window& window) {
  if (!(window.Style() & kSysMenu))
    return "\"" + window.GetWindowText() + "\" has no close box";
  if (auto* dialog = dynamic_cast<Dialog*>(&window))
    dialog->SendCommand(kIdCancel, Notify::Command);
  else
    window.SendClose();
  return std::string();
}

std::string UserMenu(FrameWnd& frame, int id) {
  const Menu* menu = frame.GetMenu();
  const MenuItem* item = menu ? menu->Find(id) : nullptr;
  if (!item)
    return "the menu of \"" + frame.GetWindowText() + "\" has no item " + std::to_string(id);
  if (!item->enabled)
    return "menu item " + std::to_string(id) + " is disabled";
  frame.SendCommand(id, Notify::Command);
  return std::string();
}

std::string UserToolBarClick(ToolBar& toolbar, int id) {
  const int index = toolbar.CommandToIndex(id);
  if (index < 0 || (toolbar.GetEntry(index).style & kSeparator))
    return "the toolbar has no button " + std::to_string(id);
  toolbar.ClickButton(index);
  return std::string();
}

}  // namespace quillon::ui
