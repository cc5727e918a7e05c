#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tokenzr.h>

#include "ui/application.h"
#include "ui/user_input.h"
#include "ui/wx/views.h"
#include "ui/wx/windows1252.h"

namespace quillon::ui::wx {
namespace {

// GTK's themes give buttons and edit boxes padding and minimum heights made for roomy
// layouts; dialog templates place them in tight rectangles, so the widgets shed those to
// keep their text inside the rectangle the template gives.
template <class Base>
class Compact : public Base {
 public:
  template <class... Args>
  explicit Compact(const char* css, Args&&... args) : Base(std::forward<Args>(args)...) {
#ifdef __WXGTK3__
    this->GTKApplyCssStyle(css);
#else
    (void)css;
#endif
  }
};

constexpr char kButtonCss[] = "button { padding: 0px 2px; min-height: 0px; min-width: 0px; }";
constexpr char kEntryCss[] = "entry { padding: 0px 2px; min-height: 0px; min-width: 0px; }";

long DialogStyle(uint32_t style) {
  long wxStyle = 0;
  if (style & kCaption)
    wxStyle |= wxCAPTION;
  if (style & kSysMenu)
    wxStyle |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (style & kThickFrame)
    wxStyle |= wxRESIZE_BORDER;
  if (!(style & kCaption) && (style & (kBorder | kModalFrame)))
    wxStyle |= wxBORDER_SIMPLE;
  return wxStyle;
}

// Shows text in the label, wrapped at word boundaries within its width as the templates
// expect. Where the toolkit's font sets the text wider than the font the template was made
// for, the label's font shrinks (to four fifths at most) rather than lose the text's end.
// Returns the font the label ended with.
wxFont FitLabel(wxStaticText* label, const wxString& text, const wxFont& font) {
  const wxSize size = label->GetSize();
  auto fits = [&] {
    label->SetLabel(text);
    label->Wrap(size.x);
    const int lines = static_cast<int>(wxSplit(label->GetLabel(), '\n', 0).size());
    return lines * label->GetCharHeight() <= std::max(size.y, label->GetCharHeight());
  };
  wxFont smaller = font;
  label->SetFont(font);
  const double smallest = font.GetFractionalPointSize() * 0.8;
  while (!fits()) {
    const double points = smaller.GetFractionalPointSize() - 0.5;
    if (points < smallest)
      break;
    smaller.SetFractionalPointSize(points);
    label->SetFont(smaller);
  }
  return label->GetFont();
}

}  // namespace

bool IsAlive(const Application& app, const Window* window) {
  const auto& windows = app.Windows();
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

void SurfacePresenter::Paint(wxDC& dc, const Surface& surface, const Rgb* transparent) {
  m_shown = surface.Data();
  if (surface.Width() <= 0 || surface.Height() <= 0)
    return;
  // The image borrows the copy just kept (static data): no second copy per paint.
  wxImage image(surface.Width(), surface.Height(), m_shown.data(), true);
  if (transparent)
    image.SetMaskColour(transparent->red, transparent->green, transparent->blue);
  dc.DrawBitmap(wxBitmap(image), 0, 0, transparent != nullptr);
}

DialogView::DialogView(WxPlatform& platform, Dialog& model, wxWindow* parent)
    : m_platform(platform), m_model(model), m_lastFocus(model.GetFocusId()) {
  SetExtraStyle(GetExtraStyle() | wxWS_EX_BLOCK_EVENTS);
  const DialogTemplate* source = model.Template();
  Create(parent, wxID_ANY, platform.Decode(model.GetWindowText()), wxDefaultPosition, wxDefaultSize,
         DialogStyle(model.Style()));
  if (source)
    SetFont(platform.FontFor(*source));
  const Size client = model.ClientSize();
  SetClientSize(client.width, client.height);

  // The template's position is in dialog units, from the owner's client area when the owner
  // shows on screen, else from the screen's corner.
  const Rect at = model.MapDialogRect(Rect{model.GetRect().x, model.GetRect().y, 0, 0});
  wxPoint origin(0, 0);
  if (wxWindow* owner = platform.ViewOf(model.Owner()); owner && owner->IsShown())
    origin = owner->ClientToScreen(wxPoint(0, 0));
  Move(origin.x + at.x, origin.y + at.y);

  // A client area nobody drew on yet, or one erased, shows the toolkit's dialog colour.
  const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
  m_face = Rgb{face.Red(), face.Green(), face.Blue()};
  model.SetClientBackground(m_face);
  const auto& data = model.Client().Data();
  if (std::all_of(data.begin(), data.end(), [](uint8_t b) { return b == 255; }))
    model.EraseClient();
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &DialogView::OnPaint, this);

  for (const auto& control : model.Controls()) {
    wxWindow* widget = MakeWidget(*control);
    if (!widget)
      continue;
    m_bindings.push_back(Binding{control.get(), widget, control->Text()});
    const int id = control->Id();
    if (id == kIdStatic)
      continue;
    widget->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& event) {
      if (!m_syncing && !m_model.IsEnded() && m_model.GetFocusId() != id) {
        m_model.GotoDlgCtrl(id);
        m_lastFocus = id;
        RememberSelection(id);
      }
      event.Skip();
    });
  }

  // Labels that had to shrink set the size for all of them: one dialog, one text size.
  m_labelFont = GetFont();
  for (const Binding& binding : m_bindings) {
    if (binding.control->Kind() == ControlKind::Static &&
        binding.widget->GetFont().GetFractionalPointSize() < m_labelFont.GetFractionalPointSize()) {
      m_labelFont = binding.widget->GetFont();
    }
  }
  if (m_labelFont != GetFont()) {
    for (const Binding& binding : m_bindings) {
      if (binding.control->Kind() == ControlKind::Static)
        FitLabel(static_cast<wxStaticText*>(binding.widget),
                 platform.Decode(binding.control->Text()), m_labelFont);
    }
  }

  Bind(wxEVT_CHAR_HOOK, &DialogView::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    if (event.CanVeto())
      event.Veto();
    Feed([this] { return UserCloseBox(m_model); });
  });
  Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
    m_platform.AfterInput(m_model.App());
    event.Skip();
  });
  SyncFromModel();
}

