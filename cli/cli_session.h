// The sessions of share generation and stacking for quillon-cli: the files come from the
// command line in order, shares and results go where the options say, and progress goes to
// stderr on a terminal. Nothing here prints a message: the commands word the outcomes. Each
// object belongs to one command run on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "combine/combine_flow.h"
#include "io/picture.h"
#include "io/two_colour.h"
#include "shares/share_session.h"

namespace quillon::cli {

// A progress line on stderr for long work: "quillon-cli split: 42%", rewritten in place,
// shown only when stderr is a terminal and only once the work has taken more than a second;
// the line is cleared when the work ends (fraction 1) or the object goes.
class ProgressLine {
 public:
  using Clock = std::function<double()>;  // seconds from any fixed moment
  // Decides from the stream whether it is a terminal, and reads the steady clock.
  ProgressLine(std::FILE* err, std::string command);
  ProgressLine(std::FILE* err, std::string command, bool terminal, Clock clock);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Update(double fraction);

 private:
  void Clear();
  std::FILE* m_err;
  std::string m_command;
  bool m_terminal;
  Clock m_clock;
  double m_start;
  int m_shown = -1;  // the percentage on the line, -1 when none is shown
};

// The folders a run makes for its output, and their removal when the output is not written.
// While the object lives, SIGINT, SIGTERM or SIGHUP remove those of them that are empty
// (core/staged_files.h): each is registered before it is made, so that Ctrl-C before the
// output is in place leaves no new folder either. One object per output folder.
class OutputFolders {
 public:
  OutputFolders() = default;
  // Forgets the registrations; the folders stay.
  ~OutputFolders();
  OutputFolders(const OutputFolders&) = delete;
  OutputFolders& operator=(const OutputFolders&) = delete;

  // Makes folder and its missing parents through env ("" is the working folder: nothing).
  Outcome Make(Env& env, const std::string& folder);
  // Removes the folders Make made (also when it failed part way), and any folder made inside
  // them since, each only when empty: a failed run leaves no new folder behind, however the
  // folder was spelled ("new/a/..").
  void RemoveMade(Env& env) const;

 private:
  std::string m_made;  // the outermost folder made, empty when none
  std::vector<std::string> m_registered;
};

// Where a split's shares go and what it reads besides the secret.
struct ShareOutput {
  std::string folder;  // "" for the working folder
  bool png = false;    // 1-bit PNG shares capaN.png instead of BMP files
  // The extended methods' innocent images, one per share in share order, read as two-colour
  // pictures by innocentRule when innocentByColour (a PNG or JPEG always is).
  std::vector<std::string> innocentImages;
  bool innocentByColour = false;
  TwoColourRule innocentRule;
};

// "capa3.bmp" (or .png) in the output folder, for share r from 0.
std::string SharePath(const ShareOutput& output, int share);

class CliShareSession : public ShareSession {
 public:
  CliShareSession(Console console, ShareOutput output);

  std::optional<std::string> ChooseInnocentImage(int share) override;
  // BMP, PNG and JPEG innocent images, read from the user's own file.
  Outcome LoadInnocentImage(Env& env, int share, const std::string& path, BmpImage& image) override;
  std::string OutputPath(int share, const std::string& name) override;
  Outcome WriteShare(WritableFile& file, const BmpImage& share) override;
  void SharesWritten(int m) override;
  void ShowProgress(double fraction) override { m_progress.Update(fraction); }

  // The files of the set written, in share order; empty until it is.
  const std::vector<std::string>& ShareFiles() const { return m_shareFiles; }
  // Whether the last innocent image failed to load (the outcome is the reader's), and the
  // format its first bytes showed.
  bool InnocentLoadFailed() const { return m_loadFailed; }
  PictureFormat InnocentFormat() const { return m_innocentFormat; }
  // The size of the last innocent image loaded, to say why it is too small.
  int32_t InnocentWidth() const { return m_innocentWidth; }
  int32_t InnocentHeight() const { return m_innocentHeight; }

 private:
  ShareOutput m_output;
  bool m_loadFailed = false;
  PictureFormat m_innocentFormat = PictureFormat::Unknown;
  int32_t m_innocentWidth = 0;
  int32_t m_innocentHeight = 0;
  std::vector<std::string> m_shareFiles;
  ProgressLine m_progress;
};

// The session of stacking for quillon-cli: the layers are the files given, in order, and the
// result is written to outPath, whose folder is made when missing.
class CliCombineSession : public CombineSession {
 public:
  CliCombineSession(Console console, std::vector<std::string> layerFiles, std::string outPath);

  std::optional<std::string> ChooseLayer(int layer) override;
  // PNG and JPEG layers as well as BMP files, by LoadLayerPicture.
  Outcome LoadLayer(Env& env, int layer, const std::string& path, BmpImage& image) override;
  void LayerLoaded(int layer) override { m_loaded = layer + 1; }
  std::string OutputPath() override { return m_outPath; }
  // Makes the result's folder when missing.
  Outcome PrepareOutput() override;
  void ShowProgress(double fraction) override { m_progress.Update(fraction); }

  // How many layers loaded: a failure before all did concerns layer LayersLoaded().
  int LayersLoaded() const { return m_loaded; }
  // The format the last layer's first bytes showed.
  PictureFormat LayerFormat() const { return m_format; }
  // The folders PrepareOutput made.
  const OutputFolders& Folders() const { return m_folders; }

 private:
  Env& m_env;
  std::vector<std::string> m_layerFiles;
  std::string m_outPath;
  int m_loaded = 0;
  PictureFormat m_format = PictureFormat::Unknown;
  OutputFolders m_folders;
  ProgressLine m_progress;
};

// Reads a layer for stacking, the format told by content (format, when given, gets it): a PNG
// or JPEG as LoadTwoColourPicture reads it, a BMP (or anything else) straight into its
// two-colour view by BmpImage::LoadTwoColour, since stacking sees nothing more. Outcomes name
// path.
Outcome LoadLayerPicture(Env& env, const std::string& path, BmpImage& image,
                         PictureFormat* format = nullptr);

// The folder of a file path: "" for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace quillon::cli
