// Slider extremes, the scale's graduation and number formatting.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>

#include "widgets/FormatNumValue.h"
#include "widgets/Scale.h"
#include "widgets/Slider.h"
#include "widgets/lib_unicode.h"

namespace {

TEST(Slider, ExtremeInputsLeaveANumberWithinTheRange) {
  const float nan = std::nanf("");
  // Minimum, maximum, step, the first value (snapped); then a load or a press at an x rate when
  // not 0; the value and changed.
  const std::tuple<const char*, float, float, float, float, float, float, float, uint8_t> cases[] =
      {
          {"a tiny step overflows every integer type", 0, 100, 1e-30f, 50, 0, 0, 50, 0},
          {"a denormal step overflows a float quotient", 0, 100, 1e-40f, 42, 0, 0, 42, 0},
          {"negative values round away from zero", -100, 100, 5, -12, 0, 0, -10, 0},
          {"and at the half", -100, 100, 5, -12.5f, 0, 0, -15, 0},
          {"a NaN first value keeps the initial value, limited", 10, 20, 0, nan, 0, 0, 10, 0},
          {"a NaN load keeps the value", 0, 100, 5, 42, nan, 0, 40, 0},
          {"a NaN pointer rate while dragging keeps the value", 0, 100, 5, 42, 0, nan, 40, 0},
          {"a NaN step keeps the value", 0, 100, nan, 42, 0, 0, 0, 0},
      };
  for (const auto& [name, min, max, step, first, load, rate, expected, expectedChanged] : cases) {
    Slider_State state;
    Slider_init(&state);
    float value = -1;
    uint8_t changed = 9;
    wrapper_Slider(min, max, first, 0, 1, step, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, &value, &changed,
                   nullptr, &state);
    if (load != 0 || rate != 0) {
      const bool press = rate != 0;
      wrapper_Slider(min, max, load, !press, 1, step, press, 0, 1, press, rate, 0, 0, 0, 0, press,
                     &value, &changed, nullptr, &state);
    }
    EXPECT_EQ(std::make_pair(expected, expectedChanged), std::make_pair(value, changed)) << name;
  }
}

TEST(Scale, LabelRoomImposedStepsAndDegenerateInputs) {
  const struct {
    Scale_Inputs in;
    float position1, value1;
    int32_t integerDigits, fractionDigits;
  } cases[] = {
      // 0 .. 100 on 300 units: room 4 x 8 x 0.9 = 28.8 gives 10 intervals of 10.
      {{300, 50, 100, 8, 12, 0, 0, 0}, 30, 10, 3, 0},
      {{300, 50, 100, 8, 20, 0, 0, -270}, 60, 20, 3, 0},  // room 40: 7.5 at most
      {{300, 50, 100, 8, 12, 25, 0, 0}, 75, 25, 3, 0},    // imposed step
      // A zero range is taken as 0.000001; an infinite centre still has digits.
      {{100, 0, 0, 0, 0, 0, 0, 0}, NAN, NAN, 1, 7},
      {{100, INFINITY, 10, 8, 12, 0, 2, 0}, NAN, NAN, 39, 0},
  };
  for (const auto& c : cases) {
    Scale_Outputs out;
    Scale(&c.in, &out);
    SCOPED_TRACE(std::to_string(c.in.labelAngle) + " " + std::to_string(c.in.imposedStep));
    if (!std::isnan(c.position1)) {
      EXPECT_FLOAT_EQ(c.position1, out.majorPositions[1]);
      EXPECT_FLOAT_EQ(c.value1, out.majorValues[1]);
    }
    EXPECT_EQ(c.integerDigits, out.integerDigits);
    EXPECT_EQ(c.fractionDigits, out.fractionDigits);
    for (int i = 0; i < SCALE_MINOR_TICKS && c.in.minorDivisions == 0; ++i) {
      EXPECT_EQ(0, out.minorVisible[i]) << "no minor divisions, no minor tick on the scale";
    }
  }
}

TEST(FormatNumValue, DigitsSignsAndRounding) {
  // Value, leading zeros, sign mode, integer and fraction digits; the text.
  const std::tuple<double, uint8_t, uint32_t, int32_t, int32_t, std::string> cases[] = {
      {-3.14159, 1, 0, 3, 2, "-003.14"},
      {0.0, 0, 0, 1, 0, "+0"},
      {123.5, 0, 0, 1, 2, "+3.50"},  // only the last integer digit is kept
      {-7.25, 0, 1, 2, 1, "7.3"},    // sign mode 1: never a sign; half rounds up
      {5.0, 0, 2, 2, 0, "5"},
      {-5.0, 0, 2, 2, 0, "-5"},      // sign mode 2: "-" only
      {9.996, 0, 2, 3, 2, "10.00"},  // the fraction carries into the integer
      {42.0, 1, 1, 0, 1, ".0"},
      // Whatever the value and digit counts, the text stays in its buffer.
      {std::nan(""), 0, 0, 1, 9, "+0.000000000"},
      {0.5, 1, 1, 100000, 100000, std::string(200, '0') + ".500000000"},
  };
  for (const auto& [value, zeros, signMode, intDigits, fracDigits, expected] : cases) {
    char out[TEXT_SIZE_Strings];
    const int32_t length =
        FormatNumValue_Strings(value, zeros, signMode, intDigits, fracDigits, out);
    EXPECT_EQ(std::make_pair(expected, int32_t(expected.size())),
              std::make_pair(std::string(out), length))
        << value;
  }
}

}  // namespace
