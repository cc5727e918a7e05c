#include "cli/cli_session.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <utility>

#include "core/staged_files.h"
#include "io/png_writer.h"
#include "shares/share_output.h"

namespace quillon::cli {
namespace {

// A line stays until the work has taken this long; short work shows nothing.
constexpr double kQuietSeconds = 1.0;

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Whether a step of path is "..": such a spelling can lead out of the folders a run made.
bool HasParentStep(const std::string& path) {
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find('/', start);
    if (end == std::string::npos)
      end = path.size();
    if (path.compare(start, end - start, "..") == 0)
      return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* err, std::string command)
    : ProgressLine(err, std::move(command), err != nullptr && isatty(fileno(err)) == 1,
                   SteadySeconds) {}

ProgressLine::ProgressLine(std::FILE* err, std::string command, bool terminal, Clock clock)
    : m_err(err),
      m_command(std::move(command)),
      m_terminal(terminal),
      m_clock(std::move(clock)),
      m_start(m_clock()) {}

ProgressLine::~ProgressLine() {
  Clear();
}

void ProgressLine::Update(double fraction) {
  if (!m_terminal)
    return;
  if (fraction >= 1.0) {
    Clear();
    return;
  }
  const int percent = static_cast<int>(fraction * 100.0);
  if (percent == m_shown || m_clock() - m_start < kQuietSeconds)
    return;
  std::fprintf(m_err, "\r%s %s: %3d%%", kProgramName, m_command.c_str(), percent);
  std::fflush(m_err);
  m_shown = percent;
}

void ProgressLine::Clear() {
  if (m_shown < 0)
    return;
  // Blanks the line and puts the cursor back, so the next message starts clean.
  const std::string blank(std::string(kProgramName).size() + m_command.size() + 7, ' ');
  std::fprintf(m_err, "\r%s\r", blank.c_str());
  std::fflush(m_err);
  m_shown = -1;
}

std::string SharePath(const ShareOutput& output, int share) {
  std::string name = ShareName(share);
  if (output.png)
    name = name.substr(0, name.rfind('.')) + ".png";
  if (output.folder.empty())
    return name;
  return output.folder.back() == '/' ? output.folder + name : output.folder + "/" + name;
}

CliShareSession::CliShareSession(Console console, ShareOutput output)
    : m_output(std::move(output)), m_progress(console.err, "split") {}

std::optional<std::string> CliShareSession::ChooseInnocentImage(int share) {
  if (share >= 0 && static_cast<size_t>(share) < m_output.innocentImages.size())
    return m_output.innocentImages[share];
  return std::nullopt;
}

Outcome CliShareSession::LoadInnocentImage(Env& env, int, const std::string& path,
                                           BmpImage& image) {
  // The secret's --invert is no business of the innocent images.
  TwoColourRule rule = m_output.innocentRule;
  rule.invert = false;
  Outcome loaded =
      LoadTwoColourPicture(env, path, m_output.innocentByColour, rule, image, &m_innocentFormat);
  m_loadFailed = !loaded;
  m_innocentWidth = loaded ? image.Width() : 0;
  m_innocentHeight = loaded ? image.Height() : 0;
  return loaded;
}

std::string CliShareSession::OutputPath(int share, const std::string&) {
  return SharePath(m_output, share);
}

Outcome CliShareSession::WriteShare(WritableFile& file, const BmpImage& share) {
  return m_output.png ? WritePng(share, file) : share.WriteTo(file);
}

void CliShareSession::SharesWritten(int m) {
  m_shareFiles.clear();
  for (int r = 0; r < m; ++r)
    m_shareFiles.push_back(SharePath(m_output, r));
}

CliCombineSession::CliCombineSession(Console console, std::vector<std::string> layerFiles,
                                     std::string outPath)
    : m_env(console.Files()),
      m_layerFiles(std::move(layerFiles)),
      m_outPath(std::move(outPath)),
      m_progress(console.err, "stack") {}

std::optional<std::string> CliCombineSession::ChooseLayer(int layer) {
  if (layer < 0 || static_cast<size_t>(layer) >= m_layerFiles.size())
    return std::nullopt;
  return m_layerFiles[layer];
}

Outcome CliCombineSession::LoadLayer(Env& env, int, const std::string& path, BmpImage& image) {
  return LoadLayerPicture(env, path, image, &m_format);
}

Outcome CliCombineSession::PrepareOutput() {
  return m_folders.Make(m_env, FolderOf(m_outPath));
}

Outcome LoadLayerPicture(Env& env, const std::string& path, BmpImage& image,
                         PictureFormat* format) {
  const PictureFormat sniffed = SniffPictureFile(env, path);
  if (sniffed == PictureFormat::Png || sniffed == PictureFormat::Jpeg)
    return LoadTwoColourPicture(env, path, false, {}, image, format);
  if (format != nullptr)
    *format = sniffed;
  // The BMP reader tells a bitmap it refuses from no picture at all.
  image = BmpImage(path);
  return image.LoadTwoColour(env);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

OutputFolders::~OutputFolders() {
  for (const std::string& path : m_registered)
    UnregisterStaged(path);
}

Outcome OutputFolders::Make(Env& env, const std::string& folder) {
  // The missing folders, registered before they exist. A spelling with ".." is left out: once
  // the folder before it is made, it may name a folder that was there before.
  for (std::string path = folder; !path.empty(); path = FolderOf(path)) {
    while (path.size() > 1 && path.back() == '/')
      path.pop_back();
    if (HasParentStep(path))
      continue;
    FileStatus status;
    if (!env.Status(path, true, &status) || status.Exists() || !RegisterStaged(path))
      break;
    m_registered.push_back(path);
  }
  return MakeFolders(env, folder, &m_made);
}

void OutputFolders::RemoveMade(Env& env) const {
  // Everything inside the outermost folder made is the run's own, deepest first; Env::Remove
  // takes an empty folder only.
  std::vector<std::string> folders;
  std::error_code error;
  if (!m_made.empty()) {
    for (auto it = std::filesystem::recursive_directory_iterator(m_made, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error))
        folders.push_back(it->path().string());
    }
    folders.push_back(m_made);
  }
  // What a failed Make made before it stopped: the registered folders, deepest first.
  folders.insert(folders.end(), m_registered.begin(), m_registered.end());
  std::stable_sort(folders.begin(), folders.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& path : folders)
    env.Remove(path);
}

}  // namespace quillon::cli
