// Push, toggle and check buttons driven through the real frame off-screen:
// pointer and key records in, outputs and pixels read afterwards.
#include <gtest/gtest.h>

#include <vector>

#include "display/Velkor_CheckButton.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_PushButton.h"
#include "display/Velkor_ToggleButton.h"
#include "tests/display/display_fixture.h"

namespace velkor_test {
namespace {

class PushButtonTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    Reset();
  }
  void Reset() {
    ClearFocus();
    BHVR_ForgetDevices();
    Velkor_PushButton_init(&button_);
    Velkor_PushButton_init(&other_);
    button_.label = "Start";
  }
  // One frame with the button at (200, 200) and a second one at (500, 200);
  // counts the clicks of both.
  void Draw() {
    Frame([&] {
      Velkor_PushButton_predraw(&button_);
      Velkor_PushButton_predraw(&other_);
      DrawAt(200, 200, 1, 0, [&] { Velkor_PushButton_draw(&button_, 0); });
      DrawAt(500, 200, 1, 0, [&] { Velkor_PushButton_draw(&other_, 0); });
    });
    clicks_ += button_.activated;
    others_ += other_.activated;
  }
  // A step of a story: the pointer on the button, off it, just inside its
  // far corner (it is 150 x 50) or one pixel beyond, or on the other button;
  // the pointer's button down or up, a typed space; the rest the test's own.
  enum Step {
    kOn,
    kOff,
    kIn,
    kOut,
    kOther,
    kDown,
    kUp,
    kRightDown,
    kRightUp,
    kSpace,
    kDisable,
    kEnable,
    kLoad,
    kUnload
  };
  void Queue(Step s) {
    if (s == kOn) MoveTo(250, 220);
    if (s == kIn || s == kOut) MoveTo(349.5f + (s == kOut), 249.5f + (s == kOut));
    if (s == kOff) MoveTo(100, 100);
    if (s == kOther) MoveTo(550, 220);
    if (s == kDown) Press();
    if (s == kUp) Release();
    if (s == kRightDown) Press(3);
    if (s == kRightUp) Release(3);
    if (s == kSpace) Type(KEY_SPACE);
  }
  Velkor_PushButton button_;
  Velkor_PushButton other_;
  int clicks_ = 0;
  int others_ = 0;
};

