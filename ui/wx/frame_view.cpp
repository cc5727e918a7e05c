#include <algorithm>

#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/sizer.h>

#include "ui/application.h"
#include "ui/user_input.h"
#include "ui/wx/views.h"

namespace quillon::ui::wx {
namespace {

long FrameStyle(uint32_t style) {
  long wxStyle = wxCLIP_CHILDREN;
  if (style & kCaption)
    wxStyle |= wxCAPTION;
  if (style & kSysMenu)
    wxStyle |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (style & kThickFrame)
    wxStyle |= wxRESIZE_BORDER;
  if (style & kMinimizeBox)
    wxStyle |= wxMINIMIZE_BOX;
  if (style & kMaximizeBox)
    wxStyle |= wxMAXIMIZE_BOX;
  return wxStyle;
}

// Glyph index of the toolbar resource as a bitmap; the first palette colour (the button
// face) is transparent.
wxBitmap Glyph(const ToolBarTemplate& source, int index) {
  const int width = source.button.width;
  const int height = source.button.height;
  wxImage image(width, height);
  const ToolBarTemplate::Colour* face = source.palette.empty() ? nullptr : &source.palette[0];
  for (int y = 0; y < height; ++y) {
    const std::string row =
        y < static_cast<int>(source.glyphRows.size()) ? source.glyphRows[y] : std::string();
    for (int x = 0; x < width; ++x) {
      const size_t at = static_cast<size_t>(index) * width + x;
      const char key = at < row.size() ? row[at] : (face ? face->key : ' ');
      const auto colour =
          std::find_if(source.palette.begin(), source.palette.end(),
                       [key](const ToolBarTemplate::Colour& c) { return c.key == key; });
      if (colour != source.palette.end())
        image.SetRGB(x, y, colour->red, colour->green, colour->blue);
    }
  }
  if (face)
    image.SetMaskColour(face->red, face->green, face->blue);
  return wxBitmap(image);
}

void AppendItems(wxMenu* menu, const std::vector<MenuItem>& items, WxPlatform& platform) {
  for (const MenuItem& item : items) {
    if (item.IsSeparator())
      menu->AppendSeparator();
    else if (!item.items.empty()) {
      auto* sub = new wxMenu;
      AppendItems(sub, item.items, platform);
      menu->AppendSubMenu(sub, platform.Decode(item.text));
    } else {
      menu->Append(item.id, platform.Decode(item.text));
    }
  }
}

void SyncItems(wxMenuBar* bar, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (!item.items.empty()) {
      SyncItems(bar, item.items);
    } else if (!item.IsSeparator()) {
      if (wxMenuItem* real = bar->FindItem(item.id)) {
        if (real->IsEnabled() != item.enabled)
          real->Enable(item.enabled);
        if (real->IsCheckable() && real->IsChecked() != item.checked)
          real->Check(item.checked);
      }
    }
  }
}

}  // namespace

FrameView::FrameView(WxPlatform& platform, FrameWnd& model)
    : wxFrame(nullptr, wxID_ANY, platform.Decode(model.GetWindowText()),
              wxPoint(model.GetRect().x, model.GetRect().y),
              wxSize(model.GetRect().width, model.GetRect().height), FrameStyle(model.Style())),
      m_platform(platform),
      m_app(model.App()),
      m_model(model) {
  if (const Menu* menu = model.GetMenu()) {
    auto* bar = new wxMenuBar;
    for (const MenuItem& popup : menu->Popups()) {
      auto* items = new wxMenu;
      AppendItems(items, popup.items, platform);
      bar->Append(items, platform.Decode(popup.text));
    }
    SetMenuBar(bar);
  }
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    const int id = event.GetId();
    Feed([this, id] { return UserMenu(m_model, id); });
  });

  // The client area shows the model's client surface; the toolbar lies over its top strip,
  // as a toolbar child window does, so surface coordinates are client coordinates.
  m_client = new wxPanel(this, wxID_ANY);
  m_client->SetBackgroundStyle(wxBG_STYLE_PAINT);
  m_client->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxPaintDC dc(m_client);
    if (IsAlive(m_app, &m_model))
      m_presenter.Paint(dc, m_model.Client());
  });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    if (event.CanVeto())
      event.Veto();
    Feed([this] { return UserCloseBox(m_model); });
  });
  Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
    event.Skip();
    if (IsAlive(m_app, &m_model))
      m_platform.AfterInput(m_app);
  });
}

void FrameView::Feed(const std::function<std::string()>& action) {
  // Events may still arrive for a frame whose model a handler has just deleted.
  if (!IsAlive(m_app, &m_model))
    return;
  action();
  m_platform.AfterInput(m_app);
}

ToolBar* FrameView::ModelToolBar() const {
  if (!IsAlive(m_app, &m_model))
    return nullptr;
  for (Window* window : m_app.Windows()) {
    auto* toolbar = dynamic_cast<ToolBar*>(window);
    if (toolbar && toolbar->GetParent() == &m_model && toolbar->IsWindowVisible())
      return toolbar;
  }
  return nullptr;
}

std::vector<int> FrameView::ToolBarSignature(const ToolBar* toolbar) const {
  std::vector<int> signature;
  if (!toolbar)
    return signature;
  signature.push_back(static_cast<int>(reinterpret_cast<uintptr_t>(toolbar) & 0x7fffffff));
  for (int i = 0; i < toolbar->GetCount(); ++i) {
    const ToolBarEntry& entry = toolbar->GetEntry(i);
    signature.insert(signature.end(),
                     {entry.command, static_cast<int>(entry.style & ~uint32_t{kChecked}),
                      entry.glyph, entry.width});
  }
  for (const auto& control : toolbar->Controls())
    signature.insert(signature.end(), {control->Id(), control->GetRect().x});
  return signature;
}

