#include "shares/encrypt.h"

#include <cassert>
#include <new>

#include "shares/expansion.h"
#include "shares/share_output.h"

namespace quillon {
namespace {

const char kCannotEncrypt[] = "Cannot Encrypt";
const char kNoSecret[] = "Please open a secret image file first.";
const char kTooLarge[] = "The shares would be too large for this image and method.";
const char kNoMemory[] = "There is not enough memory for shares of this size.";
const char kDoneCaption[] = "Encriptaci\xF3n Realizada";
const char kDoneText[] =
    "Imagen ENCRIPTADA\nLas imagenes han sido almacenadas\ncon los nombres:\n"
    "capa1.bmp, capa2.bmp,.., capan.bmp";

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

}  // namespace

EncryptOutcome EncryptSecretImage(ShareSession& session, const EncryptRequest& request) {
  assert(request.random != nullptr && "the host hands in the random source");
  if (request.random == nullptr)
    return EncryptOutcome::Refused;
  const BmpImage* secret = request.secret;
  // A failed load leaves an image without pixels and of size 0 x 0: no secret either.
  if (secret == nullptr || !secret->HasPixels() || secret->Width() <= 0 || secret->Height() <= 0) {
    session.ShowMessage(kCannotEncrypt, kNoSecret);
    return EncryptOutcome::NoImage;
  }

  SchemePair pair = BuildSchemePair(request.scheme);
  Code error = pair.error != Code::kOk ? pair.error : UnusablePair(pair);
  if (error != Code::kOk) {
    session.ShowMessage(kCannotEncrypt, SchemeErrorText(error));
    return EncryptOutcome::Refused;
  }

  const ShareSize size = MethodShareSize(request.method, secret->Width(), secret->Height(),
                                         pair.s0.Rows(), pair.s0.Cols());
  if (!ShareSizeFits(size)) {
    session.ShowMessage(kCannotEncrypt, kTooLarge);
    return EncryptOutcome::Refused;
  }

  ShareTable shares(session);
  try {
    if (!RunExpansionMethod(*request.random, request.method, shares, *secret, pair.s0, pair.s1))
      return EncryptOutcome::GaveUp;
  } catch (const std::bad_alloc&) {
    // The shares are allocated before anything is registered or written.
    session.ShowMessage(kCannotEncrypt, kNoMemory);
    return EncryptOutcome::Refused;
  }
  if (!shares.AllSaved())
    return EncryptOutcome::SaveFailed;
  session.ShowMessage(kDoneCaption, kDoneText);
  return EncryptOutcome::Done;
}

}  // namespace quillon
