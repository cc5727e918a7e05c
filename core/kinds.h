// The schemes and the methods by number: the indices of the desktop program's selectors, also
// taken on the command line. Everything else about them is in their tables
// (schemes/scheme_table.h, schemes/method_table.h).
#pragma once

namespace quillon {

enum class SchemeKind {
  Scheme2of2 = 0,
  Scheme2ofN = 1,
  SchemeNofN = 2,
  SchemeKofN = 3,
  SchemeGeneral = 4,
};

enum class ExpansionMethod {
  RandomBasisColumn = 0,
  PixelSampling = 1,
  SquareSubpixelExpansion = 2,
  SmallestSquareWithFiller = 3,
  SmallestSquareWithoutFiller = 4,
  ExtendedPreserveSize = 5,
  ExtendedPreserveDetail = 6,
};

}  // namespace quillon
