// The files of one share set written all or nothing. Every file is staged beside its target
// under the rules of core/atomic_file.h (new files get the mode handed in, 0600 unless told;
// a replaced file keeps its mode; links are written through; a target that is a folder,
// device or FIFO refuses the whole set before anything is written). Only when every file is
// written, synced and closed are they renamed over their targets, one after the other, with
// SIGINT, SIGTERM and SIGHUP held back meanwhile. A failure before the renames, or an
// interruption by one of those signals, removes everything staged and leaves the earlier
// files as they were; SIGKILL leaves the earlier set whole too, but may leave hidden staged
// files (".capa1.bmp.quillon-PID-N") behind, which a later run neither needs nor removes.
// The renames are the one step that cannot be undone: should the system refuse one after
// others went through, the outcome names that file (index: its place in the set) and the
// set is mixed. One object per set, used by one thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

class ShareSetWriter {
 public:
  explicit ShareSetWriter(Env& env, uint32_t mode = kPrivateFileMode);

  // Adds a file to the set: write gives its bytes (BmpImage::WriteTo, a PNG encoder).
  void Add(std::string target, WriteBytes write);

  // Writes the set. Failures carry the target as it was added and its index in the set; two
  // targets whose links lead to the same path give kOutputTwice (detail: the first). Other
  // spellings of one file ("dir/../x") are core/file_identity.h's to catch, before the work.
  Outcome Write();

  // For tests: called after each file is staged (written and closed) with how many are.
  void SetStagedHook(std::function<void(size_t staged)> hook) { m_stagedHook = std::move(hook); }

 private:
  struct Entry {
    std::string target;
    WriteBytes write;
  };
  Env& m_env;
  uint32_t m_mode;
  std::vector<Entry> m_entries;
  std::function<void(size_t)> m_stagedHook;
};

// The earlier shares in folder that a new set of n shares will not replace: capa<n+1> to
// capa9, .bmp and .png, whatever exists under those names (links included), in that order.
// folder "" is the working folder. Paths that cannot be checked are left out.
std::vector<std::string> SharesBeyond(Env& env, const std::string& folder, int n);

}  // namespace quillon
