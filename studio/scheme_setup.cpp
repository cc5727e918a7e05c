#include "studio/scheme_setup.h"

#include <algorithm>
#include <bit>

#include "core/whole_number.h"
#include "schemes/method_table.h"
#include "schemes/scheme_table.h"

namespace quillon::studio {
namespace {

std::string_view Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos)
    return {};
  const size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

// The pieces of text between separators, empty ones kept.
std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  for (size_t start = 0;;) {
    const size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

unsigned Uses(SchemeKind kind) {
  return SchemeInfo(kind).uses;
}

}  // namespace

SetsCheck ParseQualifiedSets(std::string_view text, int n, std::vector<uint32_t>* sets) {
  SetsCheck check;
  check.n = n;
  if (Trim(text).empty())
    return check;  // kNoSets
  std::vector<uint32_t> parsed;
  const std::vector<std::string_view> setTexts = Split(text, ';');
  for (size_t s = 0; s < setTexts.size(); ++s) {
    check.set = static_cast<int>(s) + 1;
    if (Trim(setTexts[s]).empty()) {
      check.problem = SetsProblem::kEmptySet;
      return check;
    }
    uint32_t members = 0;
    for (std::string_view item : Split(setTexts[s], ',')) {
      const std::string_view member = Trim(item);
      if (member.empty()) {
        check.problem = SetsProblem::kEmptyMember;
        return check;
      }
      const auto number = ParseWholeNumber(member);
      if (!number || *number < 1 || *number > n || *number > kMaxParticipants) {
        check.problem = SetsProblem::kNotAParticipant;
        check.member = std::string(member);
        return check;
      }
      members |= uint32_t{1} << (*number - 1);
    }
    if (std::find(parsed.begin(), parsed.end(), members) == parsed.end())
      parsed.push_back(members);
  }
  check.problem = SetsProblem::kNone;
  check.set = 0;
  if (sets != nullptr)
    *sets = std::move(parsed);
  return check;
}

std::string QualifiedSetsText(const std::vector<uint32_t>& sets) {
  std::string text;
  for (uint32_t members : sets) {
    if (!text.empty())
      text += ';';
    bool first = true;
    for (int t = 0; t < 32; ++t) {
      if ((members >> t) & 1u) {
        text += first ? "" : ",";
        text += std::to_string(t + 1);
        first = false;
      }
    }
  }
  return text;
}

SchemeSetup::SchemeSetup() : m_innocents(kMaxParticipants) {
  RecheckSets();
}

int SchemeSetup::Participants() const {
  return SchemeParticipants(Params());
}

int SchemeSetup::Threshold() const {
  return SchemeThreshold(Params());
}

bool SchemeSetup::Optimal() const {
  return m_optimal && (Uses(m_kind) & kUsesOptimal);
}

IntRange SchemeSetup::ParticipantRange() const {
  if (!(Uses(m_kind) & kUsesN))
    return {2, 2};
  return {2, kMaxParticipants};
}

IntRange SchemeSetup::ThresholdRange() const {
  if (!(Uses(m_kind) & kUsesK)) {
    const int k = Threshold();
    return {k, k};
  }
  return {2, BuildableThresholdAtMost(m_n)};
}

bool SchemeSetup::ThresholdBuildable(int k) const {
  if (!(Uses(m_kind) & kUsesK))
    return k == Threshold();
  SchemeParams params = Params();
  params.k = k;
  return CheckSchemeParams(params) == Code::kOk;
}

int SchemeSetup::BuildableThresholdAtMost(int k) const {
  // k = 2 is always buildable for n <= kMaxParticipants.
  while (k > 2 && !ThresholdBuildable(k))
    --k;
  return std::max(k, 2);
}

void SchemeSetup::SetKind(SchemeKind kind) {
  if (static_cast<size_t>(kind) >= SchemeRows().size())
    return;
  m_kind = kind;
  if (Uses(m_kind) & kUsesK)
    m_k = BuildableThresholdAtMost(std::clamp(m_k, 2, m_n));
  RecheckSets();
}

int SchemeSetup::SetParticipants(int n) {
  if (!(Uses(m_kind) & kUsesN))
    return Participants();
  m_n = std::clamp(n, 2, kMaxParticipants);
  m_k = BuildableThresholdAtMost(std::min(m_k, m_n));
  RecheckSets();
  return m_n;
}

int SchemeSetup::SetThreshold(int k) {
  if (!(Uses(m_kind) & kUsesK))
    return Threshold();
  k = std::clamp(k, 2, m_n);
  if (!ThresholdBuildable(k) && k > m_k) {
    int up = k + 1;
    while (up <= m_n && !ThresholdBuildable(up))
      ++up;
    k = up <= m_n ? up : BuildableThresholdAtMost(k);
  } else {
    k = BuildableThresholdAtMost(k);
  }
  m_k = k;
  return m_k;
}

void SchemeSetup::SetOptimal(bool optimal) {
  m_optimal = optimal;
  if (Uses(m_kind) & kUsesK)
    m_k = BuildableThresholdAtMost(m_k);
}

const SetsCheck& SchemeSetup::SetSetsText(std::string text) {
  m_setsText = std::move(text);
  RecheckSets();
  return m_setsCheck;
}

void SchemeSetup::RecheckSets() {
  std::vector<uint32_t> sets;
  m_setsCheck = ParseQualifiedSets(m_setsText, m_n, &sets);
  m_sets = m_setsCheck.Valid() ? std::move(sets) : std::vector<uint32_t>();
  m_setsMatrix = BasisMatrix(static_cast<int32_t>(m_sets.size()), m_n);
  for (size_t r = 0; r < m_sets.size(); ++r) {
    for (int t = 0; t < m_n; ++t)
      m_setsMatrix.Set(static_cast<int32_t>(r), t, static_cast<int32_t>((m_sets[r] >> t) & 1u));
  }
}

std::vector<uint32_t> SchemeSetup::CandidateSets() const {
  const int n = Participants();
  std::vector<uint32_t> sets;
  for (uint32_t members = 1; members < (uint32_t{1} << n); ++members)
    sets.push_back(members);
  // By size; among sets of one size, the one holding the lowest participant where they
  // differ comes first ({1,4} before {2,3}).
  std::sort(sets.begin(), sets.end(), [](uint32_t a, uint32_t b) {
    if (std::popcount(a) != std::popcount(b))
      return std::popcount(a) < std::popcount(b);
    const uint32_t differ = a ^ b;
    return differ != 0 && (a & differ & (~differ + 1)) != 0;
  });
  return sets;
}

bool SchemeSetup::HasSet(uint32_t members) const {
  return std::find(m_sets.begin(), m_sets.end(), members) != m_sets.end();
}

void SchemeSetup::ToggleSet(uint32_t members) {
  members &= (uint32_t{1} << m_n) - 1;
  if (members == 0)
    return;
  std::vector<uint32_t> sets = m_sets;
  if (const auto it = std::find(sets.begin(), sets.end(), members); it != sets.end()) {
    sets.erase(it);
  } else {
    sets.push_back(members);
  }
  SetSetsText(QualifiedSetsText(sets));
}

void SchemeSetup::SetMethod(ExpansionMethod method) {
  if (static_cast<size_t>(method) < MethodRows().size())
    m_method = method;
}

void SchemeSetup::SetInnocentImage(int share, std::string path) {
  if (share >= 0 && share < kMaxParticipants)
    m_innocents[share] = std::move(path);
}

const std::string& SchemeSetup::InnocentImage(int share) const {
  static const std::string kNone;
  return share >= 0 && share < kMaxParticipants ? m_innocents[share] : kNone;
}

std::vector<std::string> SchemeSetup::InnocentImages() const {
  return {m_innocents.begin(), m_innocents.begin() + Participants()};
}

SchemeParams SchemeSetup::Params() const {
  SchemeParams params;
  params.scheme = m_kind;
  params.n = m_n;
  params.k = m_k;
  params.optimal = m_optimal && (Uses(m_kind) & kUsesOptimal);
  if ((Uses(m_kind) & kUsesSets) && !m_sets.empty())
    params.qualifiedSets = &m_setsMatrix;
  return params;
}

Code SchemeSetup::Check() const {
  if (const Code code = CheckSchemeParams(Params()); code != Code::kOk)
    return code;
  if ((Uses(m_kind) & kUsesSets) && m_sets.empty())
    return Code::kNoQualifiedSet;
  return Code::kOk;
}

}  // namespace quillon::studio
