// The table of the five schemes: one row per scheme with its names, the parameters it reads
// and its builder. Checking and building a pair (schemes/scheme_pair.h), the analysis's
// qualified sets, the command-line names and the desktop program's selector all read these
// rows, so a new scheme takes one row here, its builder and its enumerator in core/kinds.h.
// Constant data, safe from any thread.
#pragma once

#include <span>

#include "core/basis_matrix.h"
#include "core/kinds.h"
#include "schemes/scheme_pair.h"

namespace quillon {

// What a scheme reads of SchemeParams besides its kind; the rest it ignores.
enum SchemeUses : unsigned {
  kUsesN = 1,        // n, from 2 to kMaxParticipants (else the scheme has 2 participants)
  kUsesK = 2,        // k, from 2 to n
  kUsesSets = 4,     // the minimal qualified sets
  kUsesOptimal = 8,  // the contrast-optimal pair instead of the construction
};

// The k of the (k,n) threshold the scheme stands for.
enum class Threshold {
  Two,   // any two participants
  AllN,  // all n together
  K,     // any k
  None,  // a general access structure: its qualified sets decide
};

struct SchemeRow {
  SchemeKind kind;           // its number: the selector index, also taken on the command line
  const char* name;          // its name on the command line
  const char* selectorText;  // the desktop program's scheme selector, byte for byte
  unsigned uses;             // SchemeUses
  Threshold threshold;
  // A refusal known from the parameters alone once n and k passed (TooLarge before anything
  // is built); null when there is none.
  Code (*refuse)(const SchemeParams& params);
  // Builds S1, then S0, from parameters that passed the checks; TooLarge when the pair
  // proves too large on the way (the matrices are then to be dropped).
  Code (*build)(const SchemeParams& params, BasisMatrix& s1, BasisMatrix& s0);
};

// Every scheme, in selector order: row i is scheme i.
std::span<const SchemeRow> SchemeRows();

// The row of a scheme; kind is one of the rows'.
const SchemeRow& SchemeInfo(SchemeKind kind);

// The number of participants: n when the scheme reads it, else 2.
int SchemeParticipants(const SchemeParams& params);

// The k of the scheme's threshold for these parameters (2, n or k); 0 for a general access
// structure.
int SchemeThreshold(const SchemeParams& params);

}  // namespace quillon
