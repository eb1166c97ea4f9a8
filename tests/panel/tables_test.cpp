// The panel's colour, line width and stipple tables: the named entries hold
// their colours (compared as bytes, value x 255 rounded), every other entry
// the marker colour.
#include <gtest/gtest.h>

#include <cmath>

#include "panel/Velkor_color_table.h"
#include "panel/Velkor_line_stipple_table.h"
#include "panel/Velkor_line_width_table.h"

namespace {

struct Bytes {
  int r, g, b, a;
};

Bytes ColorBytes(int index) {
  const float* c = Velkor_color_table.rgba[index];
  return {
      static_cast<int>(std::lround(c[0] * 255.0f)), static_cast<int>(std::lround(c[1] * 255.0f)),
      static_cast<int>(std::lround(c[2] * 255.0f)), static_cast<int>(std::lround(c[3] * 255.0f))};
}

struct Named {
  int index;
  Bytes rgba;
};

// Samples across every block: black and the greys, each hue with a tint and
// a shade, the scheme entries that differ and the ones they share.
const Named kNamed[] = {
    {1, {0, 0, 0, 255}},          {2, {255, 255, 255, 255}},    {5, {153, 153, 153, 255}},
    {7, {51, 51, 51, 255}},       {11, {255, 0, 0, 255}},       {17, {128, 0, 0, 255}},
    {24, {255, 153, 85, 255}},    {25, {212, 85, 0, 255}},      {31, {255, 255, 0, 255}},
    {32, {255, 246, 213, 255}},   {37, {170, 136, 0, 255}},     {41, {0, 255, 0, 255}},
    {47, {0, 128, 0, 255}},       {52, {213, 255, 246, 255}},   {57, {0, 102, 102, 255}},
    {62, {213, 213, 255, 255}},   {67, {0, 0, 128, 255}},       {71, {255, 0, 255, 255}},
    {77, {128, 0, 102, 255}},     {1000, {255, 255, 255, 255}}, {1001, {0, 0, 0, 255}},
    {1002, {210, 210, 210, 255}}, {1007, {103, 193, 238, 255}}, {1008, {83, 151, 215, 255}},
    {1010, {47, 83, 120, 255}},   {1011, {0, 0, 0, 64}},        {1013, {114, 114, 114, 255}},
    {1014, {232, 222, 37, 255}},  {1017, {144, 144, 144, 255}}, {1020, {255, 255, 255, 255}},
    {1027, {103, 252, 148, 255}}, {1028, {83, 180, 94, 255}},   {1030, {41, 152, 26, 255}},
    {1031, {0, 0, 0, 64}},        {1034, {232, 154, 148, 255}}, {1037, {144, 144, 144, 255}},
};

bool IsNamed(int index) {
  if (index >= 1 && index <= 7) return true;
  for (int block = 10; block <= 70; block += 10) {
    if (index >= block + 1 && index <= block + 7) return true;
  }
  for (int scheme = 0; scheme < 2; ++scheme) {
    const int base = 1000 + 20 * scheme;
    if (index >= base && index <= base + 17) return true;
  }
  return false;
}

TEST(ColorTable, NamedEntriesHoldTheirColours) {
  for (const Named& n : kNamed) {
    const Bytes b = ColorBytes(n.index);
    EXPECT_EQ(n.rgba.r, b.r) << n.index;
    EXPECT_EQ(n.rgba.g, b.g) << n.index;
    EXPECT_EQ(n.rgba.b, b.b) << n.index;
    EXPECT_EQ(n.rgba.a, b.a) << n.index;
  }
}

TEST(ColorTable, EveryOtherEntryHoldsTheMarker) {
  int markers = 0;
  for (uint32_t i = 0; i < kVelkorColorCount; ++i) {
    if (IsNamed(static_cast<int>(i))) continue;
    const Bytes b = ColorBytes(static_cast<int>(i));
    EXPECT_TRUE(b.r == 255 && b.g == 128 && b.b == 189 && b.a == 255) << i;
    ++markers;
  }
  // 7 greys + 7 hues x 7 + 2 schemes x 18 are named.
  EXPECT_EQ(2048 - (7 + 49 + 36), markers);
  // The last scheme entries (18, 19) keep the marker.
  EXPECT_EQ(128, ColorBytes(1018).g);
  EXPECT_EQ(128, ColorBytes(1039).g);
}

TEST(LineTables, WidthsAndStipples) {
  EXPECT_FLOAT_EQ(1.2f, Velkor_line_width_table[0][0]);
  EXPECT_FLOAT_EQ(4.2f, Velkor_line_width_table[2][2]);
  EXPECT_FLOAT_EQ(9.5f, Velkor_line_width_table[7][2]);
  for (uint32_t i = 1; i < kVelkorLineWidthCount; ++i) {
    EXPECT_GT(Velkor_line_width_table[i][0], Velkor_line_width_table[i - 1][0]) << i;
  }
  struct Case {
    int index;
    uint8_t solid, count, first_length, first_on;
  } cases[] = {{0, 1, 0, 0, 0}, {1, 0, 2, 12, 1}, {3, 0, 2, 1, 1},
               {4, 0, 4, 1, 1}, {5, 0, 2, 1, 1},  {15, 1, 0, 0, 0}};
  for (const Case& k : cases) {
    const sgl_line_stipple& s = Velkor_line_stipple_table[k.index];
    EXPECT_EQ(k.solid, s.solid) << k.index;
    EXPECT_EQ(k.count, s.count) << k.index;
    EXPECT_EQ(k.first_length, s.lengths[0]) << k.index;
    EXPECT_EQ(k.first_on, s.on[0]) << k.index;
  }
  EXPECT_EQ(8, Velkor_line_stipple_table[4].lengths[2]);
  EXPECT_EQ(1, Velkor_line_stipple_table[4].on[2]);
  EXPECT_EQ(kVelkorStippleDotted, 5);
}

}  // namespace
