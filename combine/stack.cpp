#include "combine/stack.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quillon {
namespace {

bool Covers(const BmpImage* layer, int32_t row, int32_t col) {
  return layer != nullptr && layer->HasPixels() && row < layer->Height() && col < layer->Width();
}

int LayerCount(const std::vector<const BmpImage*>& layers, int count) {
  return std::clamp(count, 0, static_cast<int>(layers.size()));
}

BmpImage BlankResult(const std::vector<const BmpImage*>& layers, const std::string& resultName) {
  const BmpImage* first = layers.empty() ? nullptr : layers[0];
  if (first == nullptr)
    return BmpImage(resultName, 0, 0);
  return BmpImage(resultName, first->Height(), first->Width());
}

// ANDs a 1-bit layer row into the result row over the columns [0, width). Both rows hold
// a set bit for white, so a black pixel in the layer makes the result black.
void StackOneBit(const uint8_t* in, int32_t width, uint8_t* out) {
  const int64_t whole = width / 8;
  int64_t i = 0;
  for (; i + 8 <= whole; i += 8) {
    uint64_t a, b;
    std::memcpy(&a, out + i, 8);
    std::memcpy(&b, in + i, 8);
    a &= b;
    std::memcpy(out + i, &a, 8);
  }
  for (; i < whole; ++i)
    out[i] &= in[i];
  if (width % 8 != 0) {
    // Columns past the layer's width are white in it: they keep the result as it is.
    const uint8_t beyond = static_cast<uint8_t>(0xFF >> (width % 8));
    out[whole] &= static_cast<uint8_t>(in[whole] | beyond);
  }
}

}  // namespace

BmpImage StackLayers(const std::vector<const BmpImage*>& layers, const std::string& resultName) {
  BmpImage result = BlankResult(layers, resultName);
  const int32_t width = result.Width();
  const int32_t height = result.Height();
  if (width == 0 || height == 0)
    return result;
  const int64_t rowBytes = (int64_t{width} + 7) / 8;
  const int n = LayerCount(layers, static_cast<int>(layers.size()));
  // A deeper layer's row turned into its two-colour view, to be stacked like a 1-bit row.
  int32_t widest = 0;
  for (int i = 0; i < n; ++i) {
    if (layers[i] != nullptr && layers[i]->BitCount() != 1)
      widest = std::max(widest, layers[i]->Width());
  }
  std::vector<uint8_t> converted(static_cast<size_t>((int64_t{widest} + 7) / 8));
  for (int32_t row = 0; row < height; ++row) {
    uint8_t* out = result.Row(row);
    // Start white over the result's columns; the bits past them stay zero as in a new image.
    std::memset(out, 0xFF, static_cast<size_t>(rowBytes));
    if (width % 8 != 0)
      out[rowBytes - 1] = static_cast<uint8_t>(0xFF << (8 - width % 8));
    for (int i = 0; i < n; ++i) {
      const BmpImage* layer = layers[i];
      if (!Covers(layer, row, 0))
        continue;
      const int32_t span = std::min(width, layer->Width());
      if (layer->BitCount() == 1) {
        StackOneBit(layer->Row(row), span, out);
      } else {
        layer->WhiteRow(row, converted.data());
        StackOneBit(converted.data(), span, out);
      }
    }
  }
  return result;
}

}  // namespace quillon
