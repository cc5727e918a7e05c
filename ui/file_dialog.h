// File-open and file-save dialogs. A program sets the title, flags, filter, default
// extension and initial name, runs DoModal and reads the chosen file's full path, name,
// title and extension. The backend shows the dialog and calls Accept with the user's choice.
// A dialog object can be shown any number of times; each DoModal forgets the last choice.
// Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::ui {

class Application;
class Window;

// The common-dialog option bits, with their usual values.
enum FileDialogFlags : uint32_t {
  kOverwritePrompt = 0x0002,  // save: ask before replacing an existing file
  kHideReadOnly = 0x0004,     // no read-only check box
  kPathMustExist = 0x0800,
  kFileMustExist = 0x1000,  // open: only existing files can be chosen
};

struct FileFilter {
  std::string label;    // "Bitmap Files(*.bmp)"
  std::string pattern;  // "*.bmp"
  bool operator==(const FileFilter&) const = default;
};

// "Label|pattern|Label|pattern||" into its pairs; a label without pattern is dropped.
std::vector<FileFilter> ParseFilter(const std::string& filter);

// The parts of a file name as the dialogs report them: the name after the last directory
// separator, its title (the name up to its last dot) and its extension (after the last dot,
// without it; empty when there is no dot).
std::string FileNameOf(const std::string& path);
std::string FileTitleOf(const std::string& path);
std::string FileExtOf(const std::string& path);

class FileDialog {
 public:
  // openDialog: an open dialog, otherwise a save dialog. The defaults are a save dialog's.
  FileDialog(Application& app, bool openDialog, std::string defaultExt = std::string(),
             std::string fileName = std::string(),
             uint32_t flags = kHideReadOnly | kOverwritePrompt, std::string filter = std::string(),
             Window* owner = nullptr);

  // kIdOk when a file was chosen, kIdCancel otherwise.
  int DoModal();

  void SetTitle(std::string title) { m_title = std::move(title); }
  const std::string& Title() const { return m_title; }
  bool IsOpenDialog() const { return m_open; }
  const std::string& DefaultExt() const { return m_defaultExt; }
  const std::string& InitialFileName() const { return m_initialName; }
  uint32_t Flags() const { return m_flags; }
  bool HasFlag(uint32_t flag) const { return (m_flags & flag) == flag; }
  const std::string& Filter() const { return m_filter; }
  std::vector<FileFilter> Filters() const { return ParseFilter(m_filter); }
  Window* Owner() const { return m_owner; }

  // Backends: the user chose path. Relative paths are taken from the working directory;
  // a name without extension gets the default extension, if there is one.
  void Accept(const std::string& path);

  // The last choice; empty after a cancel.
  const std::string& GetPathName() const { return m_path; }
  std::string GetFileName() const { return FileNameOf(m_path); }
  std::string GetFileTitle() const { return FileTitleOf(m_path); }
  std::string GetFileExt() const { return FileExtOf(m_path); }

 private:
  Application& m_app;
  bool m_open;
  std::string m_defaultExt;
  std::string m_initialName;
  uint32_t m_flags;
  std::string m_filter;
  Window* m_owner;
  std::string m_title;
  std::string m_path;
};

}  // namespace quillon::ui
