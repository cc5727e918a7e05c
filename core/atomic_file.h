// A file written through a temporary file beside its target and renamed over the target only
// when everything was written, so that a failed write never destroys the file that stood
// there. Not thread-safe; one object per file being written.
#pragma once

#include <cstdio>
#include <string>

namespace quillon {

class AtomicFile {
 public:
  explicit AtomicFile(std::string target);
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file. Returns an error text, empty on success.
  std::string Open();
  // The open temporary file; valid between a successful Open and Commit.
  std::FILE* Stream() const { return m_file; }
  // Flushes the data to disk and renames the temporary file over the target. Returns an
  // error text, empty on success; on failure the target is as it was.
  std::string Commit();

  const std::string& Target() const { return m_target; }

 private:
  std::string m_target;
  std::string m_temp;
  std::FILE* m_file = nullptr;
};

}  // namespace quillon
