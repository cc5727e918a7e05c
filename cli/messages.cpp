#include "cli/messages.h"

#include <cerrno>
#include <cstring>

namespace quillon::cli {
namespace {

std::string Quoted(const std::string& file) {
  return "'" + file + "'";
}

// ": reason" from the system's error number, or nothing.
std::string Reason(int error) {
  return error != 0 ? std::string(": ") + std::strerror(error) : std::string();
}

const char* DecoderName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png:
      return "PNG";
    case PictureFormat::Jpeg:
      return "JPEG";
    default:
      return "picture";
  }
}

}  // namespace

std::string ReadFailure(const Outcome& outcome, std::string_view role, PictureFormat format) {
  const std::string what = std::string("the ") + std::string(role) + " " + Quoted(outcome.file);
  const std::string cannot = "cannot read " + what;
  switch (outcome.code) {
    case Code::kCannotOpen:
      return "cannot open " + what + Reason(outcome.error);
    case Code::kCannotRead:
      return cannot + Reason(outcome.error);
    case Code::kNotRegularFile:
      return outcome.error == EISDIR ? what + " is a folder"
                                     : what + " is not a regular file (a device or a FIFO)";
    case Code::kNotAPicture:
      return what + " is not a picture (BMP, PNG or JPEG); it is empty or holds something else";
    case Code::kUnsupportedBitmap:
      return cannot + ": unsupported bitmap file";
    case Code::kShortPixelData:
      return cannot + ": its pixel data is shorter than its header declares";
    case Code::kBadPicture:
      return cannot + ": broken " + DecoderName(format) + " file (" + outcome.detail + ")";
    case Code::kPictureTooLarge:
      return cannot + ": the picture declares " + outcome.detail + " pixels; pictures of at most " +
             std::to_string(kMaxPicturePixels) + " pixels are read";
    case Code::kFileTooLarge:
      return cannot + ": the file is larger than " + outcome.detail;
    case Code::kNoPixels:
      return what + " has no pixels";
    case Code::kColoursUnreadable:
      return cannot + ": the colours of a " + outcome.detail + "-bit BMP cannot be read";
    case Code::kNoMemory:
      return cannot + ": not enough memory";
    default:
      return cannot;
  }
}

std::string WriteFailure(const Outcome& outcome) {
  const std::string file = Quoted(outcome.file);
  switch (outcome.code) {
    case Code::kCannotMakeFolder:
      return "cannot create the output folder " + file + Reason(outcome.error);
    case Code::kNotRegularFile:
      return file + " exists and is not a regular file; it is not replaced";
    case Code::kOutputIsInput:
      return file + " is the same file as the input " + Quoted(outcome.detail) +
             "; nothing written";
    case Code::kOutputTwice:
      return file + " and " + Quoted(outcome.detail) + " are the same file; nothing written";
    case Code::kInterrupted:
      return "interrupted; nothing written";
    case Code::kNoMemory:
      return "not enough memory to write " + file;
    default:
      return "cannot write " + file + Reason(outcome.error);
  }
}

std::string Refusal(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kBadParameters:
      return "The number of participants n must be from 2 to 9 and the threshold k from 2 to n.";
    case Code::kMatricesTooLarge:
      return "The basis matrices of this scheme are too large to build.";
    case Code::kNoQualifiedSet:
      return "This scheme has no qualified set of participants.";
    case Code::kSharesTooLarge:
      return "The shares would be too large for this image and method.";
    case Code::kSmallerThanBlock:
      return "the secret image is smaller than one block of this method";
    case Code::kNoMemory:
      return "there is not enough memory for shares of this size" +
             (outcome.detail.empty() ? std::string() : " (" + outcome.detail + ")");
    case Code::kRandomFailed:
      return "the system's random generator failed" + Reason(outcome.error) + "; nothing written";
    case Code::kSingleQualified:
      return "participant " + std::to_string(outcome.index + 1) +
             " alone is a qualified set: share " + std::to_string(outcome.index + 1) +
             " would be the secret in the clear (--allow-clear-share makes it all the same)";
    case Code::kNoSecret:
      return "the secret image has no pixels";
    default:
      return "";
  }
}

bool WantsBitmapHint(const Outcome& outcome) {
  return outcome.code == Code::kUnsupportedBitmap;
}

}  // namespace quillon::cli
