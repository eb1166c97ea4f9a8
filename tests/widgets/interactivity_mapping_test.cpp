// The seam between host and widgets: device tables, the lookup rule of the
// readers, cursor requests, and the key and click edge detectors.
#include "widgets/interactivity_mapping.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::CycleDriver;

TEST(Mapping, LookupRuleMatchesEqualIdsAndTheAnyDeviceIdOnEitherSide) {
  const struct {
    uint32_t stored, requested;
    bool answers;
  } cases[] = {
      {0, 0, true},  {0, BHVR_ANY_DEVICE, true}, {0, 1, false},
      {1, 0, false}, {BHVR_ANY_DEVICE, 3, true}, {BHVR_ANY_DEVICE, BHVR_ANY_DEVICE, true},
  };
  for (const auto& c : cases) {
    CycleDriver clean;
    BHVR_SetPointer(c.stored, 100.0f, 200.0f, 1, 1, 0, 0);
    BHVR_SetKeyboard(c.stored, 'q', 1, 0, 0);
    float x = -1.0f;
    uint32_t key = 0;
    Velkor_locate(c.requested, &x, nullptr);
    Velkor_keyboard(c.requested, nullptr, nullptr, &key, nullptr);
    // Without a matching record the readers write nothing.
    EXPECT_EQ(c.answers ? 100.0f : -1.0f, x) << c.stored << " asked as " << c.requested;
    EXPECT_EQ(c.answers ? uint32_t('q') : 0u, key) << c.stored << " asked as " << c.requested;
  }
}

TEST(Mapping, OneRecordPerTableInTheReadersArgumentOrder) {
  CycleDriver clean;
  BHVR_SetPointer(0, 10.0f, 20.0f, 1, 1, 0, 0);
  BHVR_SetPointer(1, 30.0f, 40.0f, 2, 0, 1, 0);  // no room for a second mouse
  uint8_t pressed = 9;
  Velkor_pointer(1, &pressed, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(9, pressed) << "device 1 was dropped, so nothing answers for it";

  const PointerEvent next{0, 12.5f, 34.5f, 3, 0, 1, MODIFIER_CONTROL};  // same device
  BHVR_Pointer(&next);
  uint8_t released = 0;
  uint32_t button = 0, modifiers = 0;
  float x = 0.0f, y = 0.0f;
  Velkor_pointer(0, &pressed, &released, &button, &x, &y, &modifiers);
  EXPECT_EQ(0, pressed);
  EXPECT_EQ(1, released);
  EXPECT_EQ(3u, button);
  EXPECT_EQ(12.5f, x);
  EXPECT_EQ(34.5f, y);
  EXPECT_EQ(MODIFIER_CONTROL, modifiers);
}

struct CursorCall {
  uint32_t id = 0;
  float x = 0.0f;
  int calls = 0;
};

void RecordCursor(void* context, uint32_t id, float x, float /*y*/) {
  CursorCall* call = static_cast<CursorCall*>(context);
  call->id = id;
  call->x = x;
  ++call->calls;
}

TEST(Mapping, CursorRequestReachesTheRegisteredCallbackOnly) {
  CycleDriver clean;
  CursorCall call;
  Velkor_cursor(0, 1.0f, 2.0f);  // nothing registered: nothing happens
  BHVR_CursorPosRequest(RecordCursor, &call);
  Velkor_cursor(BHVR_ANY_DEVICE, 640.0f, 384.0f);
  BHVR_CursorPosRequest(nullptr, &call);
  Velkor_cursor(0, 5.0f, 5.0f);
  EXPECT_EQ(1, call.calls);
  EXPECT_EQ(BHVR_ANY_DEVICE, call.id);
  EXPECT_EQ(640.0f, call.x);
}

TEST(Mapping, KeyEventGivesOnePulsePerKeyAndOnlyWithFocus) {
  for (uint32_t mode : {1u, 2u}) {
    CycleDriver driver;
    KeyEvent keys;
    KeyEvent_init(&keys);
    uint8_t enable = 1;
    driver.OnCycle([&] { KeyEvent_step(&keys, mode, enable); });
    driver.KeyDown('a');
    driver.KeyDown('a');  // a held key repeats its press in the next cycle
    driver.KeyUp('a');
    driver.KeyDown('b');  // typed while the widget has no focus
    driver.KeyUp('b');
    driver.KeyDown('c');  // a group's forced focus counts as focus
    const struct {
      uint8_t enable;
      int pressed, released;
      uint32_t key;
    } rows[] = {{1, 1, 0, 'a'}, {1, 0, 0, 0}, {1, 0, 1, 'a'}, {0, 0, 0, 0},
                {0, 0, 0, 0},   {2, 1, 0, 'c'}, {1, 0, 0, 0}};
    for (const auto& row : rows) {
      enable = row.enable;
      driver.Cycle();
      SCOPED_TRACE("mode " + std::to_string(mode) + ", cycle " + std::to_string(driver.cycle()));
      EXPECT_EQ(row.pressed, keys.pressedPulse);
      EXPECT_EQ(row.released, keys.releasedPulse);
      EXPECT_EQ(row.key, keys.key);
      EXPECT_EQ(mode == 1 ? row.pressed : row.released, keys.output);
    }
  }
}

TEST(Mapping, ClickAreaPulsesOncePerPressAndOnReleaseOverIt) {
  CycleDriver driver;
  ClickArea area;
  ClickArea_init(&area);
  uint8_t hover = 0;
  driver.OnCycle([&] { ClickArea_step(&area, 1, 1, hover, 1); });
  const struct {
    char input;
    uint8_t hover;
    int onPress, onRelease;
  } story[] = {
      {'p', 0, 0, 0},  // pressed before the pointer is seen over the area
      {'-', 1, 1, 0},  // the previous cycle's press counts once hovered
      {'-', 1, 0, 0},
      {'r', 1, 0, 1},
      {'p', 1, 1, 0},
      {'-', 1, 0, 0},  // the same press does not pulse twice
      {'r', 0, 0, 0},  // released outside
  };
  for (const auto& row : story) {
    if (row.input == 'p') driver.Press();
    if (row.input == 'r') driver.Release();
    hover = row.hover;
    driver.Cycle();
    EXPECT_EQ(row.onPress, area.onPress) << "cycle " << driver.cycle();
    EXPECT_EQ(row.onRelease, area.onRelease) << "cycle " << driver.cycle();
    EXPECT_EQ(area.onPress, area.click) << "mode 1 clicks on press";
  }
}

TEST(Mapping, ClickAreaIgnoresTheWheelAndDisabledOrInvisibleAreas) {
  const struct {
    uint8_t visible, enabled;
    uint32_t button;
  } cases[] = {{1, 1, 4}, {1, 1, 5}, {1, 0, 1}, {0, 1, 1}};
  for (const auto& c : cases) {
    CycleDriver driver;
    ClickArea area;
    ClickArea_init(&area);
    int pulses = 0;
    driver.OnCycle([&] {
      ClickArea_step(&area, c.visible, c.enabled, 1, 2);
      pulses += area.onPress + area.onRelease + area.click;
    });
    driver.Press(c.button);
    driver.Release(c.button);
    driver.Cycles(2);
    EXPECT_EQ(0, pulses) << "visible " << int(c.visible) << " enabled " << int(c.enabled)
                         << " button " << c.button;
  }
}

}  // namespace
