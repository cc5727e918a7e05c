#include "studio/wx/mnemonics.h"
#include "studio/wx/wx_text.h"

namespace quillon::studio::wx {
namespace {

bool IsLetter(wxUniChar::value_type c) {
  if (c < 0x80)
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (c >= 0xC0 && c <= 0x24F)
    return c != 0xD7 && c != 0xF7;  // Latin letters, not the signs × and ÷
  return c >= 0x370 && c < 0x2000;  // Greek, Cyrillic and on; not the punctuation block
}

// The lower-case form, for telling "S" and "s" as one mnemonic.
wxUniChar::value_type Lower(wxUniChar::value_type c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
    return c + 0x20;
  if (c >= 0x100 && c <= 0x17F && c % 2 == 0)
    return c + 1;  // Latin Extended-A pairs capital and small letters
  return c;
}

}  // namespace

void Mnemonics::Take(wxUniChar letter) {
  m_taken.insert(Lower(letter.GetValue()));
}

std::string Mnemonics::Mark(const std::string& label) {
  const wxString text = wxString::FromUTF8(label);
  const auto letter = [&](size_t i) { return IsLetter(text[i].GetValue()); };
  const auto free = [&](size_t i) {
    return letter(i) && m_taken.count(Lower(text[i].GetValue())) == 0;
  };
  // A word's first letter is easiest to guess, then any letter not taken; when every letter
  // is taken the first one is shared.
  size_t at = wxString::npos;
  for (size_t i = 0; i < text.length() && at == wxString::npos; ++i) {
    if ((i == 0 || text[i - 1] == ' ') && free(i))
      at = i;
  }
  for (size_t i = 0; i < text.length() && at == wxString::npos; ++i) {
    if (free(i))
      at = i;
  }
  for (size_t i = 0; i < text.length() && at == wxString::npos; ++i) {
    if (letter(i))
      at = i;
  }
  wxString marked;
  for (size_t i = 0; i < text.length(); ++i) {
    if (i == at) {
      marked += '&';
      Take(text[i]);
    }
    if (text[i] == '&')
      marked += '&';
    marked += text[i];
  }
  return Utf8(marked);
}

std::vector<wxString> WithMnemonics(const std::vector<std::string>& labels) {
  Mnemonics mnemonics;
  std::vector<wxString> out;
  for (const std::string& label : labels)
    out.push_back(wxString::FromUTF8(mnemonics.Mark(label)));
  return out;
}

}  // namespace quillon::studio::wx
