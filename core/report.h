// One channel for the messages of the computing code. The desktop program shows them in
// message boxes, quillon-cli prints them to stderr, tests record them.
#pragma once

#include <functional>
#include <string>

namespace quillon {

// An empty caption stands for the application's title.
using Reporter = std::function<void(const std::string& caption, const std::string& text)>;

// Installs the reporter and returns the one it replaces. An empty reporter restores the
// default, which writes "caption: text" lines to stderr.
Reporter SetReporter(Reporter reporter);

void Report(const std::string& text);
void Report(const std::string& caption, const std::string& text);

// Installs a reporter for the lifetime of the object and restores the previous one after.
class ScopedReporter {
 public:
  explicit ScopedReporter(Reporter reporter) : m_previous(SetReporter(std::move(reporter))) {}
  ~ScopedReporter() { SetReporter(std::move(m_previous)); }
  ScopedReporter(const ScopedReporter&) = delete;
  ScopedReporter& operator=(const ScopedReporter&) = delete;

 private:
  Reporter m_previous;
};

}  // namespace quillon
