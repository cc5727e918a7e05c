#include "schemes/analysis.h"

#include <algorithm>
#include <bit>

#include "schemes/general.h"
#include "schemes/scheme_table.h"

namespace quillon {
namespace {

// How often each column pattern occurs (bit r = row r black); the wide matrices are read
// once, every set is then examined on at most 2^rows patterns.
std::vector<int64_t> PatternCounts(const BasisMatrix& s) {
  std::vector<int64_t> counts(size_t{1} << s.Rows(), 0);
  for (int32_t c = 0; c < s.Cols(); ++c) {
    uint32_t code = 0;
    for (int32_t r = 0; r < s.Rows(); ++r)
      code |= uint32_t{s.Get(r, c) != 0} << r;
    ++counts[code];
  }
  return counts;
}

}  // namespace

bool SchemeQualifies(const SchemeParams& params, uint32_t members) {
  if (SchemeInfo(params.scheme).threshold != Threshold::None)
    return std::popcount(members) >= SchemeThreshold(params);
  if (params.qualifiedSets == nullptr || params.n < 0)
    return false;
  std::vector<int32_t> v(params.n);
  for (int t = 0; t < params.n && t < 32; ++t)
    v[t] = (members >> t) & 1u;
  return IsQualified(*params.qualifiedSets, v);
}

SchemeAnalysis AnalyzePair(const BasisMatrix& s0, const BasisMatrix& s1,
                           const std::function<bool(uint32_t)>& qualified) {
  SchemeAnalysis result;
  const int32_t n = s0.Rows();
  if (n < 1 || n > kMaxAnalysisRows || s1.Rows() != n || s1.Cols() != s0.Cols())
    return result;
  result.analysed = true;
  result.n = n;
  result.m = s0.Cols();
  const std::vector<int64_t> white = PatternCounts(s0);
  const std::vector<int64_t> black = PatternCounts(s1);
  const uint32_t patterns = uint32_t{1} << n;

  int64_t minDifference = 0;
  std::vector<int64_t> seen(patterns);
  for (uint32_t members = 1; members < patterns; ++members) {
    SetAnalysis set;
    set.members = members;
    set.qualified = qualified(members);
    // seen[p]: S0's columns minus S1's that the set sees as pattern p. The set cannot tell
    // the matrices apart exactly when every difference is zero.
    std::fill(seen.begin(), seen.end(), 0);
    for (uint32_t code = 0; code < patterns; ++code) {
      const uint32_t p = code & members;
      seen[p] += white[code] - black[code];
      if (p != 0) {
        set.l += white[code];
        set.h += black[code];
      }
    }
    if (!set.qualified) {
      for (int64_t d : seen)
        set.secure = set.secure && d == 0;
      result.allSecure = result.allSecure && set.secure;
    } else if (!result.hasQualified || set.h - set.l < minDifference) {
      minDifference = set.h - set.l;
      result.hasQualified = true;
    }
    result.sets.push_back(set);
  }
  result.minContrast = result.m > 0 ? Rational::Fraction(minDifference, result.m) : Rational(0);
  return result;
}

}  // namespace quillon
