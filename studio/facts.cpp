#include "studio/facts.h"

#include <bit>

#include "schemes/optimal_kofn.h"
#include "schemes/scheme_pair.h"
#include "schemes/scheme_table.h"

namespace quillon::studio {
namespace {

// The optimal pair for the scheme's (k,n), when it is better than what the setup gives.
void OfferOptimal(const SchemeSetup& setup, SchemeFacts& facts) {
  const int k = setup.Threshold();
  const int n = setup.Participants();
  if (k == 0 || setup.Optimal())
    return;
  const OptimalKofN optimal = SolveOptimalKofN(n, k);
  if (!optimal.solved || optimal.m > kMaxBasisColumns)
    return;
  const bool better = facts.refusal == Code::kMatricesTooLarge ||
                      (facts.refusal == Code::kOk && optimal.contrast > facts.minContrast);
  if (!better)
    return;
  facts.optimalOffered = true;
  facts.optimalK = k;
  facts.optimalN = n;
  facts.optimalContrast = optimal.contrast;
  facts.optimalSubpixels = optimal.m;
}

}  // namespace

SchemeFacts AnalyzeScheme(const SchemeSetup& setup) {
  SchemeFacts facts;
  const SchemeParams params = setup.Params();
  facts.participants = setup.Participants();
  facts.refusal = setup.Check();
  SchemePair pair;
  if (facts.refusal == Code::kOk) {
    pair = BuildSchemePair(params);
    facts.refusal = pair.error;
  }
  if (facts.refusal == Code::kOk) {
    facts.analysis = AnalyzePair(
        pair.s0, pair.s1, [&params](uint32_t members) { return SchemeQualifies(params, members); });
    if (!facts.analysis.analysed)
      facts.refusal = Code::kBadParameters;
  }
  if (facts.refusal != Code::kOk) {
    facts.analysis = SchemeAnalysis();
    OfferOptimal(setup, facts);
    return facts;
  }

  const SchemeAnalysis& a = facts.analysis;
  facts.participants = a.n;
  facts.subpixels = a.m;
  facts.minContrast = a.minContrast;
  facts.allSecure = a.allSecure;
  facts.lowContrast = a.hasQualified && a.minContrast < ReadableContrast();
  facts.bySize.resize(static_cast<size_t>(a.n));
  for (int size = 1; size <= a.n; ++size)
    facts.bySize[size - 1].size = size;
  for (const SetAnalysis& set : a.sets) {
    SizeFacts& row = facts.bySize[std::popcount(set.members) - 1];
    ++row.sets;
    if (!set.qualified) {
      row.insecure += set.secure ? 0 : 1;
      continue;
    }
    const Rational contrast = Rational::Fraction(set.h - set.l, a.m);
    row.minContrast = row.qualified == 0 || contrast < row.minContrast ? contrast : row.minContrast;
    row.maxContrast = row.qualified == 0 || contrast > row.maxContrast ? contrast : row.maxContrast;
    ++row.qualified;
    if (std::popcount(set.members) == 1 && facts.loneParticipant < 0)
      facts.loneParticipant = std::countr_zero(set.members);
  }
  // Compared with the contrast just found.
  OfferOptimal(setup, facts);
  return facts;
}

ShareFacts ShareSizeFacts(const SchemeFacts& scheme, ExpansionMethod method, int32_t width,
                          int32_t height, double pixelMm) {
  ShareFacts facts;
  if (scheme.refusal != Code::kOk) {
    facts.refusal = scheme.refusal;
    return facts;
  }
  const int64_t m = scheme.participants;
  const int64_t c = scheme.subpixels;
  facts.blockSide = MethodBlockSide(method, m, c);
  if (width <= 0 || height <= 0) {
    facts.refusal = Code::kNoSecret;
    return facts;
  }
  facts.size = MethodShareSize(method, width, height, m, c);
  if (!ShareSizeFits(facts.size)) {
    facts.refusal = Code::kSharesTooLarge;
  } else if (facts.size.width <= 0 || facts.size.height <= 0) {
    facts.refusal = Code::kSmallerThanBlock;
  }
  facts.widthMm = static_cast<double>(facts.size.width) * pixelMm;
  facts.heightMm = static_cast<double>(facts.size.height) * pixelMm;
  return facts;
}

}  // namespace quillon::studio
