#include "ui/application.h"

#include <algorithm>

#include "ui/window.h"

namespace quillon::ui {

Application::Application(Platform& platform, const ResourceSet& resources, std::string name)
    : m_platform(platform), m_resources(resources), m_name(std::move(name)) {}

int Application::MessageBox(const Window* owner, const std::string& text,
                            const std::string& caption, MessageIcon icon) {
  return m_platform.ShowMessageBox(
      MessageBoxRequest{owner, caption.empty() ? m_name : caption, text, icon});
}

void Application::UpdateWindows() {
  // Painting may make or destroy windows: walk a copy and skip the ones gone meanwhile.
  const std::vector<Window*> windows = m_windows;
  for (Window* window : windows) {
    if (std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end())
      window->UpdateWindow();
  }
}

void Application::Unregister(Window* window) {
  m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

std::string Application::NameFromPath(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos)
    path.remove_prefix(slash + 1);
  const size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot > 0)
    path = path.substr(0, dot);
  return std::string(path);
}

}  // namespace quillon::ui
