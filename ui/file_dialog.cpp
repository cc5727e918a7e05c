#include "ui/file_dialog.h"

#include <filesystem>

#include "ui/application.h"

namespace quillon::ui {

std::vector<FileFilter> ParseFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < filter.size()) {
    const size_t bar = filter.find('|', start);
    const size_t end = bar == std::string::npos ? filter.size() : bar;
    if (end == start)
      break;  // "||" ends the filter
    parts.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<FileFilter> filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2)
    filters.push_back(FileFilter{parts[i], parts[i + 1]});
  return filters;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileTitleOf(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FileExtOf(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

FileDialog::FileDialog(Application& app, bool openDialog, std::string defaultExt,
                       std::string fileName, uint32_t flags, std::string filter, Window* owner)
    : m_app(app),
      m_open(openDialog),
      m_defaultExt(std::move(defaultExt)),
      m_initialName(std::move(fileName)),
      m_flags(flags),
      m_filter(std::move(filter)),
      m_owner(owner) {}

int FileDialog::DoModal() {
  m_path.clear();
  return m_app.GetPlatform().RunFileDialog(*this);
}

void FileDialog::Accept(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path full = std::filesystem::absolute(path, ignored);
  m_path = full.empty() ? path : full.lexically_normal().string();
  if (!m_defaultExt.empty() && FileNameOf(m_path).find('.') == std::string::npos)
    m_path += "." + m_defaultExt;
}

}  // namespace quillon::ui
