// Velkor_ScrollBar - a track with two arrow buttons and a thumb.
//
// The position runs from 0 to `maximum`. The arrow at the top (right) end
// gives a "line up" click and the one at the bottom (left) end "line down";
// the track above (right of) the thumb pages up and below (left of) it pages
// down; the thumb is dragged; the wheel over the bar steps a line; the owner
// may add line steps of its own (the wheel over a list or table) and lets
// the bar take the arrow and page keys by handing it its focus state. What
// "up" does to the position follows the behaviour's direction: with
// direction 1 the position grows towards the top (right) end, with any
// other value it grows towards the bottom (left) end, as a list's first
// visible row does. The behaviour is ScrollBar (widgets/ScrollBar.h).
//   b->width = 14; b->height = 200; b->orientation = 1; b->direction = 0;
//   b->maximum = rows - visible; b->pageStep = visible; b->lineStep = 1;
//   b->value = first; b->load = followIt; b->pass = pass;
//   Velkor_ScrollBar_draw(b, pass);
//   ... b->position, b->moved (by the user this frame)
#pragma once

#include <cstdint>

#include "display/Velkor_ClickArea.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_display.h"
#include "widgets/ScrollBar.h"

constexpr uint32_t kVelkorScrollBarVertical = 1;
constexpr uint32_t kVelkorScrollBarHorizontal = 0;

struct Velkor_ScrollBar {
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  Velkor_DrawnRect drawnRect;
  // parameters
  uint32_t orientation;  // 1 vertical, other values horizontal
  uint32_t direction;    // 1: the position grows towards the top / right end
  float maximum;
  float pageStep;
  float lineStep;
  float value;        // position to load ...
  uint8_t load;       // ... in this frame
  uint8_t keyEnable;  // the owner's focus state: arrow and page keys act while not 0
  uint8_t lineUpIn;   // extra line steps from the owner this frame
  uint8_t lineDownIn;
  // outputs
  float position;
  uint8_t moved;  // per frame: the user moved the bar
  uint8_t hover;  // per frame
  // computed colours
  int32_t trackColor;
  int32_t thumbColor;
  int32_t arrowColor;
  uint32_t pass;
  Velkor_ClickArea lineUpArea;
  Velkor_ClickArea lineDownArea;
  Velkor_ClickArea pageUpArea;
  Velkor_ClickArea pageDownArea;
  Velkor_ClickArea thumbArea;
  Velkor_KeyEvent keys;
  float grabOffset;  // pointer rate minus thumb place when the drag began
  ScrollBar_State state;
};

Velkor_ScrollBar* Velkor_ScrollBar_alloc();
void Velkor_ScrollBar_free(Velkor_ScrollBar* bar);
void Velkor_ScrollBar_init(Velkor_ScrollBar* bar);
void Velkor_ScrollBar_predraw(Velkor_ScrollBar* bar);
void Velkor_ScrollBar_draw(Velkor_ScrollBar* bar, uint32_t pass);

// The parts of a bar, in its own frame. "low" is the bottom (left) end.
struct Velkor_ScrollBarLayout {
  float arrow;        // side of the square arrow buttons
  float trackStart;   // along the bar: where the track begins (after the low arrow)
  float trackLength;  // between the arrows
  float thumbStart;   // along the bar
  float thumbLength;
  float thumbFraction;  // 0: thumb at the low end, 1: at the high end
};
// position is limited to 0 .. maximum; the thumb's length is the page's
// share of maximum + pageStep (the whole track when maximum is not above 0),
// at least the bar's thickness.
Velkor_ScrollBarLayout Velkor_ScrollBarPlace(float width, float height, uint32_t orientation,
                                             uint32_t direction, float maximum, float pageStep,
                                             float position);
