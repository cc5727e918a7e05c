// One file written whole or not at all: the bytes go to a staged file beside the target
// (".NAME.quillon-PID-N", created new, never through a link), which is synced, closed and
// renamed over the target only when everything was written. A failure, an interruption by
// SIGINT, SIGTERM or SIGHUP (see core/staged_files.h) or the object's end before Commit
// leave the earlier file as it was and nothing of the write behind; SIGKILL may leave the
// hidden staged file, never a damaged target.
//
// The target: a new file gets the mode handed in (the umask still applies); a regular file
// that exists keeps its permission bits; a symbolic link is written through to its final
// target (the link stays a link; relative links are read from the link's folder, at most
// kMaxLinkHops of them); anything else that exists there (a folder, a device, a FIFO) is
// refused with kNotRegularFile before anything is created. Every outcome names the target as
// the caller gave it, with the system's error number. All file calls go through the Env
// handed in. One object per file, used by one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

constexpr int kMaxLinkHops = 40;
// Shares, stacked results and saved secrets are readable by their owner only.
constexpr uint32_t kPrivateFileMode = 0600;
// Files that are no secret (settings): what the umask allows.
constexpr uint32_t kOrdinaryFileMode = 0666;

// Writes the bytes of one file to the open file handed in.
using WriteBytes = std::function<Outcome(WritableFile&)>;

class AtomicFile {
 public:
  AtomicFile(Env& env, std::string target, uint32_t mode = kPrivateFileMode);
  // Removes the staged file unless Commit (or Replace) succeeded.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Follows the target's links and checks what stands there; creates nothing. Open calls it
  // when it was not called.
  Outcome Prepare();
  // Creates the staged file beside the final target.
  Outcome Open();
  // The staged file, between a successful Open and Finish.
  WritableFile& File() { return *m_file; }
  // Syncs and closes the staged file and gives it the mode the target will have.
  Outcome Finish();
  // Renames the finished staged file over the final target; the folder is not synced.
  Outcome Replace();
  // Finish (unless done), Replace, then syncs the folder: a failure of that last sync is
  // reported although the file is in place (it may not survive a power cut).
  Outcome Commit();

  const std::string& Target() const { return m_target; }
  // The path that is replaced: the target with its links followed.
  const std::string& FinalPath() const { return m_final; }
  // The final path's folder, with its slash ("" for the working folder).
  const std::string& Folder() const { return m_folder; }
  const std::string& StagedPath() const { return m_staged; }

 private:
  Outcome AsTarget(Outcome outcome) const;
  void Discard();

  Env& m_env;
  std::string m_target;
  uint32_t m_newMode;
  bool m_prepared = false;
  bool m_exists = false;  // a regular file stands at the final path
  uint32_t m_keptMode = 0;
  std::string m_final;
  std::string m_folder;
  std::string m_staged;  // empty until the staged file exists
  bool m_registered = false;
  std::unique_ptr<WritableFile> m_file;
  bool m_finished = false;
};

// Writes target through an AtomicFile with the bytes write produces. A failure of write is
// returned as it came, naming target.
Outcome WriteFileAtomically(Env& env, const std::string& target, uint32_t mode,
                            const WriteBytes& write);

}  // namespace quillon
