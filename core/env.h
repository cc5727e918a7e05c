// The file system as the computing code sees it: open, read, create, write, sync, rename,
// remove and the status of a path. Every unit that touches files is handed an Env, so that a
// test can hand it one that fails chosen calls. Env::Default() is the real one; it holds no
// state and is safe across threads (each file object belongs to one thread at a time).
// Failures come back as outcomes naming the path and the system's error number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/outcome.h"

namespace quillon {

struct FileStatus {
  enum class Type { kMissing, kRegular, kFolder, kLink, kOther };
  Type type = Type::kMissing;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint32_t mode = 0;  // permission bits only
  int64_t size = 0;

  bool Exists() const { return type != Type::kMissing; }
  // Whether both name one existing file.
  bool SameFileAs(const FileStatus& other) const {
    return Exists() && other.Exists() && device == other.device && inode == other.inode;
  }
};

class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // The size when the file was opened.
  virtual int64_t Size() const = 0;
  // Reads up to n bytes at offset; *got < n only at the end of the file.
  virtual Outcome ReadAt(int64_t offset, void* buffer, size_t n, size_t* got) = 0;
};

class WritableFile {
 public:
  // Closes the file if Close was not called; errors are then lost.
  virtual ~WritableFile() = default;
  virtual Outcome Append(const void* data, size_t n) = 0;
  virtual Outcome Sync() = 0;
  virtual Outcome Close() = 0;
  // The permission bits, as chmod sets them.
  virtual Outcome SetMode(uint32_t mode) = 0;
};

class Env {
 public:
  virtual ~Env() = default;
  // The real file system.
  static Env& Default();

  // Opens an existing file for reading. Opening never waits (a FIFO without a writer does not
  // block); anything but a regular file is then refused with kNotRegularFile (error EISDIR
  // for a folder, 0 for a device or FIFO).
  virtual Outcome OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) = 0;
  // Creates a file that must not exist yet, with the given permission bits, never through a
  // symbolic link (kCannotCreate with EEXIST when the name is taken).
  virtual Outcome CreateNew(const std::string& path, uint32_t mode,
                            std::unique_ptr<WritableFile>* file) = 0;
  // Renames from over to, atomically within one file system.
  virtual Outcome Rename(const std::string& from, const std::string& to) = 0;
  virtual Outcome Remove(const std::string& path) = 0;
  // The status of path, of the link itself unless followLinks. A missing path is not an
  // error: status->type is then kMissing.
  virtual Outcome Status(const std::string& path, bool followLinks, FileStatus* status) = 0;
  // The target of a symbolic link, as stored.
  virtual Outcome ReadLink(const std::string& path, std::string* target) = 0;
  // Makes one folder; one that exists already is fine.
  virtual Outcome MakeFolder(const std::string& path) = 0;
  // Makes a rename in the folder durable.
  virtual Outcome SyncFolder(const std::string& path) = 0;

  // About how many bytes this process may still allocate: the memory the system has
  // available, or less where an address-space limit is nearer; -1 when unknown.
  virtual int64_t AvailableMemory() = 0;
};

// Reads a whole regular file into bytes; a file longer than maxBytes gives kFileTooLarge
// before anything is allocated.
Outcome ReadWholeFile(Env& env, const std::string& path, int64_t maxBytes,
                      std::vector<uint8_t>* bytes);

// Makes folder and every missing parent. made, when given, gets the outermost folder that was
// missing (empty when the folder existed), so that a failed run can remove what it made.
Outcome MakeFolders(Env& env, const std::string& folder, std::string* made = nullptr);

}  // namespace quillon
