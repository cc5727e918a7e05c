// The model's words are UTF-8 std::string; wx's are wxString. The two conversions the view
// makes everywhere, so that no file guesses an encoding of its own.
#pragma once

#include <wx/string.h>

#include <string>

namespace quillon::studio::wx {

inline wxString Wx(const std::string& text) {
  return wxString::FromUTF8(text);
}

inline std::string Utf8(const wxString& text) {
  return std::string(text.utf8_str());
}

}  // namespace quillon::studio::wx
