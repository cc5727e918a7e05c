// The commands of quillon-cli. Each takes the words after its name and returns the exit
// status: kExitOk, kExitFailure when the work failed, kExitUsage for wrong usage.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "cli/options.h"
#include "core/bmp_image.h"
#include "core/random.h"
#include "shares/encrypt.h"

namespace quillon::cli {

// The whole program: args are the words after the program name. Installs a reporter that
// prints the computing code's messages to console.err for as long as it runs.
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

// Creates dir and its parents when missing (nothing to do for an empty dir). Returns an error
// text, empty on success.
std::string MakeOutputDir(const std::string& dir);

struct SplitResult {
  EncryptOutcome outcome = EncryptOutcome::Refused;
  std::vector<std::string> shareFiles;  // the shares written, when outcome is Done
  bool ranOutOfInnocentImages = false;
};

// Encrypts secret with the request's scheme, method and random source (which must be set) into
// outDir (which must exist; empty for the working directory). The encryption's messages
// are printed only when it did not succeed, as one line of the command: on success the share
// list says it all.
SplitResult SplitSecret(const BmpImage& secret, const EncryptRequest& request,
                        const std::string& outDir, std::vector<std::string> innocentImages,
                        const Console& console, std::string_view command = "split");

// Loads the layer files, stacks them and saves the 1-bit result as outPath, creating its
// folder when missing. Layers of another size than the first are reported as a warning.
// Returns an error text that completes the Load and Save messages reported already, empty on
// success; nothing is written unless every layer loaded.
std::string StackFiles(const std::vector<std::string>& layerFiles, const std::string& outPath);

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
