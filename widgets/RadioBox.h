// RadioBox behaviour: one choice among up to 16 radio buttons, by click or
// by the keyboard cursor and Enter, and loadable with an index.
//
// The display class steps its item click areas (under a focus override, so
// the items inherit the box's focus), then once per cycle:
//   wrapper_RadioBox(count, clicks, selectedIn, load, keyPressed, key,
//                    focusRequests, enabled, selection, &changed, &selected,
//                    &cursor, &state);
// The arrow keys move the keyboard cursor within 0 .. count - 1; Enter
// selects the item under the cursor if that item is enabled.
// Drawing thread only.
#pragma once

#include <cstdint>

constexpr int RADIOBOX_MAX_ITEMS = 16;

struct RadioBox_Inputs {
  int32_t count;                       // number of buttons, 1 to 16
  uint8_t clicks[RADIOBOX_MAX_ITEMS];  // per button: clicked in this cycle
  int32_t selectedIn;                  // index to select on load
  uint8_t load;
  uint8_t keyPressed;  // the box's KeyEvent pressed pulse
  uint32_t key;
  uint8_t focusRequests[RADIOBOX_MAX_ITEMS];  // per button: asks for the keyboard cursor
  uint8_t enabled[RADIOBOX_MAX_ITEMS];        // per button: may be chosen with Enter
};

struct RadioBox_State {
  uint8_t selection[RADIOBOX_MAX_ITEMS];  // output 1: the selected button's flag
  uint8_t event;                          // output 2: the user chose, one cycle long
  int32_t selectedIndex;                  // output 3
  int32_t cursor;                         // output 4: keyboard cursor index
  uint8_t previousEvent;
  uint8_t loadPending;
};

void RadioBox_init(RadioBox_State* state);
void RadioBox_reset(RadioBox_State* state);
void RadioBox(const RadioBox_Inputs* in, RadioBox_State* state);

// clicks, focusRequests and enabled point to 16 flags each (null reads as all 0);
// outSelection receives 16 flags.
void wrapper_RadioBox(int32_t count, const uint8_t* clicks, int32_t selectedIn, uint8_t load,
                      uint8_t keyPressed, uint32_t key, const uint8_t* focusRequests,
                      const uint8_t* enabled, uint8_t* outSelection, uint8_t* outEvent,
                      int32_t* outSelectedIndex, int32_t* outCursor, RadioBox_State* state);
void wrapper_RadioBox_reset(RadioBox_State* state);
