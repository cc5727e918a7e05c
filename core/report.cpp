#include "core/report.h"

#include <cstdio>
#include <utility>

namespace quillon {
namespace {

void DefaultReporter(const std::string& caption, const std::string& text) {
  if (caption.empty()) {
    std::fprintf(stderr, "%s\n", text.c_str());
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
}

Reporter& Current() {
  static Reporter reporter = DefaultReporter;
  return reporter;
}

}  // namespace

Reporter SetReporter(Reporter reporter) {
  if (!reporter)
    reporter = DefaultReporter;
  return std::exchange(Current(), std::move(reporter));
}

void Report(const std::string& text) {
  Current()("", text);
}

void Report(const std::string& caption, const std::string& text) {
  Current()(caption, text);
}

}  // namespace quillon
