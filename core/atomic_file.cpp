#include "core/atomic_file.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "core/staged_files.h"

namespace quillon {
namespace {

// Staged names stay well within a file system's 255-byte names whatever the target's length.
constexpr size_t kMaxStagedBase = 200;
constexpr int kNameAttempts = 100;

// Staged names are unique within the process; the pid makes them unique across processes.
std::atomic<uint64_t> g_stagedCount{0};

// The folder part of path with its slash, "" when there is none.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

AtomicFile::AtomicFile(Env& env, std::string target, uint32_t mode)
    : m_env(env), m_target(std::move(target)), m_newMode(mode) {}

AtomicFile::~AtomicFile() {
  Discard();
}

Outcome AtomicFile::AsTarget(Outcome outcome) const {
  outcome.file = m_target;
  return outcome;
}

void AtomicFile::Discard() {
  m_file.reset();
  if (!m_staged.empty())
    m_env.Remove(m_staged);
  if (m_registered)
    UnregisterStaged(m_staged);
  m_registered = false;
  m_staged.clear();
}

Outcome AtomicFile::Prepare() {
  if (m_prepared)
    return Outcome::Ok();
  if (m_target.empty())
    return Outcome::Fail(Code::kCannotCreate, m_target, ENOENT);
  std::string path = m_target;
  FileStatus status;
  for (int hops = 0;; ++hops) {
    if (Outcome checked = m_env.Status(path, false, &status); !checked)
      return Outcome::Fail(Code::kCannotCreate, m_target, checked.error);
    if (status.type != FileStatus::Type::kLink)
      break;
    if (hops == kMaxLinkHops)
      return Outcome::Fail(Code::kCannotCreate, m_target, ELOOP);
    std::string link;
    if (Outcome read = m_env.ReadLink(path, &link); !read)
      return Outcome::Fail(Code::kCannotCreate, m_target, read.error);
    if (link.empty())
      return Outcome::Fail(Code::kCannotCreate, m_target, ENOENT);
    path = link[0] == '/' ? link : FolderOf(path) + link;
  }
  // Told as Env::OpenForRead tells it: EISDIR for a folder, nothing more for a device or FIFO.
  if (status.Exists() && status.type != FileStatus::Type::kRegular) {
    return Outcome::Fail(Code::kNotRegularFile, m_target,
                         status.type == FileStatus::Type::kFolder ? EISDIR : 0);
  }
  m_folder = FolderOf(path);
  if (path.size() == m_folder.size())
    return Outcome::Fail(Code::kCannotCreate, m_target, EISDIR);
  m_final = path;
  m_exists = status.Exists();
  m_keptMode = status.mode & 0777;
  m_prepared = true;
  return Outcome::Ok();
}

Outcome AtomicFile::Open() {
  if (Outcome prepared = Prepare(); !prepared)
    return prepared;
  const std::string base = m_final.substr(m_folder.size(), kMaxStagedBase);
  const std::string prefix = m_folder + "." + base + ".quillon-" + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = prefix + std::to_string(g_stagedCount++);
    // Registered before it exists, so that no moment leaves it unknown to the handler.
    if (!RegisterStaged(name)) {
      return Outcome::Fail(Code::kCannotCreate, m_target,
                           name.size() >= kMaxStagedPath ? ENAMETOOLONG : EMFILE);
    }
    Outcome created = m_env.CreateNew(name, m_newMode, &m_file);
    if (created) {
      m_staged = name;
      m_registered = true;
      return Outcome::Ok();
    }
    UnregisterStaged(name);
    // A name left by an earlier process with our pid; another one will do.
    if (created.error != EEXIST)
      return AsTarget(std::move(created));
  }
  return Outcome::Fail(Code::kCannotCreate, m_target, EEXIST);
}

Outcome AtomicFile::Finish() {
  if (m_finished)
    return Outcome::Ok();
  if (!m_file)
    return Outcome::Fail(Code::kCannotWrite, m_target, EBADF);
  Outcome done = Outcome::Ok();
  if (m_exists)
    done = m_file->SetMode(m_keptMode);
  if (done)
    done = m_file->Sync();
  // Closed even after a failure: the staged file is removed next.
  Outcome closed = m_file->Close();
  m_file.reset();
  if (done)
    done = std::move(closed);
  if (!done) {
    Discard();
    return AsTarget(std::move(done));
  }
  m_finished = true;
  return Outcome::Ok();
}

Outcome AtomicFile::Replace() {
  if (Outcome finished = Finish(); !finished)
    return finished;
  if (m_staged.empty())
    return Outcome::Fail(Code::kCannotReplace, m_target, ENOENT);
  if (Outcome renamed = m_env.Rename(m_staged, m_final); !renamed) {
    Discard();
    return AsTarget(std::move(renamed));
  }
  UnregisterStaged(m_staged);
  m_registered = false;
  m_staged.clear();
  return Outcome::Ok();
}

Outcome AtomicFile::Commit() {
  {
    HoldStagedSignals hold;
    if (Outcome replaced = Replace(); !replaced)
      return replaced;
  }
  if (Outcome synced = m_env.SyncFolder(m_folder); !synced)
    return AsTarget(std::move(synced));
  return Outcome::Ok();
}

Outcome WriteFileAtomically(Env& env, const std::string& target, uint32_t mode,
                            const WriteBytes& write) {
  AtomicFile file(env, target, mode);
  if (Outcome opened = file.Open(); !opened)
    return opened;
  if (Outcome written = write(file.File()); !written) {
    written.file = target;
    return written;
  }
  return file.Commit();
}

}  // namespace quillon
