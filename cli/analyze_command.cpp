// quillon-cli analyze: what a scheme gives before it is printed. The pair is the one that
// matrices prints and split uses; every set of participants is examined exactly.
#include <algorithm>
#include <bit>
#include <charconv>
#include <string>

#include "cli/commands.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/scheme_choice.h"
#include "schemes/analysis.h"
#include "schemes/kofn_counts.h"
#include "schemes/optimal_kofn.h"

namespace quillon::cli {
namespace {

constexpr const char* kCommand = "analyze";

constexpr const char* kHelp =
    "Usage: quillon-cli analyze --scheme S [--n N] [--k K] [--sets SETS] [--optimal]\n"
    "                           [--summary] [--json]\n"
    "       quillon-cli analyze --kofn-table\n"
    "\n"
    "Prints what the scheme's basis matrices give each set of participants: the pixel\n"
    "expansion m; for every set whether it is qualified, the black sub-pixels of its stacked\n"
    "shares for a white (l) and a black (h) secret pixel and the contrast (h - l) / m; for a\n"
    "forbidden set whether S0 and S1 restricted to its rows hold the same columns the same\n"
    "number of times (secure), checked exactly. It ends with the smallest contrast of a\n"
    "qualified set and, for threshold schemes, the best contrast possible for (k,n).\n"
    "\n"
    "  --scheme S   2of2, 2ofn, nofn, kofn or general (or 0 to 4)\n"
    "  --n N        number of participants, 2 to 9 (default 2; 2of2 ignores it)\n"
    "  --k K        threshold of kofn, 2 to N (default 2)\n"
    "  --sets SETS  minimal qualified sets of general, e.g. '1,2;2,3'\n"
    "  --optimal    kofn: the pair with the best possible contrast for (K,N)\n"
    "  --summary    one line per set size instead of one per set\n"
    "  --json       one JSON object: m, min_contrast, best_contrast, all_secure and sets\n"
    "               (members, qualified, l, h, contrast, secure for forbidden sets)\n"
    "  --kofn-table for every 2 <= k <= n <= 9: m and contrast of the kofn pair (counted\n"
    "               where it is too wide to build) beside those of the --optimal pair\n"
    "  -h, --help   show this help\n";

std::vector<OptionDef> AnalyzeOptionTable() {
  std::vector<OptionDef> options = SchemeOptionTable();
  options.push_back({"--summary", "", false});
  options.push_back({"--json", "", false});
  options.push_back({"--kofn-table", "", false});
  return options;
}

// The (k,n) a threshold scheme stands for; general structures have none.
bool ThresholdOf(const SchemeParams& params, int& k, int& n) {
  k = SchemeThreshold(params);
  n = SchemeParticipants(params);
  return k != 0;
}

std::string Members(uint32_t members, const char* separator) {
  std::string text;
  for (int t = 0; t < 32; ++t) {
    if ((members >> t) & 1u) {
      if (!text.empty())
        text += separator;
      text += std::to_string(t + 1);
    }
  }
  return text;
}

// The shortest text that reads back as the same double.
std::string JsonNumber(double value) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : "null";
}

std::string Exact(const Rational& r) {
  if (r.Den() == 1)
    return r.ToString();
  char decimal[32];
  std::snprintf(decimal, sizeof decimal, "%.4f", r.ToDouble());
  return r.ToString() + " = " + decimal;
}

std::string Pad(std::string text, size_t width, bool right = false) {
  if (text.size() >= width)
    return text;
  const std::string fill(width - text.size(), ' ');
  return right ? fill + text : text + fill;
}

std::string Line(const std::vector<std::string>& cells, const std::vector<size_t>& widths,
                 const std::vector<bool>& right) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0)
      line += "  ";
    line += Pad(cells[i], i + 1 < cells.size() || right[i] ? widths[i] : 0, right[i]);
  }
  while (!line.empty() && line.back() == ' ')
    line.pop_back();
  return line + "\n";
}

// Lays rows of cells out in columns; right[i] aligns column i to the right.
std::string Table(const std::vector<std::vector<std::string>>& rows,
                  const std::vector<bool>& right) {
  std::vector<size_t> widths(right.size(), 0);
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i)
      widths[i] = std::max(widths[i], row[i].size());
  }
  std::string text;
  for (const auto& row : rows)
    text += Line(row, widths, right);
  return text;
}

std::string Range(int64_t low, int64_t high) {
  return low == high ? std::to_string(low) : std::to_string(low) + ".." + std::to_string(high);
}

