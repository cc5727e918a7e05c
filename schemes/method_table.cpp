#include "schemes/method_table.h"

#include <cassert>
#include <iterator>

namespace quillon {
namespace {

using L = PixelLayout;
using S = BlockSide;
using M = ExpansionMethod;

constexpr MethodRow kMethods[] = {
    {M::RandomBasisColumn, "random-column", "Random basis column", L::OneColumn, S::None, false},
    {M::PixelSampling, "pixel-sampling", "Pixel sampling", L::SampledBlock, S::SquareFactor, false},
    {M::SquareSubpixelExpansion, "square", "Square subpixel expansion", L::BlockPerPixel,
     S::Columns, false},
    {M::SmallestSquareWithFiller, "smallest-filler", "Smallest square expansion w/ filler",
     L::BlockPerPixel, S::Filler, false},
    {M::SmallestSquareWithoutFiller, "smallest-no-filler", "Smallest square expansion w/o filler",
     L::BlockPerPixel, S::SquareFactor, false},
    {M::ExtendedPreserveSize, "extended-size", "Extended VCS: preserve size...", L::OneColumn,
     S::None, true},
    {M::ExtendedPreserveDetail, "extended-detail", "Extended VCS: preserve detail...",
     L::BlockPerPixel, S::SquareFactor, true},
};

constexpr bool InSelectorOrder() {
  for (size_t i = 0; i < std::size(kMethods); ++i) {
    if (static_cast<size_t>(kMethods[i].method) != i)
      return false;
  }
  return true;
}
static_assert(InSelectorOrder(), "row i of the method table is method i");

}  // namespace

std::span<const MethodRow> MethodRows() {
  return kMethods;
}

const MethodRow& MethodInfo(ExpansionMethod method) {
  const auto index = static_cast<size_t>(method);
  assert(index < std::size(kMethods));
  return kMethods[index];
}

}  // namespace quillon
