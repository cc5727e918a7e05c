#include "studio/secret.h"

#include <algorithm>
#include <new>

namespace quillon::studio {
namespace {

bool IsPhoto(PictureFormat format) {
  return format == PictureFormat::Png || format == PictureFormat::Jpeg;
}

}  // namespace

Outcome SecretPicture::Open(Env& env, const std::string& path) {
  SecretPicture next;
  next.m_path = path;
  try {
    next.m_format = SniffPictureFile(env, path);
    if (IsPhoto(next.m_format)) {
      if (Outcome decoded = DecodePictureFile(env, path, next.m_grey); !decoded)
        return decoded;
      const auto [darkest, lightest] =
          std::minmax_element(next.m_grey.luma.begin(), next.m_grey.luma.end());
      next.m_darkest = *darkest;
      next.m_lightest = *lightest;
    } else {
      // Anything else goes to the BMP reader, which tells a bitmap it refuses from no picture.
      next.m_bitmap = BmpImage(path);
      if (Outcome loaded = next.m_bitmap.Load(env); !loaded)
        return loaded;
      if (!next.m_bitmap.HasPixels() || next.m_bitmap.Width() <= 0 || next.m_bitmap.Height() <= 0) {
        return Outcome::Fail(Code::kNoPixels, path);
      }
      next.m_format = PictureFormat::Bmp;
      next.m_negativePalette = InspectTwoColour(next.m_bitmap).negativePalette;
    }
    if (Outcome read = next.SetReading(SecretReading()); !read)
      return read;
  } catch (const std::bad_alloc&) {
    return Outcome::Fail(Code::kNoMemory, path);
  }
  *this = std::move(next);
  return Outcome::Ok();
}

bool SecretPicture::CanReadByLuminance() const {
  return IsPhoto(m_format) || BmpHasReadableColours(m_bitmap);
}

bool SecretPicture::ReadsByLuminance() const {
  return !Empty() && m_reading.byColour;
}

Outcome SecretPicture::MakeGrey() {
  if (!m_grey.luma.empty())
    return Outcome::Ok();
  if (Outcome size = CheckPictureSize(m_bitmap.Width(), m_bitmap.Height()); !size) {
    size.file = m_path;
    return size;
  }
  GreyPicture grey;
  grey.width = m_bitmap.Width();
  grey.height = m_bitmap.Height();
  grey.luma.resize(static_cast<size_t>(grey.width) * static_cast<size_t>(grey.height));
  for (int32_t y = 0; y < grey.height; ++y)
    BmpLumaRow(m_bitmap, y, grey.luma.data() + static_cast<size_t>(y) * grey.width);
  const auto [darkest, lightest] = std::minmax_element(grey.luma.begin(), grey.luma.end());
  m_darkest = *darkest;
  m_lightest = *lightest;
  m_grey = std::move(grey);
  return Outcome::Ok();
}

Outcome SecretPicture::SetReading(const SecretReading& wanted) {
  if (!IsPhoto(m_format) && !m_bitmap.HasPixels())
    return Outcome::Fail(Code::kNoSecret);
  SecretReading reading = wanted;
  reading.rule.threshold = std::clamp(reading.rule.threshold, 0, 255);
  if (IsPhoto(m_format))
    reading.byColour = true;
  try {
    std::shared_ptr<BmpImage> image;
    if (reading.byColour) {
      if (!IsPhoto(m_format)) {
        if (!BmpHasReadableColours(m_bitmap)) {
          return Outcome::Fail(Code::kColoursUnreadable, m_path)
              .With(std::to_string(m_bitmap.BitCount()));
        }
        if (Outcome grey = MakeGrey(); !grey)
          return grey;
      }
      image = std::make_shared<BmpImage>(MakeTwoColour(m_path, m_grey, reading.rule));
    } else {
      image = std::make_shared<BmpImage>(TwoColourView(m_path, m_bitmap, reading.rule.invert));
    }
    if (!image->HasPixels())
      return Outcome::Fail(Code::kNoMemory, m_path);
    m_twoColour = std::move(image);
    m_reading = reading;
    FindWarnings();
  } catch (const std::bad_alloc&) {
    return Outcome::Fail(Code::kNoMemory, m_path);
  }
  return Outcome::Ok();
}

SecretReading SecretPicture::Fixed(const SecretFix& fix) const {
  SecretReading reading = m_reading;
  switch (fix.kind) {
    case FixKind::kReadByColour:
      reading.byColour = true;
      break;
    case FixKind::kInvert:
      reading.rule.invert = !reading.rule.invert;
      break;
    case FixKind::kChangeThreshold:
      reading.byColour = true;
      reading.rule.mode = TwoColourRule::Mode::Threshold;
      reading.rule.threshold = fix.threshold;
      break;
    case FixKind::kDither:
      reading.byColour = true;
      reading.rule.mode = TwoColourRule::Mode::Dither;
      break;
  }
  return reading;
}

void SecretPicture::FindWarnings() {
  m_warnings.clear();
  const TwoColourFindings findings = InspectTwoColour(*m_twoColour);
  const bool luminance = ReadsByLuminance();
  const bool canRead = CanReadByLuminance();
  // Between the darkest and the lightest pixel: some fall below it and some do not.
  const bool twoTones = m_darkest < m_lightest;
  const SecretFix threshold{FixKind::kChangeThreshold, (m_darkest + m_lightest + 1) / 2};
  const bool dithering = m_reading.rule.mode == TwoColourRule::Mode::Dither;

  auto byLuminanceFixes = [&](bool invert) {
    std::vector<SecretFix> fixes;
    if (twoTones)
      fixes.push_back(threshold);
    if (!dithering)
      fixes.push_back({FixKind::kDither});
    if (invert)
      fixes.push_back({FixKind::kInvert});
    return fixes;
  };
  auto storedFixes = [&](bool invert) {
    std::vector<SecretFix> fixes;
    if (canRead)
      fixes.push_back({FixKind::kReadByColour});
    if (invert)
      fixes.push_back({FixKind::kInvert});
    return fixes;
  };

  if (!findings.hasBlack) {
    m_warnings.push_back(
        {SecretWarningKind::kNoBlack, luminance ? byLuminanceFixes(false) : storedFixes(false)});
  } else if (!findings.hasWhite) {
    m_warnings.push_back(
        {SecretWarningKind::kNoWhite, luminance ? byLuminanceFixes(true) : storedFixes(true)});
  } else if (!luminance && !m_reading.rule.invert && m_negativePalette) {
    m_warnings.push_back({SecretWarningKind::kNegativePalette, storedFixes(true)});
  }
}

}  // namespace quillon::studio
