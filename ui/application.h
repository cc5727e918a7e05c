// The application object: the platform, the resources and the application's name, which
// message boxes without a caption of their own show. A program derives from it and does its
// start-up in InitInstance. Every window is made for one Application and must not outlive
// it. Not thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/platform.h"
#include "ui/resources.h"

namespace quillon::ui {

class Window;

class Application {
 public:
  Application(Platform& platform, const ResourceSet& resources, std::string name);
  virtual ~Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up; the program ends when it returns, unless it leaves a window running.
  virtual bool InitInstance() { return true; }
  // Runs InitInstance. Returns the exit status: 0 when it succeeded, 1 otherwise.
  int Run() { return InitInstance() ? 0 : 1; }

  Platform& GetPlatform() const { return m_platform; }
  const ResourceSet& Resources() const { return m_resources; }
  const std::string& Name() const { return m_name; }

  // A modal message box with an OK button. An empty caption stands for Name().
  int MessageBox(const Window* owner, const std::string& text,
                 const std::string& caption = std::string(), MessageIcon icon = MessageIcon::None);

  // The windows alive now, in creation order.
  const std::vector<Window*>& Windows() const { return m_windows; }
  // Paints every visible window that waits for it; backends call it when idle.
  void UpdateWindows();

  // An executable's file name without directory and extension: "/usr/bin/quillon" and
  // "C:\\bin\\quillon.exe" both give "quillon".
  static std::string NameFromPath(std::string_view path);

 private:
  friend class Window;
  void Register(Window* window) { m_windows.push_back(window); }
  void Unregister(Window* window);

  Platform& m_platform;
  const ResourceSet& m_resources;
  std::string m_name;
  std::vector<Window*> m_windows;
};

}  // namespace quillon::ui
