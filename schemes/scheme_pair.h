// The basis-matrix pair (S0 for white secret pixels, S1 for black) of a scheme, built from
// its parameters exactly as the encryption uses it, and the refusals checked beforehand.
#pragma once

#include "core/basis_matrix.h"
#include "core/kinds.h"
#include "core/outcome.h"

namespace quillon {

// Largest number of columns a basis matrix may have; checked from the parameters before
// anything is built.
constexpr int64_t kMaxBasisColumns = int64_t{1} << 24;
constexpr int kMaxParticipants = 9;

struct SchemeParams {
  SchemeKind scheme = SchemeKind::Scheme2of2;
  int n = 2;
  int k = 2;
  // Minimal qualified sets, one membership row per set (column t = participant t); may be
  // null (no set chosen). Only read by SchemeGeneral. Columns beyond n are ignored: those
  // participants count as absent from every set.
  const BasisMatrix* qualifiedSets = nullptr;
  // SchemeKofN only: the contrast-optimal pair (schemes/optimal_kofn.h) instead of the
  // arrangement construction. The desktop program never sets it.
  bool optimal = false;
};

// Refusals: kBadParameters (n outside 2..9, or k outside 2..n for the (k,n) scheme),
// kMatricesTooLarge (a matrix would exceed kMaxBasisColumns columns), kNoQualifiedSet (the
// pair has no columns).
// Checks n and k where the scheme reads them (its row in schemes/scheme_table.h: Scheme2of2
// ignores both; Scheme2ofN, SchemeNofN and SchemeGeneral ignore k) and the size limit of the
// (k,n) scheme, without building anything.
Code CheckSchemeParams(const SchemeParams& params);

struct SchemePair {
  Code error = Code::kOk;
  BasisMatrix s0{0, 0};
  BasisMatrix s1{0, 0};
};

// Builds S1, then S0, with the scheme's builder; the (k,n) and general schemes then cancel
// their common columns. On an error both matrices are empty and nothing large was built.
SchemePair BuildSchemePair(const SchemeParams& params);

}  // namespace quillon
