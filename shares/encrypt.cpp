#include "shares/encrypt.h"

#include <algorithm>
#include <cassert>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "core/file_identity.h"
#include "core/share_set_writer.h"
#include "core/work_threads.h"
#include "shares/expansion.h"
#include "shares/share_output.h"

namespace quillon {
namespace {

// A pair the methods cannot use although the scheme built it: they need a column to draw
// from and a share slot (and a one-digit name) per row.
Code UnusablePair(const SchemePair& pair) {
  if (pair.s0.Rows() < 1 || pair.s0.Rows() > kShareSlots || pair.s1.Rows() != pair.s0.Rows()) {
    return Code::kBadParameters;
  }
  if (pair.s0.Cols() < 1 || pair.s1.Cols() != pair.s0.Cols())
    return Code::kNoQualifiedSet;
  return Code::kOk;
}

// The participant who alone is a qualified set of a general access structure, or -1.
int LoneQualifiedParticipant(const SchemeParams& params) {
  if (params.scheme != SchemeKind::SchemeGeneral || params.qualifiedSets == nullptr)
    return -1;
  const BasisMatrix& sets = *params.qualifiedSets;
  for (int32_t row = 0; row < sets.Rows(); ++row) {
    int members = 0, member = -1;
    for (int32_t t = 0; t < sets.Cols() && t < params.n; ++t) {
      if (sets.Get(row, t) != 0) {
        ++members;
        member = t;
      }
    }
    if (members == 1)
      return member;
  }
  return -1;
}

std::string MiB(int64_t bytes) {
  return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

}  // namespace

int64_t EstimatedShareBytes(ExpansionMethod method, int64_t width, int64_t height, int64_t m,
                            int64_t c) {
  const ShareSize size = MethodShareSize(method, width, height, m, c);
  const int64_t share = (size.width + 31) / 32 * 4 * size.height + 62;
  int64_t bytes = m * share;
  // An innocent image is at least the secret's size, and at least one bit per pixel.
  if (IsExtendedMethod(method))
    bytes += m * ((width + 31) / 32 * 4 * height);
  return bytes;
}

namespace {

// Below this many secret pixels a thread costs more than it saves.
constexpr int64_t kPixelsPerThread = int64_t{1} << 16;

// How many threads the work may use: as asked, or one per core for large work; never more
// than the method walks rows.
int ThreadsFor(const EncryptRequest& request, const BmpImage& secret, int64_t c) {
  int64_t threads = request.threads;
  if (threads <= 0)
    threads = DefaultThreads(int64_t{secret.Width()} * secret.Height(), kPixelsPerThread);
  return static_cast<int>(std::clamp<int64_t>(
      std::min(threads, MethodWalkRows(request.method, secret, c)), 1, kMaxThreads));
}

// Thrown from the progress call when the host cancels, to leave the method's loops at once;
// caught below, it never leaves this file.
struct CancelledWork {};

// Called with the number of shares and the innocent images once they are loaded, before the
// method runs: a refusal ends the work there.
using BeforeWork = std::function<Outcome(int m, const std::vector<BmpImage>& innocents)>;

// Every check and the method, up to the shares in memory.
Outcome Make(ShareSession& session, Env& env, const EncryptRequest& request,
             const BeforeWork& beforeWork, ShareTable& shares) {
  assert(request.random != nullptr && "the host hands in the random source");
  if (request.random == nullptr)
    return Outcome::Fail(Code::kRandomFailed);
  RandomSource& random = *request.random;
  const BmpImage* secret = request.secret;
  // A failed load leaves an image without pixels and of size 0 x 0: no secret either.
  if (secret == nullptr || !secret->HasPixels() || secret->Width() <= 0 || secret->Height() <= 0)
    return Outcome::Fail(Code::kNoSecret);

  SchemePair pair = BuildSchemePair(request.scheme);
  if (const Code error = pair.error != Code::kOk ? pair.error : UnusablePair(pair);
      error != Code::kOk) {
    return Outcome::Fail(error);
  }
  if (const int lone = LoneQualifiedParticipant(request.scheme);
      lone >= 0 && !request.allowClearShare) {
    return Outcome::Fail(Code::kSingleQualified).At(lone);
  }

  const int m = pair.s0.Rows();
  const ShareSize size =
      MethodShareSize(request.method, secret->Width(), secret->Height(), m, pair.s0.Cols());
  if (!ShareSizeFits(size))
    return Outcome::Fail(Code::kSharesTooLarge);
  if (size.width <= 0 || size.height <= 0)
    return Outcome::Fail(Code::kSmallerThanBlock);
  const int64_t needed =
      EstimatedShareBytes(request.method, secret->Width(), secret->Height(), m, pair.s0.Cols());
  if (const int64_t available = env.AvailableMemory(); available >= 0 && needed > available) {
    return Outcome::Fail(Code::kNoMemory)
        .With("they need about " + MiB(needed) + ", " + MiB(available) + " available");
  }

  std::vector<BmpImage> innocents;
  if (IsExtendedMethod(request.method)) {
    if (Outcome chosen =
            ChooseInnocentImages(session, env, m, secret->Width(), secret->Height(), innocents);
        !chosen) {
      return chosen;
    }
  }
  if (beforeWork) {
    if (Outcome ready = beforeWork(m, innocents); !ready)
      return ready;
  }
  if (session.Cancelled())
    return Outcome::Fail(Code::kCancelled);

  // One source per thread, every one keyed on its own; a seeded source gives none.
  std::vector<std::unique_ptr<RandomSource>> others;
  std::vector<RandomSource*> sources{&random};
  const int threads = ThreadsFor(request, *secret, pair.s0.Cols());
  while (static_cast<int>(sources.size()) < threads) {
    std::unique_ptr<RandomSource> other = random.Independent();
    if (other == nullptr)
      break;
    sources.push_back(other.get());
    others.push_back(std::move(other));
  }
  try {
    if (sources.size() > 1) {
      const BandWatch watch = [&session](double fraction) {
        session.ShowProgress(fraction);
        return !session.Cancelled();
      };
      if (!RunExpansionMethodInBands(sources, request.method, shares, *secret, innocents, pair.s0,
                                     pair.s1, watch)) {
        throw CancelledWork{};
      }
    } else {
      const ProgressFn progress = [&session](double fraction) {
        session.ShowProgress(fraction);
        if (session.Cancelled())
          throw CancelledWork{};
      };
      RunExpansionMethod(random, request.method, shares, *secret, innocents, pair.s0, pair.s1,
                         progress);
    }
  } catch (const std::bad_alloc&) {
    shares = ShareTable();
    return Outcome::Fail(Code::kNoMemory);
  } catch (const std::system_error&) {
    // No thread could be started: the system is out of the resources threads need.
    shares = ShareTable();
    return Outcome::Fail(Code::kNoMemory);
  } catch (const CancelledWork&) {
    shares = ShareTable();
    return Outcome::Fail(Code::kCancelled);
  }
  // Shares drawn from a generator that failed hide nothing: they are never handed on.
  for (const RandomSource* source : sources) {
    if (const int error = source->FailedWith(); error != 0) {
      shares = ShareTable();
      return Outcome::Fail(Code::kRandomFailed, "", error);
    }
  }
  return Outcome::Ok();
}

}  // namespace

Outcome EncryptSecretImage(ShareSession& session, Env& env, const EncryptRequest& request) {
  // No share may replace the secret, an innocent image or another share: checked once the
  // innocent images are known, before the work.
  std::vector<std::string> outputs;
  const BeforeWork checkOutputs = [&](int m, const std::vector<BmpImage>& innocents) {
    std::vector<std::string> inputs{request.secret->FileName()};
    for (const BmpImage& innocent : innocents)
      inputs.push_back(innocent.FileName());
    for (int r = 0; r < m; ++r)
      outputs.push_back(session.OutputPath(r, ShareName(r)));
    return CheckOutputs(env, inputs, outputs);
  };
  ShareTable shares;
  if (Outcome made = Make(session, env, request, checkOutputs, shares); !made)
    return made;
  if (session.Cancelled())
    return Outcome::Fail(Code::kCancelled);

  ShareSetWriter writer(env);
  const int m = static_cast<int>(shares.Images().size());
  for (int r = 0; r < m; ++r) {
    const BmpImage& share = shares.Images()[r];
    writer.Add(outputs[r],
               [&session, &share](WritableFile& file) { return session.WriteShare(file, share); });
  }
  if (Outcome written = writer.Write(); !written)
    return written;
  session.SharesWritten(m);
  return Outcome::Ok();
}

Outcome MakeShares(ShareSession& session, Env& env, const EncryptRequest& request,
                   std::vector<BmpImage>& shares) {
  shares.clear();
  ShareTable table;
  if (Outcome made = Make(session, env, request, {}, table); !made)
    return made;
  shares = std::move(table.Images());
  return Outcome::Ok();
}

}  // namespace quillon
