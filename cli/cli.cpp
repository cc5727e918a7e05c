#include "cli/commands.h"

namespace quillon::cli {

std::optional<int> HelpOrUsageError(const ParsedArgs& parsed, const Console& console,
                                    std::string_view command, const char* helpText,
                                    size_t maxPositional) {
  if (parsed.help) {
    std::fputs(helpText, console.out);
    return kExitOk;
  }
  if (!parsed.error.empty())
    return UsageError(console, command, parsed.error);
  if (parsed.positional.size() > maxPositional) {
    return UsageError(console, command,
                      "unexpected argument '" + parsed.positional[maxPositional] + "'");
  }
  return std::nullopt;
}

namespace {

constexpr const char* kHelp =
    "Usage: quillon-cli COMMAND [OPTIONS]\n"
    "\n"
    "Visual cryptography: splits a two-colour secret image into shares that look like noise\n"
    "(or like innocent pictures) and reveals it by stacking the shares of a qualified set.\n"
    "\n"
    "Commands:\n"
    "  matrices  print the basis matrices S0 and S1 of a scheme\n"
    "  split     split a secret image (BMP, PNG or JPEG) into shares capa1.bmp, ...\n"
    "  stack     stack 2 to 9 shares into one image (default resultado.bmp)\n"
    "  demo      split and stack a built-in secret and show the steps in the terminal\n"
    "  analyze   contrast and security of a scheme for every set of participants\n"
    "  print     lay shares out for printing on transparencies (PDF, SVG)\n"
    "\n"
    "Run 'quillon-cli COMMAND --help' for the options of a command.\n"
    "Exit status: 0 on success, 1 when the work failed, 2 for wrong usage.\n";

using Command = int (*)(const std::vector<std::string>&, const Console&);

struct CommandEntry {
  const char* name;
  Command run;
};

// clang-format off
constexpr CommandEntry kCommands[] = {{"matrices", RunMatrices},
                                      {"split", RunSplit},
                                      {"stack", RunStack},
                                      {"demo", RunDemo},
                                      {"analyze", RunAnalyze},
                                      {"print", RunPrint}};
// clang-format on

}  // namespace

int RunCli(const std::vector<std::string>& args, const Console& console) {
  if (args.empty())
    return UsageError(console, "", "missing command");
  const std::string& name = args[0];
  if (name == "-h" || name == "--help" || name == "help") {
    std::fputs(kHelp, console.out);
    return kExitOk;
  }
  for (const CommandEntry& command : kCommands) {
    if (name == command.name)
      return command.run(std::vector<std::string>(args.begin() + 1, args.end()), console);
  }
  if (name.starts_with("-"))
    return UsageError(console, "", "unknown option '" + name + "'");
  return UsageError(console, "", "unknown command '" + name + "'");
}

}  // namespace quillon::cli
