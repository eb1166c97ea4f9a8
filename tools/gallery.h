// gallery.h - the pieces of velkor-gallery: families of display classes
// drawn side by side, each instance in a state a student should recognise.
//
// How the gallery is put together
//   The display (1280 x 768 units, origin bottom left, y up) is cut into
//   regions, one per family (kGalleryFamilies in tools/gallery.cpp). A family
//   is two functions in its own unit (tools/gallery_<family>.cpp): init sets
//   up its instances once (static records, so that a frame allocates
//   nothing), draw draws them every frame inside its region, in pass 0:
//       void Gallery_Buttons_init();
//       void Gallery_Buttons_draw(const GalleryRegion* region);
//   To add a family: write the unit, declare its two functions below and add
//   a row to kGalleryFamilies.
//
// States
//   The pointer of the interactivity mapping is the gallery's: a family puts
//   it over the instance it wants hovered and takes it away afterwards, and
//   lends the focus through the focus override, so every state is shown in
//   every frame regardless of drawing order:
//       Gallery_Caption(x, y + 54, "PushButton hovered");
//       Gallery_BeginHover(x + 75, y + 25);  // display units
//       sglPushMatrixAndTranslate(x, y); Velkor_PushButton_draw(&b, 0); sglPopMatrixAndTranslate();
//       Gallery_EndHover();
//   A pressed state is made by its family in init (the behaviour state of a
//   button held down); a disabled one by enabled = 0.
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "graphics/sgl.h"

struct GalleryRegion {
  float x;  // lower-left corner, display units
  float y;
  float width;
  float height;
};

struct GalleryFamily {
  const char* name;
  GalleryRegion region;
  void (*init)();
  void (*draw)(const GalleryRegion* region);
};

// The families, in drawing order, and their number.
extern const GalleryFamily kGalleryFamilies[];
extern const uint32_t kGalleryFamilyCount;

// Colours and fonts of the gallery's own texts and plates (colour-table
// indices of the table Gallery_InstallTables installs).
constexpr int32_t kGalleryBackground = 7;    // dark grey
constexpr int32_t kGalleryPlate = 6;         // region plates
constexpr int32_t kGalleryCaptionColor = 2;  // white
constexpr int32_t kGalleryTitleColor = 31;   // yellow
constexpr int32_t kGalleryCaptionFont = 20;
constexpr int32_t kGalleryTitleFont = 21;

// The tables the gallery draws with: a 2048-entry colour table (the plain
// colours 1 .. 77 and the two widget colour schemes) and the line widths.
const float* Gallery_ColorTable();
uint32_t Gallery_ColorCount();
const float* Gallery_LineWidthTable();
uint32_t Gallery_LineWidthCount();
const sgl_line_stipple* Gallery_LineStippleTable();
uint32_t Gallery_LineStippleCount();
// Hands the three tables to the drawing library in force.
void Gallery_InstallTables();

// Runs every family's init (once, after the fonts and textures are loaded).
void Gallery_Init();
// Draws one whole gallery frame in the current frame (pass 0): the plates,
// the family titles, every family. Allocates nothing.
void Gallery_DrawFrame();

// A caption in the gallery's small font, left aligned, its baseline
// centred on y.
void Gallery_Caption(float x, float y, const char* text);
// The same in the title colour: the class name over a row of instances.
void Gallery_ClassCaption(float x, float y, const char* text);
// The pointer over (x, y), display units, with the focus lent to whatever
// is drawn until Gallery_EndHover.
void Gallery_BeginHover(float x, float y);
void Gallery_EndHover();
// The focus lent without the pointer (a focused widget the pointer has left).
void Gallery_BeginFocus();
void Gallery_EndFocus();
// Moves the gallery's pointer off every widget (the state between hovers).
void Gallery_PointerAway();

// ---- Families ---------------------------------------------------------------
void Gallery_Buttons_init();
void Gallery_Buttons_draw(const GalleryRegion* region);
void Gallery_Panels_init();
void Gallery_Panels_draw(const GalleryRegion* region);
void Gallery_Lists_init();
void Gallery_Lists_draw(const GalleryRegion* region);
