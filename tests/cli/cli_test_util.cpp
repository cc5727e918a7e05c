#include "tests/cli/cli_test_util.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/commands.h"

namespace quillon::cli::testing {
namespace {

std::string ReadAll(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    text.append(buffer, got);
  std::fclose(file);
  return text;
}

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

CliRun RunInProcess(const std::vector<std::string>& args, Env* env, EntropyFn entropy) {
  Console console{std::tmpfile(), std::tmpfile(), env, std::move(entropy)};
  CliRun run;
  run.status = RunCli(args, console);
  run.out = ReadAll(console.out);
  run.err = ReadAll(console.err);
  return run;
}

CliRun RunBinary(const std::string& dir, const std::vector<std::string>& args) {
  const std::string outFile = dir + "/.cli-stdout";
  const std::string errFile = dir + "/.cli-stderr";
  std::string command = "cd ";
  command.append(Quote(dir)).append(" && ").append(Quote(QUILLON_CLI_PATH));
  for (const std::string& arg : args)
    command.append(" ").append(Quote(arg));
  command.append(" >").append(Quote(outFile)).append(" 2>").append(Quote(errFile));
  CliRun run;
  int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadFile(outFile);
  run.err = ReadFile(errFile);
  std::remove(outFile.c_str());
  std::remove(errFile.c_str());
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::map<std::string, std::string> FolderState(const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> state;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    const std::string name = fs::relative(entry.path(), dir).string();
    if (entry.is_symlink() || (!entry.is_regular_file() && !entry.is_directory()))
      state[name] = "<other>";
    else if (entry.is_directory())
      state[name] = "<folder>";
    else
      state[name] = ReadFile(entry.path().string());
  }
  return state;
}

}  // namespace quillon::cli::testing
