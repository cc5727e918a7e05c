// Combining shares as a command: asks for each layer's file, loads it, stacks the layers,
// saves "resultado.bmp", registers it and selects it. The few session steps go through
// CombineSession: the desktop program's frame implements it with its file dialog, image list
// and message boxes (and starts its viewer for each layer), quillon-cli with the files given
// on its command line. Load and Save report their own messages through the session's ShowMessage.
// Not thread-safe; runs in the caller's loop.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/bmp_image.h"

namespace quillon {

constexpr int kMinLayers = 2;
constexpr int kMaxLayers = 9;
constexpr char kResultName[] = "resultado.bmp";
// Shown when a layer is not chosen or cannot be read.
constexpr char kCannotCombine[] = "No se pueden combinar las im\xE1genes. ";

class CombineSession {
 public:
  virtual ~CombineSession() = default;

  // The file of layer `layer` (from 0), asked under `title`; nullopt when cancelled.
  virtual std::optional<std::string> ChooseLayer(int layer, const std::string& title) = 0;
  // Reads the chosen file into layer; false when it cannot be read (the reader has reported
  // why). The desktop program reads BMP files only.
  virtual bool LoadLayer(const std::string& path, BmpImage& layer) {
    layer = BmpImage(path);
    return layer.Load(Messages());
  }
  // ShowMessage as the reporter of Load and Save, so that their messages reach the user the
  // way every other message does.
  Reporter Messages() {
    return
        [this](const std::string& caption, const std::string& text) { ShowMessage(caption, text); };
  }
  // Layer `layer` has been loaded.
  virtual void LayerLoaded(int /*layer*/) {}
  // Every layer has loaded and the result is about to be written; false ends the command
  // as a failed save, the session having said why.
  virtual bool ReadyToWrite() { return true; }
  // Appends the result to the image list.
  virtual void RegisterImage(const std::string& path, const std::string& label) = 0;
  // Selects the entry just registered and redraws from it.
  virtual void SelectNewResult() = 0;
  // A modal message with an OK button; an empty caption stands for the application's title.
  virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
  // How far the work has come, 0 to 1: after every layer loaded and at the end.
  virtual void ShowProgress(double /*fraction*/) {}
  // Where the result of this name is written; the desktop program writes to the working
  // folder.
  virtual std::string OutputPath(const std::string& name) { return name; }
};

enum class CombineOutcome {
  Done,        // result saved, registered and selected
  Cancelled,   // a layer was not chosen: "No se pueden combinar las im\xE1genes. "
  LoadFailed,  // a layer failed to load: its Load messages, then the same message
  SaveFailed,  // the result failed to save: its Save message; nothing registered
};

struct CombineResult {
  CombineOutcome outcome = CombineOutcome::Cancelled;
  int layer = -1;  // the layer that was cancelled or failed to load
};

// "Seleccione la capa " followed by the digit of layer `layer` (from 0).
std::string LayerTitle(int layer);

// Combines `count` layers (kMinLayers to kMaxLayers; anything else does nothing and answers
// Cancelled) into layers[0..count), which must hold that many entries. Layers loaded before
// a cancel or a failure stay in `layers`. The result has the first layer's size; pixels
// outside a smaller layer count as white there.
CombineResult CombineLayers(CombineSession& session, int count, std::vector<BmpImage>& layers);

}  // namespace quillon
