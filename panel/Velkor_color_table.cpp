#include "panel/Velkor_color_table.h"

namespace {

struct Rgba8 {
  int index;
  uint8_t r, g, b, a;
};

// The named colours, as bytes.
constexpr Rgba8 kNamed[] = {
    {1, 0, 0, 0, 255},       {2, 255, 255, 255, 255},  {3, 242, 242, 242, 255},
    {4, 204, 204, 204, 255}, {5, 153, 153, 153, 255},  {6, 102, 102, 102, 255},
    {7, 51, 51, 51, 255},

    {11, 255, 0, 0, 255},    {12, 255, 213, 213, 255}, {13, 255, 170, 170, 255},
    {14, 255, 85, 85, 255},  {15, 212, 0, 0, 255},     {16, 170, 0, 0, 255},
    {17, 128, 0, 0, 255},

    {21, 255, 128, 0, 255},  {22, 255, 230, 213, 255}, {23, 255, 204, 170, 255},
    {24, 255, 153, 85, 255}, {25, 212, 85, 0, 255},    {26, 170, 68, 0, 255},
    {27, 128, 51, 0, 255},

    {31, 255, 255, 0, 255},  {32, 255, 246, 213, 255}, {33, 255, 238, 170, 255},
    {34, 255, 221, 85, 255}, {35, 255, 204, 0, 255},   {36, 212, 170, 0, 255},
    {37, 170, 136, 0, 255},

    {41, 0, 255, 0, 255},    {42, 213, 255, 213, 255}, {43, 170, 255, 170, 255},
    {44, 85, 255, 85, 255},  {45, 0, 212, 0, 255},     {46, 0, 170, 0, 255},
    {47, 0, 128, 0, 255},

    {51, 0, 255, 255, 255},  {52, 213, 255, 246, 255}, {53, 170, 255, 238, 255},
    {54, 85, 255, 221, 255}, {55, 0, 212, 170, 255},   {56, 0, 170, 136, 255},
    {57, 0, 102, 102, 255},

    {61, 0, 0, 255, 255},    {62, 213, 213, 255, 255}, {63, 170, 170, 255, 255},
    {64, 85, 85, 255, 255},  {65, 0, 0, 212, 255},     {66, 0, 0, 170, 255},
    {67, 0, 0, 128, 255},

    {71, 255, 0, 255, 255},  {72, 255, 213, 246, 255}, {73, 255, 170, 238, 255},
    {74, 255, 85, 221, 255}, {75, 255, 0, 204, 255},   {76, 212, 0, 170, 255},
    {77, 128, 0, 102, 255},
};

// One widget colour scheme: offsets 0..17 (18 and 19 keep the marker).
struct SchemeEntry {
  uint8_t r, g, b, a;
};
constexpr int kSchemeUsed = 18;
constexpr SchemeEntry kScheme0[kSchemeUsed] = {
    {255, 255, 255, 255}, {0, 0, 0, 255},       {210, 210, 210, 255}, {160, 160, 160, 255},
    {110, 110, 110, 255}, {144, 144, 144, 255}, {65, 65, 65, 255},    {103, 193, 238, 255},
    {83, 151, 215, 255},  {255, 255, 255, 255}, {47, 83, 120, 255},   {0, 0, 0, 64},
    {255, 255, 255, 255}, {114, 114, 114, 255}, {232, 222, 37, 255},  {255, 255, 255, 255},
    {200, 200, 200, 255}, {144, 144, 144, 255},
};
// Scheme 1 differs from scheme 0 only in its accents.
struct Accent {
  int offset;
  SchemeEntry colour;
};
constexpr Accent kScheme1Accents[] = {
    {7, {103, 252, 148, 255}},
    {8, {83, 180, 94, 255}},
    {10, {41, 152, 26, 255}},
    {14, {232, 154, 148, 255}},
};

constexpr int kSchemeBase = 1000;
constexpr int kSchemeSize = 20;
constexpr Rgba8 kMarker = {0, 255, 128, 189, 255};

constexpr void put(VelkorColorTable& t, int index, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  t.rgba[index][0] = r / 255.0f;
  t.rgba[index][1] = g / 255.0f;
  t.rgba[index][2] = b / 255.0f;
  t.rgba[index][3] = a / 255.0f;
}

constexpr VelkorColorTable build_table() {
  VelkorColorTable t{};
  for (uint32_t i = 0; i < kVelkorColorCount; ++i) {
    put(t, static_cast<int>(i), kMarker.r, kMarker.g, kMarker.b, kMarker.a);
  }
  for (const Rgba8& c : kNamed) put(t, c.index, c.r, c.g, c.b, c.a);
  for (int scheme = 0; scheme < 2; ++scheme) {
    for (int k = 0; k < kSchemeUsed; ++k) {
      const SchemeEntry& e = kScheme0[k];
      put(t, kSchemeBase + kSchemeSize * scheme + k, e.r, e.g, e.b, e.a);
    }
  }
  for (const Accent& a : kScheme1Accents) {
    put(t, kSchemeBase + kSchemeSize + a.offset, a.colour.r, a.colour.g, a.colour.b, a.colour.a);
  }
  return t;
}

}  // namespace

// Built at compile time: the table is constant data, nothing runs at start.
constexpr VelkorColorTable Velkor_color_table = build_table();
