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

// The role of path among files, "file" when it is none of them.
std::string RoleOf(const std::string& path, const std::vector<RoleFile>& files) {
  for (const RoleFile& file : files) {
    if (file.path == path)
      return file.role;
  }
  return "file";
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
      return what + " is not a picture (BMP, PNG or JPEG): it is empty or holds something else";
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
      return cannot + Reason(outcome.error);
  }
}

std::string WriteFailure(const Outcome& outcome) {
  const std::string file = Quoted(outcome.file);
  switch (outcome.code) {
    case Code::kCannotMakeFolder:
      return "cannot create the output folder " + file + Reason(outcome.error);
    case Code::kNotRegularFile:
      // The writer refuses anything but a regular file; a folder is the usual slip.
      if (outcome.error == EISDIR)
        return "cannot write " + file + ": it is a folder";
      return "cannot write " + file + ": it is not a regular file (a device or a FIFO)";
    case Code::kCannotCreate:
      return "cannot create " + file + Reason(outcome.error);
    case Code::kCannotReplace:
      return "cannot put " + file + " in place" + Reason(outcome.error);
    case Code::kOutputIsInput:
      return file + " is the same file as the input " + Quoted(outcome.detail) +
             "; nothing written";
    case Code::kOutputTwice:
      return file + " and " + Quoted(outcome.detail) + " are the same file; nothing written";
    case Code::kInterrupted:
      return "interrupted; nothing written";
    case Code::kNoMemory:
      return "not enough memory to write " + file;
    case Code::kUnsupportedBitmap:
    case Code::kSharesTooLarge:
      return "cannot write " + file + ": the picture is too large for a BMP file";
    default:
      return "cannot write " + file + Reason(outcome.error);
  }
}

std::string OverlapFailure(const Outcome& outcome, const std::vector<RoleFile>& inputs,
                           const std::vector<RoleFile>& outputs) {
  const bool placed = outcome.index >= 0 && static_cast<size_t>(outcome.index) < outputs.size();
  const std::string role = placed ? outputs[outcome.index].role : RoleOf(outcome.file, outputs);
  const std::string output = "the " + role + " " + Quoted(outcome.file);
  switch (outcome.code) {
    case Code::kOutputIsInput:
      return output + " would replace the " + RoleOf(outcome.detail, inputs) + " " +
             Quoted(outcome.detail) + "; nothing written";
    case Code::kOutputTwice:
      return output + " and the " + RoleOf(outcome.detail, outputs) + " " + Quoted(outcome.detail) +
             " are the same file; nothing written";
    case Code::kCannotOpen:
      return "cannot look at " + Quoted(outcome.file) + Reason(outcome.error);
    default:
      return WriteFailure(outcome);
  }
}

std::string Refusal(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kBadParameters:
      return "the number of participants n must be from 2 to 9 and the threshold k from 2 to n";
    case Code::kMatricesTooLarge:
      return "the basis matrices of this scheme are too large to build";
    case Code::kNoQualifiedSet:
      return "this scheme has no qualified set of participants";
    case Code::kSharesTooLarge:
      return "the shares would be too large for this image and method";
    case Code::kSmallerThanBlock:
      return "the secret image is smaller than one block of this method";
    case Code::kNoMemory:
      return "there is not enough memory for shares of this size" +
             (outcome.detail.empty() ? std::string() : " (" + outcome.detail + ")");
    case Code::kRandomFailed:
      return "the system's random generator failed" + Reason(outcome.error) + "; nothing written";
    case Code::kSingleQualified: {
      const std::string p = std::to_string(outcome.index + 1);
      return "participant " + p + " alone is a qualified set: share " + p +
             " would be the secret in the clear (--allow-clear-share allows it)";
    }
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
