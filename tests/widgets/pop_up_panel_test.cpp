// Pop-up panel: opening and closing on request, and closing on a press
// outside it in mode 1.
#include "widgets/PopUpPanel.h"

#include <gtest/gtest.h>

namespace {

struct Row {
  uint8_t open;
  uint8_t apply;
  uint8_t hover;
  uint8_t rawPressed;
  int isOpenMode1;
  int isOpenMode0;
  const char* note;
};

TEST(PopUpPanelTest, RequestsApplyAtOnceAndMode1ClosesOnAPressOutside) {
  const Row story[] = {
      {0, 0, 0, 0, 0, 0, "starts closed after reset"},
      {0, 0, 0, 1, 0, 0, "a press while closed changes nothing"},
      {1, 1, 0, 0, 1, 1, "apply open"},
      {0, 0, 0, 0, 1, 1, "stays open without a request"},
      {0, 0, 1, 1, 1, 1, "press inside keeps it open"},
      {0, 0, 0, 1, 0, 1, "press outside closes it in mode 1 only"},
      {1, 1, 0, 0, 1, 1, "reopen"},
      {0, 1, 1, 0, 0, 0, "apply close"},
      {1, 1, 0, 1, 1, 1, "apply open wins over a press outside in the same cycle"},
      {1, 0, 0, 0, 1, 1, "a requested state without apply changes nothing"},
  };
  for (uint32_t mode : {1u, 0u, 2u}) {
    PopUpPanel_State panel;
    PopUpPanel_init(&panel);
    wrapper_PopUpPanel_reset(&panel);
    int row = 0;
    for (const Row& r : story) {
      uint8_t isOpen = 9;
      wrapper_PopUpPanel(r.open, r.apply, r.hover, r.rawPressed, mode, &isOpen, &panel);
      const int expected = (mode == 1) ? r.isOpenMode1 : r.isOpenMode0;
      EXPECT_EQ(expected, int(isOpen)) << "mode " << mode << " row " << row << ": " << r.note;
      ++row;
    }
  }
}

TEST(PopUpPanelTest, InitShowsOpenButTheFirstStepStartsFromClosed) {
  PopUpPanel_State panel;
  PopUpPanel_init(&panel);
  EXPECT_EQ(1, panel.isOpen);
  uint8_t isOpen = 9;
  wrapper_PopUpPanel(0, 0, 0, 0, 1, &isOpen, &panel);
  EXPECT_EQ(0, int(isOpen));
}

}  // namespace
