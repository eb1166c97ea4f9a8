// The panel's colour table: named entries hold their colours, compared as
// bytes (value x 255 rounded).
#include <gtest/gtest.h>

#include <cmath>

#include "panel/Velkor_color_table.h"

namespace {

TEST(ColorTable, NamedEntriesHoldTheirColours) {
  // Samples across every block: black and the greys, each hue with a tint
  // and a shade, the scheme entries that differ and the ones they share.
  const struct {
    int index;
    int rgba[4];
  } named[] = {
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
      {1031, {0, 0, 0, 64}},        {1034, {232, 154, 148, 255}}, {1037, {144, 144, 144, 255}}};
  for (const auto& n : named) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(n.rgba[i], std::lround(Velkor_color_table.rgba[n.index][i] * 255.0f))
          << n.index << " channel " << i;
    }
  }
}

}  // namespace
