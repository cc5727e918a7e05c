// The files (and folders) a run has put beside the user's files and must not leave behind: the
// staged copies of files being written, a private folder of half-made output. While anything
// is registered, SIGINT, SIGTERM and SIGHUP remove every registered path (files first, then
// folders that are empty by then) and end the process with the signal's default action; when the
// last path is unregistered, the handlers that were there before come back. A signal that the
// process ignored stays ignored.
//
// The handler only walks a fixed table of C strings, so it is async-signal-safe; a path is
// removed only by the process that registered it (a forked child that is interrupted leaves
// its parent's files alone). SIGKILL cannot be caught: staged files may then remain, as hidden
// dot-files beside their targets. Relative paths are taken from the working folder at the
// moment of the signal. Thread-safe.
#pragma once

#include <string>

namespace quillon {

// Room for this many paths at once, each shorter than kMaxStagedPath bytes.
constexpr int kStagedSlots = 64;
constexpr size_t kMaxStagedPath = 4096;

// Registers path for removal on a signal. Returns false (nothing registered) when the table
// is full or the path too long; the caller must then not create the file.
bool RegisterStaged(const std::string& path);
// Forgets path (once, for each time it was registered); the file itself is left alone.
void UnregisterStaged(const std::string& path);

// While one of these lives (in any thread), a signal that would remove the staged files is
// held back: the renames that put a finished set in place run to their end, so that the set
// is replaced whole. When the last one ends, a signal that came meanwhile is acted on: the
// paths still registered are removed and the process ends.
class HoldStagedSignals {
 public:
  HoldStagedSignals();
  ~HoldStagedSignals();
  HoldStagedSignals(const HoldStagedSignals&) = delete;
  HoldStagedSignals& operator=(const HoldStagedSignals&) = delete;
};

}  // namespace quillon
