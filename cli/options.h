// Command-line words turned into parameters: a small splitter for options and positional
// arguments, and strict parsers for the values that answer nullopt (or an error text) on bad
// input instead of guessing. Whole numbers are read by ParseWholeNumber (core/whole_number.h)
// in its plain form.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/kinds.h"
#include "core/whole_number.h"
#include "schemes/method_table.h"
#include "schemes/scheme_table.h"

namespace quillon::cli {

struct OptionDef {
  std::string name;   // "--scheme", "-o"
  std::string alias;  // another spelling, or empty
  bool takesValue = true;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // by OptionDef::name; flags map to ""
  bool help = false;
  std::string error;  // a usage error, empty when the words were fine

  bool Has(const std::string& name) const { return values.count(name) != 0; }
  const std::string* Value(const std::string& name) const;
};

// Splits args (the words after the command) into options and positional arguments. Options
// take their value from "--name value" or "--name=value"; "--" ends the options; "-h" and
// "--help" set help wherever they stand, and help wins over any usage error. Unknown options,
// a missing value and an option given twice are usage errors.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<OptionDef>& options);

// A scheme's or method's command-line name from its table row (schemes/scheme_table.h,
// schemes/method_table.h: "2of2", ..., "general"; "random-column", ..., "extended-detail"), in
// any case, or its number (the selector index, 0 to 4 and 0 to 6).
std::optional<SchemeKind> ParseSchemeKind(std::string_view text);
std::optional<ExpansionMethod> ParseExpansionMethod(std::string_view text);
const char* SchemeKindName(SchemeKind kind);
const char* ExpansionMethodName(ExpansionMethod method);

// The command-line names of the schemes that read all of uses (SchemeUses), and of the
// methods that keep accepts (all when null), in table order.
std::vector<std::string> SchemeNames(unsigned uses = 0);
std::vector<std::string> MethodNames(bool (*keep)(ExpansionMethod) = nullptr);
// Every name, then the range of numbers: "2of2, 2ofn, nofn, kofn, general or 0 to 4".
std::string SchemeChoices();
std::string MethodChoices();
// Words as a list for a message: "a, b or c" with conjunction "or".
std::string JoinWords(const std::vector<std::string>& words, const char* conjunction);

// A seed of --seed: a decimal number from kMinSeed to kMaxSeed, the seeds that name different
// streams of std::minstd_rand (it takes seeds modulo 2^31 - 1, and 0 as 1).
constexpr uint32_t kMinSeed = 1;
constexpr uint32_t kMaxSeed = 2147483646;
std::optional<uint32_t> ParseSeed(std::string_view text);

// Participants are numbered 1 to 9 on the command line.
constexpr int kMaxParticipantNumber = 9;

// Minimal qualified sets written as "1,2;2,3": members separated by ',', sets by ';', spaces
// around numbers allowed. Fills sets with one list of participant numbers per set; on bad
// input returns an error text and leaves sets empty.
std::string ParseQualifiedSets(std::string_view text, std::vector<std::vector<int>>& sets);

// Splits "a,b,c" at sep; empty items are kept so that the caller can refuse them.
std::vector<std::string> SplitList(std::string_view text, char sep);

}  // namespace quillon::cli
