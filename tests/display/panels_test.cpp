// Panels and pop-up panels driven through the real frame off-screen.
#include <gtest/gtest.h>

#include <vector>

#include "display/Velkor_Panel.h"
#include "display/Velkor_PopUpPanel.h"
#include "display/Velkor_PushButton.h"
#include "tests/display/display_fixture.h"

namespace velkor_test {
namespace {

const Rgba kRedPixel{255, 0, 0, 255};

// What a panel's children callback saw; the children paint far beyond
// their panel, and a button at (20, 20) when one is given.
struct ChildLog {
  int calls = 0;
  uint32_t pass = 99;
  int32_t index = 0;
  uint32_t children_pass = 99;
  Velkor_PushButton* button = nullptr;
};

void draw_children(void* argument, uint32_t pass, int32_t index, uint32_t children_pass) {
  ChildLog* log = static_cast<ChildLog*>(argument);
  log->calls += 1;
  log->pass = pass;
  log->index = index;
  log->children_pass = children_pass;
  sglIndexColori(kRed);
  FillQuad(-2000, -2000, 2000, 2000);
  if (log->button != nullptr) {
    sglPushMatrixAndTranslate(20, 20);
    Velkor_PushButton_draw(log->button, children_pass);
    sglPopMatrixAndTranslate();
  }
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

class PopUpTest : public DisplayTest {
 protected:
  // The pop-up at (400, 300), 300 x 200, in pass 2.
  void Reset(uint32_t close_mode) {
    Velkor_PopUpPanel_init(&popup_);
    popup_.width = 300;
    popup_.height = 200;
    popup_.children = draw_children;
    popup_.argument = &log_;
    popup_.pass = popup_.childrenPass = 2;
    popup_.closeMode = close_mode;
    popup_.frameStyle = 0;
  }
  void Draw() {
    Frame([&] {
      Velkor_PopUpPanel_predraw(&popup_);
      DrawAt(400, 300, 1, 0, [&] { Velkor_PopUpPanel_draw(&popup_, 2); });
    });
    popup_.apply = 0;
  }
  void Open(uint8_t open) {
    popup_.open = open;
    popup_.apply = 1;
  }
  Velkor_PopUpPanel popup_;
  ChildLog log_;
};

TEST_F(PopUpTest, OpensClosesAndDrawsOnlyWhileOpenClippingItsChildren) {
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
    Reset(c.close_mode);
    MoveTo(10, 10);
    for (Step s : c.steps) {
      if (s == kOpen || s == kClose) Open(s == kOpen ? 1 : 0);
      if (s == kPressInside || s == kPressOutside) {
        MoveTo(s == kPressInside ? 500 : 100, s == kPressInside ? 400 : 100);
        Press();
      }
      Draw();
    }
    log_.calls = 0;
    Draw();
    EXPECT_EQ(c.open, popup_.isOpen);
    EXPECT_EQ(c.open ? 1 : 0, log_.calls);
    // The children paint everything: only the panel's box shows it.
    EXPECT_EQ(c.open ? 300 * 200 : 0, CountPixelsNear(400, 300, 300, 200, kRedPixel, 2));
    EXPECT_EQ(CountCoveredPixels(398, 298, 304, 204), CountCoveredPixels(0, 0, 1280, 768));
    EXPECT_EQ(c.open ? 300.0f : 0.0f, popup_.drawnRect.width);
  }
}

TEST_F(PopUpTest, ChildrenOfAPanelClosedByAPressNeverSeeThatPress) {
  Reset(1);
  Velkor_PushButton button;
  Velkor_PushButton_init(&button);
  button.pass = 2;
  button.activationMode = 1;  // would fire on the press itself
  log_.button = &button;
  Open(1);
  MoveTo(10, 10);
  Draw();
  // A press outside the panel, which is also where the button would be if
  // the panel were still drawn in that frame: nothing may fire.
  MoveTo(100, 100);
  Press();
  const int calls_before = log_.calls;
  Draw();
  EXPECT_EQ(0, popup_.isOpen);
  EXPECT_EQ(calls_before, log_.calls);
  EXPECT_EQ(0, button.activated);
}

}  // namespace
}  // namespace velkor_test
