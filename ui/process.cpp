#include "ui/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace quillon::ui {

bool StartDetached(const std::string& program, const std::vector<std::string>& args) {
  if (program.empty())
    return false;
  // Everything the children need is made before forking: after fork only async-signal-safe
  // calls are made.
  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);

  // The grandchild reports a failed exec through this pipe; a successful exec closes it.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0)
    return false;
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    close(report[0]);
    const pid_t grandchild = fork();
    if (grandchild != 0) {
      if (grandchild < 0) {
        const int error = errno;
        [[maybe_unused]] ssize_t written = write(report[1], &error, sizeof error);
      }
      _exit(0);
    }
    execvp(argv[0], argv.data());
    const int error = errno;
    [[maybe_unused]] ssize_t written = write(report[1], &error, sizeof error);
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  return got == 0;
}

}  // namespace quillon::ui
