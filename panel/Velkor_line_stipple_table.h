// Velkor_line_stipple_table - the panel's sixteen line stipples.
//
// 0 is solid (and so are 6..15); 1..5 are dash patterns of segment lengths
// in pixels with on/off flags. The panel draws with 0 and outlines the
// address bus with 5 (short dots).
//
// Use: sglLineStipplePointer(Velkor_line_stipple_table, kVelkorLineStippleCount);
#pragma once

#include <cstdint>

#include "graphics/sgl.h"

constexpr uint32_t kVelkorLineStippleCount = 16;
constexpr int32_t kVelkorStippleSolid = 0;
constexpr int32_t kVelkorStippleDotted = 5;

extern const sgl_line_stipple Velkor_line_stipple_table[kVelkorLineStippleCount];
