// Velkor_GetCycleDuration - the frame duration the behaviours time with.
//
// Behaviours count time in frames of 33 ms whatever period the host runs
// at, so an animation of 330 ms always takes ten frames.
//   Velkor_GetCycleDuration_draw(&d, pass);  wrapper_Animations(..., d.duration, ...);
#pragma once

#include <cstdint>

constexpr int32_t kVelkorCycleDuration = 33;  // milliseconds

struct Velkor_GetCycleDuration {
  int32_t duration;  // output
  uint32_t pass;
};

Velkor_GetCycleDuration* Velkor_GetCycleDuration_alloc();
void Velkor_GetCycleDuration_free(Velkor_GetCycleDuration* cycle);
void Velkor_GetCycleDuration_init(Velkor_GetCycleDuration* cycle);
void Velkor_GetCycleDuration_predraw(Velkor_GetCycleDuration* cycle);
void Velkor_GetCycleDuration_draw(Velkor_GetCycleDuration* cycle, uint32_t pass);
