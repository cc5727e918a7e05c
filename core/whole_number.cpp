#include "core/whole_number.h"

#include <cctype>
#include <limits>

namespace quillon {

std::optional<int32_t> ParseWholeNumber(std::string_view text, WholeNumberForm form) {
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  size_t at = 0;
  while (form.blanksAround && at < text.size() && blank(text[at]))
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || (form.plusSign && text[at] == '+')))
    negative = text[at++] == '-';
  const size_t firstDigit = at;
  int64_t number = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    number = number * 10 + (text[at++] - '0');
    if (number > int64_t{std::numeric_limits<int32_t>::max()} + 1)
      return std::nullopt;
  }
  if (at == firstDigit)
    return std::nullopt;
  while (form.blanksAround && at < text.size() && blank(text[at]))
    ++at;
  if (at != text.size())
    return std::nullopt;
  number = negative ? -number : number;
  if (number > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(number);
}

}  // namespace quillon
