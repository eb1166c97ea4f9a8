// Cycle driver: steps widget behaviours cycle by cycle as the host does, so
// that a test reads like a user's story:
//
//   velkor_test::CycleDriver driver;              // empty device tables, no focus
//   velkor_test::TestWidget button(0, 0, 150, 50);
//   driver.OnCycle([&] { button.Sense(); wrapper_PushButton(2, button.hover, ...); });
//   driver.MoveTo(500, 500); driver.Press(); driver.Cycle();   // press elsewhere
//   driver.MoveTo(10, 10); driver.Release(); driver.Cycle();   // release on it
//
// Cycle() acknowledges (unless switched off), hands over the next queued key
// and pointer event (or an empty record at the pointer) and runs the step.
// Header only, so that each test executable pulls in the widget library.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>

#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

namespace velkor_test {

class CycleDriver {
 public:
  // The mapping and the focus are process-wide: every story starts afresh.
  CycleDriver() { ForgetAll(); }
  ~CycleDriver() { ForgetAll(); }

  void OnCycle(std::function<void()> step) { step_ = std::move(step); }
  void MoveTo(float x, float y) {
    x_ = x;
    y_ = y;
  }
  // A pointer event carries the position at the time it is queued. A wheel
  // notch is Press(4) or Press(5) alone: the host never releases it.
  void Press(uint32_t button = 1) { pointers_.push_back({0, x_, y_, button, 1, 0, 0}); }
  void Release(uint32_t button = 1) { pointers_.push_back({0, x_, y_, button, 0, 1, 0}); }
  void KeyDown(uint32_t key) { keys_.push_back({0, key, 1, 0, 0}); }
  void KeyUp(uint32_t key) { keys_.push_back({0, key, 0, 1, 0}); }
  void Type(uint32_t key) {
    KeyDown(key);
    KeyUp(key);
  }
  // false: a host that never acknowledges; the flag stays 0.
  void SetAcknowledging(bool on) { acknowledging_ = on; }

  void Cycle() {
    if (acknowledging_) BHVR_SetAsynchronousACK();
    KeyboardEvent keyboard = take(&keys_, KeyboardEvent{0, 0, 0, 0, 0});
    PointerEvent pointer = take(&pointers_, PointerEvent{0, x_, y_, 0, 0, 0, 0});
    BHVR_Keyboard(&keyboard);
    BHVR_Pointer(&pointer);
    if (step_) step_();
    BHVR_Step();
  }
  void Cycles(int count) {
    for (int i = 0; i < count; ++i) Cycle();
  }

 private:
  template <typename Event>
  static Event take(std::deque<Event>* queue, Event none) {
    if (queue->empty()) return none;
    const Event next = queue->front();
    queue->pop_front();
    return next;
  }
  static void ForgetAll() {
    BHVR_ForgetDevices();
    ClearFocus();
  }

  std::function<void()> step_;
  std::deque<PointerEvent> pointers_;
  std::deque<KeyboardEvent> keys_;
  float x_ = 0.0f, y_ = 0.0f;
  bool acknowledging_ = true;
};

// The input side of one interactive widget, gathered as a display class
// gathers it: hit-test of the pointer, focus step, key step. Sense() once
// per cycle inside the driver's step, in the widgets' drawing order.
struct TestWidget {
  float left, bottom, width, height;
  uint8_t enabled = 1;
  uint8_t isContainer = 0;
  IndividualFocus focus;
  KeyEvent keys;
  uint8_t hover = 0;

  TestWidget(float l, float b, float w, float h) : left(l), bottom(b), width(w), height(h) {
    IndividualFocus_init(&focus);
    KeyEvent_init(&keys);
  }
  void Sense() {
    float x = 0.0f, y = 0.0f;
    Velkor_locate(BHVR_ANY_DEVICE, &x, &y);
    hover = enabled != 0 && x >= left && x <= left + width && y >= bottom && y <= bottom + height;
    IndividualFocus_step(&focus, hover, 0, isContainer, 0, 0);  // own id, focus never handed on
    KeyEvent_step(&keys, 1, focus.focusState);
  }

  // Read as int so that failures print numbers, not characters.
  int focusState() const { return focus.focusState; }
  uint32_t id() const { return focus.idInUse; }
  int pressed() const { return focus.pressedPulse; }
  int released() const { return focus.releasedPulse; }
  uint32_t button() const { return focus.lastButton; }
  int keyPressed() const { return keys.pressedPulse; }
  int keyReleased() const { return keys.releasedPulse; }
  uint32_t key() const { return keys.key; }
  // The "space key" input of the toggling behaviours.
  int spaceKey() const { return (keys.pressedPulse != 0 && keys.key == KEY_SPACE) ? 1 : 0; }
};

}  // namespace velkor_test
