// Combining shares as a command: asks the host for each layer's file, loads it, stacks the
// layers and writes the result, then tells the host it was written. The session steps go
// through CombineSession: the desktop program's frame implements it with its file dialog and
// image list (and starts its viewer for each layer), quillon-cli with the files given on its
// command line. What happened comes back as an outcome; the host words it. Not thread-safe;
// runs in the caller's loop.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

constexpr int kMinLayers = 2;
constexpr int kMaxLayers = 9;
constexpr char kResultName[] = "resultado.bmp";

class CombineSession {
 public:
  virtual ~CombineSession() = default;

  // The file of layer `layer` (from 0); nullopt when the user declines.
  virtual std::optional<std::string> ChooseLayer(int layer) = 0;
  // Reads the chosen file into image. The default reads a BMP file's two-colour view through
  // env (stacking sees nothing else), row by row; hosts that read more formats, show the
  // layer, or tell of a colour table cut short, override it.
  virtual Outcome LoadLayer(Env& env, int /*layer*/, const std::string& path, BmpImage& image) {
    image = BmpImage(path);
    return image.LoadTwoColour(env);
  }
  // Layer `layer` has been loaded.
  virtual void LayerLoaded(int /*layer*/) {}
  // Where the result is written.
  virtual std::string OutputPath() { return kResultName; }
  // Every layer has loaded and the result is about to be written (quillon-cli makes the
  // result's folder here); a failure ends the command with that outcome.
  virtual Outcome PrepareOutput() { return Outcome::Ok(); }
  // The result is written at OutputPath(): register and show it.
  virtual void ResultWritten() {}
  // How far the work has come, 0 to 1: after every layer loaded and at the end.
  virtual void ShowProgress(double /*fraction*/) {}
};

// Combines `count` layers (kMinLayers to kMaxLayers, else kBadParameters) into
// layers[0..count), which must hold that many entries. The result has the first layer's
// size; pixels outside a smaller layer count as white there. Outcomes, each with the layer's
// index where one is concerned: kCancelled (a layer not chosen), the loader's refusal, or
// kNoPixels for a layer without pixels; kOutputIsInput when the result would replace a layer
// (detail and index: that layer); kNoMemory; a write failure naming the result. Layers loaded
// before a failure stay in `layers`; on failure nothing was written.
Outcome CombineLayers(CombineSession& session, Env& env, int count, std::vector<BmpImage>& layers);

}  // namespace quillon
