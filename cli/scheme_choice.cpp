#include "cli/scheme_choice.h"

#include <algorithm>

namespace quillon::cli {

std::vector<OptionDef> SchemeOptionTable() {
  return {{"--scheme", "", true},
          {"--n", "", true},
          {"--k", "", true},
          {"--sets", "", true},
          {"--optimal", "", false}};
}

std::string ReadSchemeChoice(const ParsedArgs& args, SchemeChoice& choice) {
  const std::string* scheme = args.Value("--scheme");
  if (scheme == nullptr)
    return "missing --scheme (" + JoinWords(SchemeNames(), "or") + ")";
  auto kind = ParseSchemeKind(*scheme);
  if (!kind) {
    return "unknown scheme '" + *scheme + "' (" + SchemeChoices() + ")";
  }
  choice.kind = *kind;
  for (const char* name : {"--n", "--k"}) {
    const std::string* text = args.Value(name);
    if (text == nullptr)
      continue;
    auto value = ParseWholeNumber(*text);
    if (!value)
      return std::string("option ") + name + " needs a whole number, not '" + *text + "'";
    (name[2] == 'n' ? choice.n : choice.k) = *value;
  }
  choice.optimal = args.Has("--optimal");
  const unsigned uses = SchemeInfo(choice.kind).uses;
  if (choice.optimal && !(uses & kUsesOptimal))
    return "--optimal belongs to --scheme " + JoinWords(SchemeNames(kUsesOptimal), "or");
  choice.hasSets = false;
  choice.sets.clear();
  if (const std::string* sets = args.Value("--sets")) {
    if (!(uses & kUsesSets))
      return "--sets belongs to --scheme " + JoinWords(SchemeNames(kUsesSets), "or");
    std::string error = ParseQualifiedSets(*sets, choice.sets);
    if (!error.empty())
      return error;
    choice.hasSets = true;
  }
  return "";
}

BasisMatrix QualifiedSetMatrix(const SchemeChoice& choice) {
  int cols = std::clamp(choice.n, 0, kMaxParticipantNumber);
  for (const auto& set : choice.sets) {
    for (int member : set)
      cols = std::max(cols, member);
  }
  BasisMatrix matrix(static_cast<int32_t>(choice.sets.size()), cols);
  for (size_t r = 0; r < choice.sets.size(); ++r) {
    for (int member : choice.sets[r])
      matrix.Set(static_cast<int32_t>(r), member - 1, 1);
  }
  return matrix;
}

Code ChosenSchemeParams(const SchemeChoice& choice, BasisMatrix& sets, SchemeParams& params) {
  params.scheme = choice.kind;
  params.n = choice.n;
  params.k = choice.k;
  params.optimal = choice.optimal;
  params.qualifiedSets = nullptr;
  if (Code error = CheckSchemeParams(params); error != Code::kOk)
    return error;
  sets = QualifiedSetMatrix(choice);
  if (choice.hasSets)
    params.qualifiedSets = &sets;
  return Code::kOk;
}

std::string QualifiedSetsHint(const SchemeChoice& choice) {
  if (!(SchemeInfo(choice.kind).uses & kUsesSets))
    return "";
  if (!choice.hasSets) {
    return std::string("--scheme ") + SchemeKindName(choice.kind) +
           " needs its minimal qualified sets in --sets, e.g. --sets '1,2;2,3'";
  }
  for (const auto& set : choice.sets) {
    if (std::all_of(set.begin(), set.end(), [&](int member) { return member <= choice.n; }))
      return "";
  }
  return "every set in --sets names a participant beyond --n " + std::to_string(choice.n) +
         ", so none can be complete; number participants from 1 to " + std::to_string(choice.n) +
         " or raise --n";
}

}  // namespace quillon::cli
