// Pop-up panel: opening and closing on request, and closing on a press
// outside it in mode 1.
#include "widgets/PopUpPanel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PopUpPanel, RequestsApplyAtOnceAndMode1ClosesOnAPressOutside) {
  // Actions: 'O' / 'C' apply open / close, 'i' / 'o' a press inside /
  // outside, 'B' apply open with a press outside, 'r' open requested
  // without apply, '-' nothing. Traced: open per cycle.
  for (uint32_t mode : {1u, 0u, 2u}) {
    PopUpPanel_State panel;
    PopUpPanel_init(&panel);  // shows open, but the first step starts closed
    std::string trace;
    for (char a : std::string("-oO-ioOCBr")) {
      uint8_t isOpen = 9;
      wrapper_PopUpPanel(a == 'O' || a == 'B' || a == 'r', a == 'O' || a == 'C' || a == 'B',
                         a == 'i', a == 'i' || a == 'o' || a == 'B', mode, &isOpen, &panel);
      trace += char('0' + isOpen);
    }
    EXPECT_EQ(mode == 1 ? "0011101011" : "0011111011", trace) << "mode " << mode;
  }
}

}  // namespace
