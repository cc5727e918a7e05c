// The indices of the toolbar's scheme and method selectors.
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

// The two methods that hide the shares in innocent images.
inline bool IsExtendedMethod(ExpansionMethod method) {
  return method == ExpansionMethod::ExtendedPreserveSize ||
         method == ExpansionMethod::ExtendedPreserveDetail;
}

constexpr int kSchemeCount = 5;
constexpr int kMethodCount = 7;

// The selector texts, in selector order.
inline const char* SchemeText(SchemeKind kind) {
  static const char* const kTexts[kSchemeCount] = {"(2,2)-threshold VCS", "(2,n)-threshold VCS",
                                                   "(n,n)-threshold VCS", "(k,n)-threshold VCS",
                                                   "General Access Structure"};
  return kTexts[static_cast<int>(kind)];
}

inline const char* MethodText(ExpansionMethod method) {
  static const char* const kTexts[kMethodCount] = {"Random basis column",
                                                   "Pixel sampling",
                                                   "Square subpixel expansion",
                                                   "Smallest square expansion w/ filler",
                                                   "Smallest square expansion w/o filler",
                                                   "Extended VCS: preserve size...",
                                                   "Extended VCS: preserve detail..."};
  return kTexts[static_cast<int>(method)];
}

}  // namespace quillon
