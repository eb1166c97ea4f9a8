// Slider and scale: the slider's truth table replayed cycle by cycle, and the
// scale's graduation against hand-computed layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "widgets/Scale.h"
#include "widgets/Slider.h"

namespace {

TEST(Slider, ReplaysItsTruthTable) {
  // 0..100 in steps of 5. Actions with their number: '-' the value input
  // alone (the first step takes it), 'p' a press on the slider at that x
  // rate, 'h' the press held at that rate, 'r' the release, 'l' a load, 'w' /
  // 'W' the wheel away over a slider running up / down, 'u' / 'd' the step
  // keys. Traced: value, then changed and dragging.
  const std::pair<char, float> actions[] = {{'-', 42}, {'p', 0.52f}, {'h', 0.53f}, {'h', 0.53f},
                                            {'r', 0},  {'l', 150},   {'w', 0},     {'d', 0},
                                            {'W', 0},  {'l', 100},   {'u', 0},     {'p', -0.5f}};
  Slider_State state;
  Slider_init(&state);
  std::string trace;
  for (const auto& [a, number] : actions) {
    const bool press = a == 'p' || a == 'w' || a == 'W';
    const Slider_Inputs in{0,
                           100,
                           (a == '-' || a == 'l') ? number : 0.0f,
                           a == 'l',
                           a == 'W' ? 2u : 1u,
                           5,
                           press,
                           a == 'r',
                           (a == 'w' || a == 'W') ? 4u : 1u,
                           press,
                           number,
                           0,
                           a == 'u',
                           a == 'd',
                           0,
                           a == 'p' || a == 'h'};
    Slider(&in, &state);
    trace += std::to_string(int(state.value)) + ":" + std::to_string(state.changed) +
             std::to_string(state.dragging) + " ";
  }
  // A load outside the range is ignored; the keys change the value without
  // the changed event; the end of the range limits every step.
  EXPECT_EQ("40:00 50:11 55:11 55:01 55:00 55:00 60:10 55:00 50:10 100:00 100:00 0:11 ", trace);
}

TEST(Slider, OrientationChoosesThePointerRateAndTinyStepsStayDefined) {
  const struct {
    uint32_t orientation;
    float expected;
  } cases[] = {{1, 20}, {2, 80}, {3, 70}, {4, 30}, {9, 20}};
  for (const auto& c : cases) {
    Slider_State state;
    Slider_init(&state);
    float value = -1;
    wrapper_Slider(0, 100, 0, 0, c.orientation, 0, 1, 0, 1, 1, 0.2f, 0.7f, 0, 0, 0, 0, &value,
                   nullptr, nullptr, &state);
    EXPECT_FLOAT_EQ(c.expected, value) << "orientation " << c.orientation;
  }
}

TEST(Slider, ExtremeInputsLeaveANumberWithinTheRange) {
  const float nan = std::nanf("");
  // The first step takes `first` (snapped); then one more step: a load of
  // `load` (when it is not 0) or a press at x rate `rate` (when it is not 0).
  const struct {
    const char* name;
    float minimum, maximum, step, first, load, rate, value;
    uint8_t changed;
  } cases[] = {
      {"a tiny step overflows every integer type", 0, 100, 1e-30f, 50, 0, 0, 50, 0},
      {"a denormal step overflows a float quotient", 0, 100, 1e-40f, 42, 0, 0, 42, 0},
      {"negative values round away from zero", -100, 100, 5, -12, 0, 0, -10, 0},
      {"and at the half", -100, 100, 5, -12.5f, 0, 0, -15, 0},
      {"a NaN first value keeps the initial value, limited", 10, 20, 0, nan, 0, 0, 10, 0},
      {"a NaN load keeps the value", 0, 100, 5, 42, nan, 0, 40, 0},
      {"a NaN pointer rate while dragging keeps the value", 0, 100, 5, 42, 0, nan, 40, 0},
      {"a NaN step keeps the value", 0, 100, nan, 42, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    Slider_State state;
    Slider_init(&state);
    float value = -1;
    uint8_t changed = 9;
    wrapper_Slider(c.minimum, c.maximum, c.first, 0, 1, c.step, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                   &value, &changed, nullptr, &state);
    if (c.load != 0 || c.rate != 0) {
      const bool press = c.rate != 0;
      wrapper_Slider(c.minimum, c.maximum, c.load, !press, 1, c.step, press, 0, 1, press, c.rate, 0,
                     0, 0, 0, press, &value, &changed, nullptr, &state);
    }
    EXPECT_EQ(c.value, value) << c.name;
    EXPECT_EQ(c.changed, changed) << c.name;
  }
}

TEST(Scale, MinorTicksAndAnOffsetStart) {
  // 12.5 .. 37.5 on 250 units: range 25, decade 1; two-digit labels need
  // 3 * 6 * 0.9 = 16.2 units, so at most 15.4 intervals: 12.5 intervals of 2.
  const Scale_Inputs in{250, 25, 25, 6, 10, 0, 4, 0};
  Scale_Outputs out;
  Scale(&in, &out);
  EXPECT_EQ(2, out.integerDigits);
  EXPECT_FLOAT_EQ(14.0f, out.majorValues[1]);     // first multiple of 2 above 12.5
  EXPECT_FLOAT_EQ(15.0f, out.majorPositions[1]);  // (14 - 12.5) * 10 units per value
  EXPECT_EQ(0, out.majorVisible[0]);              // 12 lies before the start
  EXPECT_FLOAT_EQ(5.0f, out.minorPositions[1]);   // minor step 0.5 from 12.5
  EXPECT_EQ(1, out.minorVisible[50]);             // 250 units: the end of the scale
  EXPECT_EQ(0, out.minorVisible[51]);
}

TEST(Scale, LabelRoomImposedStepsAndDegenerateInputs) {
  const struct {
    Scale_Inputs in;
    float position1, value1;
    int32_t integerDigits, fractionDigits;
  } cases[] = {
      // 0 .. 100 on 300 units: room 4 x 8 x 0.9 = 28.8 gives 10 intervals of 10.
      {{300, 50, 100, 8, 12, 0, 0, 0}, 30, 10, 3, 0},
      {{300, 50, 100, 8, 12, 0, 0, 90}, 30, 10, 3, 0},    // across: room 24, 12.5 at most
      {{300, 50, 100, 8, 20, 0, 0, -270}, 60, 20, 3, 0},  // room 40: 7.5 at most
      {{300, 50, 100, 8, 12, 25, 0, 0}, 75, 25, 3, 0},    // imposed step
      // A zero range is taken as 0.000001; an infinite centre still has digits.
      {{100, 0, 0, 0, 0, 0, 0, 0}, NAN, NAN, 1, 7},
      {{100, INFINITY, 10, 8, 12, 0, 2, 0}, NAN, NAN, 39, 0},
  };
  for (const auto& c : cases) {
    Scale_Outputs out;
    Scale(&c.in, &out);
    SCOPED_TRACE("length " + std::to_string(c.in.length) + " angle " +
                 std::to_string(c.in.labelAngle) + " step " + std::to_string(c.in.imposedStep));
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
  Scale_Outputs out;  // the first row's ticks: 0, 30 .. 300 with values 0 .. 100
  Scale(&cases[0].in, &out);
  for (int i = 0; i < SCALE_MAJOR_TICKS; ++i) {
    EXPECT_EQ(i <= 10, out.majorVisible[i] == 1) << i;
    if (i <= 10) {
      EXPECT_FLOAT_EQ(10.0f * i, out.majorValues[i]) << i;
    }
  }
}

}  // namespace
