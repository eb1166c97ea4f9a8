// Push, toggle and check buttons driven through the real frame: pointer and
// key records through the interactivity mapping, the button drawn on the
// off-screen context, outputs and pixels read afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "display/Velkor_CheckBox.h"
#include "display/Velkor_CheckButton.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_PushButton.h"
#include "display/Velkor_ToggleButton.h"
#include "tests/display/display_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::DisplayTest;
using velkor_test::ReadPixel;
using velkor_test::Rgba;
using velkor_test::TableColor;

constexpr float kX = 200;  // where the buttons stand, unless a case moves them
constexpr float kY = 200;

bool near(Rgba a, Rgba b, int tolerance) {
  auto close = [tolerance](int p, int q) { return p - q <= tolerance && q - p <= tolerance; };
  return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

class PushButtonTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_PushButton_init(&button_);
    button_.label = "Start";
  }
  // One frame with the button at (x, y), scaled and turned; counts clicks.
  void Draw(float x = kX, float y = kY, float scale = 1, float degrees = 0) {
    Frame([&] {
      Velkor_PushButton_predraw(&button_);
      DrawAt(x, y, scale, degrees, [&] { Velkor_PushButton_draw(&button_, 0); });
      if (with_other_) {
        Velkor_PushButton_predraw(&other_);
        DrawAt(500, 200, 1, 0, [&] { Velkor_PushButton_draw(&other_, 0); });
      }
    });
    clicks_ += button_.activated;
  }
  void Click(float x, float y) {
    MoveTo(x, y);
    Press();
    Release();
  }
  Velkor_PushButton button_;
  Velkor_PushButton other_;
  bool with_other_ = false;
  int clicks_ = 0;
};

TEST_F(PushButtonTest, InitialComputedColoursAreThoseOfSchemeZeroWithoutFocus) {
  EXPECT_EQ(1000, button_.baseColor);
  EXPECT_EQ(1002, button_.frameColor);
  EXPECT_EQ(1009, button_.bevelColor);
  EXPECT_EQ(1009, button_.faceColorComputed);
  EXPECT_EQ(1002, button_.pressedFaceColor);
  EXPECT_EQ(1013, button_.labelColorComputed);
  EXPECT_EQ(2u, button_.activationMode);
  EXPECT_EQ(150.0f, button_.width);
  EXPECT_EQ(50.0f, button_.height);
}

TEST_F(PushButtonTest, ClickFiresOnceWhereverTheButtonIsAndNotOnePixelOutside) {
  const struct {
    const char* name;
    float x, y, scale, degrees;
    float in_x, in_y;    // just inside the corner opposite the origin
    float out_x, out_y;  // one pixel further out
  } cases[] = {
      {"translated", 300, 250, 1, 0, 449.5f, 299.5f, 450.5f, 300.5f},
      {"scaled", 300, 250, 1.5f, 0, 524.5f, 324.5f, 525.5f, 325.5f},
      {"rotated", 300, 250, 1, 90, 250.5f, 399.5f, 249.5f, 400.5f},
      {"scaled and rotated", 600, 200, 2, 180, 300.5f, 100.5f, 299.5f, 99.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int inside = 1; inside >= 0; --inside) {
      clicks_ = 0;
      Click(inside ? c.in_x : c.out_x, inside ? c.in_y : c.out_y);
      for (int i = 0; i < 4; ++i) Draw(c.x, c.y, c.scale, c.degrees);
      EXPECT_EQ(inside, clicks_) << (inside ? "inside" : "outside");
      EXPECT_EQ(0, button_.down);
    }
  }
}

