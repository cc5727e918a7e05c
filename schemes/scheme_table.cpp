#include "schemes/scheme_table.h"

#include <cassert>
#include <iterator>

#include "schemes/general.h"
#include "schemes/kofn.h"
#include "schemes/optimal_kofn.h"
#include "schemes/threshold.h"

namespace quillon {
namespace {

Code Build2of2(const SchemeParams&, BasisMatrix& s1, BasisMatrix& s0) {
  s1 = Build2of2S1();
  s0 = Build2of2S0();
  return Code::kOk;
}

Code Build2ofN(const SchemeParams& params, BasisMatrix& s1, BasisMatrix& s0) {
  s1 = Build2ofNS1(params.n);
  s0 = Build2ofNS0(params.n);
  return Code::kOk;
}

Code BuildNofN(const SchemeParams& params, BasisMatrix& s1, BasisMatrix& s0) {
  s1 = BuildNofNS1(params.n);
  s0 = BuildNofNS0(params.n);
  return Code::kOk;
}

Code RefuseKofN(const SchemeParams& params) {
  if (params.optimal)
    return Code::kOk;  // at most a few hundred columns for n <= 9
  return KofNColumnCount(params.n, params.k) > kMaxBasisColumns ? Code::kMatricesTooLarge
                                                                : Code::kOk;
}

Code BuildKofN(const SchemeParams& params, BasisMatrix& s1, BasisMatrix& s0) {
  if (params.optimal) {
    const OptimalKofN optimal = SolveOptimalKofN(params.n, params.k);
    if (!optimal.solved || optimal.m > kMaxBasisColumns)
      return Code::kMatricesTooLarge;
    BuildOptimalKofNPair(optimal, s1, s0);
    return Code::kOk;
  }
  // S1, then S0, then the reduction, in one pass that never holds the removed columns.
  const ArrangementTable a = BuildArrangements(ArrangementLength(params.n, params.k), params.k);
  BuildKofNPair(a, params.k, params.n, s1, s0);
  return Code::kOk;
}

Code BuildGeneral(const SchemeParams& params, BasisMatrix& s1, BasisMatrix& s0) {
  // No chosen sets: every set is forbidden.
  const BasisMatrix none(0, params.n);
  const BasisMatrix& q = params.qualifiedSets ? *params.qualifiedSets : none;
  const BasisMatrix f = MaximalForbiddenSets(q, params.n);
  // The width 2^(f-1) is known as soon as F is; refuse before building it.
  if (f.Rows() > 62 || (f.Rows() >= 1 && (int64_t{1} << (f.Rows() - 1)) > kMaxBasisColumns))
    return Code::kMatricesTooLarge;
  BuildGeneralPair(ComplementTranspose(f), params.n, s1, s0);
  return Code::kOk;
}

using K = SchemeKind;
using T = Threshold;

constexpr SchemeRow kSchemes[] = {
    {K::Scheme2of2, "2of2", "(2,2)-threshold VCS", 0, T::Two, nullptr, Build2of2},
    {K::Scheme2ofN, "2ofn", "(2,n)-threshold VCS", kUsesN, T::Two, nullptr, Build2ofN},
    {K::SchemeNofN, "nofn", "(n,n)-threshold VCS", kUsesN, T::AllN, nullptr, BuildNofN},
    {K::SchemeKofN, "kofn", "(k,n)-threshold VCS", kUsesN | kUsesK | kUsesOptimal, T::K, RefuseKofN,
     BuildKofN},
    {K::SchemeGeneral, "general", "General Access Structure", kUsesN | kUsesSets, T::None, nullptr,
     BuildGeneral},
};

constexpr bool InSelectorOrder() {
  for (size_t i = 0; i < std::size(kSchemes); ++i) {
    if (static_cast<size_t>(kSchemes[i].kind) != i)
      return false;
  }
  return true;
}
static_assert(InSelectorOrder(), "row i of the scheme table is scheme i");

}  // namespace

std::span<const SchemeRow> SchemeRows() {
  return kSchemes;
}

const SchemeRow& SchemeInfo(SchemeKind kind) {
  const auto index = static_cast<size_t>(kind);
  assert(index < std::size(kSchemes));
  return kSchemes[index];
}

int SchemeParticipants(const SchemeParams& params) {
  return (SchemeInfo(params.scheme).uses & kUsesN) ? params.n : 2;
}

int SchemeThreshold(const SchemeParams& params) {
  switch (SchemeInfo(params.scheme).threshold) {
    case Threshold::Two:
      return 2;
    case Threshold::AllN:
      return params.n;
    case Threshold::K:
      return params.k;
    case Threshold::None:
      break;
  }
  return 0;
}

}  // namespace quillon
