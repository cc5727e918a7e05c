// No output names an input: checked before a command does any work, so that a typing slip
// (the secret named as a share, one share named twice) never destroys a file. Files that
// exist are compared by device and inode, through their links (a hard link, a symbolic link
// or "dir/../x" all name the same file); outputs that do not exist yet are compared by the
// absolute path they would be written to, with every link resolved. Inputs that do not exist
// are left to their readers. All file calls go through the Env handed in; the working folder
// is the process's. Thread-safe for distinct Envs.
#pragma once

#include <string>
#include <vector>

#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

// Ok, or the first output that is the same file as an input (kOutputIsInput: file the output
// as given, detail the input as given) or as an earlier output (kOutputTwice: detail the
// earlier output); index is the output's place in outputs. A path whose status cannot be
// read fails with that error (kCannotOpen).
Outcome CheckOutputs(Env& env, const std::vector<std::string>& inputs,
                     const std::vector<std::string>& outputs);

// The absolute path that path names: "." and ".." taken out and every symbolic link followed
// as far as the path exists (at most kMaxLinkHops of core/atomic_file.h, else ELOOP); the part that
// does not exist is appended as written.
Outcome ResolvePath(Env& env, const std::string& path, std::string* resolved);

}  // namespace quillon
