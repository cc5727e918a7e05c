// EncryptSecretImage: builds the scheme's matrices, runs the chosen method and writes the
// shares "capa1.bmp", "capa2.bmp", ... as one set: every share or none. MakeShares does the
// same work but hands the shares back in memory, for a host that shows them before saving.
// Both are called on one thread (a host may use a worker thread of its own, with a session,
// file layer and random source that no other thread uses meanwhile), and call the session on
// that thread only; the rows may be shared among threads of their own (threads below). The
// session, the file layer and the random source are handed in by the host.
#pragma once

#include <vector>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/kinds.h"
#include "core/outcome.h"
#include "core/random.h"
#include "schemes/scheme_pair.h"
#include "shares/share_session.h"

namespace quillon {

// The most threads one piece of work uses.
constexpr int kMaxThreads = 256;

struct EncryptRequest {
  SchemeParams scheme;
  ExpansionMethod method = ExpansionMethod::RandomBasisColumn;
  // The secret; null when no image is open. Its file name is an input no share may replace.
  const BmpImage* secret = nullptr;
  // What the method draws from, set by the host. Null is a programming error: asserted, and
  // a release build refuses at once (kRandomFailed), creating and drawing nothing.
  RandomSource* random = nullptr;
  // Threads that share the work, each taking a band of rows and a source of its own
  // (RandomSource::Independent); 0 means one per core for work large enough to gain from
  // them. A source without independent sources (a seeded one) keeps the work on the
  // calling thread, draw for draw.
  int threads = 0;
  // A general access structure may make one participant alone qualified: that share is then
  // the secret in the clear. Refused (kSingleQualified) unless the host allows it.
  bool allowClearShare = false;
};

// The outcome, in the order checked: kNoSecret; the scheme's refusals (kBadParameters,
// kMatricesTooLarge, kNoQualifiedSet); kSingleQualified (index: the participant);
// kSharesTooLarge; kSmallerThanBlock (shares without pixels); kNoMemory before the work
// (detail: what it needs and what is available) or during it; for the extended methods
// kCancelled, a load refusal or kInnocentTooSmall (index: the share); kOutputIsInput or
// kOutputTwice; kCancelled (index -1) when the session's Cancelled() answered true;
// kRandomFailed (error: the system's, from any thread's source); a write failure of the set (index:
// the share). On success the session has heard SharesWritten(m). On any failure no share file was
// created or changed and the session heard nothing but choices, progress and Cancelled().
Outcome EncryptSecretImage(ShareSession& session, Env& env, const EncryptRequest& request);

// The same checks and work as EncryptSecretImage without the outputs: no OutputPath asked,
// nothing checked against inputs, nothing written, no SharesWritten. On success shares holds
// the m share images, named ShareName(0 .. m), exactly the images EncryptSecretImage would
// write from the same draws; on failure (the outcomes above up to kRandomFailed) shares is
// left empty.
Outcome MakeShares(ShareSession& session, Env& env, const EncryptRequest& request,
                   std::vector<BmpImage>& shares);

// About how many bytes the shares of this request take in memory (the share images and, for
// the extended methods, their innocent images at least the secret's size).
int64_t EstimatedShareBytes(ExpansionMethod method, int64_t width, int64_t height, int64_t m,
                            int64_t c);

}  // namespace quillon
