// Panels and pop-up panels driven through the real frame off-screen.
#include <gtest/gtest.h>

#include <vector>

#include "display/Velkor_Panel.h"
#include "display/Velkor_PopUpPanel.h"
#include "tests/display/display_fixture.h"

namespace velkor_test {
namespace {

const Rgba kRedPixel{255, 0, 0, 255};

// What a panel's children callback saw; the children paint far beyond
// their panel.
struct ChildLog {
  int calls = 0;
  uint32_t pass = 99;
  int32_t index = 0;
  uint32_t children_pass = 99;
};

void draw_children(void* argument, uint32_t pass, int32_t index, uint32_t children_pass) {
  ChildLog* log = static_cast<ChildLog*>(argument);
  log->calls += 1;
  log->pass = pass;
  log->index = index;
  log->children_pass = children_pass;
  sglIndexColori(kRed);
  FillQuad(-2000, -2000, 2000, 2000);
}

TEST_F(DisplayTest, PanelDrawsItsPlateInItsColoursThenClipsItsChildren) {
  // Face and frame come from the scheme (-1) or the given index; frame -2 is none.
  const struct {
    const char* name;
    float scale, degrees;
    int x, y, w, h;  // where the panel lands on the display
    int32_t face, frame, face_computed, frame_computed;
  } cases[] = {{"plain", 1, 0, 300, 200, 240, 160, -1, -1, 1009, 1002},
               {"scaled", 1.5f, 0, 300, 200, 360, 240, kGrey, kRed, kGrey, kRed},
               {"turned a quarter", 1, 90, 140, 200, 160, 240, -1, -2, 1009, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Velkor_Panel panel;
    Velkor_Panel_init(&panel);
    panel.width = 240;
    panel.height = 160;
    ChildLog log;
    panel.children = draw_children;
    panel.argument = &log;
    panel.childrenPass = 2;
    panel.pass = 2;
    panel.faceColor = c.face;
    panel.frameColor = c.frame;
    Frame([&] { DrawAt(300, 200, c.scale, c.degrees, [&] { Velkor_Panel_draw(&panel, 2); }); });
    EXPECT_EQ(c.face_computed, panel.backgroundColor);
    EXPECT_EQ(c.frame_computed, panel.frameColorComputed);
    EXPECT_EQ(1, log.calls);
    EXPECT_EQ(2u, log.pass);
    EXPECT_EQ(-1, log.index);
    EXPECT_EQ(2u, log.children_pass);
    EXPECT_EQ(c.w * c.h, CountPixelsNear(c.x, c.y, c.w, c.h, kRedPixel, 2));
    // Nothing outside but the panel's own frame line, which straddles its edge.
    EXPECT_EQ(CountCoveredPixels(c.x - 2, c.y - 2, c.w + 4, c.h + 4),
              CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_NEAR(c.x, panel.drawnRect.x, 0.01f);
    EXPECT_NEAR(c.w, panel.drawnRect.width, 0.01f);
  }
}

TEST_F(DisplayTest, PopUpOpensClosesAndDrawsOnlyWhileOpenClippingItsChildren) {
  // The pop-up at (400, 300), 300 x 200, in pass 2.
  static Velkor_PopUpPanel popup;
  ChildLog log;
  auto draw = [&] {
    FrameOf(&popup, Velkor_PopUpPanel_predraw, Velkor_PopUpPanel_draw, 400, 300);
    popup.apply = 0;
  };
  enum Step { kOpen, kClose, kPressInside, kPressOutside, kNothing };
  const struct {
    const char* name;
    uint32_t close_mode;
    std::vector<Step> steps;
    uint8_t open;
  } cases[] = {
      {"starts closed", 1, {kNothing}, 0},
      {"a press inside keeps it open", 1, {kOpen, kPressInside}, 1},
      {"a press outside closes it", 1, {kOpen, kPressOutside}, 0},
      {"mode 0 ignores a press outside", 0, {kOpen, kPressOutside}, 1},
      {"closed by the owner", 0, {kOpen, kClose}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Velkor_PopUpPanel_init(&popup);
    popup.width = 300;
    popup.height = 200;
    popup.children = draw_children;
    popup.argument = &log;
    popup.closeMode = c.close_mode;
    popup.frameStyle = 0;
    MoveTo(10, 10);
    for (Step s : c.steps) {
      if (s == kOpen || s == kClose) {
        popup.open = s == kOpen ? 1 : 0;
        popup.apply = 1;
      }
      if (s == kPressInside || s == kPressOutside) {
        MoveTo(s == kPressInside ? 500 : 100, s == kPressInside ? 400 : 100);
        Press();
      }
      const int calls = log.calls;
      draw();
      // Children of a pop-up closed by a press never see that press.
      if (!popup.isOpen) {
        EXPECT_EQ(calls, log.calls);
      }
    }
    log.calls = 0;
    draw();
    EXPECT_EQ(c.open, popup.isOpen);
    EXPECT_EQ(c.open ? 1 : 0, log.calls);
    // The children paint everything: only the panel's box shows it.
    EXPECT_EQ(c.open ? 300 * 200 : 0, CountPixelsNear(400, 300, 300, 200, kRedPixel, 2));
    EXPECT_EQ(CountCoveredPixels(398, 298, 304, 204), CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(c.open ? 300.0f : 0.0f, popup.drawnRect.width);
  }
}

}  // namespace
}  // namespace velkor_test
