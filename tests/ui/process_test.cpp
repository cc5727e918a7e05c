#include "ui/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/test_util.h"

namespace quillon::ui {
namespace {

namespace fs = std::filesystem;

// The processes whose parent is this one, zombies included.
std::vector<std::string> Children() {
  std::vector<std::string> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line))
      continue;
    // "pid (name) state ppid ...": the name may hold anything, so read after its last ')'.
    const size_t close = line.rfind(')');
    if (close == std::string::npos)
      continue;
    std::istringstream rest(line.substr(close + 1));
    char state = 0;
    long parent = 0;
    rest >> state >> parent;
    if (parent == getpid())
      children.push_back(line.substr(0, close + 1) + " " + state);
  }
  return children;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WaitFor(const fs::path& path) {
  for (int i = 0; i < 400 && !fs::exists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return fs::exists(path);
}

// Puts a folder first on PATH while it lives.
class ScopedPath {
 public:
  explicit ScopedPath(const fs::path& folder) : m_old(getenv("PATH") ? getenv("PATH") : "") {
    setenv("PATH", (folder.string() + ":" + m_old).c_str(), 1);
  }
  ~ScopedPath() { setenv("PATH", m_old.c_str(), 1); }

 private:
  std::string m_old;
};

TEST(StartDetachedTest, FindsTheProgramOnThePathNeverWaitsAndLeavesNoZombie) {
  testing::ScratchDir dir;
  const fs::path probe = dir.Path() / "quillon-ui-probe";
  // Waits until the test says go, then writes what it inherited.
  std::ofstream(probe) << "#!/bin/sh\n"
                          "i=0\n"
                          "while [ ! -e \"$PROBE_DIR/go\" ] && [ $i -lt 200 ]; do\n"
                          "  sleep 0.05; i=$((i+1))\n"
                          "done\n"
                          "[ -e \"$PROBE_DIR/go\" ] && echo \"$PROBE_TAG $(pwd)\" > "
                          "\"$PROBE_DIR/seen.tmp\" && mv \"$PROBE_DIR/seen.tmp\" "
                          "\"$PROBE_DIR/seen\"\n";
  chmod(probe.c_str(), 0755);
  ScopedPath path(dir.Path());
  setenv("PROBE_DIR", dir.Path().c_str(), 1);
  setenv("PROBE_TAG", "inherited", 1);

  ASSERT_TRUE(StartDetached("quillon-ui-probe"));
  EXPECT_FALSE(fs::exists(dir.Path() / "seen")) << "returned while the program still waits";
  EXPECT_EQ(Children(), std::vector<std::string>()) << "the program is nobody's child here";
  std::ofstream(dir.Path() / "go").put('1');
  ASSERT_TRUE(WaitFor(dir.Path() / "seen"));
  EXPECT_EQ(ReadText(dir.Path() / "seen"), "inherited " + fs::current_path().string() + "\n");

  EXPECT_FALSE(StartDetached("quillon-ui-no-such-program"));
  EXPECT_FALSE(StartDetached(""));
  EXPECT_EQ(Children(), std::vector<std::string>());
  unsetenv("PROBE_DIR");
  unsetenv("PROBE_TAG");
}

}  // namespace
}  // namespace quillon::ui
