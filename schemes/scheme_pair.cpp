#include "schemes/scheme_pair.h"

#include "schemes/general.h"
#include "schemes/kofn.h"
#include "schemes/optimal_kofn.h"
#include "schemes/threshold.h"

namespace quillon {

namespace {

bool ParticipantsInRange(int n) {
  return n >= 2 && n <= kMaxParticipants;
}

SchemePair Refusal(Code error) {
  SchemePair pair;
  pair.error = error;
  return pair;
}

}  // namespace

Code CheckSchemeParams(const SchemeParams& params) {
  switch (params.scheme) {
    case SchemeKind::Scheme2of2:
      return Code::kOk;
    case SchemeKind::Scheme2ofN:
    case SchemeKind::SchemeNofN:
    case SchemeKind::SchemeGeneral:
      return ParticipantsInRange(params.n) ? Code::kOk : Code::kBadParameters;
    case SchemeKind::SchemeKofN:
      if (!ParticipantsInRange(params.n) || params.k < 2 || params.k > params.n) {
        return Code::kBadParameters;
      }
      if (params.optimal)
        return Code::kOk;  // at most a few hundred columns for n <= 9
      return KofNColumnCount(params.n, params.k) > kMaxBasisColumns ? Code::kMatricesTooLarge
                                                                    : Code::kOk;
  }
  return Code::kBadParameters;
}

SchemePair BuildSchemePair(const SchemeParams& params) {
  const Code error = CheckSchemeParams(params);
  if (error != Code::kOk)
    return Refusal(error);

  const int32_t n = params.n;
  const int32_t k = params.k;
  SchemePair pair;
  switch (params.scheme) {
    case SchemeKind::Scheme2of2:
      pair.s1 = Build2of2S1();
      pair.s0 = Build2of2S0();
      break;
    case SchemeKind::Scheme2ofN:
      pair.s1 = Build2ofNS1(n);
      pair.s0 = Build2ofNS0(n);
      break;
    case SchemeKind::SchemeNofN:
      pair.s1 = BuildNofNS1(n);
      pair.s0 = BuildNofNS0(n);
      break;
    case SchemeKind::SchemeKofN: {
      if (params.optimal) {
        const OptimalKofN optimal = SolveOptimalKofN(n, k);
        if (!optimal.solved || optimal.m > kMaxBasisColumns)
          return Refusal(Code::kMatricesTooLarge);
        BuildOptimalKofNPair(optimal, pair.s1, pair.s0);
        break;
      }
      // S1, then S0, then the reduction, in one pass that never holds the removed columns.
      const ArrangementTable a = BuildArrangements(ArrangementLength(n, k), k);
      BuildKofNPair(a, k, n, pair.s1, pair.s0);
      break;
    }
    case SchemeKind::SchemeGeneral: {
      // No chosen sets: every set is forbidden.
      const BasisMatrix none(0, n);
      const BasisMatrix& q = params.qualifiedSets ? *params.qualifiedSets : none;
      const BasisMatrix f = MaximalForbiddenSets(q, n);
      // The width 2^(f-1) is known as soon as F is; refuse before building it.
      if (f.Rows() > 62 || (f.Rows() >= 1 && (int64_t{1} << (f.Rows() - 1)) > kMaxBasisColumns)) {
        return Refusal(Code::kMatricesTooLarge);
      }
      BuildGeneralPair(ComplementTranspose(f), n, pair.s1, pair.s0);
      break;
    }
  }
  if (pair.s0.Cols() == 0 || pair.s1.Cols() == 0)
    return Refusal(Code::kNoQualifiedSet);
  return pair;
}

}  // namespace quillon