wxWindow* DialogView::MakeWidget(Control& control) {
  const Rect r = m_model.MapDialogRect(control.GetRect());
  const wxPoint pos(r.x, r.y);
  const wxSize size(r.width, r.height);
  const int id = control.Id();
  const wxString text = m_platform.Decode(control.Text());
  switch (control.Kind()) {
    case ControlKind::PushButton: {
      auto* button =
          new Compact<wxButton>(kButtonCss, this, wxID_ANY, text, pos, size, wxBU_EXACTFIT);
      if (control.HasStyle(kDefaultButton))
        button->SetDefault();
      button->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) {
        Feed([this, id] { return UserClick(m_model, id); });
      });
      return button;
    }
    case ControlKind::Edit: {
      auto* edit = new Compact<wxTextCtrl>(kEntryCss, this, wxID_ANY, text, pos, size);
      if (control.HasStyle(kNumber)) {
        // Only digits can be typed; the model drops anything else that arrives by pasting.
        edit->Bind(wxEVT_CHAR, [](wxKeyEvent& event) {
          const int key = event.GetUnicodeKey();
          if (key != WXK_NONE && key >= 32 && !(key >= '0' && key <= '9'))
            return;
          event.Skip();
        });
      }
      edit->Bind(wxEVT_TEXT, [this, id, edit](wxCommandEvent&) {
        if (m_syncing)
          return;
        const std::string typed = EncodeWindows1252(edit->GetValue());
        Feed([this, id, typed] {
          std::string problem = UserType(m_model, id, typed);
          RememberSelection(id);  // the caret stays where the user typed
          return problem;
        });
      });
      return edit;
    }
    case ControlKind::Static: {
      auto* label = new wxStaticText(this, wxID_ANY, text, pos, size, wxST_NO_AUTORESIZE);
      FitLabel(label, text, GetFont());
      return label;
    }
    case ControlKind::GroupBox:
      return nullptr;  // drawn with the client area: see OnPaint
    case ControlKind::ListBox: {
      long style = control.HasStyle(kMultipleSel) ? wxLB_MULTIPLE : wxLB_SINGLE;
      if (control.HasStyle(kHScroll))
        style |= wxLB_HSCROLL;
      if (control.HasStyle(kSort))
        style |= wxLB_SORT;
      auto* list = new wxListBox(this, wxID_ANY, pos, size, 0, nullptr, style);
      if (control.HasStyle(kMultipleSel)) {
        // GTK keeps only the clicked entry on a plain click (Ctrl toggles); here every click
        // toggles its entry alone, so the clicks go to the model instead of the toolkit.
        list->Bind(wxEVT_LEFT_DOWN, [this, id, list](wxMouseEvent& event) {
          list->SetFocus();
          if (const int index = list->HitTest(event.GetPosition()); index != wxNOT_FOUND)
            Feed([this, id, index] { return UserClickEntry(m_model, id, index); });
        });
        // The second press of a double click has toggled already, and the other buttons
        // select nothing; GTK would keep only the entry under the pointer.
        for (const auto type : {wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_DCLICK,
                                wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_DCLICK})
          list->Bind(type, [](wxMouseEvent&) {});
      }
      list->Bind(wxEVT_LISTBOX, [this, id, list](wxCommandEvent&) {
        if (m_syncing)
          return;
        // Replays the difference between the widget and the model as clicks on entries, so
        // the model hears exactly what a click on each would tell it.
        auto* model = m_model.Item<ListBox>(id);
        if (!model)
          return;
        std::vector<int> clicks;
        for (int i = 0; i < model->GetCount() && i < static_cast<int>(list->GetCount()); ++i) {
          if (list->IsSelected(i) !=
              (model->IsMultiple() ? model->GetSel(i) : model->GetCurSel() == i)) {
            if (model->IsMultiple() || list->IsSelected(i))
              clicks.push_back(i);
          }
        }
        for (int index : clicks)
          Feed([this, id, index] { return UserClickEntry(m_model, id, index); });
      });
      return list;
    }
    case ControlKind::ComboBox: {
      // The template's height is that of the opened list; the closed one has its own.
      auto* choice = new wxChoice(this, wxID_ANY, pos, wxSize(size.x, -1));
      choice->Bind(wxEVT_CHOICE, [this, id](wxCommandEvent& event) {
        if (m_syncing)
          return;
        const int index = event.GetInt();
        Feed([this, id, index] { return UserChoose(m_model, id, index); });
      });
      return choice;
    }
  }
  return nullptr;
}

