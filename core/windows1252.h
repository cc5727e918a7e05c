// The one Windows-1252 decoder. The programs' own texts keep their Windows-1252 bytes (an
// accented caption such as "Caf\xE9"), and file names from the system, which are UTF-8, end up
// inside them ("ERROR: ... " + path). So each byte sequence is judged on its own: a well-formed
// UTF-8 multi-byte sequence stays the character it encodes, and every other byte is read as
// Windows-1252. Windows-1252 text almost never forms such a sequence (an accented letter is
// followed by an ASCII letter or a space).
//
// It sits in core/ because every front end shows these texts: quillon-cli on a terminal, the
// desktop program through the window framework's wx backend. It is built as a small library of
// its own (quillon_text), so that the window framework links it without the computing code and
// quillon-cli without the window framework. Pure functions, safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The characters of bytes. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the C1 controls of the same value, as Windows itself maps them.
std::u32string Windows1252ToCodePoints(std::string_view bytes);

// The same characters written as UTF-8, for a terminal.
std::string Windows1252ToUtf8(std::string_view bytes);

// The Windows-1252 byte of a character, the undefined bytes' C1 controls included; nullopt
// when the code page lacks the character.
std::optional<char> CodePointToWindows1252(char32_t code);

}  // namespace quillon
