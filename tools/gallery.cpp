// The gallery's frame, tables and helpers; the families live in
// gallery_<family>.cpp.
#include "tools/gallery.h"

#include "display/Velkor_ColorBase.h"
#include "graphics/sgl.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

const GalleryFamily kGalleryFamilies[] = {
    {"Buttons and shared pieces", {0, 300, 640, 468}, Gallery_Buttons_init, Gallery_Buttons_draw},
    {"Panels, colours and time", {0, 0, 640, 300}, Gallery_Panels_init, Gallery_Panels_draw},
    {"Lists, table, text, sliders and gauges",
     {640, 0, 640, 768},
     Gallery_Lists_init,
     Gallery_Lists_draw},
};
const uint32_t kGalleryFamilyCount = sizeof(kGalleryFamilies) / sizeof(kGalleryFamilies[0]);

namespace {

constexpr uint32_t kColorCount = 2048;
constexpr float kMargin = 4.0f;
// Far off the display: no widget is ever hovered there.
constexpr float kAwayX = -1000.0f;
constexpr float kAwayY = -1000.0f;

struct PlainColor {
  int32_t index;
  uint8_t r, g, b;
};

// The plain colours of the panel: black, white, greys, and seven hues with
// three tints and three shades each.
constexpr PlainColor kPlainColors[] = {
    {1, 0, 0, 0},        {2, 255, 255, 255},  {3, 242, 242, 242},  {4, 204, 204, 204},
    {5, 153, 153, 153},  {6, 102, 102, 102},  {7, 51, 51, 51},     {11, 255, 0, 0},
    {12, 255, 213, 213}, {13, 255, 170, 170}, {14, 255, 85, 85},   {15, 212, 0, 0},
    {16, 170, 0, 0},     {17, 128, 0, 0},     {21, 255, 128, 0},   {22, 255, 230, 213},
    {23, 255, 204, 170}, {24, 255, 153, 85},  {25, 212, 85, 0},    {26, 170, 68, 0},
    {27, 128, 51, 0},    {31, 255, 255, 0},   {32, 255, 246, 213}, {33, 255, 238, 170},
    {34, 255, 221, 85},  {35, 255, 204, 0},   {36, 212, 170, 0},   {37, 170, 136, 0},
    {41, 0, 255, 0},     {42, 213, 255, 213}, {43, 170, 255, 170}, {44, 85, 255, 85},
    {45, 0, 212, 0},     {46, 0, 170, 0},     {47, 0, 128, 0},     {51, 0, 255, 255},
    {52, 213, 255, 246}, {53, 170, 255, 238}, {54, 85, 255, 221},  {55, 0, 212, 170},
    {56, 0, 170, 136},   {57, 0, 102, 102},   {61, 0, 0, 255},     {62, 213, 213, 255},
    {63, 170, 170, 255}, {64, 85, 85, 255},   {65, 0, 0, 212},     {66, 0, 0, 170},
    {67, 0, 0, 128},     {71, 255, 0, 255},   {72, 255, 213, 246}, {73, 255, 170, 238},
    {74, 255, 85, 221},  {75, 255, 0, 204},   {76, 212, 0, 170},   {77, 128, 0, 102},
};

const float kLineWidths[8 * 3] = {1.2f, 1.5f, 3.0f, 2.5f, 1.5f, 3.5f, 3.5f, 2.5f,
                                  4.2f, 4.5f, 3.5f, 5.5f, 5.5f, 4.5f, 6.5f, 6.5f,
                                  5.5f, 7.5f, 7.5f, 6.5f, 8.5f, 8.5f, 7.5f, 9.5f};

void point_at(float x, float y) {
  const PointerEvent pointer{0, x, y, 0, 0, 0, 0};
  BHVR_Pointer(&pointer);
}

void fill_rect(float x, float y, float w, float h) {
  sglBegin(5);
  sglVertex2f(x, y);
  sglVertex2f(x + w, y);
  sglVertex2f(x + w, y + h);
  sglVertex2f(x, y + h);
  sglEnd();
}

}  // namespace