TEST_F(PushButtonTest, StoriesOfPointerAndKeys) {
  const struct {
    const char* name;
    uint32_t mode;
    std::vector<Step> steps;
    int clicks;
  } cases[] = {
      {"press and release on it", 2, {kOn, kDown, kUp}, 1},
      {"press and release in its far corner", 2, {kIn, kDown, kUp}, 1},
      {"press and release one pixel outside", 2, {kOut, kDown, kUp}, 0},
      {"press elsewhere, release on it", 2, {kOff, kDown, kOn, kUp}, 0},
      {"released off it while it keeps the focus", 2, {kOn, kDown, kOff, kUp}, 1},
      // Dragged onto a button that takes the focus, it forgets its press.
      {"dragged onto another button", 2, {kOn, kDown, kOther, kUp, kOn, kUp}, 0},
      {"press mode fires on the press", 1, {kOn, kDown}, 1},
      {"space while focused", 2, {kOn, kOff, kSpace}, 1},
      {"space without the focus", 2, {kOff, kSpace}, 0},
      // Disabled widgets ignore the pointer and keys; disabled while held,
      // the button lets go without firing.
      {"disabled", 2, {kDisable, kOn, kDown, kUp, kSpace}, 0},
      {"disabled while focused", 2, {kOn, kOff, kDisable, kSpace}, 0},
      {"disabled while held", 2, {kOn, kDown, kDisable, kEnable, kUp}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    button_.activationMode = c.mode;
    clicks_ = others_ = 0;
    MoveTo(100, 100);
    Draw();
    for (Step s : c.steps) {
      Queue(s);
      if (s == kDisable || s == kEnable) button_.enabled = s == kEnable ? 1 : 0;
      Draw();
      Draw();
      if (!button_.enabled) {
        EXPECT_EQ(0, button_.hover);
      }
    }
    EXPECT_EQ(c.clicks, clicks_);
    Release();  // a further release never fires a press long gone
    Draw();
    Draw();
    EXPECT_EQ(c.clicks, clicks_);
    EXPECT_EQ(0, button_.down) << "never left armed";
    EXPECT_EQ(0, others_);
  }
}

TEST_F(PushButtonTest, FaceShowsReleasedHoveredPressedAndDisabled) {
  const int grey = TableColor(1002).r;   // the pressed-face colour
  const int white = TableColor(1009).r;  // the face
  // Face pixels just above the lower and just below the upper bevel; the
  // disabled veil is black at alpha 64, a quarter darker.
  const struct {
    const char* name;
    float pointer_x, pointer_y;
    bool press, enabled;
    int bottom, top;
  } cases[] = {
      {"released: shaded dark at the bottom", 100, 100, false, true, grey, white},
      {"hovered: plain face", 250, 230, false, true, white, white},
      {"pressed: shaded dark at the top", 250, 230, true, true, white, grey},
      {"disabled: veiled", 100, 100, false, false, grey * 191 / 255, white * 191 / 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    button_.label = "";
    button_.enabled = c.enabled ? 1 : 0;
    MoveTo(c.pointer_x, c.pointer_y);
    Draw();
    if (c.press) Press();
    Draw();
    Draw();
    EXPECT_NEAR(c.bottom, ReadPixel(230, 205).r, 12);
    EXPECT_NEAR(c.top, ReadPixel(230, 244).r, 12);
  }
}

TEST_F(PushButtonTest, FrameFaceAndLabelColours) {
  // The outer frame (left edge, (201, 225)) shows the focus: yellow (1014)
  // once the pointer has given the button the focus, grey (1002) before. A
  // face override colours the face (plain under the pointer); a label colour
  // the label.
  const struct {
    const char* name;
    bool hovered;
    int32_t face, label_colour;
    Rgba frame, face_pixel;
    int32_t ink;  // colour of the label's pixels
  } cases[] = {
      {"default, away", false, -1, -1, TableColor(1002), TableColor(1009), 1013},
      {"default, focused", true, -1, -1, TableColor(1014), TableColor(1009), 1013},
      {"green face, focused", true, 41, -1, TableColor(1014), TableColor(41), 1013},
      {"red label", true, -1, kRed, TableColor(1014), TableColor(1009), kRed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    button_.label = "MMMMMM";
    button_.faceColor = c.face;
    button_.labelColor = c.label_colour;
    MoveTo(c.hovered ? 340 : 100, c.hovered ? 245 : 100);
    Draw();
    Draw();
    const Rgba frame = ReadPixel(201, 225);
    EXPECT_NEAR(c.frame.r, frame.r, 10);
    EXPECT_NEAR(c.frame.g, frame.g, 10);
    EXPECT_NEAR(c.frame.b, frame.b, 10);
    if (c.hovered) {
      const Rgba face = ReadPixel(212, 210);
      EXPECT_NEAR(c.face_pixel.r, face.r, 10);
      EXPECT_NEAR(c.face_pixel.g, face.g, 10);
      EXPECT_NEAR(c.face_pixel.b, face.b, 10);
    }
    EXPECT_GT(CountPixelsNear(215, 215, 120, 20, TableColor(c.ink), 30), 40);
  }
}

TEST_F(PushButtonTest, ToggleButtonStoriesOfClicksKeysAndLoads) {
  // The toggle where the push button stands, beside the other push button.
  Velkor_ToggleButton toggle;
  int changes = 0;
  auto draw = [&] {
    Frame([&] {
      Velkor_ToggleButton_predraw(&toggle);
      Velkor_PushButton_predraw(&other_);
      DrawAt(200, 200, 1, 0, [&] { Velkor_ToggleButton_draw(&toggle, 0); });
      DrawAt(500, 200, 1, 0, [&] { Velkor_PushButton_draw(&other_, 0); });
    });
    changes += toggle.changed;
    others_ += other_.activated;
    toggle.load = 0;
  };
  const struct {
    const char* name;
    uint32_t mode;
    std::vector<Step> steps;
    uint8_t state;
    int changes;
  } cases[] = {
      {"a click on it turns it on at the release", 2, {kOn, kDown, kUp}, 1, 1},
      {"pressed, dragged off and released", 2, {kOn, kDown, kOff, kUp}, 0, 0},
      {"dragged onto another", 2, {kOn, kDown, kOther, kUp, kOn, kUp}, 0, 0},
      {"press mode turns on at the press", 1, {kOn, kDown}, 1, 1},
      {"the right button does nothing", 2, {kOn, kRightDown, kRightUp}, 0, 0},
      {"nor in press mode", 1, {kOn, kRightDown, kRightUp}, 0, 0},
      {"space while focused", 2, {kOn, kOff, kSpace}, 1, 1},
      {"a load sets the state without a change event", 2, {kLoad}, 1, 0},
      {"loaded on, then clicked off", 2, {kLoad, kOn, kDown, kUp}, 0, 1},
      {"disabled ignores clicks and keys", 2, {kDisable, kOn, kDown, kUp, kSpace}, 0, 0},
      {"disabled while focused ignores space", 2, {kOn, kOff, kDisable, kSpace}, 0, 0},
      {"disabled still takes a load", 2, {kDisable, kLoad, kUnload, kLoad}, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    Velkor_ToggleButton_init(&toggle);
    toggle.label2 = "AUS";  // only the off state has a label, in red
    toggle.labelColor2 = kRed;
    toggle.toggleMode = c.mode;
    changes = others_ = 0;
    MoveTo(100, 100);
    draw();
    for (Step s : c.steps) {
      Queue(s);
      if (s == kLoad || s == kUnload) {
        toggle.value = s == kLoad ? 1 : 0;
        toggle.load = 1;
      }
      if (s == kDisable) toggle.enabled = 0;
      draw();
      draw();
    }
    EXPECT_EQ(c.state, toggle.state);
    EXPECT_EQ(c.changes, changes);
    EXPECT_EQ(0, others_);
    EXPECT_EQ(c.state == 0, CountPixelsNear(205, 205, 140, 40, {255, 0, 0, 255}, 90) > 30);
    // While on, the face stays pressed in (grey at the top) even under the
    // pointer; off and hovered it is plain.
    if (toggle.enabled) {
      MoveTo(250, 220);
      draw();
      draw();
      EXPECT_NEAR(toggle.state ? TableColor(1002).r : TableColor(1009).r, ReadPixel(230, 244).r,
                  12);
    }
  }
}

TEST_F(DisplayTest, CheckButtonTogglesShowsItsMarkAndTakesLoads) {
  Velkor_CheckButton check;
  Velkor_CheckButton_init(&check);
  check.label = "Byte";
  int changes = 0;
  auto draw = [&] {
    FrameOf(&check, Velkor_CheckButton_predraw, Velkor_CheckButton_draw, 200, 200);
    changes += check.changed;
    check.load = 0;
  };
  // Mark pixels in the 27 x 27 box at (4, 4).
  auto marked = [&] { return CountPixelsNear(206, 206, 23, 23, TableColor(1008), 10) > 40; };
  MoveTo(100, 100);
  draw();
  EXPECT_FALSE(marked());
  for (uint8_t expected : {1, 0, 1}) {
    ClickAt(250, 215, draw);  // on the label: the whole button takes the click
    draw();
    EXPECT_EQ(expected, check.checked);
    EXPECT_EQ(expected == 1, marked());
  }
  EXPECT_EQ(3, changes);
  // Disabled, it ignores the pointer and the space key.
  check.enabled = 0;
  ClickAt(250, 215, draw);
  TypeKey(KEY_SPACE, draw);
  EXPECT_EQ(1, check.checked);
  EXPECT_EQ(0, check.hover);
  // A load and a press that toggles in the same frame: the loaded value shows.
  check.enabled = 1;
  check.checkMode = 1;
  draw();
  check.value = 0;
  check.load = 1;
  Press();
  draw();
  EXPECT_EQ(0, check.checked);
  EXPECT_EQ(3, changes);
  Release();
  draw();
  // In mode 2 (on the release) a press dragged off before its release
  // leaves it; Space while it keeps the focus toggles it.
  check.checkMode = 2;
  MoveTo(250, 215);
  draw();
  Press();
  draw();
  MoveTo(100, 100);
  draw();
  Release();
  draw();
  draw();
  EXPECT_EQ(0, check.checked);
  TypeKey(KEY_SPACE, draw);
  EXPECT_EQ(1, check.checked);
  EXPECT_EQ(4, changes);
  // Frame style 3 makes the box round with a dot: the ground shows in its
  // corners (a cut corner of style 2 leaves a few pixels), the dot fills
  // the middle.
  auto ground_in_corner = [] {
    int n = 0;
    for (int y = 204; y < 210; ++y) {
      for (int x = 204; x < 210; ++x) {
        const Rgba p = ReadPixel(x, y);
        n += (p.r < 80 && p.g < 80 && p.b < 80) ? 1 : 0;
      }
    }
    return n;
  };
  EXPECT_LT(ground_in_corner(), 8) << "style 2";
  check.frameStyle = kVelkorCornerRoundEnds;
  draw();
  EXPECT_GT(ground_in_corner(), 15) << "style 3";
  // The radio mark: its centre dark accent (1010) in an accent ring (1008).
  EXPECT_EQ(16, CountPixelsNear(216, 216, 4, 4, TableColor(1010), 12)) << "the dot";
  EXPECT_GT(CountPixelsNear(208, 208, 20, 20, TableColor(1008), 12), 40) << "its ring";
}

}  // namespace
}  // namespace velkor_test
