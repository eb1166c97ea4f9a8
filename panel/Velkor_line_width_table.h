// Velkor_line_width_table - the panel's eight line widths.
//
// Each entry is three widths in pixels (plain, core and outer), read by
// sglIndexLineWidthi. The panel draws thin outlines with 0 and the bars of
// the seven-segment display with 7.
//
// Use: sglLineWidthPointerf(&Velkor_line_width_table[0][0], kVelkorLineWidthCount);
#pragma once

#include <cstdint>

constexpr uint32_t kVelkorLineWidthCount = 8;

extern const float Velkor_line_width_table[kVelkorLineWidthCount][3];
