#include "imaging/number_text.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

struct NumberCase {
  const char* text;
  std::optional<std::int64_t> value;
};

TEST(ParseWholeNumber, ReadsDigitsAndRefusesEverythingElse) {
  const NumberCase cases[] = {
      {"0", 0},
      {"98304", 98304},
      {"  4294967296 ", 4294967296},
      {"9223372036854775807", INT64_MAX},
      {"9223372036854775808", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-1", std::nullopt},
      {"+1", std::nullopt},
      {"1.2", std::nullopt},
      {"12a", std::nullopt},
      {"1 2", std::nullopt},
      {"179,   0", std::nullopt},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(ParseWholeNumber(c.text), c.value) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace orv