std::string SetLines(const SchemeAnalysis& a) {
  std::vector<std::vector<std::string>> rows = {
      {"participants", "set", "l", "h", "contrast", "security"}};
  for (const SetAnalysis& s : a.sets) {
    rows.push_back({Members(s.members, ","), s.qualified ? "qualified" : "forbidden",
                    std::to_string(s.l), std::to_string(s.h),
                    Exact(Rational::Fraction(s.h - s.l, a.m)),
                    s.qualified ? "" : (s.secure ? "secure" : "NOT SECURE")});
  }
  return Table(rows, {false, false, true, true, false, false});
}

std::string SizeLines(const SchemeAnalysis& a) {
  std::vector<std::vector<std::string>> rows = {
      {"size", "sets", "qualified", "l", "h", "smallest contrast", "forbidden sets secure"}};
  for (int size = 1; size <= a.n; ++size) {
    int count = 0, qualified = 0, forbidden = 0, secure = 0;
    int64_t lLow = INT64_MAX, lHigh = INT64_MIN, hLow = INT64_MAX, hHigh = INT64_MIN;
    int64_t minDifference = INT64_MAX;
    for (const SetAnalysis& s : a.sets) {
      if (std::popcount(s.members) != size)
        continue;
      ++count;
      lLow = std::min(lLow, s.l);
      lHigh = std::max(lHigh, s.l);
      hLow = std::min(hLow, s.h);
      hHigh = std::max(hHigh, s.h);
      if (s.qualified) {
        ++qualified;
        minDifference = std::min(minDifference, s.h - s.l);
      } else {
        ++forbidden;
        secure += s.secure;
      }
    }
    rows.push_back(
        {std::to_string(size), std::to_string(count), std::to_string(qualified), Range(lLow, lHigh),
         Range(hLow, hHigh), qualified > 0 ? Exact(Rational::Fraction(minDifference, a.m)) : "-",
         forbidden > 0 ? std::to_string(secure) + " of " + std::to_string(forbidden) : "-"});
  }
  return Table(rows, {true, true, true, true, true, false, false});
}

std::string Title(const SchemeChoice& choice, const SchemeParams& params) {
  const SchemeRow& row = SchemeInfo(params.scheme);
  std::string title = row.selectorText;
  if (row.uses & kUsesN)
    title += ", n = " + std::to_string(params.n);
  if (row.uses & kUsesK)
    title += ", k = " + std::to_string(params.k);
  if (row.uses & kUsesSets) {
    std::string sets;
    for (const auto& set : choice.sets) {
      sets += sets.empty() ? "{" : ", {";
      for (size_t i = 0; i < set.size(); ++i) {
        sets += i == 0 ? "" : ",";
        sets += std::to_string(set[i]);
      }
      sets += "}";
    }
    title += ", minimal qualified sets " + sets;
  }
  if (params.optimal)
    title += ", contrast-optimal";
  return title;
}

std::string TextReport(const SchemeChoice& choice, const SchemeParams& params,
                       const SchemeAnalysis& a, const OptimalKofN* best, bool summary) {
  std::string text = Title(choice, params) + "\n";
  text += "pixel expansion m = " + std::to_string(a.m) + "\n";
  text += summary ? SizeLines(a) : SetLines(a);
  text += "smallest contrast of a qualified set: " + Exact(a.minContrast) + "\n";
  if (best != nullptr) {
    text += "best contrast possible for (" + std::to_string(best->k) + "," +
            std::to_string(best->n) + "): " + Exact(best->contrast) +
            ", with m = " + std::to_string(best->m) + " (--scheme kofn --optimal)\n";
  }
  text += a.allSecure ? "every forbidden set is secure\n"
                      : "NOT SECURE: some forbidden sets can tell white from black\n";
  return text;
}

