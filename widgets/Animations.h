// Animations behaviour: a time base that runs a value from 0 to 1 (or back)
// over a duration, one step per cycle, through an easing profile.
//
// Once per cycle, from the Animation display class:
//   wrapper_Animations(forward, backward, durationMs, cycleMs, profile, reverse,
//                      &done, &value, &level, &state);
// A forward (backward) command starts the run from 0 (from 1); the same
// command while running restarts it, the other one turns it where it stands.
// The run takes duration / cycle steps; done is 1 in the cycle in which it
// arrives at its end. A duration shorter than one cycle completes at once.
// Drawing thread only.
#pragma once

#include <cstdint>

// Easing profiles; any other number eases in and out (3p^2 - 2p^3).
constexpr int32_t ANIMATION_LINEAR = 1;      // p
constexpr int32_t ANIMATION_EASE_OUT = 2;    // 2p - p^2
constexpr int32_t ANIMATION_OVERSHOOT = 3;   // 1.1p - 2.4p^3 + 2.3p^2, rises above 1
constexpr int32_t ANIMATION_ANTICIPATE = 4;  // -6p^3 + 9p^2 - 2p, dips below 0
constexpr int32_t ANIMATION_EASE_IN_OUT = 0;

constexpr int32_t ANIMATION_IDLE = 0;
constexpr int32_t ANIMATION_RUNNING = 1;

struct Animations_Inputs {
  uint8_t forward;   // start or turn the animation forwards
  uint8_t backward;  // start or turn it backwards
  int32_t duration;  // milliseconds
  int32_t cycle;     // milliseconds per cycle (33)
  int32_t profile;
  uint8_t reverse;  // output 1 - eased value
};

struct Animations_State {
  uint8_t done;       // output 1: the run has arrived at its end (or completed at once)
  float value;        // output 2: eased value
  int32_t level;      // output 3: value as 0..255
  int32_t direction;  // +1 or -1
  int32_t position;   // in cycles
  float progress;     // 0..1
  int32_t phase;      // ANIMATION_IDLE or ANIMATION_RUNNING
  uint8_t restart;    // the next running step starts from the run's beginning
};

void Animations_init(Animations_State* state);
void Animations_reset(Animations_State* state);
void Animations(const Animations_Inputs* in, Animations_State* state);

// The eased value of progress p (0..1) under a profile.
float Animations_Ease(int32_t profile, float p);

void wrapper_Animations(uint8_t forward, uint8_t backward, int32_t duration, int32_t cycle,
                        int32_t profile, uint8_t reverse, uint8_t* outDone, float* outValue,
                        int32_t* outLevel, Animations_State* state);
void wrapper_Animations_reset(Animations_State* state);
