#include "studio/wx/mnemonics.h"

#include <cctype>

namespace quillon::studio::wx {

void Mnemonics::Take(char letter) {
  m_taken.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(letter))));
}

std::string Mnemonics::Mark(const std::string& label) {
  std::string marked;
  bool placed = false;
  for (char c : label) {
    const unsigned char u = static_cast<unsigned char>(c);
    // Bytes of multi-byte UTF-8 characters are >= 0x80 and never taken.
    if (!placed && u < 0x80 && std::isalnum(u) &&
        m_taken.find(static_cast<char>(std::tolower(u))) == std::string::npos) {
      marked.push_back('&');
      Take(c);
      placed = true;
    }
    if (c == '&')
      marked.push_back('&');
    marked.push_back(c);
  }
  return marked;
}

}  // namespace quillon::studio::wx
