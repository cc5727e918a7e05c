// Texts between the program, which holds them as Windows-1252 bytes, and the toolkit, which
// shows Unicode. File names that come from the system are UTF-8 and may end up inside a
// program text ("ERROR: ... " + path), so decoding keeps well-formed UTF-8 multi-byte
// sequences as they are and reads every other byte as Windows-1252; Windows-1252 text almost
// never forms such sequences (an accented letter is followed by an ASCII letter or a space).
// Pure functions, safe from any thread.
#pragma once

#include <string>
#include <string_view>

#include <wx/string.h>

namespace quillon::ui::wx {

wxString DecodeWindows1252(std::string_view bytes);

// Unicode to Windows-1252; characters the code page lacks become '?'.
std::string EncodeWindows1252(const wxString& text);

}  // namespace quillon::ui::wx
