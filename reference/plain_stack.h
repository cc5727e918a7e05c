// Stacking the plain way, one pixel at a time: the reference that StackLayers
// (combine/stack.h) is checked against. For tests and benchmarks only. Pure functions of
// their arguments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "combine/decode.h"
#include "core/bmp_image.h"

namespace quillon {

// 1 when GetPixel answers 'b' at (row, col) in at least one of layers[0..count); a position
// outside a smaller layer, a null layer and a layer without pixels count as white there.
int StackPixel(const std::vector<const BmpImage*>& layers, int count, int32_t row, int32_t col);

// The stacked 1-bit image named resultName, of the first layer's size (0 x 0 without a first
// layer), one StackPixel per pixel.
BmpImage StackLayersPlain(const std::vector<const BmpImage*>& layers,
                          const std::string& resultName);

// DecodeStacked the plain way: every counted place of every block read by GetPixel.
DecodeResult DecodeStackedPlain(const BmpImage& stacked, const BlockLayout& layout,
                                const std::string& resultName);

}  // namespace quillon