wxWindow* DialogView::Widget(int id) const {
  for (const Binding& binding : m_bindings) {
    if (binding.control->Id() == id)
      return binding.widget;
  }
  return nullptr;
}

void DialogView::Feed(const std::function<std::string()>& action) {
  if (m_model.IsEnded())
    return;
  action();  // a refused action changes nothing, as the real control would refuse it
  m_platform.AfterInput(m_model.App());
}

// Group boxes are drawn here, below what the program drew on the client surface: a picture
// drawn across a group box's frame covers the frame, as drawing on the dialog itself does.
// Surface pixels still in the dialog colour let the frames show through.
void DialogView::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.SetBackground(wxBrush(wxColour(m_face.red, m_face.green, m_face.blue)));
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
  const wxColour line = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
  for (const auto& control : m_model.Controls()) {
    if (control->Kind() != ControlKind::GroupBox || !control->IsVisible())
      continue;
    const Rect r = m_model.MapDialogRect(control->GetRect());
    const wxString label = m_platform.Decode(control->Text());
    const wxSize text = dc.GetTextExtent(label.empty() ? wxString("X") : label);
    const int top = r.y + text.y / 2;
    dc.SetPen(wxPen(line));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRoundedRectangle(r.x, top, r.width, r.Bottom() - top, 3);
    if (!label.empty()) {
      const int inset = dc.GetCharWidth();
      dc.SetBrush(wxBrush(wxColour(m_face.red, m_face.green, m_face.blue)));
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.DrawRectangle(r.x + inset - 2, r.y, text.x + 4, text.y);
      dc.DrawText(label, r.x + inset, r.y);
    }
  }
  m_presenter.Paint(dc, m_model.Client(), &m_face);
}

