#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quillon::cli {
namespace {

const OptionDef* FindOption(const std::vector<OptionDef>& options, std::string_view word) {
  for (const auto& option : options) {
    if (word == option.name || (!option.alias.empty() && word == option.alias))
      return &option;
  }
  return nullptr;
}

bool IsHelp(std::string_view word) {
  return word == "-h" || word == "--help";
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

// The row named text (in any case) or numbered text.
template <typename Row, typename Kind>
std::optional<Kind> FindRow(std::string_view text, std::span<const Row> rows, Kind Row::*kind) {
  const std::string lower = Lower(text);
  for (const Row& row : rows) {
    if (lower == row.name || lower == std::to_string(static_cast<int>(row.*kind)))
      return row.*kind;
  }
  return std::nullopt;
}

template <typename Row>
std::string NumberRange(std::span<const Row> rows) {
  return "0 to " + std::to_string(rows.size() - 1);
}

}  // namespace

const std::string* ParsedArgs::Value(const std::string& name) const {
  auto it = values.find(name);
  return it == values.end() ? nullptr : &it->second;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<OptionDef>& options) {
  ParsedArgs parsed;
  auto fail = [&parsed](std::string text) {
    if (parsed.error.empty())
      parsed.error = std::move(text);
  };
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (optionsEnded || word.size() < 2 || word[0] != '-') {
      parsed.positional.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (IsHelp(word)) {
      parsed.help = true;
      continue;
    }
    std::string_view name = word;
    std::optional<std::string> inlineValue;
    if (size_t eq = word.find('='); word.starts_with("--") && eq != std::string::npos) {
      name = std::string_view(word).substr(0, eq);
      inlineValue = word.substr(eq + 1);
    }
    const OptionDef* option = FindOption(options, name);
    if (option == nullptr) {
      fail("unknown option '" + std::string(name) + "'");
      continue;
    }
    std::string value;
    if (!option->takesValue) {
      if (inlineValue)
        fail("option " + option->name + " takes no value");
    } else if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size() && !FindOption(options, args[i + 1]) && !IsHelp(args[i + 1])) {
      value = args[++i];
    } else {
      fail("option " + option->name + " needs a value");
      continue;
    }
    if (!parsed.values.emplace(option->name, value).second) {
      fail("option " + option->name + " is given more than once");
    }
  }
  return parsed;
}

std::optional<SchemeKind> ParseSchemeKind(std::string_view text) {
  return FindRow(text, SchemeRows(), &SchemeRow::kind);
}

std::optional<ExpansionMethod> ParseExpansionMethod(std::string_view text) {
  return FindRow(text, MethodRows(), &MethodRow::method);
}

const char* SchemeKindName(SchemeKind kind) {
  return SchemeInfo(kind).name;
}

const char* ExpansionMethodName(ExpansionMethod method) {
  return MethodInfo(method).name;
}

std::vector<std::string> SchemeNames(unsigned uses) {
  std::vector<std::string> names;
  for (const SchemeRow& row : SchemeRows()) {
    if ((row.uses & uses) == uses)
      names.emplace_back(row.name);
  }
  return names;
}

std::vector<std::string> MethodNames(bool (*keep)(ExpansionMethod)) {
  std::vector<std::string> names;
  for (const MethodRow& row : MethodRows()) {
    if (keep == nullptr || keep(row.method))
      names.emplace_back(row.name);
  }
  return names;
}

std::string SchemeChoices() {
  std::vector<std::string> words = SchemeNames();
  words.push_back(NumberRange(SchemeRows()));
  return JoinWords(words, "or");
}

std::string MethodChoices() {
  std::vector<std::string> words = MethodNames();
  words.push_back(NumberRange(MethodRows()));
  return JoinWords(words, "or");
}

std::string JoinWords(const std::vector<std::string>& words, const char* conjunction) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0)
      text += i + 1 == words.size() ? std::string(" ") + conjunction + " " : std::string(", ");
    text += words[i];
  }
  return text;
}

std::optional<uint32_t> ParseSeed(std::string_view text) {
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
    return std::nullopt;
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < kMinSeed || value > kMaxSeed)
    return std::nullopt;
  return value;
}

std::vector<std::string> SplitList(std::string_view text, char sep) {
  std::vector<std::string> items;
  size_t start = 0;
  while (true) {
    size_t pos = text.find(sep, start);
    items.emplace_back(text.substr(start, pos == std::string_view::npos ? pos : pos - start));
    if (pos == std::string_view::npos)
      break;
    start = pos + 1;
  }
  return items;
}

std::string ParseQualifiedSets(std::string_view text, std::vector<std::vector<int>>& sets) {
  sets.clear();
  std::vector<std::vector<int>> parsed;
  std::vector<std::string> setTexts = SplitList(text, ';');
  for (size_t s = 0; s < setTexts.size(); ++s) {
    if (Trim(setTexts[s]).empty()) {
      return "qualified set " + std::to_string(s + 1) + " is empty in '" + std::string(text) + "'";
    }
    std::vector<int> members;
    for (const std::string& item : SplitList(setTexts[s], ',')) {
      std::string_view member = Trim(item);
      if (member.empty()) {
        return "qualified set " + std::to_string(s + 1) + " has an empty member in '" +
               std::string(text) + "'";
      }
      auto number = ParseWholeNumber(member);
      if (!number || *number < 1 || *number > kMaxParticipantNumber) {
        return "participant '" + std::string(member) + "' is not a number from 1 to " +
               std::to_string(kMaxParticipantNumber);
      }
      if (std::find(members.begin(), members.end(), *number) == members.end()) {
        members.push_back(*number);
      }
    }
    parsed.push_back(std::move(members));
  }
  sets = std::move(parsed);
  return "";
}

}  // namespace quillon::cli
