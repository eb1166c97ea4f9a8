// Gallery family: push, toggle and check buttons in their states, and the
// shared pieces every widget is made of.
#include <cstdio>

#include "display/Velkor_CheckBox.h"
#include "display/Velkor_CheckButton.h"
#include "display/Velkor_ClickArea.h"
#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_PushButton.h"
#include "display/Velkor_RadioButton.h"
#include "display/Velkor_ToggleButton.h"
#include "graphics/sgl.h"
#include "tools/gallery.h"

namespace {

constexpr int kStates = 5;
constexpr float kCellWidth = 124.0f;
constexpr float kRowHeight = 86.0f;
constexpr float kButtonWidth = 110.0f;
constexpr float kButtonHeight = 40.0f;

// How an instance is shown: the pointer over it, the focus lent, or neither.
enum Look { kPlain, kHovered, kFocused };

const char* const kPushStates[kStates] = {"released", "hovered", "pressed", "focused", "disabled"};
const Look kPushLooks[kStates] = {kPlain, kHovered, kHovered, kFocused, kPlain};
const char* const kToggleStates[kStates] = {"off", "on", "hovered", "focused", "disabled"};
const Look kToggleLooks[kStates] = {kPlain, kPlain, kHovered, kFocused, kPlain};
const char* const kCheckStates[kStates] = {"unchecked", "checked", "hovered", "style 3",
                                           "disabled"};
const Look kCheckLooks[kStates] = {kPlain, kPlain, kHovered, kPlain, kPlain};

Velkor_PushButton push[kStates];
Velkor_ToggleButton toggle[kStates];
Velkor_CheckButton check[kStates];
Velkor_CheckBox boxes[2];
Velkor_RadioButton radios[2];
Velkor_ClickArea area;
Velkor_ClippedLabel clipped;
Velkor_FrameShape shapes[6];

const char* const kShapeNames[6] = {"0 square",     "1 round",     "2 cut",
                                    "3 round ends", "texture 240", "texture 247"};

// Draws `draw` at (x, y) in the look asked for; (w, h) is the instance's size.
template <typename Draw>
void draw_in_look(Look look, float x, float y, float w, float h, Draw draw) {
  if (look == kHovered) Gallery_BeginHover(x + w / 2.0f, y + h / 2.0f);
  if (look == kFocused) Gallery_BeginFocus();
  sglPushMatrixAndTranslate(x, y);
  draw();
  sglPopMatrixAndTranslate();
  if (look == kHovered) Gallery_EndHover();
  if (look == kFocused) Gallery_EndFocus();
}

float row_top(const GalleryRegion* r, int row) {
  return r->y + r->height - 34.0f - row * kRowHeight;
}

// The class name above a row and the state under each cell.
void row_captions(const GalleryRegion* r, int row, const char* name, const char* const* states,
                  int count) {
  const float top = row_top(r, row);
  Gallery_ClassCaption(r->x + 14.0f, top - 8.0f, name);
  for (int i = 0; i < count; ++i) {
    Gallery_Caption(r->x + 16.0f + i * kCellWidth, top - 76.0f, states[i]);
  }
}

float cell_x(const GalleryRegion* r, int i) {
  return r->x + 14.0f + i * kCellWidth;
}

}  // namespace

void Gallery_Buttons_init() {
  for (int i = 0; i < kStates; ++i) {
    Velkor_PushButton_init(&push[i]);
    push[i].width = kButtonWidth;
    push[i].height = kButtonHeight;
    push[i].label = "Start";
    push[i].frameStyle = 1;  // as the panel draws its push buttons
    Velkor_ToggleButton_init(&toggle[i]);
    toggle[i].width = kButtonWidth;
    toggle[i].height = kButtonHeight;
    toggle[i].label = "AN";
    toggle[i].label2 = "AUS";
    toggle[i].labelColor = 1000 + 10;  // dark accent while on
    Velkor_CheckButton_init(&check[i]);
    check[i].width = kButtonWidth;
    check[i].height = kButtonHeight;
    check[i].label = "Byte";
    check[i].faceColor = 3;
  }
  // Held down: the button was pressed and keeps its focus.
  push[2].state.armed = 1;
  push[2].down = 1;
  push[4].enabled = 0;
  toggle[1].value = 1;
  toggle[1].load = 1;
  toggle[3].value = 1;
  toggle[3].load = 1;
  toggle[4].enabled = 0;
  check[1].value = 1;
  check[1].load = 1;
  check[3].value = 1;
  check[3].load = 1;
  check[3].frameStyle = 3;
  check[4].enabled = 0;
  check[4].value = 1;
  check[4].load = 1;

  for (int i = 0; i < 2; ++i) {
    Velkor_CheckBox_init(&boxes[i]);
    boxes[i].checked = static_cast<uint8_t>(i);
    Velkor_RadioButton_init(&radios[i]);
    radios[i].size = 22.0f;
    radios[i].checked = static_cast<uint8_t>(i);
  }
  Velkor_ClickArea_init(&area);
  area.width = 100.0f;
  area.height = 40.0f;
  area.showHighlight = 1;
  area.highlightAlpha = 255;
  Velkor_ClippedLabel_init(&clipped);
  clipped.width = 100.0f;
  clipped.height = 30.0f;
  clipped.text = "Ein sehr langer Text, abgeschnitten";
  clipped.color = 2;
  clipped.font = 20;
  clipped.alignment = 0;
  for (int i = 0; i < 6; ++i) {
    Velkor_FrameShape_init(&shapes[i]);
    shapes[i].width = 90.0f;
    shapes[i].height = 40.0f;
    shapes[i].cornerStyle = i < 4 ? static_cast<uint32_t>(i) : 1u;
    shapes[i].radius = 10.0f;
    shapes[i].fillColor = i < 4 ? 1000 + 8 : 2;
    shapes[i].lineColor = 1000 + 10;
    shapes[i].lineWidth = 1;
    shapes[i].texture = i == 4 ? 240 : i == 5 ? 247 : -1;
  }
}

