#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  // The commands refuse work too large before it starts; what still runs out of memory or
  // throws ends in one line and exit status 1, never in terminate's abort.
  try {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (argc > 0)
      quillon::cli::SetProgramPath(argv[0]);
    return quillon::cli::RunCli(args, quillon::cli::Console{});
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: out of memory\n", quillon::cli::kProgramName);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", quillon::cli::kProgramName,
                 quillon::cli::OneLine(error.what()).c_str());
  }
  return quillon::cli::kExitFailure;
}
