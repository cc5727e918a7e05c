#include "studio/wx/mnemonics.h"

#include <cctype>

namespace quillon::studio::wx {
namespace {

bool Letter(char c) {
  // Bytes of multi-byte UTF-8 characters are >= 0x80 and never chosen.
  const unsigned char u = static_cast<unsigned char>(c);
  return u < 0x80 && std::isalnum(u);
}

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

}  // namespace

void Mnemonics::Take(char letter) {
  m_taken.push_back(Lower(letter));
}

std::string Mnemonics::Mark(const std::string& label) {
  const auto free = [&](size_t i) {
    return Letter(label[i]) && m_taken.find(Lower(label[i])) == std::string::npos;
  };
  // A word's first letter is easiest to guess, then any letter not taken; when every letter
  // is taken the first one is shared, and the toolkit cycles between its owners.
  size_t at = std::string::npos;
  for (size_t i = 0; i < label.size() && at == std::string::npos; ++i) {
    if ((i == 0 || label[i - 1] == ' ') && free(i))
      at = i;
  }
  for (size_t i = 0; i < label.size() && at == std::string::npos; ++i) {
    if (free(i))
      at = i;
  }
  for (size_t i = 0; i < label.size() && at == std::string::npos; ++i) {
    if (Letter(label[i]))
      at = i;
  }
  std::string marked;
  for (size_t i = 0; i < label.size(); ++i) {
    if (i == at) {
      marked.push_back('&');
      Take(label[i]);
    }
    if (label[i] == '&')
      marked.push_back('&');
    marked.push_back(label[i]);
  }
  return marked;
}

}  // namespace quillon::studio::wx
