#include "core/whole_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace quillon {
namespace {

// Each text against the plain form (quillon-cli) and the window framework's form.
TEST(WholeNumberTest, PlainAndFrameworkForms) {
  const WholeNumberForm framework{.blanksAround = true, .plusSign = true};
  const struct {
    const char* text;
    std::optional<int32_t> plain, framework;
  } cases[] = {
      {"7", 7, 7},
      {"-4", -4, -4},
      {"007", 7, 7},
      {"2147483647", INT32_MAX, INT32_MAX},
      {"-2147483648", INT32_MIN, INT32_MIN},
      {"2147483648", {}, {}},
      {"-2147483649", {}, {}},
      {"99999999999999999999", {}, {}},
      {" 42 ", {}, 42},
      {"\t3\n", {}, 3},
      {"+5", {}, 5},
      {" -6", {}, -6},
      {"", {}, {}},
      {"  ", {}, {}},
      {"-", {}, {}},
      {"+", {}, {}},
      {"- 3", {}, {}},
      {"1 2", {}, {}},
      {"4a", {}, {}},
      {"2.5", {}, {}},
      {"0x3", {}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseWholeNumber(c.text), c.plain) << c.text;
    EXPECT_EQ(ParseWholeNumber(c.text, framework), c.framework) << c.text;
  }
}

}  // namespace
}  // namespace quillon