TEST_F(PushButtonTest, ReleaseModeStories) {
  const struct {
    const char* name;
    float press_x, press_y, release_x, release_y;
    bool other_takes_focus;  // a second button lies under the release point
    int clicks;
  } cases[] = {
      {"press and release on it", 250, 220, 260, 230, false, 1},
      {"press elsewhere, release on it", 100, 100, 260, 230, false, 0},
      {"press on it, release off it while it keeps the focus", 250, 220, 100, 100, false, 1},
      {"press on it, drag onto a button that takes the focus", 250, 220, 520, 220, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearFocus();
    BHVR_ForgetDevices();
    Velkor_PushButton_init(&button_);
    Velkor_PushButton_init(&other_);
    with_other_ = c.other_takes_focus;
    clicks_ = 0;
    MoveTo(c.press_x, c.press_y);
    Draw();
    Press();
    Draw();
    Draw();
    MoveTo(c.release_x, c.release_y);
    Draw();
    Draw();
    Release();
    Draw();
    Draw();
    EXPECT_EQ(c.clicks, clicks_);
    EXPECT_EQ(0, button_.down) << "never left armed";
    EXPECT_EQ(0, other_.activated);
    // Coming back and releasing again must not fire a press long gone.
    MoveTo(250, 220);
    Draw();
    Release();
    Draw();
    EXPECT_EQ(c.clicks, clicks_);
  }
}

TEST_F(PushButtonTest, PressModeFiresOnThePress) {
  button_.activationMode = 1;
  MoveTo(250, 220);
  Draw();
  Press();
  Draw();
  EXPECT_EQ(1, clicks_);
  EXPECT_EQ(1, button_.down);
  Release();
  Draw();
  EXPECT_EQ(0, button_.down);
  EXPECT_EQ(1, clicks_);
}

TEST_F(PushButtonTest, SpaceFiresOnlyTheFocusedButton) {
  const struct {
    uint32_t key;
    bool focused;
    int clicks;
  } cases[] = {{KEY_SPACE, true, 1}, {KEY_SPACE, false, 0}, {'a', true, 0}, {KEY_ENTER, true, 0}};
  for (const auto& c : cases) {
    ClearFocus();
    Velkor_PushButton_init(&button_);
    clicks_ = 0;
    MoveTo(c.focused ? 250 : 100, 220);  // hovering gives the focus
    Draw();
    MoveTo(100, 100);  // the focus stays after the pointer leaves
    Draw();
    Type(c.key);
    for (int i = 0; i < 4; ++i) Draw();
    EXPECT_EQ(c.clicks, clicks_) << "key " << c.key << (c.focused ? " focused" : " unfocused");
  }
}

TEST_F(PushButtonTest, DisabledButtonIsVeiledNeverHoversAndNeverFires) {
  MoveTo(100, 100);
  Draw();
  const Rgba enabled_face = ReadPixel(275, 240);
  button_.enabled = 0;
  Draw();
  const Rgba disabled_face = ReadPixel(275, 240);
  // The veil is black at alpha 64: a quarter darker.
  EXPECT_NEAR(enabled_face.r * 191 / 255, disabled_face.r, 4);
  EXPECT_NEAR(enabled_face.g * 191 / 255, disabled_face.g, 4);

  Click(250, 220);
  Type(KEY_SPACE);
  for (int i = 0; i < 5; ++i) {
    Draw();
    EXPECT_EQ(0, button_.hover);
    EXPECT_EQ(0, button_.down);
  }
  EXPECT_EQ(0, clicks_);
}

TEST_F(PushButtonTest, DisabledWhileHeldLetsGoWithoutFiring) {
  MoveTo(250, 220);
  Draw();
  Press();
  Draw();
  EXPECT_EQ(1, button_.down);
  button_.enabled = 0;
  Draw();
  button_.enabled = 1;
  Release();
  Draw();
  Draw();
  EXPECT_EQ(0, clicks_);
  EXPECT_EQ(0, button_.down);
}

TEST_F(PushButtonTest, FaceShowsReleasedHoveredAndPressed) {
  const Rgba grey = TableColor(1002);   // the pressed-face colour
  const Rgba white = TableColor(1009);  // the face
  const struct {
    const char* name;
    float pointer_x, pointer_y;
    bool press;
    Rgba bottom, top;  // face pixels just above the lower and below the upper bevel
  } cases[] = {
      {"released: shaded dark at the bottom", 100, 100, false, grey, white},
      {"hovered: plain face", 250, 230, false, white, white},
      {"pressed: shaded dark at the top", 250, 230, true, white, grey},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearFocus();
    Velkor_PushButton_init(&button_);
    button_.label = "";
    MoveTo(c.pointer_x, c.pointer_y);
    Draw();
    if (c.press) Press();
    Draw();
    Draw();
    const Rgba bottom = ReadPixel(230, 205);
    const Rgba top = ReadPixel(230, 244);
    EXPECT_TRUE(near(c.bottom, bottom, 12))
        << int{bottom.r} << "," << int{bottom.g} << "," << int{bottom.b};
    EXPECT_TRUE(near(c.top, top, 12)) << int{top.r} << "," << int{top.g} << "," << int{top.b};
  }
}

TEST_F(PushButtonTest, FrameTakesTheFocusColour) {
  const Rgba plain = TableColor(1002);
  const Rgba focused = TableColor(1014);
  MoveTo(100, 100);
  Draw();
  EXPECT_TRUE(near(plain, ReadPixel(275, 201), 6));
  EXPECT_EQ(FOCUS_NONE, button_.focusState);
  MoveTo(250, 230);
  Draw();
  MoveTo(100, 100);  // the focus stays with it
  Draw();
  EXPECT_EQ(FOCUS_HELD, button_.focusState);
  EXPECT_EQ(1014, button_.frameColor);
  EXPECT_TRUE(near(focused, ReadPixel(275, 201), 6));
  EXPECT_TRUE(near(focused, ReadPixel(201, 225), 6));
}

TEST_F(PushButtonTest, LabelStaysInsideTheFace) {
  button_.label = "A label far too long for any push button of this width";
  button_.labelColor = velkor_test::kRed;
  MoveTo(100, 100);
  Draw();
  const Rgba red{255, 0, 0, 255};
  EXPECT_GT(CountPixelsNear(205, 200, 140, 50, red, 90), 50);  // label inside
  EXPECT_EQ(0, CountPixelsNear(0, 0, 205, 768, red, 90));      // not left of the clip
  EXPECT_EQ(0, CountPixelsNear(345, 0, 935, 768, red, 90));    // not right of it
}

TEST_F(PushButtonTest, AnotherPassDrawsNothingAndKeepsTheOutputs) {
  button_.pass = 2;
  button_.activated = 1;
  button_.down = 1;
  button_.hover = 1;
  Click(250, 220);
  for (int i = 0; i < 3; ++i) {
    Frame([&] { DrawAt(kX, kY, 1, 0, [&] { Velkor_PushButton_draw(&button_, 0); }); });
  }
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768));
  EXPECT_EQ(1, button_.activated);
  EXPECT_EQ(1, button_.down);
  EXPECT_EQ(1, button_.hover);
  EXPECT_EQ(0.0f, button_.drawnRect.width);
}

