// Cycle driver: runs widget behaviours cycle by cycle the way the host does,
// so a test reads like a user's story.
//
//   velkor_test::CycleDriver driver;            // empty tables, no focus
//   PushButton_State button;  PushButton_init(&button);
//   velkor_test::TestWidget widget(0, 0, 150, 50);
//   driver.OnCycle([&] {
//     widget.Sense();                           // hover, focus, pulses, keys
//     wrapper_PushButton(2, widget.hover, widget.pressed(), widget.released(),
//                        widget.keyPressed(), widget.key(), widget.keyReleased(),
//                        &fired, &armed, &button);
//   });
//   driver.MoveTo(500, 500); driver.Press(); driver.Cycle();   // press elsewhere
//   driver.MoveTo(10, 10);   driver.Release(); driver.Cycle(); // release on it
//   EXPECT_EQ(0, fired);
//
// One Cycle():
//   1. BHVR_SetAsynchronousACK() (unless acknowledging is switched off);
//   2. hands over the keyboard record, then the pointer record: the next
//      queued event of each, or an empty record at the live pointer position
//      (button 0, no press, no release), exactly one event per cycle;
//   3. runs the OnCycle callback (the panel's draw);
//   4. BHVR_Step().
// Events are queued like the host's queues: Press(); Release(); gives the
// press in the next cycle and the release in the one after. A pointer event
// carries the live position at the time it was queued.
//
// The mapping and the focus state are process-wide; the driver clears both
// when it is built, so every test starts from a fresh process state.
//
// The implementation is inline so that the test executable itself pulls in
// the widget library's symbols, whatever the link order.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>

#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

namespace velkor_test {

// The rectangle test a display class gets from the drawing library's active
// areas, on plain numbers: edges count as inside, and a rectangle whose width
// or height is within 1e-6 of zero is never hit.
bool PointInRect(float x, float y, float left, float bottom, float width, float height);

class CycleDriver {
 public:
  CycleDriver() {
    BHVR_ForgetDevices();
    ClearFocus();
  }
  ~CycleDriver() {
    BHVR_ForgetDevices();
    ClearFocus();
  }
  CycleDriver(const CycleDriver&) = delete;
  CycleDriver& operator=(const CycleDriver&) = delete;

  // The work of one cycle between the hand-over and BHVR_Step.
  void OnCycle(std::function<void()> step) { step_ = std::move(step); }

  // ---- Pointer ----
  // The live position, shown in every cycle without a pointer event.
  void MoveTo(float x, float y) {
    x_ = x;
    y_ = y;
  }
  void Press(uint32_t button = 1, uint32_t modifiers = 0) { QueuePointer(button, 1, 0, modifiers); }
  void Release(uint32_t button = 1, uint32_t modifiers = 0) {
    QueuePointer(button, 0, 1, modifiers);
  }
  // One wheel notch: button 4 away from the user, 5 towards; no release.
  void Wheel(bool away, uint32_t modifiers = 0) { QueuePointer(away ? 4 : 5, 1, 0, modifiers); }

  // ---- Keyboard ----
  void KeyDown(uint32_t key, uint32_t modifiers = 0) { QueueKey(key, 1, 0, modifiers); }
  void KeyUp(uint32_t key, uint32_t modifiers = 0) { QueueKey(key, 0, 1, modifiers); }
  // A typed key as the host queues it: its press, then its release.
  void Type(uint32_t key, uint32_t modifiers = 0) {
    KeyDown(key, modifiers);
    KeyUp(key, modifiers);
  }

  // ---- Host variations ----
  // false: a host that never acknowledges; the flag stays 0 in every cycle.
  void SetAcknowledging(bool on) { acknowledging_ = on; }
  // false: nothing is handed over, as before the host's first delivery.
  void SetDelivering(bool on) { delivering_ = on; }

