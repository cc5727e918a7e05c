// The secret as the Studio holds it: the picture opened (BMP, PNG or JPEG, told by content)
// and its two-colour reading, which is what gets encrypted. Grey and colour pictures become
// two colours by a luminance threshold or by dithering, optionally inverted; a BMP may also be
// read as stored (black where all of a pixel's bits are zero). The luminance is decoded once,
// so a new reading costs one pass over the pixels and a view may recompute it on every move
// of a slider. The readings that would mislead (no black pixel, no white pixel, a palette
// that shows the negative) come with the changes of reading that fix them.
//
// One object belongs to the owner thread. TwoColour() hands out an immutable picture that a
// worker may keep reading while the owner sets another reading.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/outcome.h"
#include "io/picture.h"
#include "io/two_colour.h"

namespace quillon::studio {

struct SecretReading {
  // A BMP is read as stored unless byColour; a PNG or JPEG is always read by luminance.
  bool byColour = false;
  TwoColourRule rule;  // threshold or dither, and invert (which applies to every reading)

  bool operator==(const SecretReading& other) const {
    return byColour == other.byColour && rule.mode == other.rule.mode &&
           rule.threshold == other.rule.threshold && rule.invert == other.rule.invert;
  }
};

enum class SecretWarningKind {
  kNoBlack,          // the shares would hide an all-white picture
  kNoWhite,          // the shares would hide an all-black picture
  kNegativePalette,  // palette entry 0 (read as black) is the lightest colour used
};

enum class FixKind {
  kReadByColour,     // read the BMP by luminance instead of as stored
  kInvert,           // swap black and white
  kChangeThreshold,  // a threshold between the darkest and the lightest pixel
  kDither,           // error diffusion instead of a threshold
};

struct SecretFix {
  FixKind kind = FixKind::kInvert;
  int threshold = 0;  // kChangeThreshold: the threshold that gives both colours
};

struct SecretWarning {
  SecretWarningKind kind = SecretWarningKind::kNoBlack;
  std::vector<SecretFix> fixes;  // what helps, the likeliest first; may be empty
};

class SecretPicture {
 public:
  // Opens path with the default reading (threshold 128, not inverted, a BMP as stored).
  // Outcomes name path: the readers' refusals (kCannotOpen, kNotAPicture, kBadPicture,
  // kUnsupportedBitmap, ...), kNoPixels, kNoMemory. On failure the picture is left as it was.
  Outcome Open(Env& env, const std::string& path);

  bool Empty() const { return m_twoColour == nullptr; }
  const std::string& Path() const { return m_path; }
  PictureFormat Format() const { return m_format; }
  int32_t Width() const { return m_twoColour ? m_twoColour->Width() : 0; }
  int32_t Height() const { return m_twoColour ? m_twoColour->Height() : 0; }

  // Whether the picture can be read by luminance: any PNG or JPEG, and a BMP of 1, 2, 4, 8 or
  // 24 bits (others are read as stored only).
  bool CanReadByLuminance() const;
  // Whether the current reading goes by luminance, so that threshold and dither apply.
  bool ReadsByLuminance() const;

  const SecretReading& Reading() const { return m_reading; }
  // Reads the picture anew. byColour is taken as true for a PNG or JPEG. Refusals (the
  // reading stays as it was): kColoursUnreadable for a BMP that cannot be read by colour,
  // kPictureTooLarge (detail: its size) for a BMP too large to read by luminance, kNoMemory;
  // each names Path(). An empty picture answers kNoSecret.
  Outcome SetReading(const SecretReading& reading);
  // The reading that a fix of Warnings() gives.
  SecretReading Fixed(const SecretFix& fix) const;

  // The two-colour picture that is encrypted: 1 bit, named Path(); null while Empty().
  std::shared_ptr<const BmpImage> TwoColour() const { return m_twoColour; }
  const std::vector<SecretWarning>& Warnings() const { return m_warnings; }
  // The picture's luminance as read, top row first, for showing beside its reading; empty
  // (width 0) for a BMP that has only been read as stored.
  const GreyPicture& Luminance() const { return m_grey; }

 private:
  Outcome MakeGrey();
  void FindWarnings();

  std::string m_path;
  PictureFormat m_format = PictureFormat::Unknown;
  BmpImage m_bitmap;  // a BMP as read; empty for a PNG or JPEG
  bool m_negativePalette = false;
  GreyPicture m_grey;  // the luminance, top row first; made when first needed for a BMP
  int m_darkest = 0;   // the luminance range of m_grey
  int m_lightest = 0;
  SecretReading m_reading;
  std::shared_ptr<const BmpImage> m_twoColour;
  std::vector<SecretWarning> m_warnings;
};

}  // namespace quillon::studio
