// Slider and scale: the slider's truth table replayed cycle by cycle, and the
// scale's graduation against hand-computed layouts.
#include <gtest/gtest.h>

#include <cmath>

#include "widgets/Scale.h"
#include "widgets/Slider.h"

namespace {

// ---- Slider ------------------------------------------------------------------

Slider_Inputs sliderInputs() {
  Slider_Inputs in{};
  in.minimum = 0.0f;
  in.maximum = 100.0f;
  in.orientation = 1;
  in.step = 5.0f;
  return in;
}

TEST(Slider, ReplaysItsTruthTable) {
  struct Step {
    const char* what;
    float value;
    uint8_t load, pressed, released, hover, held, stepUp, stepDown;
    uint32_t button;
    float xRate;
    float expectedValue;
    uint8_t expectedChanged, expectedDragging;
  } const steps[] = {
      {"first step takes the value", 42, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, 40, 0, 0},
      {"press on it at 0.52", 42, 0, 1, 0, 1, 1, 0, 0, 1, 0.52f, 50, 1, 1},
      {"held, moved to 0.53", 42, 0, 0, 0, 0, 1, 0, 0, 1, 0.53f, 55, 1, 1},
      {"held, not moved", 42, 0, 0, 0, 0, 1, 0, 0, 1, 0.53f, 55, 0, 1},
      {"released", 42, 0, 0, 1, 0, 0, 0, 0, 1, 0.53f, 55, 0, 0},
      {"load outside the range", 150, 1, 0, 0, 0, 0, 0, 0, 0, 0.0f, 55, 0, 0},
      {"wheel away over it", 150, 0, 1, 0, 1, 0, 0, 0, 4, 0.0f, 60, 1, 0},
      {"step down key", 150, 0, 0, 0, 0, 0, 0, 1, 0, 0.0f, 55, 0, 0},
      {"load 42 snaps", 42, 1, 0, 0, 0, 0, 0, 0, 0, 0.0f, 40, 0, 0},
  };
  Slider_State state;
  Slider_init(&state);
  Slider_reset(&state);
  for (const Step& s : steps) {
    Slider_Inputs in = sliderInputs();
    in.value = s.value;
    in.load = s.load;
    in.pressed = s.pressed;
    in.released = s.released;
    in.hover = s.hover;
    in.held = s.held;
    in.stepUp = s.stepUp;
    in.stepDown = s.stepDown;
    in.button = s.button;
    in.xRate = s.xRate;
    Slider(&in, &state);
    EXPECT_EQ(s.expectedValue, state.value) << s.what;
    EXPECT_EQ(s.expectedChanged, state.changed) << s.what;
    EXPECT_EQ(s.expectedDragging, state.dragging) << s.what;
  }
}

TEST(Slider, WheelAndKeysStayWithinTheRange) {
  Slider_State state;
  Slider_init(&state);
  float value = -1;
  uint8_t changed = 9, dragging = 9;
  // Continuous slider (step 0): a line step is a tenth of the range.
  wrapper_Slider(0, 100, 95, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, &value, &changed, &dragging, &state);
  EXPECT_EQ(95.0f, value);
  wrapper_Slider(0, 100, 95, 0, 1, 0, 1, 0, 4, 1, 0, 0, 0, 0, 0, 0, &value, &changed, &dragging, &state);
  EXPECT_EQ(100.0f, value);
  EXPECT_EQ(1, changed);
  EXPECT_EQ(0, dragging);
  wrapper_Slider(0, 100, 95, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, &value, &changed, &dragging, &state);
  EXPECT_EQ(100.0f, value);
  // Orientation 2 runs from the maximum down: the wheel away lowers it.
  wrapper_Slider(0, 100, 95, 0, 2, 0, 1, 0, 4, 1, 0, 0, 0, 0, 0, 0, &value, &changed, &dragging, &state);
  EXPECT_EQ(90.0f, value);
  // A drag beyond the track's end stops at the minimum.
  wrapper_Slider(0, 100, 95, 0, 1, 0, 1, 0, 1, 1, -0.5f, 0, 0, 0, 0, 0, &value, &changed, &dragging, &state);
  EXPECT_EQ(0.0f, value);
  EXPECT_EQ(1, dragging);
}

TEST(Slider, OrientationChoosesThePointerRate) {
  struct Case {
    uint32_t orientation;
    float expected;
  } const cases[] = {{1, 20}, {2, 80}, {3, 70}, {4, 30}, {9, 20}};
  for (const Case& c : cases) {
    Slider_State state;
    Slider_init(&state);
    float value = -1;
    wrapper_Slider(0, 100, 0, 0, c.orientation, 0, 1, 0, 1, 1, 0.2f, 0.7f, 0, 0, 0, 0, &value,
                   nullptr, nullptr, &state);
    EXPECT_FLOAT_EQ(c.expected, value) << "orientation " << c.orientation;
  }
}

TEST(Slider, TinyStepDoesNotOverflow) {
  Slider_State state;
  Slider_init(&state);
  float value = -1;
  wrapper_Slider(0, 100, 50, 1, 1, 1e-30f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, &value, nullptr, nullptr,
                 &state);
  EXPECT_FLOAT_EQ(50.0f, value);
}

// ---- Scale -------------------------------------------------------------------

TEST(Scale, LengthThreeHundredFromZeroToHundred) {
  float major[SCALE_MAJOR_TICKS], minor[SCALE_MINOR_TICKS], values[SCALE_MAJOR_TICKS];
  int32_t intDigits = 0, fracDigits = -1;
  uint8_t majorVisible[SCALE_MAJOR_TICKS], minorVisible[SCALE_MINOR_TICKS];
  wrapper_Scale(300, 50, 100, 8, 12, 0, 0, 0, major, minor, values, &intDigits, &fracDigits,
                majorVisible, minorVisible);
  EXPECT_EQ(3, intDigits);
  EXPECT_EQ(0, fracDigits);
  for (int i = 0; i <= 10; ++i) {
    EXPECT_FLOAT_EQ(30.0f * i, major[i]) << i;
    EXPECT_FLOAT_EQ(10.0f * i, values[i]) << i;
    EXPECT_EQ(1, majorVisible[i]) << i;
  }
  for (int i = 11; i < SCALE_MAJOR_TICKS; ++i) EXPECT_EQ(0, majorVisible[i]) << i;
  // Minor divisions 0: no minor tick lies on the scale.
  for (int i = 0; i < SCALE_MINOR_TICKS; ++i) EXPECT_EQ(0, minorVisible[i]) << i;
}

TEST(Scale, MinorTicksAndAnOffsetStart) {
  // 12.5 .. 37.5 on 250 units: range 25, decade 1; two-digit labels need
  // 3 * 6 * 0.9 = 16.2 units, so at most 15.4 intervals: 12.5 intervals of 2.
  Scale_Inputs in{250, 25, 25, 6, 10, 0, 4, 0};
  Scale_Outputs out;
  Scale_init(&out);
  Scale(&in, &out);
  EXPECT_EQ(2, out.integerDigits);
  EXPECT_EQ(0, out.fractionDigits);
  EXPECT_FLOAT_EQ(14.0f, out.majorValues[1]);   // first multiple of 2 above 12.5
  EXPECT_FLOAT_EQ(15.0f, out.majorPositions[1]);  // (14 - 12.5) * 10 units per value
  EXPECT_EQ(0, out.majorVisible[0]);             // 12 lies before the start
  EXPECT_FLOAT_EQ(-5.0f, out.majorPositions[0]);
  // Minor step 0.5 starts exactly at 12.5.
  EXPECT_FLOAT_EQ(0.0f, out.minorPositions[0]);
  EXPECT_FLOAT_EQ(5.0f, out.minorPositions[1]);
  EXPECT_EQ(1, out.minorVisible[50]);   // 250 units: the end of the scale
  EXPECT_EQ(0, out.minorVisible[51]);
}

TEST(Scale, LabelsAcrossTheScaleUseTheirHeight) {
  Scale_Inputs in{300, 50, 100, 8, 12, 0, 0, 90};  // room 24: at most 12.5 intervals
  Scale_Outputs out;
  Scale(&in, &out);
  EXPECT_FLOAT_EQ(30.0f, out.majorPositions[1]);
  in.labelAngle = -270;  // the same direction
  Scale(&in, &out);
  EXPECT_FLOAT_EQ(30.0f, out.majorPositions[1]);
  in.characterHeight = 20;  // room 40: at most 7.5 intervals, steps of 20
  Scale(&in, &out);
  EXPECT_FLOAT_EQ(60.0f, out.majorPositions[1]);
  EXPECT_FLOAT_EQ(20.0f, out.majorValues[1]);
}

TEST(Scale, ImposedStepAndDegenerateInputs) {
  Scale_Inputs in{300, 50, 100, 8, 12, 25, 0, 0};
  Scale_Outputs out;
  Scale(&in, &out);
  EXPECT_FLOAT_EQ(75.0f, out.majorPositions[1]);
  EXPECT_FLOAT_EQ(25.0f, out.majorValues[1]);

  // A zero range is taken as 0.000001; an infinite centre and zero label
  // sizes must still give defined digit counts.
  Scale_Inputs zero{100, 0, 0, 0, 0, 0, 0, 0};
  Scale(&zero, &out);
  EXPECT_EQ(1, out.integerDigits);
  EXPECT_EQ(7, out.fractionDigits);
  Scale_Inputs infinite{100, INFINITY, 10, 8, 12, 0, 2, 0};
  Scale(&infinite, &out);
  EXPECT_EQ(39, out.integerDigits);
}

}  // namespace
