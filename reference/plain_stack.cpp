#include "reference/plain_stack.h"

#include <algorithm>

namespace quillon {

int StackPixel(const std::vector<const BmpImage*>& layers, int count, int32_t row, int32_t col) {
  int black = 0;
  const int n = std::clamp(count, 0, static_cast<int>(layers.size()));
  for (int i = 0; i < n; ++i) {
    const BmpImage* layer = layers[i];
    const bool covers =
        layer != nullptr && layer->HasPixels() && row < layer->Height() && col < layer->Width();
    if (covers && layer->GetPixel(row, col) == 'b')
      black = 1;
  }
  return black;
}

BmpImage StackLayersPlain(const std::vector<const BmpImage*>& layers,
                          const std::string& resultName) {
  const BmpImage* first = layers.empty() ? nullptr : layers[0];
  BmpImage result = first == nullptr ? BmpImage(resultName, 0, 0)
                                     : BmpImage(resultName, first->Height(), first->Width());
  const int count = static_cast<int>(layers.size());
  for (int32_t row = 0; row < result.Height(); ++row) {
    for (int32_t col = 0; col < result.Width(); ++col) {
      result.SetPixel(row, col, StackPixel(layers, count, row, col));
    }
  }
  return result;
}

}  // namespace quillon
