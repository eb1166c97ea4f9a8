#include "widgets/General.h"

#include <cmath>

void Delay(uint8_t input, uint8_t* out, uint8_t* memory) {
  if (out) *out = *memory;
  *memory = input;
}

void Delay_reset(uint8_t* memory) {
  *memory = 0;
}

void RS_FlipFlop(uint8_t set, uint8_t reset, uint8_t* out, uint8_t* memory) {
  const uint8_t value = set ? 1 : ((*memory && !reset) ? 1 : 0);
  *memory = value;
  if (out) *out = value;
}

void RS_FlipFlop_reset(uint8_t* memory) {
  *memory = 0;
}

void identity_int(int32_t input, int32_t* out) {
  *out = input;
}
void identity_real(float input, float* out) {
  *out = input;
}
void identity_bool(uint8_t input, uint8_t* out) {
  *out = input;
}

void GetCycleDuration(int32_t* out) {
  *out = CYCLE_DURATION_MS;
}

float wid_PowerR(float x, int32_t n) {
  if (!(x > 0.0f)) return 1.0f;
  return static_cast<float>(std::pow(static_cast<double>(x), static_cast<double>(n)));
}

float wid_LogR(float x) {
  // The scale takes the decade of its range and of its end values from
  // here; a zero or negative argument must still give a finite decade.
  if (!(x >= 0.000001f)) return -6.0f;
  return std::log10(x);
}

float wid_SqrtR(float x) {
  return std::sqrt(x);
}
float wid_CosR(float radians) {
  return std::cos(radians);
}
float wid_SinR(float radians) {
  return std::sin(radians);
}
float wid_aTanR(float x) {
  return std::atan(x);
}
float wid_Atan2R(float y, float x) {
  return std::atan2(y, x);
}
