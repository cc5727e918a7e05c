#include "ui/dialog.h"

#include <cstdint>
#include <optional>

#include "core/whole_number.h"
#include "ui/application.h"

namespace quillon::ui {

std::string IntegerPrompt() {
  return "Please enter an integer.";
}

std::string IntegerRangePrompt(int32_t min, int32_t max) {
  return "Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max) +
         ".";
}

bool ParseInteger(std::string_view text, int32_t* value) {
  const std::optional<int32_t> number =
      ParseWholeNumber(text, {.blanksAround = true, .plusSign = true});
  if (number)
    *value = *number;
  return number.has_value();
}

bool DataExchange::Fail(int id, const std::string& prompt) {
  m_failed = true;
  m_dialog.App().MessageBox(&m_dialog, prompt, std::string(), MessageIcon::Exclamation);
  m_dialog.GotoDlgCtrl(id);
  return false;
}

bool DataExchange::Int(int id, int32_t& value) {
  return Int(id, value, INT32_MIN, INT32_MAX);
}

bool DataExchange::Int(int id, int32_t& value, int32_t min, int32_t max) {
  if (m_failed)
    return false;
  if (!m_saving) {
    m_dialog.SetDlgItemText(id, std::to_string(value));
    return true;
  }
  int32_t read = 0;
  if (!ParseInteger(m_dialog.GetDlgItemText(id), &read))
    return Fail(id, IntegerPrompt());
  if (read < min || read > max)
    return Fail(id, IntegerRangePrompt(min, max));
  value = read;
  return true;
}

bool DataExchange::Text(int id, std::string& value) {
  if (m_failed)
    return false;
  if (m_saving)
    value = m_dialog.GetDlgItemText(id);
  else
    m_dialog.SetDlgItemText(id, value);
  return true;
}

Dialog::Dialog(Application& app, ResourceName templateName, Window* parent)
    : Window(app), m_templateName(std::move(templateName)), m_ownerWindow(parent) {}

int Dialog::DoModal() {
  m_template = App().Resources().FindDialog(m_templateName);
  if (!m_template)
    return -1;
  const DialogTemplate& t = *m_template;
  const Rect pixels = MapDialogRect(Rect{0, 0, t.rect.width, t.rect.height});
  CreateWindowModel(t.caption, t.style | kVisible, t.rect, m_ownerWindow, 0,
                    Size{pixels.width, pixels.height});
  ClearControls();
  // Resource compilers make every control of a template visible.
  for (const ControlTemplate& c : t.controls)
    CreateControl(c.kind, c.id, c.text, c.rect, c.style | kVisible);
  m_ended = false;
  m_result = 0;
  if (OnInitDialog()) {
    for (const auto& control : Controls()) {
      if (control->HasStyle(kTabStop) && control->IsUsable()) {
        GotoDlgCtrl(control->Id());
        break;
      }
    }
  }
  if (!m_ended) {
    m_modal = true;
    App().GetPlatform().RunModal(*this);
    m_modal = false;
  }
  DestroyWindow();
  return m_result;
}

void Dialog::EndDialog(int result) {
  m_ended = true;
  m_result = result;
}

bool Dialog::UpdateData(bool save) {
  DataExchange exchange(*this, save);
  DoDataExchange(exchange);
  return !exchange.Failed();
}

Rect Dialog::MapDialogRect(const Rect& rect) const {
  const Size base = m_template ? App().GetPlatform().DialogBaseUnits(*m_template) : Size{4, 8};
  return Rect{rect.x * base.width / 4, rect.y * base.height / 8, rect.width * base.width / 4,
              rect.height * base.height / 8};
}

int Dialog::DefaultCommand() const {
  for (const auto& control : Controls()) {
    if (control->Kind() == ControlKind::PushButton && control->HasStyle(kDefaultButton))
      return control->Id();
  }
  return kIdOk;
}

bool Dialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void Dialog::OnOK() {
  if (UpdateData(true))
    EndDialog(kIdOk);
}

bool Dialog::OnCommand(int id, Notify code) {
  if (code != Notify::Command)
    return false;
  if (id == kIdOk) {
    OnOK();
    return true;
  }
  if (id == kIdCancel) {
    OnCancel();
    return true;
  }
  return false;
}

}  // namespace quillon::ui
