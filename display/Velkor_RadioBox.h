// Velkor_RadioBox - one choice among up to 16 items with radio marks.
//
// The items stand in `columns` columns, filled top to bottom. A click on an
// enabled item chooses it; while the box holds the focus the arrow keys
// move the keyboard cursor and Enter chooses the item under it (if that
// item is enabled); forcedIndex is taken in a frame with force set. The
// behaviour is RadioBox (widgets/RadioBox.h).
//   r->width = 138; r->height = 86; r->font = 20; r->items[0] = "Slow"; ...
//   r->itemCount = 3; r->pass = pass; Velkor_RadioBox_draw(r, pass);
//   ... r->selectedIndex, r->event (the user chose this frame)
#pragma once

#include <cstdint>

#include "display/Velkor_ClickArea.h"
#include "display/Velkor_ComboBoxItem.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_display.h"
#include "widgets/RadioBox.h"

struct Velkor_RadioBox {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // background; -1: the scheme's white
  uint32_t font;
  int32_t labelColor;
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  const char* items[RADIOBOX_MAX_ITEMS];
  uint8_t itemFlags[RADIOBOX_MAX_ITEMS];  // 0: cannot be chosen
  int32_t itemCount;                      // 1 .. 16
  int32_t columns;                        // 1 .. itemCount
  int32_t forcedIndex;
  uint8_t force;
  // outputs
  int32_t selectedIndex;  // -1 before anything is chosen or loaded
  uint8_t event;          // per frame: the user chose
  int32_t cursor;         // keyboard cursor
  uint8_t hover;          // per frame
  int32_t hoveredItem;    // per frame, -1 none
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t backColor;
  uint32_t pass;
  Velkor_ClickArea area;
  Velkor_ComboBoxItem itemViews[RADIOBOX_MAX_ITEMS];
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  RadioBox_State state;
};

Velkor_RadioBox* Velkor_RadioBox_alloc();
void Velkor_RadioBox_free(Velkor_RadioBox* box);
void Velkor_RadioBox_init(Velkor_RadioBox* box);
void Velkor_RadioBox_predraw(Velkor_RadioBox* box);
void Velkor_RadioBox_draw(Velkor_RadioBox* box, uint32_t pass);

// The cell of item `index` in the box's own frame (lower-left corner and
// size); false for an index outside the items.
bool Velkor_RadioBox_itemCell(const Velkor_RadioBox* box, int32_t index, float* x, float* y,
                              float* w, float* h);
