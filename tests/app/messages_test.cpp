// The outcomes the computing code hands the desktop program, and the exact bytes of the
// message boxes it shows for them.
#include "app/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

using Words = std::vector<AppMessage> (*)(const Outcome&);

struct MessageCase {
  Words words;
  Outcome outcome;
  std::vector<std::string> expected;  // caption|text, in the order shown
};

Outcome Fail(Code code, const std::string& file = "x.bmp") {
  return Outcome::Fail(code, file);
}

TEST(AppMessagesTest, EachOutcomeInTheProgramsOwnWords) {
  const Words load = LoadMessages, save = SaveMessages, encrypt = EncryptMessages;
  const Words combine = CombineMessages;
  const std::string no = "Cannot Encrypt|";
  const std::string noInnocent = "|Cannot Encrypt without valid innocent image source file.";
  const std::string noCombine = "|No se pueden combinar las im\xE1genes. ";
  const MessageCase kCases[] = {
      {load, Outcome::Ok(), {}},
      {load, Fail(Code::kCannotOpen), {"|ERROR: Cannot open x.bmp"}},
      {load, Fail(Code::kShortPixelData), {"|ERROR: Can't read in image!"}},
      {load, Fail(Code::kCannotRead), {"|ERROR: Can't read in image!"}},
      {load, Fail(Code::kNoMemory), {"|ERROR: Can't allocate memory for image!"}},
      {load, Fail(Code::kNotRegularFile), {"|ERROR: Unsupported bitmap file x.bmp"}},
      {load, Fail(Code::kNotAPicture), {"|ERROR: Unsupported bitmap file x.bmp"}},
      {save, Outcome::Ok(), {}},
      {save, Fail(Code::kCannotCreate), {"|ERROR: Can't open x.bmp"}},
      {save, Fail(Code::kNotRegularFile), {"|ERROR: Can't open x.bmp"}},
      {save, Fail(Code::kCannotReplace), {"|ERROR: Can't open x.bmp"}},
      {save, Fail(Code::kCannotWrite), {"|ERROR: Can't write image!"}},
      {save, Fail(Code::kUnsupportedBitmap), {"|ERROR: Can't write image!"}},
      {encrypt,
       Outcome::Ok(),
       {"Encriptaci\xF3n Realizada|Imagen ENCRIPTADA\nLas imagenes han sido almacenadas\ncon los "
        "nombres:\ncapa1.bmp, capa2.bmp,.., capan.bmp"}},
      {encrypt, Fail(Code::kNoSecret), {no + "Please open a secret image file first."}},
      {encrypt,
       Fail(Code::kBadParameters),
       {no + "The number of participants n must be from 2 to 9 and the threshold k from 2 to n."}},
      {encrypt,
       Fail(Code::kMatricesTooLarge),
       {no + "The basis matrices of this scheme are too large to build."}},
      {encrypt,
       Fail(Code::kNoQualifiedSet),
       {no + "This scheme has no qualified set of participants."}},
      {encrypt,
       Fail(Code::kSharesTooLarge),
       {no + "The shares would be too large for this image and method."}},
      {encrypt,
       Fail(Code::kSmallerThanBlock),
       {no + "The secret image is smaller than one block of this method."}},
      // During the work, or refused before it from the estimate.
      {encrypt,
       Fail(Code::kNoMemory).At(1),
       {no + "There is not enough memory for shares of this size."}},
      {encrypt,
       Fail(Code::kNoMemory).With("about 9 MiB"),
       {no + "There is not enough memory for shares of this size."}},
      {encrypt,
       Fail(Code::kOutputIsInput, "capa1.bmp").With("/w/capa1.bmp"),
       {no + "The share capa1.bmp would replace /w/capa1.bmp, an image it is made from; nothing "
             "was written."}},
      {encrypt, Fail(Code::kCancelled).At(1), {noInnocent}},
      {encrypt, Fail(Code::kInnocentTooSmall).At(0), {noInnocent}},
      {encrypt, Fail(Code::kNotRegularFile, "capa2.bmp").At(1), {"|ERROR: Can't open capa2.bmp"}},
      {encrypt, Fail(Code::kCannotWrite, "capa2.bmp").At(1), {"|ERROR: Can't write image!"}},
      {InnocentLoadMessages,
       Fail(Code::kUnsupportedBitmap),
       {"|ERROR: Unsupported bitmap file x.bmp", noInnocent}},
      {combine, Outcome::Ok(), {}},
      {combine, Fail(Code::kCancelled).At(1), {noCombine}},
      {combine, Fail(Code::kNoPixels).At(0), {noCombine}},
      {combine,
       Fail(Code::kOutputIsInput, "resultado.bmp").With("/w/resultado.bmp"),
       {"|ERROR: The result resultado.bmp would replace the layer /w/resultado.bmp; nothing was "
        "written."}},
      {combine, Fail(Code::kNoMemory), {"|ERROR: Can't allocate memory for image!"}},
      {combine, Fail(Code::kNotRegularFile), {"|ERROR: Can't open x.bmp"}},
      {LayerLoadMessages, Fail(Code::kCannotOpen), {"|ERROR: Cannot open x.bmp", noCombine}},
  };
  for (size_t i = 0; i < std::size(kCases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    std::vector<std::string> shown;
    for (const AppMessage& message : kCases[i].words(kCases[i].outcome))
      shown.push_back(message.caption + "|" + message.text);
    EXPECT_EQ(shown, kCases[i].expected);
  }
  EXPECT_EQ(InnocentImageTitle(0), "Select Innocent Image File 1");
  EXPECT_EQ(LayerTitle(8), "Seleccione la capa 9");
}

}  // namespace
}  // namespace quillon
