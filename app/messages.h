// The desktop program's words for what the computing code tells it: every caption and text
// exactly as the program has always shown them (Windows-1252 bytes), chosen from an outcome,
// in the order they are shown. An empty caption stands for the application's title. Texts
// for situations the program once mishandled (a share that would replace its own secret, an
// image too small for a method, memory running out) are plain English under the same
// captions. Pure functions, safe on any thread.
#pragma once

#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "core/outcome.h"

namespace quillon {

struct AppMessage {
  std::string caption;
  std::string text;
};

// What loading an image said: "ERROR: Cannot open NAME", "ERROR: Unsupported bitmap file
// NAME", "ERROR: Can't read in image!", ... ; nothing for a success.
std::vector<AppMessage> LoadMessages(const Outcome& outcome);
// The colour-table message when a successful load found the image's table cut short, then
// LoadMessages.
std::vector<AppMessage> LoadMessages(const BmpImage& image, const Outcome& outcome);
// What saving an image said: "ERROR: Can't open NAME" or "ERROR: Can't write image!";
// nothing for a success.
std::vector<AppMessage> SaveMessages(const Outcome& outcome);

// The messages of an encryption, success included ("Encriptaci\xF3n Realizada"), for every
// outcome but an innocent image's load refusal.
std::vector<AppMessage> EncryptMessages(const Outcome& outcome);
// An innocent image that failed to load: what loading said, then why encryption stops.
std::vector<AppMessage> InnocentLoadMessages(const Outcome& load);

// The messages of a combination, for every outcome but a layer's load refusal; nothing for
// a success.
std::vector<AppMessage> CombineMessages(const Outcome& outcome);
// A layer that failed to load: what loading said, then "No se pueden combinar las im\xE1genes. ".
std::vector<AppMessage> LayerLoadMessages(const Outcome& load);

// "Select Innocent Image File N" and "Seleccione la capa N" for share or layer `index`
// (0 to 8).
std::string InnocentImageTitle(int index);
std::string LayerTitle(int index);

}  // namespace quillon
