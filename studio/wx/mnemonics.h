// Keyboard mnemonics for labels in any language: each label of one menu or panel gets "&"
// before a letter no earlier label of the group took, so that a translation needs no marks of
// its own. Letters are told by their code points, not by the C library's locale (which a
// program that has not set one reads as ASCII only, and would skip the "É" of a translated
// label). Plain functions of their arguments.
#pragma once

#include <wx/string.h>

#include <set>
#include <string>
#include <vector>

namespace quillon::studio::wx {

class Mnemonics {
 public:
  // label as wx shows it: its own "&" doubled, and "&" before a letter not yet taken in this
  // group, a word's first letter where one is free; when all of its letters are taken,
  // before its first letter (shared: the toolkit cycles between the owners). UTF-8 in and out.
  std::string Mark(const std::string& label);
  // Reserves a letter, e.g. one a standard item of the group already uses.
  void Take(wxUniChar letter);

 private:
  std::set<wxUniChar::value_type> m_taken;
};

// The labels of one group, each marked in turn.
std::vector<wxString> WithMnemonics(const std::vector<std::string>& labels);

}  // namespace quillon::studio::wx
