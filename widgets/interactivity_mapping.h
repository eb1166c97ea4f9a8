// Interactivity mapping: the seam between the host's input devices and the
// widgets of the panel.
//
// Once per cycle the host hands over one PointerEvent per pointer device and
// one KeyboardEvent per keyboard device; the mapping keeps them in two
// one-record tables for the rest of the cycle. While the panel is drawn, each
// interactive widget reads them back through Velkor_locate, Velkor_pointer and
// Velkor_keyboard, derives its pulses through its IndividualFocus (Focus.h)
// and KeyEvent records, and steps its behaviour through a wrapper.
//
// One cycle, as the host runs it:
//   BHVR_SetAsynchronousACK();          // acknowledge flag := 1
//   BHVR_Keyboard(&keyboardContext);    // one record per device
//   BHVR_Pointer(&pointerContext);
//   BHVR_CursorPosRequest(callback, app);
//   ... draw the panel: widgets read the tables, behaviours step ...
//   BHVR_Step();                        // acknowledge flag := 0
// A behaviour holds an output event until the flag is seen set, so with this
// order every event lasts exactly the one cycle in which it was triggered.
//
// Behaviour calling convention (every behaviour X of the library):
//   X_Inputs  - inputs in the order of the wrapper's parameters, by value;
//   X_State   - outputs first, in the order the wrapper returns them, then
//               the memories of the step;
//   X_init(X_State*), X_reset(X_State*), X(const X_Inputs*, X_State*);
//   wrapper_X(inputs as scalars (texts and arrays by pointer), output
//             pointers (each may be null), X_State*);
//   wrapper_X_reset(X_State*).
//
// Threads: BHVR_SetAsynchronousACK is called by the host's main loop before
// the frame starts; every other function runs on the drawing thread, one
// cycle at a time. Nothing here locks.
#pragma once

#include <cstdint>

// One pointer device in the current cycle.
struct PointerEvent {
  uint32_t id;  // device id; the only mouse has id 0
  float x;      // display units, origin bottom left, y upwards
  float y;
  uint32_t button;     // 0 none, 1 left, 2 right, 3 middle, 4/5 wheel away/towards
  uint8_t pressed;     // 1 in the cycle of a button-down (or wheel) event
  uint8_t released;    // 1 in the cycle of a button-up event
  uint32_t modifiers;  // MODIFIER_SHIFT, MODIFIER_CONTROL
};

// One keyboard device in the current cycle.
struct KeyboardEvent {
  uint32_t id;       // device id; the only keyboard has id 0
  uint32_t key;      // UTF-16 code unit of a typed character, or a KEY_ code; 0 none
  uint8_t pressed;   // 1 in the cycle of a key-down or typed character
  uint8_t released;  // 1 in the cycle of a key-up
  uint32_t modifiers;
};

constexpr uint32_t MODIFIER_SHIFT = 1u << 0;
constexpr uint32_t MODIFIER_CONTROL = 1u << 1;

// Keys that type no character. Backspace, Tab, Enter, Escape and space
// arrive as the characters 8, 9, 13, 27 and 32.
constexpr uint32_t KEY_F1 = 0x10001;
constexpr uint32_t KEY_F2 = 0x10002;
constexpr uint32_t KEY_F3 = 0x10003;
constexpr uint32_t KEY_F4 = 0x10004;
constexpr uint32_t KEY_F5 = 0x10005;
constexpr uint32_t KEY_F6 = 0x10006;
constexpr uint32_t KEY_F7 = 0x10007;
constexpr uint32_t KEY_F8 = 0x10008;
constexpr uint32_t KEY_F9 = 0x10009;
constexpr uint32_t KEY_F10 = 0x1000A;
constexpr uint32_t KEY_F11 = 0x1000B;
constexpr uint32_t KEY_F12 = 0x1000C;
constexpr uint32_t KEY_PAGE_UP = 0x1000D;
constexpr uint32_t KEY_PAGE_DOWN = 0x1000E;
constexpr uint32_t KEY_END = 0x1000F;
constexpr uint32_t KEY_HOME = 0x10010;
constexpr uint32_t KEY_LEFT = 0x10011;
constexpr uint32_t KEY_UP = 0x10012;
constexpr uint32_t KEY_RIGHT = 0x10013;
constexpr uint32_t KEY_DOWN = 0x10014;
constexpr uint32_t KEY_INSERT = 0x10015;
constexpr uint32_t KEY_DELETE = 0x10016;

// Characters the behaviours compare against.
constexpr uint32_t KEY_BACKSPACE = 8;
constexpr uint32_t KEY_TAB = 9;
constexpr uint32_t KEY_ENTER = 13;
constexpr uint32_t KEY_ESCAPE = 27;
constexpr uint32_t KEY_SPACE = 32;

// Asks a reader for whichever device comes first; a record stored under this
// id answers every request.
constexpr uint32_t BHVR_ANY_DEVICE = 0xFFFFFFFFu;

// 1 from the start of a cycle until its last layer has been drawn, 0 between
// cycles. Behaviours clear a held output event only while it is 1.
extern uint8_t BHVR_AsynchronousACK;

// The output event of a behaviour: 1 in a cycle whose input triggers it, and
// held from the previous cycle until a cycle that sees the flag set. The
// behaviour keeps *previousEvent in its state record.
uint8_t BHVR_HoldEvent(bool trigger, uint8_t* previousEvent);

// The pointer record's buttons (see PointerEvent::button).
constexpr uint32_t BHVR_LEFT_BUTTON = 1;
constexpr uint32_t BHVR_RIGHT_BUTTON = 2;