void Gallery_Buttons_draw(const GalleryRegion* region) {
  const GalleryRegion* r = region;
  // Row 0: push buttons.
  row_captions(r, 0, "PushButton", kPushStates, kStates);
  for (int i = 0; i < kStates; ++i) {
    const float x = cell_x(r, i);
    const float y = row_top(r, 0) - 62.0f;
    Velkor_PushButton_predraw(&push[i]);
    draw_in_look(kPushLooks[i], x, y, kButtonWidth, kButtonHeight,
                 [&] { Velkor_PushButton_draw(&push[i], 0); });
  }
  // Row 1: toggle buttons.
  row_captions(r, 1, "ToggleButton", kToggleStates, kStates);
  for (int i = 0; i < kStates; ++i) {
    const float x = cell_x(r, i);
    const float y = row_top(r, 1) - 62.0f;
    Velkor_ToggleButton_predraw(&toggle[i]);
    draw_in_look(kToggleLooks[i], x, y, kButtonWidth, kButtonHeight,
                 [&] { Velkor_ToggleButton_draw(&toggle[i], 0); });
    toggle[i].load = 0;
  }
  // Row 2: check buttons.
  row_captions(r, 2, "CheckButton", kCheckStates, kStates);
  for (int i = 0; i < kStates; ++i) {
    const float x = cell_x(r, i);
    const float y = row_top(r, 2) - 62.0f;
    Velkor_CheckButton_predraw(&check[i]);
    draw_in_look(kCheckLooks[i], x, y, kButtonWidth, kButtonHeight,
                 [&] { Velkor_CheckButton_draw(&check[i], 0); });
    check[i].load = 0;
  }
  // Row 3: the small pieces.
  {
    const float top = row_top(r, 3);
    const float y = top - 62.0f;
    const char* const names[4] = {"CheckBox", "RadioButton", "ClickArea", "ClippedLabel"};
    const char* const states[4] = {"off / on", "off / on", "Highlight", "clipped"};
    for (int i = 0; i < 4; ++i) {
      Gallery_ClassCaption(cell_x(r, i) + 2.0f, top - 8.0f, names[i]);
      Gallery_Caption(cell_x(r, i) + 2.0f, top - 76.0f, states[i]);
    }
    for (int i = 0; i < 2; ++i) {
      Velkor_CheckBox_predraw(&boxes[i]);
      draw_in_look(kPlain, cell_x(r, 0) + 10.0f + 40.0f * i, y + 6.0f, 27.0f, 27.0f,
                   [&] { Velkor_CheckBox_draw(&boxes[i], 0); });
      Velkor_RadioButton_predraw(&radios[i]);
      draw_in_look(kPlain, cell_x(r, 1) + 10.0f + 40.0f * i, y + 8.0f, 22.0f, 22.0f,
                   [&] { Velkor_RadioButton_draw(&radios[i], 0); });
    }
    Velkor_ClickArea_predraw(&area);
    draw_in_look(kHovered, cell_x(r, 2), y, area.width, area.height,
                 [&] { Velkor_ClickArea_draw(&area, 0); });
    // The label's box, so that the cut shows.
    Velkor_FrameShape box;
    Velkor_FrameShape_init(&box);
    box.width = clipped.width;
    box.height = clipped.height;
    box.cornerStyle = 0;
    box.lineColor = 5;
    sglPushMatrixAndTranslate(cell_x(r, 3), y + 5.0f);
    Velkor_FrameShape_draw(&box, 0);
    Velkor_ClippedLabel_predraw(&clipped);
    Velkor_ClippedLabel_draw(&clipped, 0);
    sglPopMatrixAndTranslate();
  }
  // Row 4: frame shapes.
  {
    const float top = row_top(r, 4);
    Gallery_ClassCaption(r->x + 14.0f, top - 8.0f, "FrameShape");
    for (int i = 0; i < 6; ++i) {
      const float x = r->x + 14.0f + i * 102.0f;
      Gallery_Caption(x, top - 76.0f, kShapeNames[i]);
      Velkor_FrameShape_predraw(&shapes[i]);
      draw_in_look(kPlain, x, top - 62.0f, 90.0f, 40.0f,
                   [&] { Velkor_FrameShape_draw(&shapes[i], 0); });
    }
  }
}
