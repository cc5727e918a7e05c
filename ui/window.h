// The base of every window: caption, style, visibility, child controls, keyboard focus, a
// client surface and command dispatch. Windows belong to one Application, which hands them
// the platform; they register with it while they live.
//
// Commands and notifications arrive as (id, Notify) pairs through SendCommand, which calls
// the virtual OnCommand. A class maps them to its handlers with a plain table at the top of
// its OnCommand, and chains to its base when no entry matches:
//
//   bool CMyDialog::OnCommand(int id, ui::Notify code) {
//     static const ui::CommandEntry<CMyDialog> kTable[] = {
//         {1008, ui::Notify::Command, &CMyDialog::OnEncrypt},
//     };
//     return ui::Dispatch(*this, kTable, id, code) || ui::Dialog::OnCommand(id, code);
//   }
//
// Handlers take no arguments and return nothing. Painting is not a command: a window
// overrides OnPaint. Everything runs on one thread; a handler may open modal windows, which
// nest. Not thread-safe.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/resources.h"
#include "ui/surface.h"

namespace quillon::ui {

class Application;

// What happened to a control or which command came. Command stands for a button click, a
// menu item, a toolbar button or a command sent by the program.
enum class Notify { Command, SelChange, EditChange };

template <class T>
struct CommandEntry {
  int id;
  Notify code;
  void (T::*handler)();
};

// Runs the handler of the first entry for (id, code). Returns whether one ran.
template <class T, size_t N>
bool Dispatch(T& target, const CommandEntry<T> (&table)[N], int id, Notify code) {
  for (const CommandEntry<T>& entry : table) {
    if (entry.id == id && entry.code == code) {
      (target.*entry.handler)();
      return true;
    }
  }
  return false;
}

class Window {
 public:
  explicit Window(Application& app);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  Application& App() const { return m_app; }

  // Created and not destroyed.
  bool IsWindow() const { return m_created && !m_destroyed; }
  bool IsDestroyed() const { return m_destroyed; }
  const std::string& GetWindowText() const { return m_text; }
  void SetWindowText(std::string text) { m_text = std::move(text); }
  uint32_t Style() const { return m_style; }
  // Dialog units for dialogs, pixels for other windows.
  const Rect& GetRect() const { return m_rect; }
  int GetDlgCtrlID() const { return m_id; }
  Window* GetParent() const { return m_parent; }
  // Where commands that the window does not handle itself go (toolbars); the parent unless
  // set otherwise.
  Window* GetOwner() const { return m_owner ? m_owner : m_parent; }
  void SetOwner(Window* owner) { m_owner = owner; }

  // Showing and hiding. A hidden window is never painted.
  void ShowWindow(bool show);
  bool IsWindowVisible() const { return IsWindow() && (m_style & kVisible) != 0; }
  // Whether the window has been visible at any moment of its life.
  bool WasEverVisible() const { return m_everVisible; }

  // The close request (the close box, or a program's request): runs OnClose, whose default
  // destroys the window.
  void SendClose() { OnClose(); }
  void DestroyWindow();

  // Child controls, in creation order.
  Control* GetDlgItem(int id) const;
  template <class T>
  T* Item(int id) const {
    return dynamic_cast<T*>(GetDlgItem(id));
  }
  const std::vector<std::unique_ptr<Control>>& Controls() const { return m_controls; }
  // Creates a child control (rect in this window's units; a drop-down list's rectangle
  // reaches down to the bottom of its opened list).
  Control& CreateControl(ControlKind kind, int id, std::string text, Rect rect, uint32_t style);
  // Empty when there is no such control.
  std::string GetDlgItemText(int id) const;
  void SetDlgItemText(int id, std::string text);

  // Keyboard focus among the child controls; kNoFocus when none has it. Focusing an edit
  // box selects its whole text, as moving there with the keyboard does.
  static constexpr int kNoFocus = -2;
  int GetFocusId() const { return m_focusId; }
  void GotoDlgCtrl(int id);

  // Delivers a command or notification to OnCommand. Returns whether a handler ran.
  bool SendCommand(int id, Notify code = Notify::Command) { return OnCommand(id, code); }

  // Painting: Invalidate marks the client area, UpdateWindow paints a visible window that
  // is marked (OnPaint runs once). Backends call UpdateWindow when they are idle.
  void Invalidate() { m_needsPaint = true; }
  bool NeedsPaint() const { return m_needsPaint; }
  void UpdateWindow();
  // What the window shows inside its frame; made at the client size on first use.
  Surface& Client();
  Size ClientSize() const { return m_clientSize; }
  // Forgets everything drawn on the client area, as erasing a window's background does. The
  // background is white unless the backend that shows the window gives its own.
  void EraseClient();
  void SetClientBackground(Rgb colour) { m_clientBackground = colour; }

  // A message box owned by this window; an empty caption stands for the application's name.
  int MessageBox(const std::string& text, const std::string& caption = std::string());

 protected:
  // Makes the window exist: backends and derived classes call it from their Create.
  void CreateWindowModel(std::string text, uint32_t style, Rect rect, Window* parent, int id,
                         Size clientSize);
  void ClearControls();
  Control& AddControl(std::unique_ptr<Control> control);

  virtual bool OnCommand(int id, Notify code);
  virtual void OnPaint() {}
  virtual void OnClose() { DestroyWindow(); }

 private:
  Application& m_app;
  bool m_created = false;
  bool m_destroyed = false;
  bool m_everVisible = false;
  bool m_needsPaint = false;
  std::string m_text;
  uint32_t m_style = kNoStyle;
  Rect m_rect;
  int m_id = 0;
  Window* m_parent = nullptr;
  Window* m_owner = nullptr;
  std::vector<std::unique_ptr<Control>> m_controls;
  int m_focusId = kNoFocus;
  Size m_clientSize;
  std::optional<Surface> m_client;
  Rgb m_clientBackground = kWhite;
};

}  // namespace quillon::ui
