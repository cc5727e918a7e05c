// CShareFrame: the frame window that owns the session and every command. It is created
// hidden and stays so in the desktop program; the main dialog runs its open, encrypt and
// combine commands, and a frame that is shown offers them in its menu and toolbar as well.
//
// The session: the current path and image, the image list with its selector, the canvas,
// the toolbar's scheme, method, n, k and qualified sets, and the layers of the last
// combination. Each command runs to completion on the user-interface thread; its messages,
// including those of loading and saving images, are message boxes owned by the frame, worded
// by app/messages.h from the outcomes of the computing code. The frame implements the share
// and combine sessions for that code; every file it reads or writes goes through the Env it
// is handed, which must outlive it. Shares and results are registered only once written.
// Not thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/image_list.h"
#include "app/messages.h"
#include "app/scheme_toolbar.h"
#include "combine/combine_flow.h"
#include "core/bmp_image.h"
#include "core/env.h"
#include "core/random.h"
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
  explicit CShareFrame(ui::Application& app, Env& env = Env::Default());

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

  // Where each encryption's random source comes from: a fresh system source per encryption
  // unless a test hands in another maker here (an empty one restores the system's).
  using RandomMaker = std::function<std::unique_ptr<RandomSource>()>;
  void SetRandomMaker(RandomMaker maker) { m_randomMaker = std::move(maker); }

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
  // The file layer every command reads and writes through.
  Env& GetEnv() const { return m_env; }

  // Appends an entry to the image list and the selector; the selection stays.
  void RegisterImage(const std::string& path, const std::string& label);

  // ShareSession and CombineSession.
  std::optional<std::string> ChooseInnocentImage(int share) override;
  Outcome LoadInnocentImage(Env& env, int share, const std::string& path, BmpImage& image) override;
  void SharesWritten(int m) override;
  void ShowProgress(double fraction) override;
  std::optional<std::string> ChooseLayer(int layer) override;
  Outcome LoadLayer(Env& env, int layer, const std::string& path, BmpImage& image) override;
  void LayerLoaded(int layer) override;
  void ResultWritten() override;

 protected:
  bool OnCommand(int id, ui::Notify code) override;
  void OnPaint() override;

 private:
  // Message boxes owned by the frame, one after the other.
  void ShowMessages(const std::vector<AppMessage>& messages);
  // Loads an innocent image or a layer: a colour table cut short is told at once, as the load
  // happens; a refusal is remembered, and the command tells it with its own words after.
  Outcome LoadForFlow(Env& env, const std::string& path, BmpImage& image);
  // Selects the entry `fromEnd` places before the end of the list and draws it.
  void SelectFromEnd(int fromEnd);
  // Shows an open dialog for a BMP file; nullopt when cancelled.
  std::optional<std::string> ChooseBmpFile(const std::string& title);
  // Puts the image list's entries and selection into the selector.
  void SyncImageSelector();
  void EndProgress() { m_progress.reset(); }

  Env& m_env;
  std::string m_currentPath;
  std::optional<BmpImage> m_currentImage;
  ui::Canvas m_canvas;
  CSchemeToolBar m_toolBar;
  std::vector<BmpImage> m_layers;
  ImageList m_images;
  std::unique_ptr<ui::ProgressDialog> m_progress;
  bool m_progressWanted = false;
  RandomMaker m_randomMaker;
  // Set when a layer or an innocent image failed to load during the running command.
  bool m_loadRefused = false;
};

}  // namespace quillon
