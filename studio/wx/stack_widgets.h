// Small pieces the stack panel and the print dialog share: the title of a dialog a command
// opens, and the extension of a file to save. Plain functions of their arguments.
#pragma once

#include <wx/string.h>

#include <string>

namespace quillon::studio::wx {

// A command's label ("Save PDF…") as the title of the dialog it opens: without the ellipsis.
wxString DialogTitle(const std::string& label);

// path with extension added when it has none ("stack" -> "stack.png"); extension with its dot.
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace quillon::studio::wx