void FrameView::RebuildToolBar(ToolBar* toolbar) {
  m_toolControls.clear();
  if (m_tools) {
    m_tools->Destroy();
    m_tools = nullptr;
  }
  m_toolSignature = ToolBarSignature(toolbar);
  if (!toolbar || !toolbar->Source())
    return;
  m_tools = new wxToolBar(m_client, wxID_ANY, wxPoint(0, 0), wxDefaultSize,
                          wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER);
  m_tools->SetToolBitmapSize(
      wxSize(toolbar->Source()->button.width, toolbar->Source()->button.height));

  // Drop-down lists made on the toolbar sit where the program put them: on the separator that
  // starts at their left edge, or after the entries when none does (after a reload).
  std::vector<ComboBox*> combos;
  for (const auto& control : toolbar->Controls()) {
    if (auto* combo = dynamic_cast<ComboBox*>(control.get()))
      combos.push_back(combo);
  }
  std::sort(combos.begin(), combos.end(),
            [](ComboBox* a, ComboBox* b) { return a->GetRect().x < b->GetRect().x; });
  auto addCombo = [&](ComboBox* combo) {
    auto* choice =
        new wxChoice(m_tools, wxID_ANY, wxDefaultPosition, wxSize(combo->GetRect().width, -1));
    const int id = combo->Id();
    choice->Bind(wxEVT_CHOICE, [this, id](wxCommandEvent& event) {
      if (m_syncing)
        return;
      const int index = event.GetInt();
      Feed([this, id, index] {
        ToolBar* tools = ModelToolBar();
        return tools ? UserChoose(*tools, id, index) : std::string("the toolbar is gone");
      });
    });
    m_tools->AddControl(choice);
    m_toolControls.emplace_back(id, choice);
    combos.erase(std::find(combos.begin(), combos.end(), combo));
  };
  for (int i = 0; i < toolbar->GetCount(); ++i) {
    const ToolBarEntry& entry = toolbar->GetEntry(i);
    if (entry.style & kSeparator) {
      const int x = toolbar->GetItemRect(i).x;
      const auto placed = std::find_if(combos.begin(), combos.end(),
                                       [x](ComboBox* c) { return c->GetRect().x == x; });
      if (entry.width > 0 && placed != combos.end())
        addCombo(*placed);
      else
        m_tools->AddSeparator();
      continue;
    }
    wxItemKind kind = wxITEM_NORMAL;
    if ((entry.style & kCheckGroup) == kCheckGroup)
      kind = wxITEM_RADIO;
    else if (entry.style & kCheck)
      kind = wxITEM_CHECK;
    m_tools->AddTool(entry.command, wxString(), Glyph(*toolbar->Source(), entry.glyph), wxString(),
                     kind);
  }
  while (!combos.empty())
    addCombo(combos.front());
  m_tools->Realize();
  m_tools->SetSize(m_client->GetClientSize().x, m_tools->GetBestSize().y);
  m_tools->Bind(wxEVT_TOOL, [this](wxCommandEvent& event) {
    if (m_syncing)
      return;
    const int command = event.GetId();
    Feed([this, command] {
      ToolBar* tools = ModelToolBar();
      return tools ? UserToolBarClick(*tools, command) : std::string("the toolbar is gone");
    });
  });
}

wxWindow* FrameView::Widget(int id) const {
  for (const auto& [controlId, widget] : m_toolControls) {
    if (controlId == id)
      return widget;
  }
  return nullptr;
}

void FrameView::SyncMenu() {
  if (wxMenuBar* bar = GetMenuBar(); bar && m_model.GetMenu()) {
    for (const MenuItem& popup : m_model.GetMenu()->Popups())
      SyncItems(bar, popup.items);
  }
}

void FrameView::SyncFromModel() {
  if (!IsAlive(m_app, &m_model))
    return;
  m_syncing = true;
  const wxString title = m_platform.Decode(m_model.GetWindowText());
  if (GetTitle() != title)
    SetTitle(title);
  SyncMenu();
  ToolBar* toolbar = ModelToolBar();
  if (ToolBarSignature(toolbar) != m_toolSignature)
    RebuildToolBar(toolbar);
  if (toolbar && m_tools) {
    for (int i = 0; i < toolbar->GetCount(); ++i) {
      const ToolBarEntry& entry = toolbar->GetEntry(i);
      if (!(entry.style & kCheck) || !m_tools->FindById(entry.command))
        continue;
      const bool checked = (entry.style & kChecked) != 0;
      if (m_tools->GetToolState(entry.command) != checked)
        m_tools->ToggleTool(entry.command, checked);
    }
    for (const auto& [id, widget] : m_toolControls) {
      auto* model = toolbar->Item<ComboBox>(id);
      auto* choice = static_cast<wxChoice*>(widget);
      if (!model)
        continue;
      bool same = static_cast<int>(choice->GetCount()) == model->GetCount();
      for (int i = 0; same && i < model->GetCount(); ++i)
        same = choice->GetString(i) == m_platform.Decode(model->GetEntry(i));
      if (!same) {
        wxArrayString entries;
        for (const std::string& entry : model->Entries())
          entries.Add(m_platform.Decode(entry));
        choice->Set(entries);
      }
      if (choice->GetSelection() != model->GetCurSel())
        choice->SetSelection(model->GetCurSel());
      if (choice->IsShown() != model->IsVisible())
        choice->Show(model->IsVisible());
      if (choice->IsEnabled() != model->IsEnabled())
        choice->Enable(model->IsEnabled());
    }
  }
  m_syncing = false;
  if (m_presenter.Changed(m_model.Client()))
    m_client->Refresh(false);
}

}  // namespace quillon::ui::wx
