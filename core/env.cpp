#include "core/env.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>

namespace quillon {
namespace {

class PosixReadable : public ReadableFile {
 public:
  PosixReadable(std::string path, int fd, int64_t size)
      : m_path(std::move(path)), m_fd(fd), m_size(size) {}
  ~PosixReadable() override { close(m_fd); }

  int64_t Size() const override { return m_size; }

  Outcome ReadAt(int64_t offset, void* buffer, size_t n, size_t* got) override {
    *got = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (*got < n) {
      const ssize_t r = pread(m_fd, out + *got, n - *got, static_cast<off_t>(offset + *got));
      if (r < 0 && errno == EINTR)
        continue;
      if (r < 0)
        return Outcome::Fail(Code::kCannotRead, m_path, errno);
      if (r == 0)
        break;
      *got += static_cast<size_t>(r);
    }
    return Outcome::Ok();
  }

 private:
  std::string m_path;
  int m_fd;
  int64_t m_size;
};

class PosixWritable : public WritableFile {
 public:
  PosixWritable(std::string path, int fd) : m_path(std::move(path)), m_fd(fd) {}
  ~PosixWritable() override {
    if (m_fd >= 0)
      close(m_fd);
  }

  Outcome Append(const void* data, size_t n) override {
    const auto* in = static_cast<const uint8_t*>(data);
    while (n > 0) {
      const ssize_t w = write(m_fd, in, n);
      if (w < 0 && errno == EINTR)
        continue;
      if (w < 0)
        return Outcome::Fail(Code::kCannotWrite, m_path, errno);
      in += w;
      n -= static_cast<size_t>(w);
    }
    return Outcome::Ok();
  }

  Outcome Sync() override {
    if (fsync(m_fd) != 0)
      return Outcome::Fail(Code::kCannotWrite, m_path, errno);
    return Outcome::Ok();
  }

  Outcome Close() override {
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0)
      return Outcome::Fail(Code::kCannotWrite, m_path, errno);
    return Outcome::Ok();
  }

  Outcome SetMode(uint32_t mode) override {
    if (fchmod(m_fd, static_cast<mode_t>(mode)) != 0)
      return Outcome::Fail(Code::kCannotWrite, m_path, errno);
    return Outcome::Ok();
  }

 private:
  std::string m_path;
  int m_fd;
};

FileStatus ToStatus(const struct stat& info) {
  FileStatus status;
  if (S_ISREG(info.st_mode)) {
    status.type = FileStatus::Type::kRegular;
  } else if (S_ISDIR(info.st_mode)) {
    status.type = FileStatus::Type::kFolder;
  } else if (S_ISLNK(info.st_mode)) {
    status.type = FileStatus::Type::kLink;
  } else {
    status.type = FileStatus::Type::kOther;
  }
  status.device = static_cast<uint64_t>(info.st_dev);
  status.inode = static_cast<uint64_t>(info.st_ino);
  status.mode = static_cast<uint32_t>(info.st_mode & 07777);
  status.size = static_cast<int64_t>(info.st_size);
  return status;
}

class PosixEnv : public Env {
 public:
  Outcome OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override {
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; it is then refused.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      return Outcome::Fail(errno == EISDIR ? Code::kNotRegularFile : Code::kCannotOpen, path,
                           errno);
    struct stat info;
    if (fstat(fd, &info) != 0) {
      const int error = errno;
      close(fd);
      return Outcome::Fail(Code::kCannotOpen, path, error);
    }
    if (!S_ISREG(info.st_mode)) {
      close(fd);
      return Outcome::Fail(Code::kNotRegularFile, path, S_ISDIR(info.st_mode) ? EISDIR : 0);
    }
    // Reads of a regular file never block; the flag only mattered for the open.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    *file = std::make_unique<PosixReadable>(path, fd, static_cast<int64_t>(info.st_size));
    return Outcome::Ok();
  }

  Outcome CreateNew(const std::string& path, uint32_t mode,
                    std::unique_ptr<WritableFile>* file) override {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        static_cast<mode_t>(mode));
    if (fd < 0)
      return Outcome::Fail(Code::kCannotCreate, path, errno);
    *file = std::make_unique<PosixWritable>(path, fd);
    return Outcome::Ok();
  }

  Outcome Rename(const std::string& from, const std::string& to) override {
    if (rename(from.c_str(), to.c_str()) != 0)
      return Outcome::Fail(Code::kCannotReplace, to, errno);
    return Outcome::Ok();
  }

  Outcome Remove(const std::string& path) override {
    if (unlink(path.c_str()) != 0 && rmdir(path.c_str()) != 0)
      return Outcome::Fail(Code::kCannotWrite, path, errno);
    return Outcome::Ok();
  }