std::string JsonReport(const SchemeParams& params, const SchemeAnalysis& a,
                       const OptimalKofN* best) {
  std::string json = "{\"scheme\": \"" + std::string(SchemeKindName(params.scheme)) + "\"";
  json += ", \"n\": " + std::to_string(a.n);
  const unsigned uses = SchemeInfo(params.scheme).uses;
  if (uses & kUsesK)
    json += ", \"k\": " + std::to_string(params.k);
  if (uses & kUsesOptimal)
    json += std::string(", \"optimal\": ") + (params.optimal ? "true" : "false");
  json += ", \"m\": " + std::to_string(a.m);
  json += ", \"min_contrast\": " + JsonNumber(a.minContrast.ToDouble());
  json += ", \"min_contrast_exact\": \"" + a.minContrast.ToString() + "\"";
  if (best != nullptr) {
    json += ", \"best_contrast\": " + JsonNumber(best->contrast.ToDouble());
    json += ", \"best_contrast_exact\": \"" + best->contrast.ToString() + "\"";
    json += ", \"best_m\": " + std::to_string(best->m);
  }
  json += std::string(", \"all_secure\": ") + (a.allSecure ? "true" : "false");
  json += ", \"sets\": [";
  for (size_t i = 0; i < a.sets.size(); ++i) {
    const SetAnalysis& s = a.sets[i];
    json += i == 0 ? "\n  " : ",\n  ";
    json += "{\"members\": [" + Members(s.members, ", ") + "]";
    json += std::string(", \"qualified\": ") + (s.qualified ? "true" : "false");
    json += ", \"l\": " + std::to_string(s.l) + ", \"h\": " + std::to_string(s.h);
    json += ", \"contrast\": " + JsonNumber(Rational::Fraction(s.h - s.l, a.m).ToDouble());
    if (!s.qualified)
      json += std::string(", \"secure\": ") + (s.secure ? "true" : "false");
    json += "}";
  }
  json += "\n]}\n";
  return json;
}

// The arrangement construction beside the optimal one, for every (k,n) the tool accepts.
std::string KofNTable() {
  std::vector<std::vector<std::string>> rows = {
      {"k", "n", "kofn m", "kofn contrast", "built", "--optimal m", "--optimal contrast"}};
  for (int k = 2; k <= kMaxParticipants; ++k) {
    for (int n = k; n <= kMaxParticipants; ++n) {
      const WeightCounts counts = KofNWeightCounts(n, k);
      const OptimalKofN optimal = SolveOptimalKofN(n, k);
      if (!counts.counted || !optimal.solved)
        return "";
      const SchemeParams params{SchemeKind::SchemeKofN, n, k, nullptr, false};
      rows.push_back({std::to_string(k), std::to_string(n), std::to_string(counts.m),
                      Exact(WeightContrast(n, counts.white, counts.black, counts.m, k)),
                      CheckSchemeParams(params) == Code::kOk ? "yes" : "too large",
                      std::to_string(optimal.m), Exact(optimal.contrast)});
    }
  }
  return Table(rows, {true, true, true, false, false, true, false});
}

}  // namespace

int RunAnalyze(const std::vector<std::string>& args, const Console& console) {
  ParsedArgs parsed = ParseArgs(args, AnalyzeOptionTable());
  if (auto status = HelpOrUsageError(parsed, console, kCommand, kHelp, 0))
    return *status;
  if (parsed.Has("--kofn-table")) {
    if (parsed.values.size() > 1)
      return UsageError(console, kCommand, "--kofn-table takes no other option");
    const std::string table = KofNTable();
    if (table.empty())
      return Failure(console, kCommand, "the table could not be computed");
    std::fwrite(table.data(), 1, table.size(), console.out);
    if (std::fflush(console.out) != 0 || std::ferror(console.out))
      return Failure(console, kCommand, "could not write the table to the output");
    return kExitOk;
  }
  SchemeChoice choice;
  if (std::string error = ReadSchemeChoice(parsed, choice); !error.empty())
    return UsageError(console, kCommand, error);

  SchemeParams params;
  BasisMatrix sets(0, 0);
  if (Code error = ChosenSchemeParams(choice, sets, params); error != Code::kOk)
    return Failure(console, kCommand, Refusal(Outcome::Fail(error)));
  SchemePair pair = BuildSchemePair(params);
  if (pair.error != Code::kOk)
    return Failure(console, kCommand, Refusal(Outcome::Fail(pair.error)));
  params.n = SchemeParticipants(params);

  const SchemeAnalysis analysis = AnalyzePair(
      pair.s0, pair.s1, [&params](uint32_t members) { return SchemeQualifies(params, members); });
  if (!analysis.analysed)
    return Failure(console, kCommand, "the basis matrices cannot be analysed");
  OptimalKofN best;
  int k = 0, n = 0;
  if (ThresholdOf(params, k, n))
    best = SolveOptimalKofN(n, k);

  const OptimalKofN* known = best.solved ? &best : nullptr;
  const std::string report =
      parsed.Has("--json") ? JsonReport(params, analysis, known)
                           : TextReport(choice, params, analysis, known, parsed.Has("--summary"));
  std::fwrite(report.data(), 1, report.size(), console.out);
  if (std::fflush(console.out) != 0 || std::ferror(console.out))
    return Failure(console, kCommand, "could not write the analysis to the output");
  return kExitOk;
}

}  // namespace quillon::cli
