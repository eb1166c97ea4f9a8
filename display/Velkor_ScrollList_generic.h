// Velkor_ScrollList_generic - a list of up to 16 items seen through up to 9
// rows, with a scroll bar when the items do not all fit.
//
// The open list of a combo box, usable on its own. A click on a row (on the
// press, or on the release in mode 2) or Enter on the keyboard cursor row
// chooses that item; the arrow keys move the cursor and scroll past the
// first and last rows; the wheel over the list and the scroll bar scroll it.
// Items whose flag is 0 are written greyed and cannot be chosen, neither by
// the pointer nor by Enter. The behaviour is ScrollList (widgets/ScrollList.h).
//   l->width = 180; l->height = 3 * 25; l->items[i] = text[i]; l->itemFlags[i] = 1;
//   l->itemCount = 10; l->rows = 3; l->selectedIn = forced; l->load = force;
//   l->pass = pass; Velkor_ScrollList_generic_draw(l, pass);
//   ... l->selectedIndex, l->event (chosen this frame)
// An owner that only needs the behaviour (a closed combo box) sets visible
// to 0: nothing is drawn or hit, the selection still loads.
#pragma once

#include <cstdint>

#include "display/Velkor_ComboBoxItem.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_ScrollBar.h"
#include "display/Velkor_display.h"
#include "widgets/ScrollList.h"

constexpr int32_t kVelkorListItems = SCROLLLIST_ITEMS;
constexpr int32_t kVelkorListRows = SCROLLLIST_ROWS;

struct Velkor_ScrollList_generic {
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
  const char* items[kVelkorListItems];  // null reads as an empty text
  uint8_t itemFlags[kVelkorListItems];  // 0: the item cannot be chosen
  int32_t itemCount;                    // 0 .. 16
  int32_t rows;                         // rows shown, 1 .. 9
  int32_t selectedIn;
  uint8_t load;
  uint32_t mode;      // 2: choose on release, else on press
  uint8_t showRadio;  // radio marks in front of the items
  uint8_t visible;    // 0: behaviour only
  float scrollBarWidth;
  // outputs
  int32_t selectedIndex;
  uint8_t event;  // per frame: an item was chosen
  int32_t firstVisible;
  uint8_t hover;       // per frame
  int32_t hoveredRow;  // per frame, -1 none
  // computed colours
  int32_t backColor;
  int32_t frameColor;
  uint32_t pass;
  Velkor_ComboBoxItem rowItems[kVelkorListItems];
  Velkor_ScrollBar scrollBar;
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  char texts[kVelkorListItems][TEXT_SIZE_Strings];  // the items as the behaviour reads them
  uint8_t rowHover[kVelkorListRows];
  ScrollList_State state;
};

Velkor_ScrollList_generic* Velkor_ScrollList_generic_alloc();
void Velkor_ScrollList_generic_free(Velkor_ScrollList_generic* list);
void Velkor_ScrollList_generic_init(Velkor_ScrollList_generic* list);
void Velkor_ScrollList_generic_predraw(Velkor_ScrollList_generic* list);
void Velkor_ScrollList_generic_draw(Velkor_ScrollList_generic* list, uint32_t pass);

// Rows actually shown: rows limited to 1 .. 9 and to the item count (at
// least one row).
int32_t Velkor_ScrollList_generic_shownRows(const Velkor_ScrollList_generic* list);