  Outcome Status(const std::string& path, bool followLinks, FileStatus* status) override {
    struct stat info;
    const int r = followLinks ? stat(path.c_str(), &info) : lstat(path.c_str(), &info);
    if (r != 0) {
      *status = FileStatus();
      if (errno == ENOENT || errno == ENOTDIR)
        return Outcome::Ok();
      return Outcome::Fail(Code::kCannotOpen, path, errno);
    }
    *status = ToStatus(info);
    return Outcome::Ok();
  }

  Outcome ReadLink(const std::string& path, std::string* target) override {
    std::string buffer(256, '\0');
    for (;;) {
      const ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
      if (n < 0)
        return Outcome::Fail(Code::kCannotOpen, path, errno);
      if (static_cast<size_t>(n) < buffer.size()) {
        buffer.resize(static_cast<size_t>(n));
        *target = std::move(buffer);
        return Outcome::Ok();
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  Outcome MakeFolder(const std::string& path) override {
    if (mkdir(path.c_str(), 0777) == 0)
      return Outcome::Ok();
    const int error = errno;
    struct stat info;
    if (error == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
      return Outcome::Ok();
    return Outcome::Fail(Code::kCannotMakeFolder, path, error == EEXIST ? ENOTDIR : error);
  }

  Outcome SyncFolder(const std::string& path) override {
    const int fd = open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
      return Outcome::Fail(Code::kCannotWrite, path, errno);
    const int r = fsync(fd);
    const int error = errno;
    close(fd);
    // Some file systems cannot sync a folder; the rename itself has happened.
    if (r != 0 && error != EINVAL && error != ENOTSUP)
      return Outcome::Fail(Code::kCannotWrite, path, error);
    return Outcome::Ok();
  }

  int64_t AvailableMemory() override {
    int64_t available = -1;
    // MemAvailable counts what can be had without swapping; swap that is free adds to it.
    if (std::FILE* info = std::fopen("/proc/meminfo", "re")) {
      char line[128];
      int64_t memAvailable = -1, swapFree = 0;
      while (std::fgets(line, sizeof line, info) != nullptr) {
        long long kib = 0;
        if (std::sscanf(line, "MemAvailable: %lld kB", &kib) == 1)
          memAvailable = kib * 1024;
        else if (std::sscanf(line, "SwapFree: %lld kB", &kib) == 1)
          swapFree = kib * 1024;
      }
      std::fclose(info);
      if (memAvailable >= 0)
        available = memAvailable + swapFree;
    }
    struct rlimit limit;
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
      int64_t used = 0;
      if (std::FILE* statm = std::fopen("/proc/self/statm", "re")) {
        long long pages = 0;
        if (std::fscanf(statm, "%lld", &pages) == 1)
          used = pages * sysconf(_SC_PAGESIZE);
        std::fclose(statm);
      }
      const int64_t left = static_cast<int64_t>(limit.rlim_cur) - used;
      available = available < 0 ? left : std::min(available, left);
    }
    return available;
  }
};

}  // namespace

Env& Env::Default() {
  static PosixEnv env;
  return env;
}

Outcome ReadWholeFile(Env& env, const std::string& path, int64_t maxBytes,
                      std::vector<uint8_t>* bytes) {
  std::unique_ptr<ReadableFile> file;
  if (Outcome opened = env.OpenForRead(path, &file); !opened)
    return opened;
  const int64_t size = file->Size();
  if (size > maxBytes)
    return Outcome::Fail(Code::kFileTooLarge, path);
  try {
    bytes->resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return Outcome::Fail(Code::kNoMemory, path);
  }
  size_t got = 0;
  if (Outcome read = file->ReadAt(0, bytes->data(), bytes->size(), &got); !read)
    return read;
  // A file that shrank while we read it is read as far as it goes.
  bytes->resize(got);
  return Outcome::Ok();
}

Outcome MakeFolders(Env& env, const std::string& folder, std::string* made) {
  if (made != nullptr)
    made->clear();
  if (folder.empty())
    return Outcome::Ok();
  // Walk up to the first folder that exists, then make the missing ones downwards.
  std::vector<std::string> missing;
  std::string path = folder;
  while (!path.empty()) {
    FileStatus status;
    if (Outcome checked = env.Status(path, true, &status); !checked)
      return Outcome::Fail(Code::kCannotMakeFolder, folder, checked.error);
    if (status.type == FileStatus::Type::kFolder)
      break;
    if (status.Exists())
      return Outcome::Fail(Code::kCannotMakeFolder, folder, ENOTDIR);
    missing.push_back(path);
    while (path.size() > 1 && path.back() == '/')
      path.pop_back();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
      break;
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (Outcome madeOne = env.MakeFolder(*it); !madeOne)
      return Outcome::Fail(Code::kCannotMakeFolder, folder, madeOne.error);
  }
  if (made != nullptr && !missing.empty())
    *made = missing.back();
  return Outcome::Ok();
}

}  // namespace quillon
