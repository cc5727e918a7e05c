#include "core/windows1252.h"

#include <cstdint>

namespace quillon {
namespace {

// Code points of bytes 0x80 to 0x9F; 0 where the code page leaves the byte undefined.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char32_t FromByte(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0)
    return kHighControls[byte - 0x80];
  return byte;
}

// Length of the well-formed UTF-8 multi-byte sequence at bytes[at], or 0.
size_t Utf8SequenceAt(std::string_view bytes, size_t at, char32_t* code) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = b(at);
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > bytes.size())
    return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((b(at + i) & 0xC0) != 0x80)
      return 0;
    value = (value << 6) | (b(at + i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return 0;
  *code = value;
  return length;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::u32string Windows1252ToCodePoints(std::string_view bytes) {
  std::u32string text;
  text.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    char32_t code = 0;
    if (const size_t length = Utf8SequenceAt(bytes, at, &code)) {
      text += code;
      at += length;
    } else {
      text += FromByte(static_cast<unsigned char>(bytes[at++]));
    }
  }
  return text;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + 8);
  for (char32_t code : Windows1252ToCodePoints(bytes))
    AppendUtf8(out, code);
  return out;
}

std::optional<char> CodePointToWindows1252(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
    return static_cast<char>(code);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == code || (kHighControls[i] == 0 && code == 0x80u + i))
      return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace quillon
