// A file layer for tests that passes every call to the real one except those chosen to fail:
// "the 2nd CreateNew", "every Append to a path containing capa2". Counts calls per operation
// so that a test can also say how far the work got.
#pragma once

#include <cerrno>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/env.h"

namespace quillon::testing {

enum class FileOp {
  kOpenForRead,
  kReadAt,
  kCreateNew,
  kAppend,
  kSync,
  kClose,
  kSetMode,
  kRename,
  kRemove,
  kStatus,
  kReadLink,
  kMakeFolder,
  kSyncFolder
};

class FaultEnv : public Env {
 public:
  explicit FaultEnv(Env& real = Env::Default()) : m_real(real) {}

  // Fails the nth call (from 1) of op with error; 0 fails every call.
  void FailCall(FileOp op, int nth, int error = EIO) { m_rules.push_back({op, nth, "", error}); }
  // Fails every call of op on a path that contains part.
  void FailPath(FileOp op, std::string part, int error = EIO) {
    m_rules.push_back({op, 0, std::move(part), error});
  }
  // What AvailableMemory answers; the real value until set.
  void SetAvailableMemory(int64_t bytes) { m_memory = bytes; }
  int64_t AvailableMemory() override { return m_memory ? *m_memory : m_real.AvailableMemory(); }

  int Calls(FileOp op) const {
    auto it = m_calls.find(op);
    return it == m_calls.end() ? 0 : it->second;
  }

  // Counts the call and answers whether a rule fails it (with the rule's error in *error).
  bool Fails(FileOp op, const std::string& path, int* error) {
    const int call = ++m_calls[op];
    for (const Rule& rule : m_rules) {
      if (rule.op != op)
        continue;
      const bool byCall = rule.nth == 0 || rule.nth == call;
      const bool byPath = rule.part.empty() || path.find(rule.part) != std::string::npos;
      if (byCall && byPath) {
        *error = rule.error;
        return true;
      }
    }
    return false;
  }

  Outcome OpenForRead(const std::string& path, std::unique_ptr<ReadableFile>* file) override {
    int error = 0;
    if (Fails(FileOp::kOpenForRead, path, &error))
      return Outcome::Fail(Code::kCannotOpen, path, error);
    std::unique_ptr<ReadableFile> real;
    Outcome outcome = m_real.OpenForRead(path, &real);
    if (outcome)
      *file = std::make_unique<Readable>(*this, path, std::move(real));
    return outcome;
  }
  Outcome CreateNew(const std::string& path, uint32_t mode,
                    std::unique_ptr<WritableFile>* file) override {
    int error = 0;
    if (Fails(FileOp::kCreateNew, path, &error))
      return Outcome::Fail(Code::kCannotCreate, path, error);
    std::unique_ptr<WritableFile> real;
    Outcome outcome = m_real.CreateNew(path, mode, &real);
    if (outcome)
      *file = std::make_unique<Writable>(*this, path, std::move(real));
    return outcome;
  }
  Outcome Rename(const std::string& from, const std::string& to) override {
    int error = 0;
    if (Fails(FileOp::kRename, to, &error))
      return Outcome::Fail(Code::kCannotReplace, to, error);
    return m_real.Rename(from, to);
  }
  Outcome Remove(const std::string& path) override {
    int error = 0;
    if (Fails(FileOp::kRemove, path, &error))
      return Outcome::Fail(Code::kCannotWrite, path, error);
    return m_real.Remove(path);
  }
  Outcome Status(const std::string& path, bool followLinks, FileStatus* status) override {
    int error = 0;
    if (Fails(FileOp::kStatus, path, &error))
      return Outcome::Fail(Code::kCannotOpen, path, error);
    return m_real.Status(path, followLinks, status);
  }
  Outcome ReadLink(const std::string& path, std::string* target) override {
    int error = 0;
    if (Fails(FileOp::kReadLink, path, &error))
      return Outcome::Fail(Code::kCannotOpen, path, error);
    return m_real.ReadLink(path, target);
  }
  Outcome MakeFolder(const std::string& path) override {
    int error = 0;
    if (Fails(FileOp::kMakeFolder, path, &error))
      return Outcome::Fail(Code::kCannotMakeFolder, path, error);
    return m_real.MakeFolder(path);
  }
  Outcome SyncFolder(const std::string& path) override {
    int error = 0;
    if (Fails(FileOp::kSyncFolder, path, &error))
      return Outcome::Fail(Code::kCannotWrite, path, error);
    return m_real.SyncFolder(path);
  }

 private:
  struct Rule {
    FileOp op;
    int nth;
    std::string part;
    int error;
  };

  class Readable : public ReadableFile {
   public:
    Readable(FaultEnv& env, std::string path, std::unique_ptr<ReadableFile> real)
        : m_env(env), m_path(std::move(path)), m_real(std::move(real)) {}
    int64_t Size() const override { return m_real->Size(); }
    Outcome ReadAt(int64_t offset, void* buffer, size_t n, size_t* got) override {
      int error = 0;
      if (m_env.Fails(FileOp::kReadAt, m_path, &error)) {
        *got = 0;
        return Outcome::Fail(Code::kCannotRead, m_path, error);
      }
      return m_real->ReadAt(offset, buffer, n, got);
    }

   private:
    FaultEnv& m_env;
    std::string m_path;
    std::unique_ptr<ReadableFile> m_real;
  };

  class Writable : public WritableFile {
   public:
    Writable(FaultEnv& env, std::string path, std::unique_ptr<WritableFile> real)
        : m_env(env), m_path(std::move(path)), m_real(std::move(real)) {}
    Outcome Append(const void* data, size_t n) override {
      return Check(FileOp::kAppend, [&] { return m_real->Append(data, n); });
    }
    Outcome Sync() override {
      return Check(FileOp::kSync, [&] { return m_real->Sync(); });
    }
    Outcome Close() override {
      // The real file is closed whatever the rule says, as a failing close(2) closes too.
      Outcome real = m_real->Close();
      int error = 0;
      if (m_env.Fails(FileOp::kClose, m_path, &error))
        return Outcome::Fail(Code::kCannotWrite, m_path, error);
      return real;
    }
    Outcome SetMode(uint32_t mode) override {
      return Check(FileOp::kSetMode, [&] { return m_real->SetMode(mode); });
    }

   private:
    template <typename Call>
    Outcome Check(FileOp op, Call call) {
      int error = 0;
      if (m_env.Fails(op, m_path, &error))
        return Outcome::Fail(Code::kCannotWrite, m_path, error);
      return call();
    }
    FaultEnv& m_env;
    std::string m_path;
    std::unique_ptr<WritableFile> m_real;
  };

  Env& m_real;
  std::optional<int64_t> m_memory;
  std::vector<Rule> m_rules;
  std::map<FileOp, int> m_calls;
};

}  // namespace quillon::testing
