// Texts between the program, which holds them as Windows-1252 bytes, and the toolkit, which
// shows Unicode. Decoding is the programs' one decoder (core/windows1252.h: UTF-8 file names
// inside a program text stay as they are, every other byte is Windows-1252), handed over as
// a wxString. Pure functions, safe from any thread.
#pragma once

#include <string>
#include <string_view>

#include <wx/string.h>

namespace quillon::ui::wx {

wxString DecodeWindows1252(std::string_view bytes);

// Unicode to Windows-1252; characters the code page lacks become '?'.
std::string EncodeWindows1252(const wxString& text);

}  // namespace quillon::ui::wx