  // ---- Running ----
  void Cycle() {
    if (acknowledging_) BHVR_SetAsynchronousACK();
    if (delivering_) {
      KeyboardEvent keyboard{0, 0, 0, 0, 0};
      if (!keys_.empty()) {
        keyboard = keys_.front();
        keys_.pop_front();
      }
      PointerEvent pointer{0, x_, y_, 0, 0, 0, 0};
      if (!pointers_.empty()) {
        pointer = pointers_.front();
        pointers_.pop_front();
      }
      BHVR_Keyboard(&keyboard);
      BHVR_Pointer(&pointer);
      last_pointer_ = pointer;
      last_keyboard_ = keyboard;
    }
    if (step_) step_();
    BHVR_Step();
    ++cycle_;
  }
  void Cycles(int count) {
    for (int i = 0; i < count; ++i) Cycle();
  }

  // Number of cycles run so far.
  int cycle() const { return cycle_; }
  bool HasQueuedEvents() const { return !pointers_.empty() || !keys_.empty(); }
  const PointerEvent& lastPointer() const { return last_pointer_; }
  const KeyboardEvent& lastKeyboard() const { return last_keyboard_; }

 private:
  void QueuePointer(uint32_t button, uint8_t pressed, uint8_t released, uint32_t modifiers) {
    pointers_.push_back(PointerEvent{0, x_, y_, button, pressed, released, modifiers});
  }
  void QueueKey(uint32_t key, uint8_t pressed, uint8_t released, uint32_t modifiers) {
    keys_.push_back(KeyboardEvent{0, key, pressed, released, modifiers});
  }

  std::function<void()> step_;
  std::deque<PointerEvent> pointers_;
  std::deque<KeyboardEvent> keys_;
  float x_ = 0.0f;
  float y_ = 0.0f;
  bool acknowledging_ = true;
  bool delivering_ = true;
  int cycle_ = 0;
  PointerEvent last_pointer_{};
  KeyboardEvent last_keyboard_{};
};

// The input side of one interactive widget, gathered the way a display class
// gathers it: pointer position and hit-test, focus step, key step. Sense()
// once per cycle, inside the driver's callback, in the widgets' drawing order.
struct TestWidget {
  float left;
  float bottom;
  float width;
  float height;
  uint8_t visible = 1;
  uint8_t enabled = 1;
  uint32_t focusId = 0;   // explicit focus id, 0: the record's own id
  uint32_t nextId = 0;    // successor in the focus order
  uint8_t isContainer = 0;
  uint8_t release = 0;    // hand the focus on to nextId
  uint32_t keyMode = 1;   // KeyEvent mode: 1 pressed pulse
  IndividualFocus focus;
  KeyEvent keys;
  uint8_t hover = 0;

  TestWidget(float l, float b, float w, float h) : left(l), bottom(b), width(w), height(h) {
    IndividualFocus_init(&focus);
    KeyEvent_init(&keys);
  }

  void Sense() {
    hover = 0;
    if (visible != 0 && enabled != 0) {
      float x = 0.0f;
      float y = 0.0f;
      Velkor_locate(BHVR_ANY_DEVICE, &x, &y);
      hover = PointInRect(x, y, left, bottom, width, height) ? 1 : 0;
    }
    IndividualFocus_step(&focus, hover, release, isContainer, focusId, nextId);
    KeyEvent_step(&keys, keyMode, focus.focusState);
  }

  // Read as int so that test failures print numbers, not characters.
  int focusState() const { return focus.focusState; }
  uint32_t id() const { return focus.idInUse; }
  int pressed() const { return focus.pressedPulse; }
  int released() const { return focus.releasedPulse; }
  uint32_t button() const { return focus.lastButton; }
  int keyPressed() const { return keys.pressedPulse; }
  int keyReleased() const { return keys.releasedPulse; }
  uint32_t key() const { return keys.key; }
  // The "space key" input of the toggling behaviours.
  int spaceKey() const { return (keys.output != 0 && keys.key == KEY_SPACE) ? 1 : 0; }
};

}  // namespace velkor_test
