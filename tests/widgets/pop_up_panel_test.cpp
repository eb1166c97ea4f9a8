// Pop-up panel: opening and closing on request, and closing on a press
// outside it in mode 1.
#include "widgets/PopUpPanel.h"

#include <gtest/gtest.h>

namespace {

TEST(PopUpPanel, RequestsApplyAtOnceAndMode1ClosesOnAPressOutside) {
  const struct {
    uint8_t open, apply, hover, rawPressed;
    int isOpenMode1, isOpenOtherModes;
    const char* note;
  } story[] = {
      {0, 0, 0, 0, 0, 0, "starts closed, whatever init showed"},
      {0, 0, 0, 1, 0, 0, "a press while closed changes nothing"},
      {1, 1, 0, 0, 1, 1, "apply open"},
      {0, 0, 0, 0, 1, 1, "stays open without a request"},
      {0, 0, 1, 1, 1, 1, "a press inside keeps it open"},
      {0, 0, 0, 1, 0, 1, "a press outside closes it in mode 1 only"},
      {1, 1, 0, 0, 1, 1, "reopen"},
      {0, 1, 1, 0, 0, 0, "apply close"},
      {1, 1, 0, 1, 1, 1, "apply open wins over a press outside in the same cycle"},
      {1, 0, 0, 0, 1, 1, "a requested state without apply changes nothing"},
  };
  for (uint32_t mode : {1u, 0u, 2u}) {
    PopUpPanel_State panel;
    PopUpPanel_init(&panel);
    for (const auto& row : story) {
      uint8_t isOpen = 9;
      wrapper_PopUpPanel(row.open, row.apply, row.hover, row.rawPressed, mode, &isOpen, &panel);
      EXPECT_EQ(mode == 1 ? row.isOpenMode1 : row.isOpenOtherModes, int(isOpen))
          << "mode " << mode << ": " << row.note;
    }
  }
}

}  // namespace
