// Stacking with each layer moved by whole pixels, to show what slightly misaligned
// transparencies show. Without offsets it gives exactly combine/stack.h's StackLayers.
// Pure function of its arguments: safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/bmp_image.h"

namespace quillon::studio {

// The name of the stacked picture the Studio shows.
inline constexpr char kStackedName[] = "stacked";

struct PlacedLayer {
  const BmpImage* image = nullptr;  // any readable depth, read in its two-colour view
  int32_t dx = 0;                   // pixels to the right
  int32_t dy = 0;                   // pixels down, as the picture is seen
};

// The stacked 1-bit picture named name, of the first layer's size and in its frame: a pixel
// is black when it is black in at least one layer laid at its offset (the first layer's own
// offset moves it within that frame too). Layers are aligned at their bottom-left corners, as
// StackLayers aligns them; a position a layer does not cover (moved away, smaller, null or
// without pixels) is white in it. Without layers, or with a first layer without pixels, the
// result is 0 x 0. Throws std::bad_alloc when the picture does not fit in memory.
BmpImage StackPlacedLayers(const std::vector<PlacedLayer>& layers, const std::string& name);

}  // namespace quillon::studio
