// CShareFrame: the frame window that owns the session and every command. It is created
// hidden and stays so in the desktop program; the main dialog runs its open, encrypt and
// combine commands, and a frame that is shown offers them in its menu and toolbar as well.
//
// The session: the current path and image, the image list with its selector, the canvas,
// the toolbar's scheme, method, n, k and qualified sets, and the layers of the last
// combination. Each command runs to completion on the user-interface thread; its messages,
// including those of loading and saving images, are message boxes owned by the frame. The
// frame implements the share and combine sessions for the computing code. Not thread-safe.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/image_list.h"
#include "app/scheme_toolbar.h"
#include "combine/combine_flow.h"
#include "core/bmp_image.h"
#include "core/report.h"
#include "shares/share_session.h"
#include "ui/frame.h"
#include "ui/platform.h"
#include "ui/surface.h"

namespace quillon {

// The sibling viewer started for every layer combined, and the file that tells it which.
constexpr char kViewerProgram[] = "skiv.exe";
constexpr char kViewerSettings[] = "tez.ini";

class CShareFrame : public ui::FrameWnd, public ShareSession, public CombineSession {
 public:
  // Creates the window (not visible), its toolbar with the start values, the white canvas
  // and an empty image list.
  explicit CShareFrame(ui::Application& app);

  // Commands.
  void OnOpenImage();
  void OnCloseImage();
  void OnCloseAll();
  void OnSaveCurrentAs();
  void OnExit();
  void OnHelp();
  void OnAbout();
  void EncryptSecretImage();
  void CombineShares();
  // Loads the selected entry as the current image and draws it on the canvas.
  void RefreshCanvas();

  // The texts of OnHelp and OnAbout.
  static const char* HelpText();
  static const char* AboutText();

  // Stores n and k unchecked and selects the (k,n) scheme; the method stays.
  void SelectKnScheme(int n, int k);
  // The image selector's choice: selects that entry and refreshes.
  void SelectImage(int index);

  const std::string& CurrentPath() const { return m_currentPath; }
  // Null while no image has been made current.
  const BmpImage* CurrentImage() const { return m_currentImage ? &*m_currentImage : nullptr; }
  const ImageList& Images() const { return m_images; }
  const ui::Surface& Canvas() const { return m_canvas; }
  CSchemeToolBar& ToolBar() { return m_toolBar; }
  const std::vector<BmpImage>& Layers() const { return m_layers; }

  // ShareSession and CombineSession.
  void RegisterImage(const std::string& path, const std::string& label) override;
  void SelectFirstNewShare(int m) override;
  void ShowMessage(const std::string& caption, const std::string& text) override;
  std::optional<std::string> ChooseInnocentImage(const std::string& title) override;
  void ShowProgress(double fraction) override;
  std::string OutputPath(const std::string& name) override { return name; }
  std::optional<std::string> ChooseLayer(int layer, const std::string& title) override;
  void LayerLoaded(int layer) override;
  void SelectNewResult() override;

 protected:
  bool OnCommand(int id, ui::Notify code) override;
  void OnPaint() override;

 private:
  // Load and Save report through the global reporter: while a command runs, its messages are
  // the frame's message boxes.
  ScopedReporter MessagesToFrame();
  // Shows an open dialog for a BMP file; nullopt when cancelled.
  std::optional<std::string> ChooseBmpFile(const std::string& title);
  // Puts the image list's entries and selection into the selector.
  void SyncImageSelector();
  void EndProgress() { m_progress.reset(); }

  std::string m_currentPath;
  std::optional<BmpImage> m_currentImage;
  ui::Canvas m_canvas;
  CSchemeToolBar m_toolBar;
  std::vector<BmpImage> m_layers;
  ImageList m_images;
  std::unique_ptr<ui::ProgressDialog> m_progress;
  bool m_progressWanted = false;
};

}  // namespace quillon
