// Keyboard mnemonics for labels in any language: each label of one menu or panel gets "&"
// before the first letter no earlier label of the group took, so that a translation needs no
// marks of its own. Plain functions of their arguments.
#pragma once

#include <string>

namespace quillon::studio::wx {

class Mnemonics {
 public:
  // label as wx shows it: its own "&" doubled, and "&" before an ASCII letter or digit not yet
  // taken in this group, a word's first letter where one is free; when all of its letters
  // are taken, before its first letter (shared). UTF-8 in, UTF-8 out.
  std::string Mark(const std::string& label);
  // Reserves a letter, e.g. one a standard item of the group already uses.
  void Take(char letter);

 private:
  std::string m_taken;
};

}  // namespace quillon::studio::wx
