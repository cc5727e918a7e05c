// EncryptSecretImage: builds the scheme's matrices, runs the chosen method and writes the
// shares "capa1.bmp", "capa2.bmp", ... through the session.
#pragma once

#include "core/bmp_image.h"
#include "core/kinds.h"
#include "core/random.h"
#include "schemes/scheme_pair.h"
#include "shares/share_session.h"

namespace quillon {

struct EncryptRequest {
  SchemeParams scheme;
  ExpansionMethod method = ExpansionMethod::RandomBasisColumn;
  // The secret; null when no image is open.
  const BmpImage* secret = nullptr;
  // What the method draws from, set by the host. Null is a programming error: asserted, and
  // a release build answers Refused at once, showing, creating and drawing nothing.
  RandomSource* random = nullptr;
};

enum class EncryptOutcome {
  Done,        // shares written, success message shown
  NoImage,     // "Please open a secret image file first."
  Refused,     // a "Cannot Encrypt" refusal; nothing created or written
  GaveUp,      // an extended method gave up (innocent image cancelled or unusable)
  SaveFailed,  // a share failed to save; its message shown, no success message
};

// The frame reloads its toolbar afterwards for every outcome except GaveUp.
EncryptOutcome EncryptSecretImage(ShareSession& session, const EncryptRequest& request);

}  // namespace quillon