TEST_F(PushButtonTest, DrawnRectangleAddressesTheButton) {
  Draw(320, 180, 1, 0);
  float x = 0;
  float y = 0;
  Velkor_DrawnRectCentre(&button_.drawnRect, &x, &y);
  EXPECT_EQ(395.0f, x);
  EXPECT_EQ(205.0f, y);
  Click(x, y);
  for (int i = 0; i < 3; ++i) Draw(320, 180, 1, 0);
  EXPECT_EQ(1, clicks_);
}

// ---- Toggle buttons ---------------------------------------------------------------

class ToggleButtonTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_ToggleButton_init(&toggle_);
    toggle_.label = "AN";
    toggle_.label2 = "AUS";
  }
  void Draw() {
    Frame([&] {
      Velkor_ToggleButton_predraw(&toggle_);
      DrawAt(kX, kY, 1, 0, [&] { Velkor_ToggleButton_draw(&toggle_, 0); });
    });
    changes_ += toggle_.changed;
    toggle_.load = 0;
  }
  Velkor_ToggleButton toggle_;
  int changes_ = 0;
};

TEST_F(ToggleButtonTest, StoriesOfClicksKeysAndLoads) {
  enum Step { kHover, kAway, kPress, kRelease, kSpace, kLoadOn, kLoadOff, kDisable };
  const struct {
    const char* name;
    uint32_t mode;
    std::vector<Step> steps;
    uint8_t state;
    int changes;
  } cases[] = {
      {"a click on it turns it on at the release", 2, {kHover, kPress, kRelease}, 1, 1},
      {"two clicks turn it off again", 2, {kHover, kPress, kRelease, kPress, kRelease}, 0, 2},
      {"pressed, dragged off and released", 2, {kHover, kPress, kAway, kRelease}, 0, 0},
      {"press mode turns on at the press", 1, {kHover, kPress}, 1, 1},
      {"space while focused", 2, {kHover, kAway, kSpace}, 1, 1},
      {"a load sets the state without a change event", 2, {kLoadOn}, 1, 0},
      {"loaded on, then clicked off", 2, {kLoadOn, kHover, kPress, kRelease}, 0, 1},
      {"disabled ignores clicks and keys", 2, {kDisable, kHover, kPress, kRelease, kSpace}, 0, 0},
      {"disabled still takes a load", 2, {kDisable, kLoadOn, kLoadOff, kLoadOn}, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearFocus();
    BHVR_ForgetDevices();
    Velkor_ToggleButton_init(&toggle_);
    toggle_.toggleMode = c.mode;
    changes_ = 0;
    MoveTo(100, 100);
    Draw();
    for (Step s : c.steps) {
      switch (s) {
        case kHover:
          MoveTo(250, 220);
          break;
        case kAway:
          MoveTo(100, 100);
          break;
        case kPress:
          Press();
          break;
        case kRelease:
          Release();
          break;
        case kSpace:
          Type(KEY_SPACE);
          break;
        case kLoadOn:
          toggle_.value = 1;
          toggle_.load = 1;
          break;
        case kLoadOff:
          toggle_.value = 0;
          toggle_.load = 1;
          break;
        case kDisable:
          toggle_.enabled = 0;
          break;
      }
      Draw();
      Draw();
    }
    EXPECT_EQ(c.state, toggle_.state);
    EXPECT_EQ(c.changes, changes_);
  }
}

TEST_F(ToggleButtonTest, EachStateShowsItsOwnLabelAndLabelColour) {
  toggle_.labelColor = velkor_test::kRed;     // "AN", while on
  toggle_.labelColor2 = velkor_test::kBlack;  // "AUS", while off
  const Rgba red{255, 0, 0, 255};
  const Rgba black{0, 0, 0, 255};
  const struct {
    uint8_t value;
    bool red_label;
  } cases[] = {{0, false}, {1, true}, {0, false}};
  for (const auto& c : cases) {
    toggle_.value = c.value;
    toggle_.load = 1;
    MoveTo(100, 100);
    Draw();  // the behaviour runs after the drawing: the next frame shows it
    Draw();
    EXPECT_EQ(c.value, toggle_.state);
    const int reds = CountPixelsNear(205, 205, 140, 40, red, 90);
    const int blacks = CountPixelsNear(205, 205, 140, 40, black, 60);
    EXPECT_EQ(c.red_label, reds > 30) << "value " << int{c.value};
    EXPECT_EQ(!c.red_label, blacks > 30) << "value " << int{c.value};
  }
}

// ---- Check buttons --------------------------------------------------------------------

class CheckButtonTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_CheckButton_init(&check_);
    check_.label = "Byte";
  }
  void Draw() {
    Frame([&] {
      Velkor_CheckButton_predraw(&check_);
      DrawAt(kX, kY, 1, 0, [&] { Velkor_CheckButton_draw(&check_, 0); });
    });
    changes_ += check_.changed;
    check_.load = 0;
  }
  Velkor_CheckButton check_;
  int changes_ = 0;
};

