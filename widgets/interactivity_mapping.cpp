#include "widgets/interactivity_mapping.h"

uint8_t BHVR_AsynchronousACK = 0;

namespace {

// The system has one mouse and one keyboard; a table with room for one
// record each is all the panel reads.
constexpr int kMaxPointers = 1;
constexpr int kMaxKeyboards = 1;

PointerEvent pointer_events[kMaxPointers];
int last_pointer_event = 0;
KeyboardEvent keyboard_events[kMaxKeyboards];
int last_keyboard_event = 0;

// Whether the widgets drawn now are reached by the pointer (see
// BHVR_SetPointerReach); the record is read through it, never rewritten.
uint8_t pointer_reached = 1;

BHVR_CursorPosCallback cursor_pos_request_cb = nullptr;
void* cursor_pos_request_data = nullptr;

bool matches(uint32_t requested, uint32_t stored) {
  return requested == BHVR_ANY_DEVICE || stored == BHVR_ANY_DEVICE || requested == stored;
}

// Overwrites the record of the same device, or appends while there is room.
template <typename Event, int Capacity>
void store_event(Event (&table)[Capacity], int* used, const Event& event) {
  for (int i = 0; i < *used; ++i) {
    if (table[i].id == event.id) {
      table[i] = event;
      return;
    }
  }
  if (*used < Capacity) {
    table[*used] = event;
    ++*used;
  }
}

template <typename Event, int Capacity>
const Event* find_event(const Event (&table)[Capacity], int used, uint32_t id) {
  for (int i = 0; i < used; ++i) {
    if (matches(id, table[i].id)) return &table[i];
  }
  return nullptr;
}

}  // namespace

uint8_t BHVR_HoldEvent(bool trigger, uint8_t* previousEvent) {
  const uint8_t event = (trigger || (*previousEvent != 0 && BHVR_AsynchronousACK == 0)) ? 1 : 0;
  *previousEvent = event;
  return event;
}

void BHVR_Reset() {
  // Nothing to forget: the records are rewritten by the next cycle's hand-over.
}

void BHVR_Step() {
  BHVR_AsynchronousACK = 0;
}

void BHVR_SetAsynchronousACK() {
  BHVR_AsynchronousACK = 1;
}

void BHVR_Pointer(const PointerEvent* event) {
  if (event == nullptr) return;
  store_event(pointer_events, &last_pointer_event, *event);
}

void BHVR_Keyboard(const KeyboardEvent* event) {
  if (event == nullptr) return;
  store_event(keyboard_events, &last_keyboard_event, *event);
}

void BHVR_SetPointer(uint32_t id, float x, float y, uint32_t button, uint8_t pressed,
                     uint8_t released, uint32_t modifiers) {
  const PointerEvent event{id, x, y, button, pressed, released, modifiers};
  BHVR_Pointer(&event);
}

void BHVR_SetKeyboard(uint32_t id, uint32_t key, uint8_t pressed, uint8_t released,
                      uint32_t modifiers) {
  const KeyboardEvent event{id, key, pressed, released, modifiers};
  BHVR_Keyboard(&event);
}

void BHVR_CursorPosRequest(BHVR_CursorPosCallback callback, void* context) {
  cursor_pos_request_cb = callback;
  cursor_pos_request_data = context;
}

void BHVR_ForgetDevices() {
  last_pointer_event = 0;
  last_keyboard_event = 0;
  pointer_events[0] = PointerEvent{};
  keyboard_events[0] = KeyboardEvent{};
  cursor_pos_request_cb = nullptr;
  cursor_pos_request_data = nullptr;
  BHVR_AsynchronousACK = 0;
  pointer_reached = 1;
}

void BHVR_SetPointerReach(uint8_t reached) {
  pointer_reached = reached != 0 ? 1 : 0;
}

uint8_t BHVR_PointerReach() {
  return pointer_reached;
}

void Velkor_locate(uint32_t id, float* x, float* y) {
  const PointerEvent* event = find_event(pointer_events, last_pointer_event, id);
  if (event == nullptr) return;
  if (x != nullptr) *x = pointer_reached ? event->x : BHVR_NOWHERE;
  if (y != nullptr) *y = pointer_reached ? event->y : BHVR_NOWHERE;
}

