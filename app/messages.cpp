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

bool IsWriteFailure(Code code) {
  return code == Code::kCannotCreate || code == Code::kCannotWrite ||
         code == Code::kCannotReplace || code == Code::kCannotMakeFolder ||
         code == Code::kInterrupted;
}

// The text under "Cannot Encrypt" for a refusal before anything is made; empty for others.
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
      return "A share would replace " + outcome.detail + "; nothing was written.";
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
      return {{"", "ERROR: Can't allocate memory for image!"}};
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
  if (outcome.ok())
    return {};
  if (outcome.code == Code::kCannotWrite)
    return {{"", "ERROR: Can't write image!"}};
  return {{"", "ERROR: Can't open " + outcome.file}};
}

std::vector<AppMessage> EncryptMessages(const Outcome& outcome) {
  if (outcome.ok())
    return {{kDoneCaption, kDoneText}};
  if (IsWriteFailure(outcome.code))
    return SaveMessages(outcome);
  if (outcome.code == Code::kCancelled || outcome.code == Code::kInnocentTooSmall ||
      outcome.code == Code::kInnocentMissing)
    return {{"", kNoInnocentImage}};
  const std::string refusal = RefusalText(outcome);
  if (!refusal.empty() && !(outcome.code == Code::kNoMemory && outcome.index >= 0))
    return {{kCannotEncrypt, refusal}};
  // An innocent image that could not be loaded: what loading said, then why encryption stops.
  std::vector<AppMessage> messages = LoadMessages(outcome);
  messages.push_back({"", kNoInnocentImage});
  return messages;
}

std::vector<AppMessage> CombineMessages(const Outcome& outcome) {
  switch (outcome.code) {
    case Code::kOk:
    case Code::kBadParameters:
      return {};
    case Code::kCancelled:
      return {{"", kCannotCombine}};
    case Code::kOutputIsInput:
      return {{"", "ERROR: Can't open " + outcome.file + " (it is one of the layers)"}};
    default:
      break;
  }
  if (IsWriteFailure(outcome.code) || outcome.index < 0)
    return SaveMessages(outcome);
  // A layer that failed to load, or one without pixels: its load message, then the refusal.
  std::vector<AppMessage> messages =
      outcome.code == Code::kNoPixels ? std::vector<AppMessage>{} : LoadMessages(outcome);
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
