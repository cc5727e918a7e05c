#include "ui/window.h"

#include "ui/application.h"

namespace quillon::ui {

Window::Window(Application& app) : m_app(app) {
  m_app.Register(this);
}

Window::~Window() {
  m_app.Unregister(this);
}

void Window::CreateWindowModel(std::string text, uint32_t style, Rect rect, Window* parent, int id,
                               Size clientSize) {
  m_created = true;
  m_destroyed = false;
  m_text = std::move(text);
  m_style = style;
  m_rect = rect;
  m_parent = parent;
  m_id = id;
  m_clientSize = clientSize;
  m_client.reset();
  m_focusId = kNoFocus;
  m_needsPaint = (style & kVisible) != 0;
  m_everVisible = m_everVisible || (style & kVisible) != 0;
}

void Window::ShowWindow(bool show) {
  if (show) {
    m_style |= kVisible;
    m_everVisible = true;
    m_needsPaint = true;
  } else {
    m_style &= ~uint32_t{kVisible};
  }
}

void Window::DestroyWindow() {
  if (!IsWindow())
    return;
  ShowWindow(false);
  m_destroyed = true;
}

Control* Window::GetDlgItem(int id) const {
  for (const auto& control : m_controls) {
    if (control->Id() == id)
      return control.get();
  }
  return nullptr;
}

Control& Window::AddControl(std::unique_ptr<Control> control) {
  m_controls.push_back(std::move(control));
  return *m_controls.back();
}

Control& Window::CreateControl(ControlKind kind, int id, std::string text, Rect rect,
                               uint32_t style) {
  switch (kind) {
    case ControlKind::Edit:
      return AddControl(std::make_unique<EditBox>(*this, kind, id, std::move(text), rect, style));
    case ControlKind::ComboBox:
      return AddControl(std::make_unique<ComboBox>(*this, id, rect, style));
    case ControlKind::ListBox:
      return AddControl(std::make_unique<ListBox>(*this, kind, id, std::move(text), rect, style));
    default:
      return AddControl(std::make_unique<Control>(*this, kind, id, std::move(text), rect, style));
  }
}

void Window::ClearControls() {
  m_controls.clear();
  m_focusId = kNoFocus;
}

std::string Window::GetDlgItemText(int id) const {
  const Control* control = GetDlgItem(id);
  return control ? control->Text() : std::string();
}

void Window::SetDlgItemText(int id, std::string text) {
  if (Control* control = GetDlgItem(id))
    control->SetText(std::move(text));
}

void Window::GotoDlgCtrl(int id) {
  Control* control = GetDlgItem(id);
  if (!control)
    return;
  m_focusId = id;
  if (auto* edit = dynamic_cast<EditBox*>(control))
    edit->SetSel(0, -1);
}

void Window::UpdateWindow() {
  if (!m_needsPaint || !IsWindowVisible())
    return;
  m_needsPaint = false;
  OnPaint();
}

Surface& Window::Client() {
  if (!m_client)
    m_client.emplace(m_clientSize.width, m_clientSize.height, kWhite);
  return *m_client;
}

void Window::EraseClient() {
  Surface& client = Client();
  client.FillRect(0, 0, client.Width(), client.Height(), m_clientBackground);
}

int Window::MessageBox(const std::string& text, const std::string& caption) {
  return m_app.MessageBox(this, text, caption);
}

bool Window::OnCommand(int, Notify) {
  return false;
}

}  // namespace quillon::ui
