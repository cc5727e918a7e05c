// Starting another program without waiting for it. The program is looked up by the usual
// search path when its name holds no directory, and inherits the caller's environment,
// working directory and inheritable handles. It is started as a grandchild whose
// intermediate parent exits at once, so it is adopted (and reaped) by the system and never
// stays behind as a zombie of the caller. Safe to call from one thread at a time.
#pragma once

#include <string>
#include <vector>

namespace quillon::ui {

// Returns whether the program was started (found and executable); waits only for that
// answer, never for the program.
bool StartDetached(const std::string& program, const std::vector<std::string>& args = {});

}  // namespace quillon::ui
