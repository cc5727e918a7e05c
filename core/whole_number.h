// The one parser of whole numbers: decimal digits, optionally after a '-', within 32 bits,
// and nothing else. Each front end keeps the forms its users always could type: the window
// framework's data exchange (and so the desktop program's edit boxes) also takes blanks
// around the number and a '+'; quillon-cli takes the plain form only. Built into the small
// library quillon_text with the Windows-1252 decoder, so that the window framework and
// quillon-cli both link it without each other. Pure function, safe from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

struct WholeNumberForm {
  bool blanksAround = false;  // white space (std::isspace) before and after the number
  bool plusSign = false;      // a leading '+' as well as a '-'
};

// The number text spells in that form; nullopt for anything else, an empty text and a number
// outside int32_t included.
std::optional<int32_t> ParseWholeNumber(std::string_view text, WholeNumberForm form = {});

}  // namespace quillon
