// The desktop program's words for what the computing code tells it: every caption and text
// exactly as the program has always shown them (Windows-1252 bytes), chosen from an outcome.
// An empty caption stands for the application's title. Pure functions, safe on any thread.
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
// The colour-table message when the image's table was cut short, then LoadMessages.
std::vector<AppMessage> LoadMessages(const BmpImage& image, const Outcome& outcome);
// What saving an image said: "ERROR: Can't open NAME" or "ERROR: Can't write image!".
std::vector<AppMessage> SaveMessages(const Outcome& outcome);

// The messages of an encryption, success included ("Encriptaci\xF3n Realizada").
std::vector<AppMessage> EncryptMessages(const Outcome& outcome);
// The messages of a combination; nothing for a success.
std::vector<AppMessage> CombineMessages(const Outcome& outcome);

// "Select Innocent Image File N" and "Seleccione la capa N" for share or layer `index` (from 0).
std::string InnocentImageTitle(int index);
std::string LayerTitle(int index);

}  // namespace quillon
