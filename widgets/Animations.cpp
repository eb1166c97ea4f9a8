#include "widgets/Animations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "widgets/interactivity_mapping.h"

void Animations_init(Animations_State* state) {
  state->done = 1;
  state->value = 0.0f;
  state->level = 0;
  state->direction = 1;
  state->position = 0;
  state->progress = 0.0f;
  state->phase = ANIMATION_IDLE;
  state->restart = 1;
}

void Animations_reset(Animations_State* state) {
  state->restart = 1;
  state->progress = 0.0f;
  state->position = 0;
  state->direction = 1;
  state->phase = ANIMATION_IDLE;
}

float Animations_Ease(int32_t profile, float p) {
  switch (profile) {
    case ANIMATION_LINEAR:
      return p;
    case ANIMATION_EASE_OUT:
      return 2.0f * p - p * p;
    case ANIMATION_OVERSHOOT:
      return 1.1f * p - 2.4f * p * p * p + 2.3f * p * p;
    case ANIMATION_ANTICIPATE:
      return -6.0f * p * p * p + 9.0f * p * p - 2.0f * p;
    default:
      return 3.0f * p * p - 2.0f * p * p * p;
  }
}

// One cycle of a 330 ms run at 33 ms per cycle (10 steps), host acknowledging.
//
//  cycle  command    phase    direction  position  done
//   S     forward    running  +1         0         0     start
//   S+1   -          running  +1         1         0
//   ...
//   S+9   -          running  +1         9         0
//   S+10  -          idle     +1         10        1     arrived
//   S+11  -          idle     +1         0         0     progress stays 1
//  turning: at position 6 running forwards, a backward command gives
//  position 5 in that same cycle, then 4, 3, ... and done with position 0.
//
// The step count is a divisor while running. A cycle of 0 (or less) or a
// duration shorter than one cycle completes at once when started; should the
// duration shrink below one cycle while running, the run jumps to its end
// instead of dividing by zero.
void Animations(const Animations_Inputs* in, Animations_State* state) {
  const bool command = in->forward != 0 || in->backward != 0;
  const int32_t steps = (in->cycle > 0) ? in->duration / in->cycle : 0;
  bool instant = false;
  bool start = false;

  if (state->phase == ANIMATION_IDLE) {
    instant = (in->cycle <= 0 || in->duration < in->cycle) && command;
    if (!instant) {
      if (in->forward != 0) {
        state->direction = 1;
        state->phase = ANIMATION_RUNNING;
        start = true;
      } else if (in->backward != 0) {
        state->direction = -1;
        state->phase = ANIMATION_RUNNING;
        start = true;
      }
    }
  } else {
    if (in->forward != 0 && state->direction == -1) {
      state->direction = 1;  // turn where it stands
    } else if (in->forward == 0 && in->backward != 0 && state->direction == 1) {
      state->direction = -1;
    } else if (command) {
      state->restart = 1;  // a command in the running direction starts over
    }
  }

  if (state->phase == ANIMATION_RUNNING) {
    if (start || state->restart != 0) {
      // A forward run begins at 0, a backward one at its last step.
      state->position = (state->direction < 0) ? steps : 0;
    } else if (BHVR_AsynchronousACK != 0) {
      // The position stays within 0..steps, where the progress is limited
      // anyway: a run of INT32_MAX steps turned at its end must not step
      // past the integer range.
      const int64_t moved = int64_t{state->position} + state->direction;
      state->position = static_cast<int32_t>(std::clamp<int64_t>(moved, 0, std::max(steps, 0)));
    }
    if (steps >= 1) {
      const float p = static_cast<float>(state->position) / static_cast<float>(steps);
      state->progress = std::fmin(1.0f, std::fmax(0.0f, p));
    } else {
      state->progress = (state->direction > 0) ? 1.0f : 0.0f;
    }
  }

  const float eased = Animations_Ease(in->profile, state->progress);
  state->value = (in->reverse != 0) ? 1.0f - eased : eased;
  if (state->value > 1.0f) {
    state->level = 255;
  } else if (state->value <= 0.0f) {
    state->level = 0;
  } else {
    state->level = static_cast<int32_t>(std::floor(state->value * 255.0f + 0.5f));
  }

  if (state->phase == ANIMATION_IDLE) {
    state->position = 0;
    state->done = instant ? 1 : 0;
    return;
  }
  state->restart = 0;
  const bool atEnd = (state->progress < 0.00001f && state->direction == -1) ||
                     (state->direction == 1 && state->progress > 0.99999f);
  if (!command && atEnd) {
    state->phase = ANIMATION_IDLE;
    state->done = 1;
  } else {
    state->done = 0;
  }
}
