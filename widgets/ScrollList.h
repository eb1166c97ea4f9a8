// Scroll list behaviour: a list of up to 16 text items seen through 9 rows,
// with a keyboard cursor, a selection, and scrolling that follows the cursor
// or an attached scroll bar. It is the open list of a combo box.
//
// The ScrollList_generic display class steps it once per cycle with the raw
// pointer flags, which of its rows the pointer is over, its KeyEvent pulse
// and the position of its scroll bar; it draws the visible texts and flags
// and moves the scroll bar when "scroll changed" is set. Calling convention
// in interactivity_mapping.h. Drawing thread only.
#pragma once

#include <cstdint>

#include "widgets/lib_unicode.h"

constexpr int32_t SCROLLLIST_ITEMS = 16;
constexpr int32_t SCROLLLIST_ROWS = 9;

// Mode that selects on release; any other mode selects on press.
constexpr uint32_t SCROLLLIST_MODE_RELEASE = 2;

// The text of a row below the last item: 255 spaces, no terminating 0.
extern const char EMPTY_STRING_ScrollList[TEXT_SIZE_Strings];

struct ScrollList_Inputs {
  uint8_t pressed;   // raw pointer pressed
  uint8_t released;  // raw pointer released
  uint32_t button;
  uint8_t rowHover[SCROLLLIST_ROWS];  // the pointer is over visible row r
  int32_t count;                      // number of items (taken as 0..16)
  int32_t rows;                       // visible rows, the page size (taken as 1..9)
  char items[SCROLLLIST_ITEMS][TEXT_SIZE_Strings];
  int32_t selectedIn;  // index to select on load
  uint8_t load;
  uint8_t itemEnabled[SCROLLLIST_ITEMS];
  uint32_t mode;
  float scrollPosition;  // of the attached scroll bar
  uint8_t scrollMoved;   // the scroll bar moved in this cycle
  uint8_t keyPressed;
  uint32_t key;
  uint8_t active;       // the list has the focus
  uint8_t lock;         // a rising edge blocks validation in that cycle
  uint8_t rowsEnabled;  // all rows may be chosen
};

struct ScrollList_State {
  int32_t selectedIndex;  // output 1
  uint8_t event;          // output 2: an item was chosen (click or Enter)
  char visibleTexts[SCROLLLIST_ROWS][TEXT_SIZE_Strings];
  uint8_t visibleEnabled[SCROLLLIST_ROWS];
  uint8_t visibleHighlighted[SCROLLLIST_ROWS];  // the keyboard cursor row
  uint8_t visibleSelected[SCROLLLIST_ROWS];
  int32_t firstVisible;
  uint8_t scrollChanged;  // the scroll bar is to follow firstVisible
  uint8_t previousLock;
  int32_t cursorRow;  // relative to firstVisible
  int32_t previousFirst;
  uint8_t armed;
  uint8_t previousReleased;
  uint8_t previousEvent;
  uint8_t firstTime;
  uint8_t loadPending;
};

void ScrollList_init(ScrollList_State* state);
void ScrollList_reset(ScrollList_State* state);
void ScrollList(const ScrollList_Inputs* in, ScrollList_State* state);

// items: 16 texts; rowHover: 9 flags; itemEnabled: 16 flags. The array
// outputs receive their whole tables (9 texts, 9 flags each).
void wrapper_ScrollList(uint8_t pressed, uint8_t released, uint32_t button, const uint8_t* rowHover,
                        int32_t count, int32_t rows, const char (*items)[TEXT_SIZE_Strings],
                        int32_t selectedIn, uint8_t load, const uint8_t* itemEnabled, uint32_t mode,
                        float scrollPosition, uint8_t scrollMoved, uint8_t keyPressed, uint32_t key,
                        uint8_t active, uint8_t lock, uint8_t rowsEnabled,
                        int32_t* outSelectedIndex, uint8_t* outEvent,
                        char (*outVisibleTexts)[TEXT_SIZE_Strings], uint8_t* outVisibleEnabled,
                        uint8_t* outVisibleHighlighted, uint8_t* outVisibleSelected,
                        int32_t* outFirstVisible, uint8_t* outScrollChanged,
                        ScrollList_State* state);
void wrapper_ScrollList_reset(ScrollList_State* state);
