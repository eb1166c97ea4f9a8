// Velkor_ComboBox - a box showing the chosen item that opens a list below
// itself.
//
// A click on the box (or Space while it holds the focus) opens and closes
// the list; choosing an item (a click on its row, or Enter on the keyboard
// cursor row) takes it and closes the list; Escape closes it unchanged.
// Only the first itemCount of the 16 item texts exist, and items whose flag
// is 0 cannot be chosen. While open, the list inherits the box's focus
// (FocusOverride), so its rows answer the pointer and keys only as long as
// the box holds the focus, and the box keeps asking for the focus while the
// pointer is over the open list. The behaviours are ComboBox and ScrollList
// (widgets/ComboBox.h, widgets/ScrollList.h).
//   c->width = 110; c->height = 30; c->label = "Slot";
//   c->items[i] = names[i]; c->itemCount = 10; c->shownItems = 3;
//   c->forcedIndex = slot; c->force = loadIt; c->pass = pass;
//   Velkor_ComboBox_draw(c, pass);
//   ... c->selectedIndex, c->event (the user chose this frame), c->open
// The label is shown in the box while no item is selected. A forced index
// outside the items (-1, or itemCount and above) selects none: the box shows
// its label and selectedIndex reads -1 until the user chooses an item or a
// valid index is forced.
#pragma once

#include <cstdint>

#include "display/Velkor_ClickArea.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_ScrollList_generic.h"
#include "display/Velkor_display.h"
#include "widgets/ComboBox.h"

struct Velkor_ComboBox {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  const char* label;
  int32_t faceColor;
  uint32_t font;
  int32_t labelColor;
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  const char* items[kVelkorListItems];
  uint8_t itemFlags[kVelkorListItems];  // 0: cannot be chosen
  int32_t itemCount;
  int32_t shownItems;  // rows of the open list
  int32_t forcedIndex;
  uint8_t force;
  uint32_t mode;        // COMBOBOX_MODE_LOCKED keeps the list closed
  float listRowHeight;  // 0: the box's height
  // outputs
  int32_t selectedIndex;  // -1: none
  uint8_t event;          // per frame: the user chose an item
  uint8_t open;
  uint8_t hover;  // per frame: over the box or the open list
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t bevelColor;
  int32_t faceColorComputed;
  int32_t labelColorComputed;
  uint32_t pass;
  Velkor_ClickArea button;
  Velkor_ScrollList_generic list;
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  uint8_t noneSelected;  // forced to no item; the list keeps its own row
  ComboBox_State state;
};

Velkor_ComboBox* Velkor_ComboBox_alloc();
void Velkor_ComboBox_free(Velkor_ComboBox* combo);
void Velkor_ComboBox_init(Velkor_ComboBox* combo);
void Velkor_ComboBox_predraw(Velkor_ComboBox* combo);
void Velkor_ComboBox_draw(Velkor_ComboBox* combo, uint32_t pass);

// Height of the open list below the box.
float Velkor_ComboBox_listHeight(const Velkor_ComboBox* combo);
