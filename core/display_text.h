// The program's own texts keep their Windows-1252 bytes ("Encriptaci\xF3n Realizada"); this is
// the one place where they become UTF-8 for a display or a terminal. Pure functions, safe to
// call from any thread.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Text that is valid UTF-8 is returned unchanged; anything else is read as Windows-1252.
std::string DisplayText(std::string_view text);

}  // namespace quillon
