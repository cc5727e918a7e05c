#include "studio/settings.h"

#include <charconv>
#include <map>
#include <optional>

#include "core/whole_number.h"
#include "studio/recent_files.h"

namespace quillon::studio {
namespace {

// Written and read without the locale, so that a setting reads back the same anywhere.
std::string Decimal(double value) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  return ec == std::errc() ? std::string(text, end) : std::string("0.5");
}

std::optional<double> ReadDecimal(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end)
    return std::nullopt;
  return value;
}

}  // namespace

SettingPairs SettingsToPairs(const StudioSettings& s) {
  SettingPairs pairs = {
      {"SecretFolder", s.secretFolder},
      {"LayersFolder", s.layersFolder},
      {"SharesFolder", s.sharesFolder},
      {"StackFolder", s.stackFolder},
      {"PrintFolder", s.printFolder},
      {"Scheme", std::to_string(s.scheme)},
      {"Participants", std::to_string(s.participants)},
      {"Threshold", std::to_string(s.threshold)},
      {"Optimal", s.optimal ? "1" : "0"},
      {"Sets", s.sets},
      {"Method", std::to_string(s.method)},
      {"ShareFormat", s.shareFormat == ShareFormat::kPng ? "png" : "bmp"},
      {"Paper", s.print.paper},
      {"PixelMm", Decimal(s.print.pixelMm)},
      {"SamePage", s.print.samePage ? "1" : "0"},
      {"WindowWidth", std::to_string(s.windowWidth)},
      {"WindowHeight", std::to_string(s.windowHeight)},
  };
  for (size_t i = 0; i < s.recent.size() && i < kMaxRecentFiles; ++i)
    pairs.emplace_back("Recent" + std::to_string(i + 1), s.recent[i]);
  return pairs;
}

StudioSettings SettingsFromPairs(const SettingPairs& pairs) {
  const std::map<std::string, std::string> values(pairs.begin(), pairs.end());
  StudioSettings s;
  auto text = [&](const char* key, std::string& out) {
    if (const auto it = values.find(key); it != values.end())
      out = it->second;
  };
  auto number = [&](const char* key, int& out) {
    if (const auto it = values.find(key); it != values.end()) {
      if (const auto value = ParseWholeNumber(it->second))
        out = *value;
    }
  };
  auto flag = [&](const char* key, bool& out) {
    if (const auto it = values.find(key);
        it != values.end() && (it->second == "0" || it->second == "1"))
      out = it->second == "1";
  };
  text("SecretFolder", s.secretFolder);
  text("LayersFolder", s.layersFolder);
  text("SharesFolder", s.sharesFolder);
  text("StackFolder", s.stackFolder);
  text("PrintFolder", s.printFolder);
  number("Scheme", s.scheme);
  number("Participants", s.participants);
  number("Threshold", s.threshold);
  flag("Optimal", s.optimal);
  text("Sets", s.sets);
  number("Method", s.method);
  if (const auto it = values.find("ShareFormat"); it != values.end() && it->second == "png")
    s.shareFormat = ShareFormat::kPng;
  text("Paper", s.print.paper);
  if (const auto it = values.find("PixelMm"); it != values.end()) {
    if (const auto value = ReadDecimal(it->second))
      s.print.pixelMm = *value;
  }
  flag("SamePage", s.print.samePage);
  number("WindowWidth", s.windowWidth);
  number("WindowHeight", s.windowHeight);
  for (size_t i = 1; i <= kMaxRecentFiles; ++i) {
    if (const auto it = values.find("Recent" + std::to_string(i)); it != values.end())
      s.recent.push_back(it->second);
  }
  return s;
}

}  // namespace quillon::studio
