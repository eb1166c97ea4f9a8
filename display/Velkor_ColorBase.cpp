#include "display/Velkor_ColorBase.h"

#include <cstdlib>

namespace {

struct SchemeByte {
  uint8_t r, g, b, a;
};

// Bytes of scheme 0 by offset; scheme 1 differs only in its accents.
constexpr SchemeByte kScheme0[20] = {
    {255, 255, 255, 255}, {0, 0, 0, 255},       {210, 210, 210, 255}, {160, 160, 160, 255},
    {110, 110, 110, 255}, {144, 144, 144, 255}, {65, 65, 65, 255},    {103, 193, 238, 255},
    {83, 151, 215, 255},  {255, 255, 255, 255}, {47, 83, 120, 255},   {0, 0, 0, 64},
    {255, 255, 255, 255}, {114, 114, 114, 255}, {232, 222, 37, 255},  {255, 255, 255, 255},
    {200, 200, 200, 255}, {144, 144, 144, 255}, {255, 128, 189, 255}, {255, 128, 189, 255}};

struct Accent {
  int32_t offset;
  SchemeByte colour;
};

constexpr Accent kScheme1Accents[] = {{7, {103, 252, 148, 255}},
                                      {8, {83, 180, 94, 255}},
                                      {10, {41, 152, 26, 255}},
                                      {14, {232, 154, 148, 255}}};

void write_entry(float* table, uint32_t count, int32_t index, SchemeByte colour) {
  if (index < 0 || static_cast<uint32_t>(index) >= count) return;
  float* entry = table + 4 * index;
  entry[0] = colour.r / 255.0f;
  entry[1] = colour.g / 255.0f;
  entry[2] = colour.b / 255.0f;
  entry[3] = colour.a / 255.0f;
}

}  // namespace

Velkor_ColorBase* Velkor_ColorBase_alloc() {
  return static_cast<Velkor_ColorBase*>(std::calloc(1, sizeof(Velkor_ColorBase)));
}

void Velkor_ColorBase_free(Velkor_ColorBase* colours) {
  std::free(colours);
}

void Velkor_ColorBase_init(Velkor_ColorBase* colours) {
  *colours = Velkor_ColorBase{};
  colours->base = kVelkorColorSchemeFirst;
}

void Velkor_ColorBase_predraw(Velkor_ColorBase*) {}

void Velkor_ColorBase_draw(Velkor_ColorBase* colours, uint32_t pass) {
  if (pass != colours->pass) return;
  colours->base = kVelkorColorSchemeFirst +
                  kVelkorColorSchemeStride * static_cast<int32_t>(colours->colorScheme);
}

int32_t Velkor_SchemeBase(uint32_t colorScheme, uint32_t pass) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  return colours.base;
}

void Velkor_InstallColorSchemes(float* table, uint32_t count) {
  for (uint32_t scheme = 0; scheme < kVelkorColorSchemeCount; ++scheme) {
    const int32_t base = kVelkorColorSchemeFirst + kVelkorColorSchemeStride * scheme;
    for (int32_t offset = 0; offset < 20; ++offset) {
      write_entry(table, count, base + offset, kScheme0[offset]);
    }
    if (scheme == 1) {
      for (const Accent& accent : kScheme1Accents) {
        write_entry(table, count, base + accent.offset, accent.colour);
      }
    }
  }
}
