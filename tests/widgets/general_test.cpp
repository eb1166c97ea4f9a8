// Number formatting and the general operators.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "widgets/FormatNumValue.h"
#include "widgets/General.h"
#include "widgets/lib_unicode.h"

namespace {

TEST(FormatNumValue, DigitsSignsAndRounding) {
  struct Case {
    double value;
    uint8_t leadingZeros;
    uint32_t signMode;
    int32_t intDigits;
    int32_t fracDigits;
    const char* expected;
  } const cases[] = {
      {-3.14159, 1, 0, 3, 2, "-003.14"},
      {123.5, 0, 0, 1, 2, "+3.50"},       // only the last integer digit is kept
      {0.0, 0, 0, 1, 0, "+0"},
      {7.25, 0, 1, 2, 1, "7.3"},          // sign mode 1: never a sign; half rounds up
      {-7.25, 0, 1, 2, 1, "7.3"},
      {5.0, 0, 2, 2, 0, "5"},             // sign mode 2: only "-"
      {-5.0, 0, 2, 2, 0, "-5"},
      {9.996, 0, 2, 3, 2, "10.00"},       // the fraction carries into the integer
      {0.05, 1, 1, 2, 3, "00.050"},
      {42.0, 1, 1, 0, 1, ".0"},           // no integer digits asked for
  };
  for (const auto& c : cases) {
    char out[TEXT_SIZE_Strings];
    const int32_t length =
        FormatNumValue_Strings(c.value, c.leadingZeros, c.signMode, c.intDigits, c.fracDigits, out);
    EXPECT_EQ(std::string(c.expected), std::string(out)) << c.value;
    EXPECT_EQ(static_cast<int32_t>(std::strlen(c.expected)), length) << c.value;
  }
}

TEST(FormatNumValue, StaysInsideTheTextWhateverTheDigitCounts) {
  char out[TEXT_SIZE_Strings];
  const int32_t length = FormatNumValue_Strings(1e300, 1, 0, 100000, 100000, out);
  EXPECT_LT(length, TEXT_SIZE_Strings);
  EXPECT_EQ(static_cast<size_t>(length), strnlen(out, sizeof out));
  EXPECT_EQ(std::string("+0.000000000"),
            (FormatNumValue_Strings(std::nan(""), 0, 0, 1, 9, out), std::string(out)));
  EXPECT_EQ(std::string("+0"),
            (FormatNumValue_Strings(-INFINITY, 0, 0, 1, -4, out), std::string(out)));
}

TEST(GeneralOperators, DelayAndFlipFlopCycleByCycle) {
  // input / set / reset per cycle and the expected outputs.
  struct Step {
    uint8_t in, set, reset;
    uint8_t delayed, latched;
  } const steps[] = {
      {1, 0, 0, 0, 0}, {0, 1, 0, 1, 1}, {1, 0, 0, 0, 1},
      {0, 1, 1, 1, 1},  // set wins over reset
      {0, 0, 1, 0, 0}, {0, 0, 0, 0, 0},
  };
  uint8_t delayMemory = 9, flipFlopMemory = 9;
  Delay_reset(&delayMemory);
  RS_FlipFlop_reset(&flipFlopMemory);
  int cycle = 0;
  for (const Step& s : steps) {
    uint8_t delayed = 7, latched = 7;
    Delay(s.in, &delayed, &delayMemory);
    RS_FlipFlop(s.set, s.reset, &latched, &flipFlopMemory);
    EXPECT_EQ(s.delayed, delayed) << "cycle " << cycle;
    EXPECT_EQ(s.latched, latched) << "cycle " << cycle;
    ++cycle;
  }
}

TEST(GeneralOperators, CycleDurationAndGuardedMaths) {
  int32_t period = 0;
  GetCycleDuration(&period);
  EXPECT_EQ(33, period);

  // The scale takes decades from these: they must stay finite for zero and
  // negative arguments.
  EXPECT_EQ(1000.0f, wid_PowerR(10.0f, 3));
  EXPECT_EQ(0.01f, wid_PowerR(10.0f, -2));
  EXPECT_EQ(1.0f, wid_PowerR(0.0f, 5));
  EXPECT_EQ(1.0f, wid_PowerR(-2.0f, 3));
  EXPECT_EQ(2.0f, wid_LogR(100.0f));
  EXPECT_EQ(-6.0f, wid_LogR(0.0f));
  EXPECT_EQ(-6.0f, wid_LogR(-10.0f));
  EXPECT_EQ(-6.0f, wid_LogR(NAN));
}

}  // namespace
