#include "schemes/scheme_pair.h"

#include "schemes/scheme_table.h"

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
  if (static_cast<size_t>(params.scheme) >= SchemeRows().size())
    return Code::kBadParameters;
  const SchemeRow& row = SchemeInfo(params.scheme);
  if ((row.uses & kUsesN) && !ParticipantsInRange(params.n))
    return Code::kBadParameters;
  if ((row.uses & kUsesK) && (params.k < 2 || params.k > params.n))
    return Code::kBadParameters;
  return row.refuse ? row.refuse(params) : Code::kOk;
}

SchemePair BuildSchemePair(const SchemeParams& params) {
  const Code error = CheckSchemeParams(params);
  if (error != Code::kOk)
    return Refusal(error);
  SchemePair pair;
  if (Code built = SchemeInfo(params.scheme).build(params, pair.s1, pair.s0); built != Code::kOk) {
    return Refusal(built);
  }
  if (pair.s0.Cols() == 0 || pair.s1.Cols() == 0)
    return Refusal(Code::kNoQualifiedSet);
  return pair;
}

}  // namespace quillon
