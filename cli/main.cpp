#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (argc > 0)
    quillon::cli::SetProgramPath(argv[0]);
  return quillon::cli::RunCli(args, quillon::cli::Console{});
}
