// The commands of quillon-cli. Each takes the words after its name and returns the exit
// status: kExitOk, kExitFailure when the work failed (said in one line on console.err),
// kExitUsage for wrong usage. Files are read and written through console.Files() only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_session.h"
#include "cli/console.h"
#include "cli/options.h"
#include "core/bmp_image.h"
#include "shares/encrypt.h"

namespace quillon::cli {

// The whole program: args are the words after the program name.
int RunCli(const std::vector<std::string>& args, const Console& console);

int RunMatrices(const std::vector<std::string>& args, const Console& console);
int RunSplit(const std::vector<std::string>& args, const Console& console);
int RunStack(const std::vector<std::string>& args, const Console& console);
int RunDemo(const std::vector<std::string>& args, const Console& console);
int RunAnalyze(const std::vector<std::string>& args, const Console& console);
int RunPrint(const std::vector<std::string>& args, const Console& console);

// The start every command shares: with --help, prints helpText and answers kExitOk; a
// parse error, or more than maxPositional positional arguments, is a usage error. Answers
// nullopt when the command should go on.
std::optional<int> HelpOrUsageError(const ParsedArgs& parsed, const Console& console,
                                    std::string_view command, const char* helpText,
                                    size_t maxPositional);

// Encrypts secret as one share set into output.folder (which must exist) with the request's
// scheme, method and random source (which must be set). On success shareFiles holds the
// files written and nothing is printed; on failure nothing was written, the one line of
// command is printed and the answer is false.
bool SplitSecret(const BmpImage& secret, const EncryptRequest& request, const ShareOutput& output,
                 const Console& console, std::string_view command,
                 std::vector<std::string>& shareFiles);

// Loads the layer files, stacks them and writes the 1-bit result to outPath, making its
// folder when missing. Layers of another size than the first are warned about. On failure
// nothing was written (nor a folder left behind), the one line of command is printed and the
// answer is false.
bool StackFiles(const std::vector<std::string>& layerFiles, const std::string& outPath,
                const Console& console, std::string_view command);

// The options of stack --decode: the scheme options, --decode, --method and --members.
std::vector<OptionDef> DecodeOptionTable();

// stack --decode: stacks the layers (parsed.positional, 2 to 9), decides every block of the
// scheme and method by its black sub-pixels and writes one pixel per block to outPath.
// Answers the exit status, or nullopt when parsed asks for plain stacking (decode options
// without --decode are a usage error). Nothing is written unless every layer loaded, the
// layers are whole blocks of one size and their participants form a qualified set.
std::optional<int> RunStackDecode(const ParsedArgs& parsed, const std::string& outPath,
                                  const Console& console);

}  // namespace quillon::cli
