#include "widgets/Slider.h"

#include <cmath>

#include "widgets/interactivity_mapping.h"

namespace {

// Round half away from zero to a multiple of step; step 0 keeps v. The
// arithmetic is done in double and the truncation in floating point: a tiny
// step (1e-40 is a denormal float) makes the quotient too large for a float,
// which would turn it into infinity, and for any integer type.
float snap(float v, float step) {
  if (step == 0.0f) return v;
  const double half = v >= 0.0f ? step / 2.0 : -step / 2.0;
  return static_cast<float>(std::trunc((v + half) / step) * step);
}

float pointer_rate(const Slider_Inputs* in) {
  switch (in->orientation) {
    case 2:
      return 1.0f - in->xRate;
    case 3:
      return in->yRate;
    case 4:
      return 1.0f - in->yRate;
    default:
      return in->xRate;
  }
}

// Orientations 2 and 4 run from the maximum to the minimum, so the wheel
// turns the other way round for them.
bool is_inverted(uint32_t orientation) {
  return orientation == 2 || orientation == 4;
}

}  // namespace

void Slider_init(Slider_State* state) {
  state->value = 0.0f;
  state->changed = 1;
  state->dragging = 1;
  state->rawValue = 0.0f;
  state->previousDragging = 0;
  state->loadPending = 1;
}

void Slider_reset(Slider_State* state) {
  state->previousDragging = 0;
  state->loadPending = 1;
}

// Cycle by cycle (step 5, 0..100, orientation 1):
//   cycle | input                         | dragging | value | changed
//   ------+-------------------------------+----------+-------+--------
//     0   | first step, value 42           |    0     |  40   | confirm
//     1   | press on it, x rate 0.52       |    1     |  50   |   1
//     2   | held, x rate 0.53              |    1     |  55   |   1
//     3   | held, x rate 0.53              |    1     |  55   |   0
//     4   | released                       |    0     |  55   |   0
//     5   | load 150 (outside the range)   |    0     |  55   |   0
//     6   | wheel away over it             |    0     |  60   |   1
//     7   | step down key                  |    0     |  55   |   0
void Slider(const Slider_Inputs* in, Slider_State* state) {
  const bool leftButton = BHVR_LeftButton(in->button);
  const bool dragging = (state->previousDragging && in->held && !in->released) ||
                        (in->pressed && leftButton && in->hover);

  const float lineStep = in->step != 0.0f ? in->step : (in->maximum - in->minimum) / 10.0f;
  float base = state->loadPending ? snap(in->value, in->step) : state->value;
  if (std::isnan(base)) base = state->value;

  if (dragging) {
    state->rawValue = snap(in->minimum + pointer_rate(in) * (in->maximum - in->minimum), in->step);
    state->changed = state->rawValue != base;
  } else if (in->load && in->minimum <= in->value && in->value <= in->maximum) {
    state->rawValue = snap(in->value, in->step);
    state->changed = 0;
  } else if (in->hover && in->pressed && BHVR_WheelButton(in->button)) {
    const bool up = (in->button == BHVR_WHEEL_AWAY) != is_inverted(in->orientation);
    state->rawValue = up ? base + lineStep : base - lineStep;
    state->changed = 1;
  } else if (in->stepUp) {
    state->rawValue = base + lineStep;
    state->changed = 0;
  } else if (in->stepDown) {
    state->rawValue = base - lineStep;
    state->changed = 0;
  } else {
    if (state->loadPending) state->rawValue = snap(in->value, in->step);
    state->changed = in->confirm;
  }

  // A value that is no number (a NaN load, a NaN pointer rate) would pass
  // both limits below and stick: the slider keeps the value it shows.
  if (std::isnan(state->rawValue)) {
    state->rawValue = state->value;
    state->changed = 0;
  }

  state->loadPending = 0;
  float limited = state->rawValue;
  if (limited > in->maximum) limited = in->maximum;
  if (limited < in->minimum) limited = in->minimum;
  state->value = limited;
  state->dragging = dragging;
  state->previousDragging = dragging;
}
