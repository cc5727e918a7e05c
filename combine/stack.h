// Stacking shares the way transparencies are laid over each other: a result pixel is black
// when it is black in at least one layer.
#pragma once

#include <string>
#include <vector>

#include "core/bmp_image.h"

namespace quillon {

// 1 when GetPixel answers 'b' at (row, col) in at least one of layers[0..count); a position
// outside a smaller layer counts as white there.
int StackPixel(const std::vector<const BmpImage*>& layers, int count, int32_t row, int32_t col);

// The stacked 1-bit image named resultName, of the first layer's size. Layers may have any
// readable depth; every layer is stacked a machine word at a time, a deeper layer's row
// turned into its two-colour view first.
BmpImage StackLayers(const std::vector<const BmpImage*>& layers, const std::string& resultName);

// The same result, one StackPixel per pixel: the reference the fast path is checked against.
BmpImage StackLayersPlain(const std::vector<const BmpImage*>& layers,
                          const std::string& resultName);

}  // namespace quillon