void Velkor_pointer(uint32_t id, uint8_t* pressed, uint8_t* released, uint32_t* button, float* x,
                    float* y, uint32_t* modifiers) {
  const PointerEvent* event = find_event(pointer_events, last_pointer_event, id);
  if (event == nullptr) return;
  if (pressed != nullptr) *pressed = pointer_reached ? event->pressed : 0;
  if (released != nullptr) *released = event->released;
  if (button != nullptr) *button = event->button;
  if (x != nullptr) *x = pointer_reached ? event->x : BHVR_NOWHERE;
  if (y != nullptr) *y = pointer_reached ? event->y : BHVR_NOWHERE;
  if (modifiers != nullptr) *modifiers = event->modifiers;
}

void Velkor_keyboard(uint32_t id, uint8_t* pressed, uint8_t* released, uint32_t* key,
                     uint32_t* modifiers) {
  const KeyboardEvent* event = find_event(keyboard_events, last_keyboard_event, id);
  if (event == nullptr) return;
  if (pressed != nullptr) *pressed = event->pressed;
  if (released != nullptr) *released = event->released;
  if (key != nullptr) *key = event->key;
  if (modifiers != nullptr) *modifiers = event->modifiers;
}

void Velkor_cursor(uint32_t id, float x, float y) {
  if (cursor_pos_request_cb != nullptr) cursor_pos_request_cb(cursor_pos_request_data, id, x, y);
}

// ---- KeyEvent -------------------------------------------------------------------
//
// cycle  keyboard record      enable  pressedPulse  releasedPulse  key
//   1    down 'a'             1       1             0              'a'
//   2    down 'a' (repeat)    1       0             0              0
//   3    up 'a'               1       0             1              'a'
//   4    down 'b'             0       0             0              0     (no focus)

void KeyEvent_init(KeyEvent* keys) {
  *keys = KeyEvent{};
}

void KeyEvent_step(KeyEvent* keys, uint32_t mode, uint8_t enable) {
  keys->mode = mode;
  keys->enable = enable;
  keys->previousPulse = keys->pressedPulse;
  keys->rawPressed = 0;
  keys->rawReleased = 0;
  keys->rawKey = 0;
  Velkor_keyboard(0, &keys->rawPressed, &keys->rawReleased, &keys->rawKey, nullptr);
  keys->pressedPulse = (enable != 0 && keys->rawPressed != 0 && keys->previousPulse == 0) ? 1 : 0;
  keys->releasedPulse = (keys->rawReleased != 0 && enable != 0) ? 1 : 0;
  keys->key = (keys->pressedPulse != 0 || keys->releasedPulse != 0) ? keys->rawKey : 0;
  keys->output = (mode == 1) ? keys->pressedPulse : keys->releasedPulse;
}

// ---- ClickArea ------------------------------------------------------------------
//
// cycle  pointer record   hover  onPress  onRelease  click (mode 1 / other)
//   1    press left       1      1        0          1 / 0
//   2    (nothing)        1      0        0          0 / 0   press still counts, no new edge
//   3    release          1      0        1          0 / 1
//   4    wheel (4)        1      0        0          0 / 0
//   5    (nothing)        1      0        0          0 / 0   a notch is no press

void ClickArea_init(ClickArea* area) {
  *area = ClickArea{};
}

void ClickArea_step(ClickArea* area, uint8_t visible, uint8_t enabled, uint8_t hover,
                    uint32_t mode) {
  area->rawPressed = 0;
  area->rawReleased = 0;
  area->rawButton = 0;
  if (visible != 0) {
    Velkor_pointer(0, &area->rawPressed, &area->rawReleased, &area->rawButton, nullptr, nullptr,
                   nullptr);
  }
  // A press may arrive in the cycle before the pointer is seen over the area,
  // so the previous cycle's press still counts; the edge keeps it to one pulse.
  // A wheel notch is a press that the host never releases, and the record
  // after it reads button 0: only a press that could click is remembered, or
  // the notch would click one cycle late.
  const bool wheel = area->rawButton >= 4;
  const bool pressing = visible != 0 && enabled != 0 && hover != 0 && !wheel &&
                        (area->rawPressed != 0 || area->previousRawPressed != 0);
  area->onPress = (pressing && area->previousPressing == 0) ? 1 : 0;
  area->previousPressing = pressing ? 1 : 0;
  area->onRelease =
      (visible != 0 && area->rawReleased != 0 && enabled != 0 && hover != 0 && !wheel) ? 1 : 0;
  area->click = (mode == 1) ? area->onPress : area->onRelease;
  area->previousRawPressed = (area->rawPressed != 0 && !wheel) ? 1 : 0;
}
