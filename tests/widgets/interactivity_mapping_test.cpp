// The seam between host and widgets: device tables, readers, key and click edge detectors.
#include "widgets/interactivity_mapping.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::CycleDriver;

TEST(Mapping, ReadersMatchEqualIdsOrTheAnyDeviceIdAndTablesHoldOneRecord) {
  const struct {
    uint32_t stored, requested;
    bool answers;
  } cases[] = {{0, BHVR_ANY_DEVICE, true}, {0, 1, false}, {BHVR_ANY_DEVICE, 3, true}};
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
  CycleDriver clean;
  BHVR_SetPointer(0, 10.0f, 20.0f, 1, 1, 0, 0);
  BHVR_SetPointer(1, 30.0f, 40.0f, 2, 0, 1, 0);  // no room for a second mouse
  uint8_t pressed = 9;
  Velkor_pointer(1, &pressed, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(9, pressed) << "device 1 was dropped, so nothing answers for it";
}

TEST(Mapping, KeyEventGivesOnePulsePerKeyAndOnlyWithFocus) {
  for (uint32_t mode : {1u, 2u}) {
    CycleDriver driver;
    KeyEvent keys;
    KeyEvent_init(&keys);
    uint8_t enable = 0;
    driver.OnCycle([&] { KeyEvent_step(&keys, mode, enable); });
    // 'a' down in two cycles (a held key repeats) and up (capital), with the focus; 'b' down and
    // up without it; 'c' down with a group's forced focus.
    for (char k : std::string("aaAbBc")) {
      if (std::islower(k)) driver.KeyDown(k);
      if (std::isupper(k)) driver.KeyUp(std::tolower(k));
    }
    std::string trace;  // pressed, released, key, output per cycle
    for (uint8_t focus : {1, 1, 1, 0, 0, 2, 1}) {
      enable = focus;
      driver.Cycle();
      trace += std::to_string(keys.pressedPulse) + std::to_string(keys.releasedPulse) +
               (keys.key ? char(keys.key) : '-') + std::to_string(keys.output) + " ";
    }
    EXPECT_EQ(
        mode == 1 ? "10a1 00-0 01a0 00-0 00-0 10c1 00-0 " : "10a0 00-0 01a1 00-0 00-0 10c0 00-0 ",
        trace)
        << "mode " << mode << ": the output follows the pressed pulse in mode 1, else released";
  }
}

TEST(Mapping, ClickAreaPulsesOncePerPressAndOnReleaseOverIt) {
  CycleDriver driver;
  ClickArea area;
  ClickArea_init(&area);
  uint8_t hover = 0;
  driver.OnCycle([&] { ClickArea_step(&area, 1, 1, hover, 1); });
  // Over the area (capitals) or beside it: 'P' / 'p' press, 'R' / 'r' release, '=' nothing.
  // Traces onPress and onRelease per cycle.
  std::string trace;
  for (char action : std::string("p==RP=r")) {
    if (action == 'P' || action == 'p') driver.Press();
    if (action == 'R' || action == 'r') driver.Release();
    hover = action == 'P' || action == 'R' || action == '=';
    driver.Cycle();
    trace += std::to_string(area.onPress) + std::to_string(area.onRelease) + " ";
    EXPECT_EQ(area.onPress, area.click) << "mode 1 clicks on press";
  }
  // The press of the cycle before the pointer is seen over the area counts; a held press pulses
  // once; a release beside the area is no release.
  EXPECT_EQ("00 10 00 01 10 00 00 ", trace);
}

TEST(Mapping, ClickAreaIgnoresTheWheelAndDisabledOrInvisibleAreas) {
  // The host sends a wheel notch as a press (button 4 or 5) and never a release; the record of
  // the next cycle reads button 0. A left click is pressed and released.
  // Visible, enabled, button, mode.
  const std::tuple<uint8_t, uint8_t, uint32_t, uint32_t> cases[] = {
      {1, 1, 5, 1}, {1, 1, 4, 2}, {1, 0, 1, 1}, {0, 1, 1, 2}};
  for (const auto& [visible, enabled, button, mode] : cases) {
    CycleDriver driver;
    ClickArea area;
    ClickArea_init(&area);
    std::string trace;
    driver.OnCycle([&, visible = visible, enabled = enabled, mode = mode] {
      ClickArea_step(&area, visible, enabled, 1, mode);
      trace += std::to_string(area.onPress + area.onRelease + area.click);
    });
    driver.Press(button);
    if (button < 4) driver.Release(button);
    driver.Cycles(3);
    EXPECT_EQ("000", trace) << "visible " << int(visible) << " enabled " << int(enabled)
                            << " button " << button << " mode " << mode;
  }
}

}  // namespace
