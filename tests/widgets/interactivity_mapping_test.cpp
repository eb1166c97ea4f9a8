// The seam between host and widgets: device tables, the lookup rule of the
// readers, the acknowledge flag, and the key and click edge detectors.
#include "widgets/interactivity_mapping.h"

#include <gtest/gtest.h>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::CycleDriver;

class MappingTest : public ::testing::Test {
 protected:
  void SetUp() override { BHVR_ForgetDevices(); }
  void TearDown() override { BHVR_ForgetDevices(); }
};

// ---- Lookup rule ----------------------------------------------------------------

TEST_F(MappingTest, ReadersLeaveOutputsUntouchedBeforeAnyRecord) {
  float x = 7.0f, y = 8.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &x, &y);
  EXPECT_EQ(7.0f, x);
  EXPECT_EQ(8.0f, y);

  uint8_t pressed = 5, released = 6;
  uint32_t key = 99, modifiers = 3;
  Velkor_keyboard(0, &pressed, &released, &key, &modifiers);
  EXPECT_EQ(5, pressed);
  EXPECT_EQ(6, released);
  EXPECT_EQ(99u, key);
  EXPECT_EQ(3u, modifiers);
}

struct LookupCase {
  uint32_t stored;
  uint32_t requested;
  bool answers;
};

TEST_F(MappingTest, LookupRuleMatchesEqualIdsAndTheAnyDeviceIdOnEitherSide) {
  const LookupCase cases[] = {
      {0, 0, true},
      {0, BHVR_ANY_DEVICE, true},
      {0, 1, false},
      {1, 0, false},
      {5, 5, true},
      {BHVR_ANY_DEVICE, 3, true},
      {BHVR_ANY_DEVICE, BHVR_ANY_DEVICE, true},
  };
  for (const LookupCase& c : cases) {
    BHVR_ForgetDevices();
    BHVR_SetPointer(c.stored, 100.0f, 200.0f, 1, 1, 0, 0);
    BHVR_SetKeyboard(c.stored, 'q', 1, 0, 0);
    float x = -1.0f;
    Velkor_locate(c.requested, &x, nullptr);
    uint32_t key = 0;
    Velkor_keyboard(c.requested, nullptr, nullptr, &key, nullptr);
    EXPECT_EQ(c.answers ? 100.0f : -1.0f, x) << "stored " << c.stored << " requested " << c.requested;
    EXPECT_EQ(c.answers ? uint32_t('q') : 0u, key)
        << "stored " << c.stored << " requested " << c.requested;
  }
}

