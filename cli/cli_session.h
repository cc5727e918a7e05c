// The session of share generation for quillon-cli: shares go to an output folder, messages
// to stderr as one line each, and the innocent images come from the command line in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "combine/combine_flow.h"
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

class CliShareSession : public ShareSession {
 public:
  // An empty outDir stands for the working directory.
  CliShareSession(Console console, std::string outDir, std::vector<std::string> innocentImages);

  void RegisterImage(const std::string& path, const std::string& label) override;
  // There is no canvas to redraw.
  void SelectFirstNewShare(int) override {}
  void ShowMessage(const std::string& caption, const std::string& text) override;
  std::optional<std::string> ChooseInnocentImage(const std::string& title) override;
  std::string OutputPath(const std::string& name) override;
  void ShowProgress(double fraction) override { m_progress.Update(fraction); }

  // The files of the registered shares, in order.
  const std::vector<std::string>& ShareFiles() const { return m_shareFiles; }
  // Whether the method asked for more innocent images than were given.
  bool RanOutOfInnocentImages() const { return m_ranOut; }

  // The secret's size, to tell why an innocent image was unusable.
  void SetSecretSize(int32_t width, int32_t height);

  // Messages are kept, not printed: a successful split says nothing on stderr. The caller
  // takes them, as one text, when the work did not succeed; the refusal of an innocent image
  // comes with which image and why, in place of the messages of its loading.
  std::string TakeHeldMessages();

 private:
  std::string InnocentReason() const;

  Console m_console;
  std::string m_outDir;
  std::vector<std::string> m_innocentImages;
  size_t m_nextInnocent = 0;
  bool m_ranOut = false;
  std::string m_lastInnocent;
  size_t m_heldBeforeInnocent = 0;
  int32_t m_secretWidth = 0;
  int32_t m_secretHeight = 0;
  std::vector<std::string> m_shareFiles;
  std::vector<std::pair<std::string, std::string>> m_held;
  ProgressLine m_progress;
};

// The session of stacking for quillon-cli: the layers are the files given, in order, and the
// result is written to outPath. The flow's own message is left out: the command says which
// layer failed in its error line (Load and Save messages go through the reporter).
class CliCombineSession : public CombineSession {
 public:
  CliCombineSession(Console console, std::vector<std::string> layerFiles, std::string outPath);

  std::optional<std::string> ChooseLayer(int layer, const std::string& title) override;
  // PNG and JPEG layers as well as BMP files.
  bool LoadLayer(const std::string& path, BmpImage& layer) override;
  // Makes the result's folder when missing.
  bool ReadyToWrite() override;
  void RegisterImage(const std::string&, const std::string&) override {}
  void SelectNewResult() override {}
  // The reader's and writer's messages go to the command's error line; the desktop
  // program's closing message for a layer that cannot be read says nothing more here.
  void ShowMessage(const std::string& caption, const std::string& text) override;
  void ShowProgress(double fraction) override { m_progress.Update(fraction); }
  std::string OutputPath(const std::string&) override { return m_outPath; }

  // What went wrong beyond the reader's own messages, for the command's one line.
  const std::string& Error() const { return m_error; }

 private:
  std::vector<std::string> m_layerFiles;
  std::string m_outPath;
  ProgressLine m_progress;
  std::string m_error;
};

}  // namespace quillon::cli
