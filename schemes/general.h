// The pair of a general access structure given by its minimal qualified sets: one row of
// the (f,f) basis per maximal forbidden set, and participant i's row the union of the rows
// of the maximal forbidden sets that do not contain i.
#pragma once

#include <cstdint>
#include <vector>

#include "core/basis_matrix.h"

namespace quillon {

// True when some row of q is contained in v: every entry 1 of the row has 1 in v at the same
// place. Places at or beyond v.size() count as 0 in v, so a set naming a participant that v
// does not cover is never contained.
bool IsQualified(const BasisMatrix& q, const std::vector<int32_t>& v);

// One membership row per maximal forbidden set of participants 0..n-1 (n columns), in
// increasing set code (bit t = participant t). Columns of q beyond n are participants
// absent from every tested set. Meant for n <= 20; n > 30 gives no rows.
BasisMatrix MaximalForbiddenSets(const BasisMatrix& q, int32_t n);

// Cols(f) x Rows(f): entry [i][j] is 0 when f[j][i] is 1, otherwise 1.
BasisMatrix ComplementTranspose(const BasisMatrix& f);

// The widest dual structure the constructions represent: one bit per maximal forbidden set.
constexpr int32_t kMaxDualColumns = 31;

// n x 2^(f-1), f = t.Cols(): row i is the or of the rows l of the (f,f) basis for black (S1)
// or white (S0) with t[i][l] = 1. Rows of t missing below n count as all 0; f outside
// 1..kMaxDualColumns gives no columns.
BasisMatrix BuildGeneralS1(const BasisMatrix& t, int32_t n);
BasisMatrix BuildGeneralS0(const BasisMatrix& t, int32_t n);

// BuildGeneralS1, BuildGeneralS0 and CancelCommonColumns in one: the same two matrices, built
// at their final width without ever holding the columns the reduction removes. Needs n <=
// kMaxPairRows; more gives two matrices without columns.
void BuildGeneralPair(const BasisMatrix& t, int32_t n, BasisMatrix& s1, BasisMatrix& s0);

}  // namespace quillon