TEST_F(MappingTest, SecondDeviceIsDroppedAndSameDeviceIsOverwritten) {
  BHVR_SetPointer(0, 10.0f, 20.0f, 1, 1, 0, 0);
  BHVR_SetPointer(1, 30.0f, 40.0f, 2, 0, 1, 0);  // no room for a second mouse

  uint8_t pressed = 9;
  Velkor_pointer(1, &pressed, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(9, pressed) << "device 1 was dropped, so nothing answers for it";

  float x = 0.0f;
  Velkor_locate(0, &x, nullptr);
  EXPECT_EQ(10.0f, x);

  BHVR_SetPointer(0, 55.0f, 66.0f, 0, 0, 0, 0);  // next cycle, same device
  Velkor_locate(BHVR_ANY_DEVICE, &x, nullptr);
  EXPECT_EQ(55.0f, x);
}

TEST_F(MappingTest, PointerReaderWritesEveryFieldInItsOwnArgumentOrder) {
  const PointerEvent event{0, 12.5f, 34.5f, 3, 1, 0, MODIFIER_CONTROL};
  BHVR_Pointer(&event);
  uint8_t pressed = 0, released = 7;
  uint32_t button = 0, modifiers = 0;
  float x = 0.0f, y = 0.0f;
  Velkor_pointer(0, &pressed, &released, &button, &x, &y, &modifiers);
  EXPECT_EQ(1, pressed);
  EXPECT_EQ(0, released);
  EXPECT_EQ(3u, button);
  EXPECT_EQ(12.5f, x);
  EXPECT_EQ(34.5f, y);
  EXPECT_EQ(MODIFIER_CONTROL, modifiers);

  // Every output may be omitted.
  Velkor_pointer(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  Velkor_locate(0, nullptr, nullptr);
}

TEST_F(MappingTest, FieldSettersStoreWhatTheRecordHandOverStores) {
  BHVR_SetKeyboard(0, KEY_DELETE, 0, 1, MODIFIER_SHIFT);
  uint8_t pressed = 9, released = 9;
  uint32_t key = 0, modifiers = 0;
  Velkor_keyboard(0, &pressed, &released, &key, &modifiers);
  EXPECT_EQ(0, pressed);
  EXPECT_EQ(1, released);
  EXPECT_EQ(KEY_DELETE, key);
  EXPECT_EQ(MODIFIER_SHIFT, modifiers);
}

// ---- Acknowledge flag and cursor requests ------------------------------------------

TEST_F(MappingTest, AcknowledgeFlagIsSetForTheCycleAndClearedAfterIt) {
  CycleDriver driver;
  uint8_t seen = 0;
  driver.OnCycle([&] { seen = BHVR_AsynchronousACK; });
  driver.Cycle();
  EXPECT_EQ(1, seen);
  EXPECT_EQ(0, BHVR_AsynchronousACK);

  driver.SetAcknowledging(false);
  driver.Cycle();
  EXPECT_EQ(0, seen);
}

struct CursorCall {
  void* context = nullptr;
  uint32_t id = 0;
  float x = 0.0f;
  float y = 0.0f;
  int calls = 0;
};

void RecordCursor(void* context, uint32_t id, float x, float y) {
  CursorCall* call = static_cast<CursorCall*>(context);
  call->context = context;
  call->id = id;
  call->x = x;
  call->y = y;
  ++call->calls;
}

TEST_F(MappingTest, CursorRequestReachesTheRegisteredCallbackOnly) {
  CursorCall call;
  Velkor_cursor(0, 1.0f, 2.0f);  // nothing registered: nothing happens
  BHVR_CursorPosRequest(RecordCursor, &call);
  Velkor_cursor(BHVR_ANY_DEVICE, 640.0f, 384.0f);
  EXPECT_EQ(1, call.calls);
  EXPECT_EQ(static_cast<void*>(&call), call.context);
  EXPECT_EQ(BHVR_ANY_DEVICE, call.id);
  EXPECT_EQ(640.0f, call.x);
  EXPECT_EQ(384.0f, call.y);

  BHVR_CursorPosRequest(nullptr, &call);
  Velkor_cursor(0, 5.0f, 5.0f);
  EXPECT_EQ(1, call.calls);
}

// ---- KeyEvent -------------------------------------------------------------------------

struct KeyRow {
  uint8_t enable;
  uint8_t pressedPulse;
  uint8_t releasedPulse;
  uint32_t key;
};

TEST_F(MappingTest, KeyEventGivesOnePulsePerKeyAndOnlyWithFocus) {
  CycleDriver driver;
  KeyEvent keys;
  KeyEvent_init(&keys);
  uint8_t enable = 1;
  driver.OnCycle([&] { KeyEvent_step(&keys, 1, enable); });

  driver.KeyDown('a');
  driver.KeyDown('a');  // a held key repeats its press in the next cycle
  driver.KeyUp('a');
  driver.KeyDown('b');  // typed while the widget has no focus
  driver.KeyUp('b');
  const KeyRow expected[] = {
      {1, 1, 0, 'a'}, {1, 0, 0, 0}, {1, 0, 1, 'a'}, {0, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0},
  };
  for (const KeyRow& row : expected) {
    enable = row.enable;
    driver.Cycle();
    EXPECT_EQ(row.pressedPulse, keys.pressedPulse) << "cycle " << driver.cycle();
    EXPECT_EQ(row.releasedPulse, keys.releasedPulse) << "cycle " << driver.cycle();
    EXPECT_EQ(row.key, keys.key) << "cycle " << driver.cycle();
    EXPECT_EQ(keys.pressedPulse, keys.output) << "mode 1 follows the pressed pulse";
  }
}

TEST_F(MappingTest, KeyEventOutputFollowsTheReleasedPulseInOtherModes) {
  CycleDriver driver;
  KeyEvent keys;
  KeyEvent_init(&keys);
  driver.OnCycle([&] { KeyEvent_step(&keys, 2, FOCUS_HELD); });
  driver.Type(KEY_SPACE);
  driver.Cycle();
  EXPECT_EQ(0, keys.output);
  driver.Cycle();
  EXPECT_EQ(1, keys.output);
  EXPECT_EQ(KEY_SPACE, keys.key);
}

TEST_F(MappingTest, KeyEventAcceptsTheForcedFocusState) {
  CycleDriver driver;
  KeyEvent keys;
  KeyEvent_init(&keys);
  driver.OnCycle([&] { KeyEvent_step(&keys, 1, FOCUS_FORCED); });
  driver.KeyDown(KEY_DOWN);
  driver.Cycle();
  EXPECT_EQ(1, keys.pressedPulse);
  EXPECT_EQ(KEY_DOWN, keys.key);
}

// ---- ClickArea --------------------------------------------------------------------------

enum class Input { kNone, kPress, kRelease };

struct ClickRow {
  Input input;
  uint8_t hover;
  uint8_t onPress;
  uint8_t onRelease;
};

void Queue(CycleDriver* driver, Input input) {
  if (input == Input::kPress) driver->Press();
  if (input == Input::kRelease) driver->Release();
}

TEST_F(MappingTest, ClickAreaPulsesOncePerPressAndOnReleaseOverIt) {
  CycleDriver driver;
  ClickArea area;
  ClickArea_init(&area);
  uint8_t hover = 0;
  driver.OnCycle([&] { ClickArea_step(&area, 1, 1, hover, 1); });

  const ClickRow story[] = {
      {Input::kPress, 0, 0, 0},    // pressed before the pointer is seen over the area
      {Input::kNone, 1, 1, 0},     // the previous cycle's press counts once hovered
      {Input::kNone, 1, 0, 0},
      {Input::kRelease, 1, 0, 1},
      {Input::kPress, 1, 1, 0},
      {Input::kNone, 1, 0, 0},     // the same press does not pulse twice
      {Input::kRelease, 0, 0, 0},  // released outside
  };
  for (const ClickRow& row : story) {
    Queue(&driver, row.input);
    hover = row.hover;
    driver.Cycle();
    EXPECT_EQ(row.onPress, area.onPress) << "cycle " << driver.cycle();
    EXPECT_EQ(row.onRelease, area.onRelease) << "cycle " << driver.cycle();
    EXPECT_EQ(area.onPress, area.click) << "mode 1 clicks on press";
  }
}

TEST_F(MappingTest, ClickAreaIgnoresWheelDisabledAndInvisible) {
  struct Case {
    uint8_t visible;
    uint8_t enabled;
    bool wheel;
  };
  const Case cases[] = {{1, 1, true}, {1, 0, false}, {0, 1, false}};
  for (const Case& c : cases) {
    CycleDriver driver;
    ClickArea area;
    ClickArea_init(&area);
    driver.OnCycle([&] { ClickArea_step(&area, c.visible, c.enabled, 1, 2); });
    if (c.wheel) {
      driver.Wheel(true);
    } else {
      driver.Press();
    }
    driver.Release(c.wheel ? 4 : 1);
    driver.Cycle();
    EXPECT_EQ(0, area.onPress);
    driver.Cycle();
    EXPECT_EQ(0, area.onRelease);
    EXPECT_EQ(0, area.click);
  }
}

TEST_F(MappingTest, ClickAreaInReleaseModeClicksOnTheRelease) {
  CycleDriver driver;
  ClickArea area;
  ClickArea_init(&area);
  driver.OnCycle([&] { ClickArea_step(&area, 1, 1, 1, 0); });
  driver.Press();
  driver.Release();
  driver.Cycle();
  EXPECT_EQ(0, area.click);
  driver.Cycle();
  EXPECT_EQ(1, area.click);
  driver.Cycle();
  EXPECT_EQ(0, area.click);
}

}  // namespace