const float* Gallery_ColorTable() {
  static float table[kColorCount * 4];
  static bool filled = false;
  if (!filled) {
    // The marker colour shows any index a widget should not use.
    for (uint32_t i = 0; i < kColorCount; ++i) {
      table[4 * i + 0] = 1.0f;
      table[4 * i + 1] = 128 / 255.0f;
      table[4 * i + 2] = 189 / 255.0f;
      table[4 * i + 3] = 1.0f;
    }
    for (const PlainColor& c : kPlainColors) {
      table[4 * c.index + 0] = c.r / 255.0f;
      table[4 * c.index + 1] = c.g / 255.0f;
      table[4 * c.index + 2] = c.b / 255.0f;
    }
    Velkor_InstallColorSchemes(table, kColorCount);
    filled = true;
  }
  return table;
}

uint32_t Gallery_ColorCount() {
  return kColorCount;
}
const float* Gallery_LineWidthTable() {
  return kLineWidths;
}
uint32_t Gallery_LineWidthCount() {
  return 8;
}

const sgl_line_stipple* Gallery_LineStippleTable() {
  static const sgl_line_stipple stipples[16] = {{{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{12, 12, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
                                                {{8, 8, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
                                                {{1, 6, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
                                                {{1, 8, 8, 8, 0, 0}, {1, 0, 1, 0, 0, 0}, 0, 4},
                                                {{1, 2, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0},
                                                {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0}};
  return stipples;
}
uint32_t Gallery_LineStippleCount() {
  return 16;
}

void Gallery_InstallTables() {
  sglColorPointerf(Gallery_ColorTable(), Gallery_ColorCount());
  sglLineWidthPointerf(Gallery_LineWidthTable(), Gallery_LineWidthCount());
  sglLineStipplePointer(Gallery_LineStippleTable(), Gallery_LineStippleCount());
}

void Gallery_Init() {
  ClearFocus();
  for (uint32_t i = 0; i < kGalleryFamilyCount; ++i) kGalleryFamilies[i].init();
}

void Gallery_DrawFrame() {
  Gallery_PointerAway();
  sglIndexColori(kGalleryBackground);
  fill_rect(0.0f, 0.0f, 1280.0f, 768.0f);
  for (uint32_t i = 0; i < kGalleryFamilyCount; ++i) {
    const GalleryFamily& family = kGalleryFamilies[i];
    const GalleryRegion& r = family.region;
    sglIndexColori(kGalleryPlate);
    fill_rect(r.x + kMargin, r.y + kMargin, r.width - 2 * kMargin, r.height - 2 * kMargin);
    sglIndexFonti(kGalleryTitleFont);
    sglIndexColori(kGalleryTitleColor);
    sglSetTextAlignment(0, 1);
    sgluWriteText(r.x + 12.0f, r.y + r.height - 18.0f, family.name, 64);
    family.draw(&r);
    Gallery_PointerAway();
  }
}

void Gallery_Caption(float x, float y, const char* text) {
  sglIndexFonti(kGalleryCaptionFont);
  sglIndexColori(kGalleryCaptionColor);
  sglSetTextAlignment(0, 1);
  sgluWriteText(x, y, text, 255);
}

void Gallery_ClassCaption(float x, float y, const char* text) {
  sglIndexFonti(kGalleryCaptionFont);
  sglIndexColori(kGalleryTitleColor);
  sglSetTextAlignment(0, 1);
  sgluWriteText(x, y, text, 255);
}

void Gallery_BeginHover(float x, float y) {
  point_at(x, y);
  FocusOverride(FOCUS_OVERRIDE_FOCUSED);
}

void Gallery_EndHover() {
  ReleaseOverride();
  Gallery_PointerAway();
}

void Gallery_BeginFocus() {
  FocusOverride(FOCUS_OVERRIDE_FOCUSED);
}
void Gallery_EndFocus() {
  ReleaseOverride();
}
void Gallery_PointerAway() {
  point_at(kAwayX, kAwayY);
}
