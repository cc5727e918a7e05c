// Writes a picture's two-colour view as a 1-bit greyscale PNG: sample 0 black, 1 white, the
// top row first, no filter. The image data is deflate's stored blocks, one block of at most
// 65535 bytes per IDAT chunk: shares are noise, which does not compress, and a file's length
// then depends on the picture's size alone (PngFileBytes), so that the lengths of a set's
// shares tell nothing of the secret. The bytes depend only on the picture. Thread-safe for
// distinct files.
#pragma once

#include <cstdint>
#include <string>

#include "core/atomic_file.h"
#include "core/bmp_image.h"
#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

// The length of the file WritePng writes for a picture of width x height pixels (both > 0).
int64_t PngFileBytes(int64_t width, int64_t height);

// Encodes image (with pixels) straight to file, for a share set or an atomic writer. A
// picture without pixels gives kNoPixels before anything is written, running out of memory
// kNoMemory; a failed write comes back as the file said it.
Outcome WritePng(const BmpImage& image, WritableFile& file);

// Writes image to path through core/atomic_file (mode for a new file): a failure leaves any
// earlier file at path untouched. Outcomes name path.
Outcome SavePng(Env& env, const BmpImage& image, const std::string& path,
                uint32_t mode = kPrivateFileMode);

}  // namespace quillon
