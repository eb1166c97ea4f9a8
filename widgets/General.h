// General operators of the widget library: a one-cycle delay, a set-reset
// flip-flop, identities, the cycle duration the behaviours assume, and the
// float maths the scale and the gauges use.
//
// A delay or flip-flop lives in its owner's record as one memory byte, is
// cleared with its _reset at init and stepped once per cycle:
//   RS_FlipFlop(start, stop, &running, &w->runningMemory);
//
// Drawing thread; no state of their own.
#pragma once

#include <cstdint>

// Milliseconds per cycle that every behaviour's timing assumes, whatever
// period the host actually runs at.
constexpr int32_t CYCLE_DURATION_MS = 33;

// out := the input of the previous cycle; memory := input.
void Delay(uint8_t input, uint8_t* out, uint8_t* memory);
void Delay_reset(uint8_t* memory);

// out := 1 if set, else memory and not reset (set wins); memory := out.
void RS_FlipFlop(uint8_t set, uint8_t reset, uint8_t* out, uint8_t* memory);
void RS_FlipFlop_reset(uint8_t* memory);

void identity_int(int32_t input, int32_t* out);
void identity_real(float input, float* out);
void identity_bool(uint8_t input, uint8_t* out);

// out := CYCLE_DURATION_MS.
void GetCycleDuration(int32_t* out);

// 1.0 if x <= 0, else x to the integer power n (in double precision).
float wid_PowerR(float x, int32_t n);
// log10 x; -6.0 for x below 0.000001 (zero and negatives included).
float wid_LogR(float x);
float wid_SqrtR(float x);
float wid_CosR(float radians);
float wid_SinR(float radians);
float wid_aTanR(float x);
float wid_Atan2R(float y, float x);
