// What a piece of work below the programs ended with: a code, the file it concerns (as the
// user named it), the share, layer or participant (from 0), the system's error number and, for
// a decoder's refusal, the decoder's own words. The computing code returns these and never
// words a message; each program says them in its own language. A plain value, safe to copy
// between threads.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace quillon {

enum class Code : uint8_t {
  kOk,
  kCancelled,  // the user declined a choice (a layer, an innocent image)

  // Reading a file.
  kCannotOpen,         // it could not be opened (error says why)
  kCannotRead,         // reading failed part way (error says why)
  kNotRegularFile,     // a folder, a device, a FIFO: never read or replaced
  kNotAPicture,        // empty, text, or any format no reader knows
  kUnsupportedBitmap,  // a BMP file the reader refuses
  kShortPixelData,     // a BMP whose pixel data is shorter than declared
  kBadPicture,         // a PNG or JPEG that its decoder refuses (detail: the decoder's words)
  kPictureTooLarge,    // more pixels than any share is made from (detail: "W x H")
  kFileTooLarge,       // a file longer than a reader takes (detail: the limit)
  kNoPixels,           // a picture without pixels (a width or height of 0)
  kColoursUnreadable,  // a bitmap read by colour whose colours cannot be read (detail: bits)

  // Writing a file.
  kCannotCreate,      // the file or its staged copy could not be created (error says why)
  kCannotWrite,       // writing or syncing failed (error says why)
  kCannotReplace,     // the finished file could not be put in place (error says why)
  kCannotMakeFolder,  // the output folder could not be made (error says why)
  kOutputIsInput,     // an output is the same file as an input (detail: that input)
  kOutputTwice,       // two outputs are the same file (detail: the other output)
  kInterrupted,       // a signal ended the work; everything staged was removed

  // Encrypting and combining.
  kNoSecret,          // no secret with pixels is open
  kBadParameters,     // n or k out of range
  kMatricesTooLarge,  // the basis matrices would exceed what can be built
  kNoQualifiedSet,    // the matrix pair has no columns
  kSingleQualified,   // a participant alone is qualified: that share is the secret
  kSharesTooLarge,    // the shares would exceed the BMP format
  kSmallerThanBlock,  // the secret gives shares without pixels for this method
  kNoMemory,          // memory ran out, or the estimate says it will
  kInnocentMissing,   // fewer innocent images than shares
  kInnocentTooSmall,  // an innocent image smaller than the secret (index: the share)
  kRandomFailed,      // the system's generator gave no numbers (error says why)
  kPrintTooLarge,     // shares that do not fit the paper at the pixel size asked
  kCannotDraw,        // a print page could not be drawn (index: the share; detail: why)
};

struct Outcome {
  Code code = Code::kOk;
  std::string file;    // the file concerned, as the user gave it; empty when none
  int index = -1;      // the share, layer or participant, from 0; -1 when none
  int error = 0;       // errno where the system said why; 0 otherwise
  std::string detail;  // a decoder's own words, or the other file of a pair

  bool ok() const { return code == Code::kOk; }
  explicit operator bool() const { return ok(); }

  static Outcome Ok() { return {}; }
  static Outcome Fail(Code code, std::string file = {}, int error = 0) {
    Outcome outcome;
    outcome.code = code;
    outcome.file = std::move(file);
    outcome.error = error;
    return outcome;
  }
  // The same outcome about share, layer or participant index.
  Outcome At(int which) && {
    index = which;
    return std::move(*this);
  }
  Outcome With(std::string text) && {
    detail = std::move(text);
    return std::move(*this);
  }
};

}  // namespace quillon
