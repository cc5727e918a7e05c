// What a user does to windows, as every backend feeds it in: the control's state changes
// the way the real control changes it, then the parent hears the notification (and runs its
// handler, which may open modal windows before the function returns). Each function returns
// an empty text when it was done, or says in words why a user could not do it (no such
// control, hidden or disabled, the wrong kind); nothing changes then. Not thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace quillon::ui {

class Dialog;
class FrameWnd;
class ToolBar;
class Window;

// Replaces the edit box's whole text, as selecting it all and typing does. An edit box that
// takes only digits (kNumber) keeps only the digits typed. Notifies EditChange.
std::string UserType(Window& window, int id, std::string_view text);
// Clicks a push button: its command goes to the window.
std::string UserClick(Window& window, int id);
// Picks entry index of a drop-down list. Notifies SelChange.
std::string UserChoose(Window& window, int id, int index);
// Clicks entry index of a list box: a multiple-selection box toggles it, another selects
// it alone. Notifies SelChange when the box has kNotify.
std::string UserClickEntry(Window& window, int id, int index);
// The Enter key: the focused push button's command, or the dialog's default command.
std::string UserEnter(Dialog& dialog);
// The Escape key: kIdCancel.
std::string UserEscape(Dialog& dialog);
// The close box, which only windows with kSysMenu have: kIdCancel for a dialog, the close
// request for other windows.
std::string UserCloseBox(Window& window);
// A menu item of the frame's menu.
std::string UserMenu(FrameWnd& frame, int id);
// The toolbar button carrying command id.
std::string UserToolBarClick(ToolBar& toolbar, int id);

}  // namespace quillon::ui
