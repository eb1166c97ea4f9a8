// Velkor_color_table - the panel's 2048 colours (RGBA, each 0..1).
//
// Widgets and the panel name colours by index only. 1..7 are black, white
// and five greys; each block of ten from 11 to 71 holds one hue (the pure
// hue, three tints, three shades); 1000 + 20 x scheme + offset are the
// widget colour schemes 0 and 1. Every other entry holds the marker colour,
// a pink that shows at once where an unused index is drawn.
//
// Use: handed to the drawing library when the host initialises it:
//     sglColorPointerf(&Velkor_color_table.rgba[0][0], kVelkorColorCount);
#pragma once

#include <cstdint>

constexpr uint32_t kVelkorColorCount = 2048;

struct VelkorColorTable {
  float rgba[kVelkorColorCount][4];
};

extern const VelkorColorTable Velkor_color_table;