TEST_F(CheckButtonTest, ClickTogglesAndTheMarkShows) {
  const Rgba mark = TableColor(1008);
  MoveTo(100, 100);
  Draw();
  EXPECT_EQ(0, check_.checked);
  // The box: 27 x 27 at (4, 4) in a 35 units high button.
  EXPECT_EQ(0, CountPixelsNear(206, 206, 23, 23, mark, 10));
  for (uint8_t expected : {1, 0, 1}) {
    MoveTo(250, 215);  // on the label: the whole button takes the click
    Draw();
    Press();
    Draw();
    Release();
    Draw();
    MoveTo(100, 100);
    Draw();
    EXPECT_EQ(expected, check_.checked);
    const int mark_pixels = CountPixelsNear(206, 206, 23, 23, mark, 10);
    EXPECT_EQ(expected == 1, mark_pixels > 40) << mark_pixels;
  }
  EXPECT_EQ(3, changes_);
}

TEST_F(CheckButtonTest, LoadAndClickInOneFrameShowTheLoadedValue) {
  MoveTo(250, 215);
  check_.checkMode = 1;  // toggles on the press
  Draw();
  check_.value = 1;
  check_.load = 1;
  Press();
  Draw();
  EXPECT_EQ(1, check_.checked);
  EXPECT_EQ(0, changes_);
}

