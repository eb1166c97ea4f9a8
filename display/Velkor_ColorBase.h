// Velkor_ColorBase - the first colour-table entry of a widget colour scheme.
//
// Every widget colour is the entry base + offset of the colour table, with
// base = 1000 + 20 x scheme. The offsets the widgets use are named below;
// Velkor_InstallColorSchemes writes the two schemes into a colour table for
// programs that do not bring the panel's own table (the gallery, tests).
//
// Use (a scratch instance on the stack of a draw):
//   Velkor_ColorBase colours;
//   Velkor_ColorBase_init(&colours);
//   colours.colorScheme = widget->colorScheme;
//   colours.pass = pass;
//   Velkor_ColorBase_draw(&colours, pass);   // draws nothing
//   int32_t frame = colours.base + kVelkorColorFrame;
#pragma once

#include <cstdint>

constexpr int32_t kVelkorColorSchemeFirst = 1000;
constexpr int32_t kVelkorColorSchemeStride = 20;
constexpr uint32_t kVelkorColorSchemeCount = 2;

// Offsets inside a scheme.
constexpr int32_t kVelkorColorPressedFace = 1;    // pressed face with a face override
constexpr int32_t kVelkorColorFrame = 2;          // frame without focus, pressed face
constexpr int32_t kVelkorColorAccentLight = 7;    // selection, marks
constexpr int32_t kVelkorColorAccent = 8;         // thumbs, checked marks
constexpr int32_t kVelkorColorBevel = 9;          // bevel and default face
constexpr int32_t kVelkorColorAccentDark = 10;    // outlines of marks
constexpr int32_t kVelkorColorGreyed = 11;        // overlay of a disabled widget
constexpr int32_t kVelkorColorLabel = 13;         // default label colour
constexpr int32_t kVelkorColorFrameFocused = 14;  // frame with focus

struct Velkor_ColorBase {
  uint32_t colorScheme;  // parameter
  int32_t base;          // output: 1000 + 20 x colorScheme
  uint32_t pass;
};

Velkor_ColorBase* Velkor_ColorBase_alloc();
void Velkor_ColorBase_free(Velkor_ColorBase* colours);
void Velkor_ColorBase_init(Velkor_ColorBase* colours);
void Velkor_ColorBase_predraw(Velkor_ColorBase* colours);
void Velkor_ColorBase_draw(Velkor_ColorBase* colours, uint32_t pass);

// The base of a scheme through a scratch ColorBase drawn in `pass`: what
// every widget's draw starts its colours from.
int32_t Velkor_SchemeBase(uint32_t colorScheme, uint32_t pass);

// Writes the scheme entries 1000 .. 1039 (and the marker colour into the
// unused offsets 18 and 19) into a table of `count` RGBA float entries;
// entries beyond the table are left out.
void Velkor_InstallColorSchemes(float* table, uint32_t count);
