#include "schemes/scheme_pair.h"

#include "schemes/scheme_table.h"

namespace quillon {

namespace {

bool ParticipantsInRange(int n) {
  return n >= 2 && n <= kMaxParticipants;
}

SchemePair Refusal(SchemeError error) {
  SchemePair pair;
  pair.error = error;
  return pair;
}

}  // namespace

const char* SchemeErrorText(SchemeError error) {
  switch (error) {
    case SchemeError::None:
      return "";
    case SchemeError::BadParameters:
      return "The number of participants n must be from 2 to 9 and the threshold k from 2 to n.";
    case SchemeError::TooLarge:
      return "The basis matrices of this scheme are too large to build.";
    case SchemeError::NoQualifiedSet:
      return "This scheme has no qualified set of participants.";
  }
  return "";
}

SchemeError CheckSchemeParams(const SchemeParams& params) {
  if (static_cast<size_t>(params.scheme) >= SchemeRows().size())
    return SchemeError::BadParameters;
  const SchemeRow& row = SchemeInfo(params.scheme);
  if ((row.uses & kUsesN) && !ParticipantsInRange(params.n))
    return SchemeError::BadParameters;
  if ((row.uses & kUsesK) && (params.k < 2 || params.k > params.n))
    return SchemeError::BadParameters;
  return row.refuse ? row.refuse(params) : SchemeError::None;
}

SchemePair BuildSchemePair(const SchemeParams& params) {
  const SchemeError error = CheckSchemeParams(params);
  if (error != SchemeError::None)
    return Refusal(error);
  SchemePair pair;
  if (SchemeError built = SchemeInfo(params.scheme).build(params, pair.s1, pair.s0);
      built != SchemeError::None) {
    return Refusal(built);
  }
  if (pair.s0.Cols() == 0 || pair.s1.Cols() == 0)
    return Refusal(SchemeError::NoQualifiedSet);
  return pair;
}

}  // namespace quillon
