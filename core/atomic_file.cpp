#include "core/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillon {

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {}

AtomicFile::~AtomicFile() {
  if (m_file != nullptr) {
    std::fclose(m_file);
    unlink(m_temp.c_str());
  }
}

std::string AtomicFile::Open() {
  int fd = -1;
  int error = 0;
  // Beside the target, so that the rename stays within one file system and is atomic.
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    m_temp = m_target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    error = errno;
    if (fd < 0 && error != EEXIST)
      break;
  }
  if (fd < 0)
    return "cannot create '" + m_target + "': " + std::strerror(error);
  m_file = fdopen(fd, "wb");
  if (m_file == nullptr) {
    close(fd);
    unlink(m_temp.c_str());
    return "cannot create '" + m_target + "'";
  }
  return "";
}

std::string AtomicFile::Commit() {
  if (m_file == nullptr)
    return "cannot write '" + m_target + "'";
  bool written = std::fflush(m_file) == 0 && !std::ferror(m_file) && fsync(fileno(m_file)) == 0;
  const int error = errno;
  written = std::fclose(m_file) == 0 && written;
  m_file = nullptr;
  if (!written || std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
    unlink(m_temp.c_str());
    return "cannot write '" + m_target + "': " + std::strerror(written ? errno : error);
  }
  return "";
}

}  // namespace quillon
