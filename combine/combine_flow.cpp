#include "combine/combine_flow.h"

#include <new>

#include "combine/stack.h"
#include "core/file_identity.h"

namespace quillon {

Outcome CombineLayers(CombineSession& session, Env& env, int count, std::vector<BmpImage>& layers) {
  if (count < kMinLayers || count > kMaxLayers || static_cast<size_t>(count) > layers.size())
    return Outcome::Fail(Code::kBadParameters);
  std::vector<std::string> inputs;
  for (int i = 0; i < count; ++i) {
    std::optional<std::string> path = session.ChooseLayer(i);
    if (!path)
      return Outcome::Fail(Code::kCancelled).At(i);
    if (Outcome loaded = session.LoadLayer(env, i, *path, layers[i]); !loaded)
      return std::move(loaded).At(i);
    // A layer without pixels would cover nothing and the stack would look complete.
    if (!layers[i].HasPixels() || layers[i].Width() <= 0 || layers[i].Height() <= 0)
      return Outcome::Fail(Code::kNoPixels, *path).At(i);
    inputs.push_back(*path);
    session.LayerLoaded(i);
    session.ShowProgress(static_cast<double>(i + 1) / (count + 1));
  }

  const std::string output = session.OutputPath();
  if (Outcome distinct = CheckOutputs(env, inputs, {output}); !distinct) {
    // Said of the layer the result would replace.
    distinct.index = -1;
    for (int i = count - 1; i >= 0; --i) {
      if (inputs[i] == distinct.detail)
        distinct.index = i;
    }
    return distinct;
  }
  if (Outcome ready = session.PrepareOutput(); !ready)
    return ready;
  std::vector<const BmpImage*> stacked;
  for (int i = 0; i < count; ++i)
    stacked.push_back(&layers[i]);
  try {
    const BmpImage result = StackLayers(stacked, output);
    if (!result.HasPixels())
      return Outcome::Fail(Code::kSharesTooLarge, output);
    if (Outcome saved = result.Save(env); !saved)
      return saved;
  } catch (const std::bad_alloc&) {
    return Outcome::Fail(Code::kNoMemory, output);
  }
  session.ResultWritten();
  session.ShowProgress(1.0);
  return Outcome::Ok();
}

}  // namespace quillon
