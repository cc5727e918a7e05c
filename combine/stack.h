// Stacking shares the way transparencies are laid over each other: a result pixel is black
// when it is black in at least one layer.
#pragma once

#include <string>
#include <vector>

#include "core/bmp_image.h"

namespace quillon {

// The stacked 1-bit image named resultName, of the first layer's size: a pixel is black when
// GetPixel answers 'b' there in at least one layer; a position outside a smaller layer (or in
// a null layer or one without pixels) counts as white there. Layers may have any readable
// depth; every layer is stacked a machine word at a time, a deeper layer's row turned into its
// two-colour view first. reference/plain_stack.h holds the plain version it is checked against.
BmpImage StackLayers(const std::vector<const BmpImage*>& layers, const std::string& resultName);

}  // namespace quillon
