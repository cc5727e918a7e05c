// The real windows behind WxPlatform (private to ui/wx): a dialog in its modal loop and a
// visible frame, each keeping its widgets in step with its model window.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/toolbar.h>

#include "ui/dialog.h"
#include "ui/frame.h"
#include "ui/surface.h"
#include "ui/wx/wx_platform.h"

namespace quillon::ui::wx {

// Shows a model surface; remembers what it showed so that only changes repaint.
class SurfacePresenter {
 public:
  // transparent: pixels of this colour leave what dc already shows.
  void Paint(wxDC& dc, const Surface& surface, const Rgb* transparent = nullptr);
  // Whether the surface differs from what was painted last.
  bool Changed(const Surface& surface) const { return surface.Data() != m_shown; }

 private:
  std::vector<uint8_t> m_shown;
};

class DialogView : public wxDialog {
 public:
  DialogView(WxPlatform& platform, Dialog& model, wxWindow* parent);
  Dialog& Model() const { return m_model; }
  wxWindow* Widget(int id) const;
  // Widgets from the models, the client surface presented, and the modal loop left once the
  // model has ended.
  void SyncFromModel();

 private:
  struct Binding {
    Control* control;
    wxWindow* widget;
    std::string shown;  // the model text a label was last given
  };
  wxWindow* MakeWidget(Control& control);
  void SyncWidget(Binding& binding);
  // Runs a user action on the models, then brings every view in step.
  void Feed(const std::function<std::string()>& action);
  void OnCharHook(wxKeyEvent& event);
  void OnPaint(wxPaintEvent& event);
  void RememberSelection(int id);

  WxPlatform& m_platform;
  Dialog& m_model;
  std::vector<Binding> m_bindings;
  int m_lastFocus;
  // Edit selections as last synced; only the program's own changes are pushed to widgets.
  std::map<int, std::pair<int, int>> m_lastSelection;
  bool m_syncing = false;
  SurfacePresenter m_presenter;
  Rgb m_face;  // the dialog colour
  wxFont m_labelFont;
};

class FrameView : public wxFrame {
 public:
  FrameView(WxPlatform& platform, FrameWnd& model);
  // Only for comparing addresses once the model may be gone.
  FrameWnd& Model() const { return m_model; }
  wxWindow* Widget(int id) const;
  wxToolBar* Tools() const { return m_tools; }
  wxPanel* ClientPanel() const { return m_client; }
  void SyncFromModel();

 private:
  // The model's toolbar that this view shows, or null.
  ToolBar* ModelToolBar() const;
  // Everything that decides how the toolbar is laid out, to rebuild it only on changes.
  std::vector<int> ToolBarSignature(const ToolBar* toolbar) const;
  void RebuildToolBar(ToolBar* toolbar);
  void SyncMenu();
  // Runs a user action on the models when the model still lives.
  void Feed(const std::function<std::string()>& action);

  WxPlatform& m_platform;
  Application& m_app;
  FrameWnd& m_model;  // check IsAlive before use: handlers may delete it
  wxPanel* m_client;
  wxToolBar* m_tools = nullptr;
  std::vector<int> m_toolSignature;
  std::vector<std::pair<int, wxWindow*>> m_toolControls;  // selectors by control id
  SurfacePresenter m_presenter;
  bool m_syncing = false;
};

// Whether the model window is still alive in app (windows may be deleted by handlers).
bool IsAlive(const Application& app, const Window* window);

}  // namespace quillon::ui::wx
