// The scheme options that matrices, split and analyze share: --scheme, --n, --k, --sets and
// --optimal.
#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "core/basis_matrix.h"
#include "schemes/scheme_pair.h"

namespace quillon::cli {

struct SchemeChoice {
  SchemeKind kind = SchemeKind::Scheme2of2;
  int n = 2;
  int k = 2;
  bool optimal = false;  // --optimal: the contrast-optimal (k,n) pair
  bool hasSets = false;
  std::vector<std::vector<int>> sets;  // participant numbers from 1
};

// The definitions of the scheme options, to append to a command's own.
std::vector<OptionDef> SchemeOptionTable();

// Reads the scheme options; --scheme is required and --sets belongs to the general scheme
// only, --optimal to kofn only. Returns a usage error text, empty when the options are fine. n and
// k are not range-checked here: out-of-range values are the scheme's refusal, not a usage error.
std::string ReadSchemeChoice(const ParsedArgs& args, SchemeChoice& choice);

// The qualified sets as the scheme takes them: one 0/1 membership row per set, column t for
// participant t + 1, max(n, largest participant) columns. Call after CheckSchemeParams has
// accepted n.
BasisMatrix QualifiedSetMatrix(const SchemeChoice& choice);

// The chosen scheme's parameters, checked with CheckSchemeParams. sets receives the qualified
// sets that params point at (when --sets was given), so it must outlive params. Returns the
// refusal, None when the pair can be built from params.
Code ChosenSchemeParams(const SchemeChoice& choice, BasisMatrix& sets, SchemeParams& params);

// Why the general scheme would have no qualified set: no --sets, or every set naming a
// participant beyond n (such a set is never complete). Empty when that is not the case.
std::string QualifiedSetsHint(const SchemeChoice& choice);

}  // namespace quillon::cli
