#include <string>

#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/scheme_choice.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "matrices";

constexpr const char* kHelp =
    "Usage: quillon-cli matrices --scheme S [--n N] [--k K] [--sets SETS] [--optimal]\n"
    "\n"
    "Prints the basis matrices S0 (white pixels) and S1 (black pixels) exactly as the\n"
    "encryption uses them: a line 'S0 RxC', R lines of C characters 0/1 (row r belongs to\n"
    "participant r + 1), then 'S1 RxC' and its rows.\n"
    "\n"
    "  --scheme S   2of2, 2ofn, nofn, kofn or general (or 0 to 4)\n"
    "  --n N        number of participants, 2 to 9 (default 2; 2of2 ignores it)\n"
    "  --k K        threshold of kofn, 2 to N (default 2)\n"
    "  --sets SETS  minimal qualified sets of general: participants from 1, members\n"
    "               separated by ',' and sets by ';', e.g. '1,2;2,3'\n"
    "  --optimal    kofn: the pair with the best possible contrast for (K,N)\n"
    "  -h, --help   show this help\n";

// One buffered line per row: the (9,4) matrices have millions of columns.
void PrintMatrix(std::FILE* out, const char* label, const BasisMatrix& matrix) {
  std::fprintf(out, "%s %dx%d\n", label, matrix.Rows(), matrix.Cols());
  std::string line(static_cast<size_t>(matrix.Cols()) + 1, '\n');
  for (int32_t r = 0; r < matrix.Rows(); ++r) {
    for (int32_t c = 0; c < matrix.Cols(); ++c)
      line[c] = matrix.Get(r, c) != 0 ? '1' : '0';
    std::fwrite(line.data(), 1, line.size(), out);
  }
}

}  // namespace

int RunMatrices(const std::vector<std::string>& args, const Console& console) {
  ParsedArgs parsed = ParseArgs(args, SchemeOptionTable());
  if (auto status = HelpOrUsageError(parsed, console, kCommand, kHelp, 0))
    return *status;
  SchemeChoice choice;
  if (std::string error = ReadSchemeChoice(parsed, choice); !error.empty()) {
    return UsageError(console, kCommand, error);
  }

  SchemeParams params;
  BasisMatrix sets(0, 0);
  if (Code error = ChosenSchemeParams(choice, sets, params); error != Code::kOk)
    return Failure(console, kCommand, Refusal(Outcome::Fail(error)));
  SchemePair pair = BuildSchemePair(params);
  if (pair.error != Code::kOk) {
    const std::string hint = pair.error == Code::kNoQualifiedSet ? QualifiedSetsHint(choice) : "";
    return Failure(console, kCommand,
                   Refusal(Outcome::Fail(pair.error)) + (hint.empty() ? "" : " (" + hint + ")"));
  }

  PrintMatrix(console.out, "S0", pair.s0);
  PrintMatrix(console.out, "S1", pair.s1);
  if (std::fflush(console.out) != 0 || std::ferror(console.out)) {
    return Failure(console, kCommand, "could not write the matrices to the output");
  }
  return kExitOk;
}

}  // namespace quillon::cli
