// The few decisions share generation needs from its host: which file holds a participant's
// innocent image, how to read it, where each share goes and what to do once the set is
// written. The desktop program's frame implements them with its file dialogs and image list,
// quillon-cli with the files and folder of its command line. Nothing here words a message:
// the driver returns an outcome and the host says it in its own language.
#pragma once

#include <optional>
#include <string>

#include "core/bmp_image.h"
#include "core/env.h"
#include "core/outcome.h"

namespace quillon {

class ShareSession {
 public:
  virtual ~ShareSession() = default;

  // The file of share `share`'s innocent image (from 0, in share order); nullopt when the
  // user declines.
  virtual std::optional<std::string> ChooseInnocentImage(int share) = 0;
  // Reads it into image. The default reads BMP files through env; hosts that read more
  // formats, or that tell of a colour table cut short at once, override it.
  virtual Outcome LoadInnocentImage(Env& env, int /*share*/, const std::string& path,
                                    BmpImage& image) {
    image = BmpImage(path);
    return image.Load(env);
  }
  // Where share `share` (from 0) is written; the desktop program writes to the working folder.
  virtual std::string OutputPath(int share, const std::string& name) {
    (void)share;
    return name;
  }
  // Writes one share's bytes to file; the default writes the BMP file (quillon-cli may write
  // PNG instead, then OutputPath names .png files).
  virtual Outcome WriteShare(WritableFile& file, const BmpImage& share) {
    return share.WriteTo(file);
  }
  // Every share of the set is written, under the names ShareName(0 .. m): register and show
  // them.
  virtual void SharesWritten(int /*m*/) {}
  // How far the share work has come, 0 to 1, every few rows; hosts show it for long work.
  virtual void ShowProgress(double /*fraction*/) {}
  // Asked after every progress call and before the shares are written: true ends the work
  // with kCancelled, nothing written. A host whose work runs on another thread answers from
  // a flag that thread may read (an atomic); this is called on the working thread.
  virtual bool Cancelled() { return false; }
};

}  // namespace quillon
