#include "core/share_set_writer.h"

#include <memory>

#include "core/staged_files.h"

namespace quillon {

ShareSetWriter::ShareSetWriter(Env& env, uint32_t mode) : m_env(env), m_mode(mode) {}

void ShareSetWriter::Add(std::string target, WriteBytes write) {
  m_entries.push_back({std::move(target), std::move(write)});
}

Outcome ShareSetWriter::Write() {
  // Staged files that are still here when this returns are removed by their destructors.
  std::vector<std::unique_ptr<AtomicFile>> files;
  files.reserve(m_entries.size());
  // Every target is checked before the first byte is written.
  for (size_t i = 0; i < m_entries.size(); ++i) {
    files.push_back(std::make_unique<AtomicFile>(m_env, m_entries[i].target, m_mode));
    if (Outcome prepared = files[i]->Prepare(); !prepared)
      return std::move(prepared).At(static_cast<int>(i));
    for (size_t j = 0; j < i; ++j) {
      if (files[j]->FinalPath() == files[i]->FinalPath()) {
        return Outcome::Fail(Code::kOutputTwice, m_entries[i].target)
            .At(static_cast<int>(i))
            .With(m_entries[j].target);
      }
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    const int index = static_cast<int>(i);
    if (Outcome opened = files[i]->Open(); !opened)
      return std::move(opened).At(index);
    if (Outcome written = m_entries[i].write(files[i]->File()); !written) {
      written.file = m_entries[i].target;
      return std::move(written).At(index);
    }
    if (Outcome finished = files[i]->Finish(); !finished)
      return std::move(finished).At(index);
    if (m_stagedHook)
      m_stagedHook(i + 1);
  }
  {
    HoldStagedSignals hold;
    for (size_t i = 0; i < files.size(); ++i) {
      if (Outcome replaced = files[i]->Replace(); !replaced)
        return std::move(replaced).At(static_cast<int>(i));
    }
  }
  // Each folder once; a set usually lives in one.
  for (size_t i = 0; i < files.size(); ++i) {
    bool seen = false;
    for (size_t j = 0; j < i && !seen; ++j)
      seen = files[j]->Folder() == files[i]->Folder();
    if (seen)
      continue;
    if (Outcome synced = m_env.SyncFolder(files[i]->Folder()); !synced) {
      synced.file = m_entries[i].target;
      return std::move(synced).At(static_cast<int>(i));
    }
  }
  return Outcome::Ok();
}

std::vector<std::string> SharesBeyond(Env& env, const std::string& folder, int n) {
  std::vector<std::string> found;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (int i = n < 0 ? 1 : n + 1; i <= 9; ++i) {
    for (const char* extension : {".bmp", ".png"}) {
      const std::string path = prefix + "capa" + std::to_string(i) + extension;
      FileStatus status;
      if (env.Status(path, false, &status) && status.Exists())
        found.push_back(path);
    }
  }
  return found;
}

}  // namespace quillon