// Whether the button of a pointer record or focus pulse clicks: the left
// button, or 0, which a widget sees before any pulse has named a button.
inline bool BHVR_LeftButton(uint32_t button) {
  return button == 0 || button == BHVR_LEFT_BUTTON;
}

// The wheel's notches come as pointer buttons, each a press without a
// release: BHVR_WHEEL_AWAY a notch away from the user (up, scrolls back),
// BHVR_WHEEL_TOWARDS a notch towards the user (down, scrolls on).
constexpr uint32_t BHVR_WHEEL_AWAY = 4;
constexpr uint32_t BHVR_WHEEL_TOWARDS = 5;
inline bool BHVR_WheelButton(uint32_t button) {
  return button == BHVR_WHEEL_AWAY || button == BHVR_WHEEL_TOWARDS;
}

// Host callback that places a pointer: (context, device id, x, y).
typedef void (*BHVR_CursorPosCallback)(void* context, uint32_t id, float x, float y);

// ---- Host side ---------------------------------------------------------------

// Called when the application is reset. The tables keep their records: the
// host delivers fresh ones in the next cycle anyway.
void BHVR_Reset();
// Clears the acknowledge flag; called after the last layer of a cycle.
void BHVR_Step();
// Sets the acknowledge flag; called at the very start of a cycle.
void BHVR_SetAsynchronousACK();
// Stores a copy of the record under its id. A second device is dropped: the
// tables hold one device each.
void BHVR_Pointer(const PointerEvent* event);
void BHVR_Keyboard(const KeyboardEvent* event);
// Field-by-field variants of BHVR_Pointer / BHVR_Keyboard.
void BHVR_SetPointer(uint32_t id, float x, float y, uint32_t button, uint8_t pressed,
                     uint8_t released, uint32_t modifiers);
void BHVR_SetKeyboard(uint32_t id, uint32_t key, uint8_t pressed, uint8_t released,
                      uint32_t modifiers);
// Registers the cursor callback; a null callback disables cursor requests.
void BHVR_CursorPosRequest(BHVR_CursorPosCallback callback, void* context);
// Empties both tables, forgets the callback and clears the acknowledge flag,
// as at process start. For a host that rebuilds its devices, and for tests.
void BHVR_ForgetDevices();

// ---- Widget side -------------------------------------------------------------
// Lookup rule: the first record, in table order, for which the requested id
// is BHVR_ANY_DEVICE, or the record's id is BHVR_ANY_DEVICE, or the ids are
// equal. Without such a record nothing is written, so callers preset their
// variables to 0. Every output pointer may be null. Widgets ask for the
// position with BHVR_ANY_DEVICE and for buttons and keys with id 0.

void Velkor_locate(uint32_t id, float* x, float* y);
// Note the argument order: pressed, released, button, x, y, modifiers.
void Velkor_pointer(uint32_t id, uint8_t* pressed, uint8_t* released, uint32_t* button, float* x,
                    float* y, uint32_t* modifiers);
void Velkor_keyboard(uint32_t id, uint8_t* pressed, uint8_t* released, uint32_t* key,
                     uint32_t* modifiers);
// ---- The pointer's reach --------------------------------------------------------
// A panel decides once per frame which of its parts owns the pointer (the
// part on top of it); before it draws a part it says whether the widgets
// drawn next are reached. An unreached widget reads the pointer at
// BHVR_NOWHERE with no press; the release, the button and the modifiers stay
// as the host gave them, so that a press taken before ends as usual. The
// host's record itself is never changed. Reached after BHVR_ForgetDevices.
constexpr float BHVR_NOWHERE = -100000.0f;
void BHVR_SetPointerReach(uint8_t reached);
uint8_t BHVR_PointerReach();

// Asks the host to move pointer `id` (BHVR_ANY_DEVICE: all) to (x, y).
void Velkor_cursor(uint32_t id, float x, float y);

// ---- Keyboard edge detector of one widget ------------------------------------
// Stepped once per cycle with enable = the widget's focus state, so a widget
// sees keys only while it holds the focus. Two key-downs in consecutive
// cycles give one pressed pulse.
struct KeyEvent {
  uint32_t mode;   // 1: output follows the pressed pulse, else the released pulse
  uint8_t enable;  // focus state of the widget (0 none)
  uint8_t output;  // pressed or released pulse, as mode says
  uint32_t key;    // key code while either pulse is set, else 0
  uint8_t pressedPulse;
  uint8_t releasedPulse;
  uint8_t rawPressed;  // the keyboard record of this cycle
  uint8_t rawReleased;
  uint8_t previousPulse;  // pressed pulse of the previous cycle
  uint32_t rawKey;
};

void KeyEvent_init(KeyEvent* keys);
void KeyEvent_step(KeyEvent* keys, uint32_t mode, uint8_t enable);

// ---- Click area: pointer pulses of a composite widget's part -------------------
// A hit area without focus and without behaviour. The wheel (button 4 and 5)
// never clicks.
struct ClickArea {
  uint8_t click;      // onPress in mode 1, else onRelease
  uint8_t onPress;    // rising edge of a press over the area
  uint8_t onRelease;  // a release over the area
  uint8_t rawPressed;
  uint8_t rawReleased;
  uint32_t rawButton;
  uint8_t previousRawPressed;  // a press of the previous cycle that could click
  uint8_t previousPressing;    // the press condition of the previous cycle
};

void ClickArea_init(ClickArea* area);
// visible 0 reads nothing and clears every pulse; hover is the widget's own
// hit-test of the pointer against the area.
void ClickArea_step(ClickArea* area, uint8_t visible, uint8_t enabled, uint8_t hover,
                    uint32_t mode);
