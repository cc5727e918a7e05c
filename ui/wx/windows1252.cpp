#include "ui/wx/windows1252.h"

#include "core/windows1252.h"

namespace quillon::ui::wx {

wxString DecodeWindows1252(std::string_view bytes) {
  wxString result;
  for (char32_t c : Windows1252ToCodePoints(bytes))
    result += wxUniChar(static_cast<wxUint32>(c));
  return result;
}

std::string EncodeWindows1252(const wxString& text) {
  std::string bytes;
  bytes.reserve(text.length());
  for (wxUniChar c : text)
    bytes += CodePointToWindows1252(c.GetValue()).value_or('?');
  return bytes;
}

}  // namespace quillon::ui::wx