TEST_F(CheckButtonTest, DisabledIgnoresPointerAndSpace) {
  check_.enabled = 0;
  MoveTo(250, 215);
  Draw();
  Press();
  Draw();
  Release();
  Draw();
  Type(KEY_SPACE);
  Draw();
  Draw();
  EXPECT_EQ(0, check_.checked);
  EXPECT_EQ(0, changes_);
  EXPECT_EQ(0, check_.hover);
}

TEST_F(DisplayTest, CheckBoxStylesSquareTickAndRoundDot) {
  const Rgba mark = TableColor(1008);
  const Rgba dark = TableColor(1010);
  const struct {
    uint32_t style;
    bool corner_filled;
    Rgba centre;
  } cases[] = {{kVelkorCornerSquare, true, mark}, {kVelkorCornerRoundEnds, false, dark}};
  for (const auto& c : cases) {
    Velkor_CheckBox box;
    Velkor_CheckBox_init(&box);
    box.frameStyle = c.style;
    box.checked = 1;
    Frame([&] { DrawAt(100, 100, 1, 0, [&] { Velkor_CheckBox_draw(&box, 0); }); });
    EXPECT_EQ(c.corner_filled, CountCoveredPixels(100, 100, 1, 1) == 1) << "style " << c.style;
    EXPECT_TRUE(near(c.centre, ReadPixel(113, 113), 20)) << "style " << c.style;
  }
}

}  // namespace

namespace {

TEST_F(DisplayTest, ToggleDraggedOntoAWidgetThatTakesTheFocusForgetsItsPress) {
  Velkor_ToggleButton toggle;
  Velkor_ToggleButton_init(&toggle);
  Velkor_PushButton other;
  Velkor_PushButton_init(&other);
  int changes = 0;
  auto draw = [&] {
    Frame([&] {
      Velkor_ToggleButton_predraw(&toggle);
      Velkor_PushButton_predraw(&other);
      DrawAt(200, 200, 1, 0, [&] { Velkor_ToggleButton_draw(&toggle, 0); });
      DrawAt(500, 200, 1, 0, [&] { Velkor_PushButton_draw(&other, 0); });
    });
    changes += toggle.changed;
  };
  MoveTo(250, 220);
  draw();
  Press();
  draw();
  MoveTo(550, 220);  // the push button takes the focus
  draw();
  draw();
  Release();
  draw();
  MoveTo(250, 220);  // back on the toggle, which takes the focus again
  draw();
  Release();  // a release without a press on it
  draw();
  draw();
  EXPECT_EQ(0, changes);
  EXPECT_EQ(0, toggle.state);
  EXPECT_EQ(0, other.activated);
}

}  // namespace
