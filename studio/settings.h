// What the Studio remembers between runs, as plain values: the folders its file dialogs last
// used, the last scheme choices, the share format, the print choices, the window size and the
// recent files. The view stores them through wxConfig, as the key and value strings of
// SettingsToPairs; the document takes them back with Document::ApplySettings, which keeps
// every choice within what can be built. Plain values and pure functions.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quillon::studio {

enum class ShareFormat { kBmp, kPng };

struct PrintChoice {
  std::string paper = "a4";  // a name io/print_sheets.h's FindPaper knows
  double pixelMm = 0.5;      // the side of one share pixel on paper
  bool samePage = false;     // every share side by side on one page
};

struct StudioSettings {
  // The folders the file dialogs start in ("" for the view's default).
  std::string secretFolder;
  std::string layersFolder;
  std::string sharesFolder;
  std::string stackFolder;
  std::string printFolder;
  // The last scheme choices: the scheme and method by their table numbers.
  int scheme = 0;
  int participants = 2;
  int threshold = 2;
  bool optimal = false;
  std::string sets;
  int method = 0;
  ShareFormat shareFormat = ShareFormat::kBmp;
  PrintChoice print;
  // The window's size in pixels; 0 for the view's default.
  int windowWidth = 0;
  int windowHeight = 0;
  std::vector<std::string> recent;  // most recent first
};

using SettingPairs = std::vector<std::pair<std::string, std::string>>;

// Every setting as a key and a value: stable keys ("Scheme", "Participants", "Recent1", ...),
// numbers in decimal, flags as "0" or "1".
SettingPairs SettingsToPairs(const StudioSettings& settings);
// Reads what SettingsToPairs wrote. Unknown keys are ignored; a value that cannot be read
// leaves its default. Ranges are the document's to enforce.
StudioSettings SettingsFromPairs(const SettingPairs& pairs);

}  // namespace quillon::studio
