// Number formatting and the general operators.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "widgets/FormatNumValue.h"
#include "widgets/General.h"
#include "widgets/lib_unicode.h"

namespace {

TEST(FormatNumValue, DigitsSignsAndRounding) {
  const struct {
    double value;
    uint8_t leadingZeros;
    uint32_t signMode;
    int32_t intDigits, fracDigits;
    std::string expected;
  } cases[] = {
      {-3.14159, 1, 0, 3, 2, "-003.14"},
      {0.0, 0, 0, 1, 0, "+0"},
      {123.5, 0, 0, 1, 2, "+3.50"},  // only the last integer digit is kept
      {-7.25, 0, 1, 2, 1, "7.3"},    // sign mode 1: never a sign; half rounds up
      {5.0, 0, 2, 2, 0, "5"},
      {-5.0, 0, 2, 2, 0, "-5"},      // sign mode 2: "-" only
      {9.996, 0, 2, 3, 2, "10.00"},  // the fraction carries into the integer
      {0.05, 1, 1, 2, 3, "00.050"},
      {42.0, 1, 1, 0, 1, ".0"},
      // Whatever the value and digit counts, the text stays in its buffer.
      {std::nan(""), 0, 0, 1, 9, "+0.000000000"},
      {-INFINITY, 0, 0, 1, -4, "+0"},
      {0.5, 1, 1, 100000, 100000, std::string(200, '0') + ".500000000"},
  };
  for (const auto& c : cases) {
    char out[TEXT_SIZE_Strings];
    const int32_t length =
        FormatNumValue_Strings(c.value, c.leadingZeros, c.signMode, c.intDigits, c.fracDigits, out);
    EXPECT_EQ(c.expected, std::string(out)) << c.value;
    EXPECT_EQ(int32_t(c.expected.size()), length) << c.value;
  }
}

TEST(GeneralOperators, DelayFlipFlopAndGuardedMaths) {
  // Per cycle: the delay's input, the flip-flop's set and reset.
  uint8_t delayMemory = 9, flipFlopMemory = 9, out = 0;
  Delay_reset(&delayMemory);
  RS_FlipFlop_reset(&flipFlopMemory);
  std::string delayed, latched;
  for (const char* step : {"100", "010", "100", "011", "001", "000"}) {
    Delay(step[0] == '1', &out, &delayMemory);
    delayed += char('0' + out);
    RS_FlipFlop(step[1] == '1', step[2] == '1', &out, &flipFlopMemory);
    latched += char('0' + out);
  }
  EXPECT_EQ("010100", delayed);
  EXPECT_EQ("011100", latched) << "set wins over reset";
  // The scale takes decades from these: finite for zero and negatives.
  EXPECT_EQ(0.01f, wid_PowerR(10.0f, -2));
  EXPECT_EQ(1.0f, wid_PowerR(-2.0f, 3));
  EXPECT_EQ(2.0f, wid_LogR(100.0f));
  for (float x : {0.0f, -10.0f, NAN}) EXPECT_EQ(-6.0f, wid_LogR(x)) << x;
}

}  // namespace
