#include "combine/combine_flow.h"

#include "combine/stack.h"

namespace quillon {
std::string LayerTitle(int layer) {
  std::string title = "Seleccione la capa  ";
  title.back() = static_cast<char>('1' + layer);
  return title;
}

CombineResult CombineLayers(CombineSession& session, int count, std::vector<BmpImage>& layers) {
  if (count < kMinLayers || count > kMaxLayers || static_cast<size_t>(count) > layers.size())
    return CombineResult{CombineOutcome::Cancelled, -1};
  for (int i = 0; i < count; ++i) {
    std::optional<std::string> path = session.ChooseLayer(i, LayerTitle(i));
    if (!path) {
      session.ShowMessage("", kCannotCombine);
      return CombineResult{CombineOutcome::Cancelled, i};
    }
    if (!session.LoadLayer(*path, layers[i])) {
      // A layer without pixels would cover nothing and the stack would look complete.
      session.ShowMessage("", kCannotCombine);
      return CombineResult{CombineOutcome::LoadFailed, i};
    }
    session.LayerLoaded(i);
    session.ShowProgress(static_cast<double>(i + 1) / (count + 1));
  }

  std::vector<const BmpImage*> stacked;
  for (int i = 0; i < count; ++i)
    stacked.push_back(&layers[i]);
  if (!session.ReadyToWrite())
    return CombineResult{CombineOutcome::SaveFailed, -1};
  const BmpImage result = StackLayers(stacked, session.OutputPath(kResultName));
  if (!result.Save(session.Messages()))
    return CombineResult{CombineOutcome::SaveFailed, -1};
  session.RegisterImage(kResultName, kResultName);
  session.SelectNewResult();
  session.ShowProgress(1.0);
  return CombineResult{CombineOutcome::Done, -1};
}

}  // namespace quillon
