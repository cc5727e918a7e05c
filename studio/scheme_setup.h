// The choices that decide the shares: scheme, participants n, threshold k, the contrast-
// optimal pair, the minimal qualified sets of a general access structure, the method and one
// innocent image per share for the extended methods. The setters keep the choices within what
// can be built (CheckSchemeParams): the ranges tell the view what its controls may offer. The
// qualified sets are typed as text ("1,2;2,3") and checked as typed, or toggled from the list
// of candidate sets. A plain value used on the owner thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/basis_matrix.h"
#include "core/kinds.h"
#include "schemes/scheme_pair.h"

namespace quillon::studio {

struct IntRange {
  int min = 0;
  int max = 0;
  bool Contains(int value) const { return value >= min && value <= max; }
};

// Why a text of qualified sets cannot be read.
enum class SetsProblem {
  kNone,
  kNoSets,           // nothing typed: the structure has no qualified set
  kEmptySet,         // set `set` holds nothing ("1,2;;3")
  kEmptyMember,      // set `set` has an empty member ("1,,2")
  kNotAParticipant,  // `member` is not a participant from 1 to n
};

struct SetsCheck {
  SetsProblem problem = SetsProblem::kNoSets;
  int set = 0;         // the set concerned, from 1
  std::string member;  // the member as typed
  int n = 0;           // the participants the sets were read for

  bool Valid() const { return problem == SetsProblem::kNone; }
};

// Reads minimal qualified sets: members separated by ',', sets by ';', blanks around numbers
// allowed, participants from 1 to n. Each set becomes a mask, bit t for participant t + 1;
// repeated members and repeated sets count once. sets is filled only when the text is valid.
SetsCheck ParseQualifiedSets(std::string_view text, int n, std::vector<uint32_t>* sets);
// The sets as ParseQualifiedSets reads them, in their order: "1,2;2,3".
std::string QualifiedSetsText(const std::vector<uint32_t>& sets);

class SchemeSetup {
 public:
  SchemeSetup();

  SchemeKind Kind() const { return m_kind; }
  // The number of participants (shares): n where the scheme reads it, else 2.
  int Participants() const;
  // The k of the scheme's threshold (2, n or k); 0 for a general access structure.
  int Threshold() const;
  // The contrast-optimal (k,n) pair; false for the schemes that do not offer it.
  bool Optimal() const;
  ExpansionMethod Method() const { return m_method; }
  // n, k and the optimal flag as last chosen, kept while a scheme that ignores them is chosen.
  int ChosenParticipants() const { return m_n; }
  int ChosenThreshold() const { return m_k; }
  bool ChosenOptimal() const { return m_optimal; }
  // Whether a participant alone may be a qualified set (that share is then the secret in the
  // clear); off unless the user allows it.
  bool AllowClearShare() const { return m_allowClearShare; }

  // What the participants and threshold controls may offer: a single value where the scheme
  // fixes it. Within ThresholdRange some k may still be too large to build for this n (the
  // (k,n) construction with 6 <= k < n >= 7): ThresholdBuildable tells.
  IntRange ParticipantRange() const;
  IntRange ThresholdRange() const;
  bool ThresholdBuildable(int k) const;

  // Each setter keeps the choices buildable and answers the value taken; a scheme or method
  // that is none of the tables' is ignored. Another scheme keeps
  // n and k where it can; a new n moves k down to the nearest k that can be built; a k that
  // cannot be built moves on in the direction it was changed (so a spin control skips it).
  void SetKind(SchemeKind kind);
  int SetParticipants(int n);
  int SetThreshold(int k);
  void SetOptimal(bool optimal);
  void SetMethod(ExpansionMethod method);
  void SetAllowClearShare(bool allow) { m_allowClearShare = allow; }

  // The qualified sets as typed, and what reading them for the current n found; the sets
  // themselves change only with a valid text (a text that a smaller n makes invalid leaves no
  // sets until it is fixed).
  const SetsCheck& SetSetsText(std::string text);
  const std::string& SetsText() const { return m_setsText; }
  const SetsCheck& SetsState() const { return m_setsCheck; }
  const std::vector<uint32_t>& Sets() const { return m_sets; }
  // Every non-empty set of participants 1..n: by size, then by members.
  std::vector<uint32_t> CandidateSets() const;
  bool HasSet(uint32_t members) const;
  // Adds the set when it is not chosen, removes it when it is, and writes the text anew.
  void ToggleSet(uint32_t members);

  // The innocent image of share `share` (from 0): a path, "" when none is chosen.
  void SetInnocentImage(int share, std::string path);
  const std::string& InnocentImage(int share) const;
  // The first Participants() of them.
  std::vector<std::string> InnocentImages() const;

  // The parameters as the computing code takes them. qualifiedSets points into this object:
  // it stays valid while the object lives and its sets do not change.
  SchemeParams Params() const;
  // kOk, or why the pair cannot be built: kBadParameters, kMatricesTooLarge, or
  // kNoQualifiedSet (a general structure whose sets are missing or cannot be read).
  Code Check() const;

 private:
  void RecheckSets();
  int BuildableThresholdAtMost(int k) const;

  SchemeKind m_kind = SchemeKind::Scheme2of2;
  int m_n = 2;
  int m_k = 2;
  bool m_optimal = false;
  ExpansionMethod m_method = ExpansionMethod::RandomBasisColumn;
  bool m_allowClearShare = false;
  std::string m_setsText;
  SetsCheck m_setsCheck;
  std::vector<uint32_t> m_sets;
  BasisMatrix m_setsMatrix{0, 0};
  std::vector<std::string> m_innocents;
};

}  // namespace quillon::studio
