// The session of share generation for quillon-cli: shares go to an output folder, messages
// to stderr as one line each, and the innocent images come from the command line in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "shares/share_session.h"

namespace quillon::cli {

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
};

}  // namespace quillon::cli
