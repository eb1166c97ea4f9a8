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
  CycleDriver clean;
  BHVR_SetPointer(0, 100.0f, 200.0f, 1, 1, 0, 0);
  BHVR_SetPointer(1, 30.0f, 40.0f, 2, 0, 1, 0);  // no room for a second mouse
  BHVR_SetKeyboard(BHVR_ANY_DEVICE, 'q', 1, 0, 0);
  float any = -1.0f, second = -1.0f;
  uint32_t key = 0;
  Velkor_locate(BHVR_ANY_DEVICE, &any, nullptr);
  Velkor_locate(1, &second, nullptr);  // without a matching record the reader writes nothing
  Velkor_keyboard(3, nullptr, nullptr, &key, nullptr);
  EXPECT_EQ(std::make_tuple(100.0f, -1.0f, uint32_t('q')), std::make_tuple(any, second, key));
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

TEST(Mapping, ClickAreaPulsesOncePerPressAndOnReleaseOverItButNeverForTheWheel) {
  // Visible, enabled, mode; one cycle per action over the area (capitals, digits, '=') or beside
  // it: 'P' / 'p' left press, 'R' / 'r' release, '4' / '5' a wheel notch (the host sends it as a
  // press of button 4 or 5 and never releases it), '=' nothing. Traced: onPress, onRelease, click.
  const std::tuple<uint8_t, uint8_t, uint32_t, const char*, const char*> cases[] = {
      // A press a cycle before the pointer is over it counts, once; a release beside is none.
      {1, 1, 1, "p==RP=r", "000 101 000 010 101 000 000 "},
      {1, 1, 1, "5==", "000 000 000 "},
      {1, 1, 2, "4==", "000 000 000 "},
      {1, 0, 1, "PR=", "000 000 000 "},
      {0, 1, 2, "PR=", "000 000 000 "},
  };
  for (const auto& [visible, enabled, mode, actions, expected] : cases) {
    CycleDriver driver;
    ClickArea area;
    ClickArea_init(&area);
    uint8_t hover = 0;
    driver.OnCycle([&, visible = visible, enabled = enabled, mode = mode] {
      ClickArea_step(&area, visible, enabled, hover, mode);
    });
    std::string trace;
    for (char a : std::string(actions)) {
      if (a == 'P' || a == 'p' || a == '4' || a == '5') driver.Press(std::isdigit(a) ? a - '0' : 1);
      if (a == 'R' || a == 'r') driver.Release();
      hover = !std::islower(a);
      driver.Cycle();
      trace += std::to_string(area.onPress) + std::to_string(area.onRelease) +
               std::to_string(area.click) + " ";
    }
    EXPECT_EQ(expected, trace) << actions << " in mode " << mode << ", visible " << int(visible)
                               << ", enabled " << int(enabled);
  }
}

}  // namespace