void DialogView::RememberSelection(int id) {
  if (auto* edit = m_model.Item<EditBox>(id))
    m_lastSelection[id] = {edit->SelStart(), edit->SelEnd()};
}

void DialogView::OnCharHook(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_ESCAPE:
      Feed([this] { return UserEscape(m_model); });
      return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      Feed([this] { return UserEnter(m_model); });
      return;
    default:
      event.Skip();
  }
}

template <class List>
static void SyncEntries(List* list, const ListControlBase& model, WxPlatform& platform) {
  bool same = static_cast<int>(list->GetCount()) == model.GetCount();
  for (int i = 0; same && i < model.GetCount(); ++i)
    same = list->GetString(i) == platform.Decode(model.GetEntry(i));
  if (same)
    return;
  wxArrayString entries;
  for (const std::string& entry : model.Entries())
    entries.Add(platform.Decode(entry));
  list->Set(entries);
}

void DialogView::SyncWidget(Binding& binding) {
  Control& control = *binding.control;
  wxWindow* widget = binding.widget;
  if (widget->IsShown() != control.IsVisible())
    widget->Show(control.IsVisible());
  if (widget->IsEnabled() != control.IsEnabled())
    widget->Enable(control.IsEnabled());
  const wxString text = m_platform.Decode(control.Text());
  switch (control.Kind()) {
    case ControlKind::PushButton:
    case ControlKind::GroupBox:
      if (widget->GetLabel() != text)
        widget->SetLabel(text);
      break;
    case ControlKind::Static:
      // The label shows its text wrapped: compare with the text it was given.
      if (binding.shown != control.Text()) {
        binding.shown = control.Text();
        FitLabel(static_cast<wxStaticText*>(widget), text, m_labelFont);
      }
      break;
    case ControlKind::Edit:
      if (auto* edit = static_cast<wxTextCtrl*>(widget);
          EncodeWindows1252(edit->GetValue()) != control.Text()) {
        edit->ChangeValue(text);
      }
      break;
    case ControlKind::ListBox: {
      auto* list = static_cast<wxListBox*>(widget);
      const auto& model = static_cast<const ListBox&>(control);
      SyncEntries(list, model, m_platform);
      for (int i = 0; i < model.GetCount(); ++i) {
        const bool selected = model.IsMultiple() ? model.GetSel(i) : model.GetCurSel() == i;
        if (list->IsSelected(i) != selected) {
          if (selected)
            list->SetSelection(i);
          else
            list->Deselect(i);
        }
      }
      break;
    }
    case ControlKind::ComboBox: {
      auto* choice = static_cast<wxChoice*>(widget);
      const auto& model = static_cast<const ComboBox&>(control);
      SyncEntries(choice, model, m_platform);
      if (choice->GetSelection() != model.GetCurSel())
        choice->SetSelection(model.GetCurSel());
      break;
    }
  }
}

void DialogView::SyncFromModel() {
  m_syncing = true;
  const wxString title = m_platform.Decode(m_model.GetWindowText());
  if (GetTitle() != title)
    SetTitle(title);
  for (Binding& binding : m_bindings)
    SyncWidget(binding);
  // Focus moves only when the program moved it (a failed validation, GotoDlgCtrl); the
  // user's own moves reach the model through the focus events below.
  if (m_model.GetFocusId() != m_lastFocus) {
    m_lastFocus = m_model.GetFocusId();
    for (const Binding& binding : m_bindings) {
      if (binding.control->Id() != m_lastFocus)
        continue;
      binding.widget->SetFocus();
      break;
    }
  }
  for (const Binding& binding : m_bindings) {
    auto* edit = dynamic_cast<EditBox*>(binding.control);
    if (!edit)
      continue;
    const std::pair<int, int> selection(edit->SelStart(), edit->SelEnd());
    auto [at, added] = m_lastSelection.emplace(edit->Id(), selection);
    if (!added && at->second == selection)
      continue;
    at->second = selection;
    static_cast<wxTextCtrl*>(binding.widget)->SetSelection(selection.first, selection.second);
  }
  m_syncing = false;
  if (m_presenter.Changed(m_model.Client()))
    Refresh(false);
  if (m_model.IsEnded() && IsModal())
    EndModal(m_model.Result());
}

}  // namespace quillon::ui::wx
