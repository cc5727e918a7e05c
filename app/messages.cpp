#include "app/messages.h"

namespace quillon {
namespace {

const char kCannotEncrypt[] = "Cannot Encrypt";
const char kDoneCaption[] = "Encriptaci\xF3n Realizada";
const char kDoneText[] =
    "Imagen ENCRIPTADA\nLas imagenes han sido almacenadas\ncon los nombres:\n"
    "capa1.bmp, capa2.bmp,.., capan.bmp";
const char kNoInnocentImage[] = "Cannot Encrypt without valid innocent image source file.";
const char kCannotCombine[] = "No se pueden combinar las im\xE1genes. ";
const char kNoImageMemory[] = "ERROR: Can't allocate memory for image!";

// The text under "Cannot Encrypt" for an encryption refused before anything was written;
// empty for other outcomes.
std::string RefusalText(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kNoSecret:
      return "Please open a secret image file first.";
    case Code::kBadParameters:
      return "The number of participants n must be from 2 to 9 and the threshold k from 2 to n.";
    case Code::kMatricesTooLarge:
      return "The basis matrices of this scheme are too large to build.";
    case Code::kNoQualifiedSet:
      return "This scheme has no qualified set of participants.";
    case Code::kSharesTooLarge:
      return "The shares would be too large for this image and method.";
    case Code::kSmallerThanBlock:
      return "The secret image is smaller than one block of this method.";
    case Code::kNoMemory:
      return "There is not enough memory for shares of this size.";
    case Code::kRandomFailed:
      return "The system's random generator gave no numbers; nothing was written.";
    case Code::kOutputIsInput:
      return "The share " + outcome.file + " would replace " + outcome.detail +
             ", an image it is made from; nothing was written.";
    case Code::kOutputTwice:
      return "The shares " + outcome.detail + " and " + outcome.file +
             " are one and the same file; nothing was written.";
    case Code::kSingleQualified:
      return "A participant alone is qualified: that share would be the secret itself.";
    default:
      return "";
  }
}

}  // namespace

std::vector<AppMessage> LoadMessages(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kOk:
      return {};
    case Code::kCannotOpen:
      return {{"", "ERROR: Cannot open " + outcome.file}};
    case Code::kShortPixelData:
    case Code::kCannotRead:
      return {{"", "ERROR: Can't read in image!"}};
    case Code::kNoMemory:
      return {{"", kNoImageMemory}};
    default:
      // A folder, a device, no bitmap at all, or a bitmap the reader refuses.
      return {{"", "ERROR: Unsupported bitmap file " + outcome.file}};
  }
}

std::vector<AppMessage> LoadMessages(const BmpImage& image, const Outcome& outcome) {
  std::vector<AppMessage> messages;
  if (image.PaletteCutShort())
    messages.push_back({"", "ERROR: Can't read bitmap's color palette!"});
  for (AppMessage& message : LoadMessages(outcome))
    messages.push_back(std::move(message));
  return messages;
}

std::vector<AppMessage> SaveMessages(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kOk:
      return {};
    // The file could be made but not filled: with bytes that failed, or with an image the
    // format cannot hold.
    case Code::kCannotWrite:
    case Code::kNoPixels:
    case Code::kUnsupportedBitmap:
    case Code::kInterrupted:
      return {{"", "ERROR: Can't write image!"}};
    default:
      return {{"", "ERROR: Can't open " + outcome.file}};
  }
}

std::vector<AppMessage> EncryptMessages(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kOk:
      return {{kDoneCaption, kDoneText}};
    // The method gives up as on a cancel.
    case Code::kCancelled:
    case Code::kInnocentTooSmall:
    case Code::kInnocentMissing:
      return {{"", kNoInnocentImage}};
    default:
      break;
  }
  if (std::string refusal = RefusalText(outcome); !refusal.empty())
    return {{kCannotEncrypt, std::move(refusal)}};
  // Writing the set failed: nothing of it was written.
  return SaveMessages(outcome);
}

std::vector<AppMessage> InnocentLoadMessages(const Outcome& load) {
  std::vector<AppMessage> messages = LoadMessages(load);
  messages.push_back({"", kNoInnocentImage});
  return messages;
}

std::vector<AppMessage> CombineMessages(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kOk:
    case Code::kBadParameters:
      return {};
    // A layer not chosen, or one without pixels, which would cover nothing.
    case Code::kCancelled:
    case Code::kNoPixels:
      return {{"", kCannotCombine}};
    case Code::kOutputIsInput:
      return {{"", "ERROR: The result " + outcome.file + " would replace the layer " +
                       outcome.detail + "; nothing was written."}};
    // The result could not be made: too large for memory or for the format.
    case Code::kNoMemory:
    case Code::kSharesTooLarge:
      return {{"", kNoImageMemory}};
    default:
      return SaveMessages(outcome);
  }
}

std::vector<AppMessage> LayerLoadMessages(const Outcome& load) {
  std::vector<AppMessage> messages = LoadMessages(load);
  messages.push_back({"", kCannotCombine});
  return messages;
}

std::string InnocentImageTitle(int index) {
  return std::string("Select Innocent Image File ") + static_cast<char>('1' + index);
}

std::string LayerTitle(int index) {
  std::string title = "Seleccione la capa  ";
  title.back() = static_cast<char>('1' + index);
  return title;
}

}  // namespace quillon
