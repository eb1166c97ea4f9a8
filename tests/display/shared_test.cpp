// The shared display classes: frame shapes, clipped labels, colour schemes,
// the first-frame flag, focus and key records, click areas, highlights and
// radio marks, driven through the real frame on the off-screen context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "display/Velkor_ClickArea.h"
#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_GetCycleDuration.h"
#include "display/Velkor_Highlight.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_Init.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_RadioButton.h"
#include "tests/display/display_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::DisplayTest;
using velkor_test::ReadPixel;
using velkor_test::Rgba;
using velkor_test::TableColor;

float polygon_area(const float* xs, const float* ys, int n) {
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    sum += xs[i] * ys[j] - xs[j] * ys[i];
  }
  return sum / 2.0f;
}

// ---- Frame shape outlines as numbers --------------------------------------------

TEST(FrameShapeOutline, AreaPointsAndBoxPerCornerStyle) {
  constexpr float kPi = 3.14159265f;
  const struct {
    const char* name;
    uint32_t style;
    float w, h, radius;
    int points;
    float area;
  } cases[] = {
      {"square", kVelkorCornerSquare, 150, 50, 8, 4, 150 * 50},
      {"round", kVelkorCornerRound, 150, 50, 8, 36, 150 * 50 - (4 - kPi) * 64},
      {"round, radius limited to half the height", kVelkorCornerRound, 100, 20, 30, 36,
       100 * 20 - (4 - kPi) * 100},
      {"cut", kVelkorCornerCut, 150, 50, 8, 8, 150 * 50 - 2 * 64},
      {"round ends ignore the radius", kVelkorCornerRoundEnds, 120, 40, 3, 36,
       120 * 40 - (4 - kPi) * 400},
      {"round with radius 0 is square", kVelkorCornerRound, 60, 30, 0, 4, 60 * 30},
      {"negative radius is square", kVelkorCornerCut, 60, 30, -5, 4, 60 * 30},
      {"unknown style is square", 7, 60, 30, 5, 4, 60 * 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    float xs[kVelkorFrameShapeMaxPoints];
    float ys[kVelkorFrameShapeMaxPoints];
    const int n =
        Velkor_FrameShapeOutline(c.style, c.w, c.h, c.radius, xs, ys, kVelkorFrameShapeMaxPoints);
    ASSERT_EQ(c.points, n);
    // Counter-clockwise (positive area) and, for quarter circles drawn with
    // eight chords, within 0.5 % of the true area.
    EXPECT_NEAR(c.area, polygon_area(xs, ys, n), c.area * 0.005f);
    float x_min = xs[0], x_max = xs[0], y_min = ys[0], y_max = ys[0];
    for (int i = 0; i < n; ++i) {
      x_min = std::fmin(x_min, xs[i]);
      x_max = std::fmax(x_max, xs[i]);
      y_min = std::fmin(y_min, ys[i]);
      y_max = std::fmax(y_max, ys[i]);
    }
    EXPECT_NEAR(0.0f, x_min, 1e-4f);
    EXPECT_NEAR(c.w, x_max, 1e-4f);
    EXPECT_NEAR(0.0f, y_min, 1e-4f);
    EXPECT_NEAR(c.h, y_max, 1e-4f);
  }
}

TEST(FrameShapeOutline, NothingForEmptyBoxesOrTooLittleRoom) {
  float xs[kVelkorFrameShapeMaxPoints];
  float ys[kVelkorFrameShapeMaxPoints];
  const struct {
    float w, h;
    int capacity;
  } cases[] = {{0, 50, 36}, {150, 0, 36}, {-10, 50, 36}, {150, NAN, 36}, {150, 50, 35}};
  for (const auto& c : cases) {
    EXPECT_EQ(0, Velkor_FrameShapeOutline(kVelkorCornerRound, c.w, c.h, 8, xs, ys, c.capacity))
        << c.w << " x " << c.h << " capacity " << c.capacity;
  }
}

// ---- Colour schemes ---------------------------------------------------------------

TEST(ColorSchemes, EntriesByOffsetAndTheAccentsOfSchemeOne) {
  static float table[2048 * 4];
  Velkor_InstallColorSchemes(table, 2048);
  const struct {
    int32_t index;
    uint8_t r, g, b, a;
  } cases[] = {
      {1000, 255, 255, 255, 255}, {1001, 0, 0, 0, 255},       {1002, 210, 210, 210, 255},
      {1009, 255, 255, 255, 255}, {1011, 0, 0, 0, 64},        {1013, 114, 114, 114, 255},
      {1014, 232, 222, 37, 255},  {1018, 255, 128, 189, 255}, {1022, 210, 210, 210, 255},
      {1027, 103, 252, 148, 255}, {1028, 83, 180, 94, 255},   {1030, 41, 152, 26, 255},
      {1034, 232, 154, 148, 255}, {1033, 114, 114, 114, 255}, {1039, 255, 128, 189, 255},
  };
  for (const auto& c : cases) {
    const float* e = table + 4 * c.index;
    EXPECT_EQ(c.r, std::lround(e[0] * 255)) << c.index;
    EXPECT_EQ(c.g, std::lround(e[1] * 255)) << c.index;
    EXPECT_EQ(c.b, std::lround(e[2] * 255)) << c.index;
    EXPECT_EQ(c.a, std::lround(e[3] * 255)) << c.index;
  }
}

TEST(ColorSchemes, ASmallTableIsNotWrittenBeyondItsEnd) {
  float table[1010 * 4 + 4];
  std::memset(table, 0, sizeof table);
  table[1010 * 4] = 42.0f;  // the guard entry just past the table
  Velkor_InstallColorSchemes(table, 1010);
  EXPECT_EQ(42.0f, table[1010 * 4]);
  EXPECT_EQ(1.0f, table[1009 * 4]);  // offset 9 of scheme 0 is white
}

TEST(ColorBase, BaseFollowsTheSchemeInItsPassOnly) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  EXPECT_EQ(1000, colours.base);
  colours.colorScheme = 1;
  Velkor_ColorBase_draw(&colours, 2);  // another pass: unchanged
  EXPECT_EQ(1000, colours.base);
  Velkor_ColorBase_draw(&colours, 0);
  EXPECT_EQ(1020, colours.base);
}

// ---- First-frame flag and cycle duration -------------------------------------------

TEST(Init, FirstOnlyInTheFirstDrawOfItsPass) {
  Velkor_Init init;
  Velkor_Init_init(&init);
  init.pass = 2;
  const struct {
    uint32_t pass;
    uint8_t first;
  } frames[] = {{0, 1}, {1, 1}, {2, 1}, {0, 1}, {2, 0}, {2, 0}};
  for (const auto& f : frames) {
    Velkor_Init_predraw(&init);
    Velkor_Init_draw(&init, f.pass);
    EXPECT_EQ(f.first, init.first) << "pass " << f.pass;
  }
  Velkor_Init_init(&init);
  init.pass = 2;
  Velkor_Init_draw(&init, 2);
  EXPECT_EQ(1, init.first);  // init starts over
}

TEST(GetCycleDuration, AlwaysThirtyThree) {
  Velkor_GetCycleDuration* cycle = Velkor_GetCycleDuration_alloc();
  ASSERT_NE(nullptr, cycle);
  EXPECT_EQ(0, cycle->duration);  // alloc gives a zero-filled record
  Velkor_GetCycleDuration_init(cycle);
  Velkor_GetCycleDuration_draw(cycle, 0);
  EXPECT_EQ(33, cycle->duration);
  Velkor_GetCycleDuration_free(cycle);
}

// ---- Drawn frame shapes -------------------------------------------------------------

class FrameShapeTest : public DisplayTest {
 protected:
  Velkor_FrameShape Shape(uint32_t style, int32_t fill, int32_t line) {
    Velkor_FrameShape s;
    Velkor_FrameShape_init(&s);
    s.width = 100;
    s.height = 60;
    s.cornerStyle = style;
    s.radius = 20;
    s.fillColor = fill;
    s.lineColor = line;
    return s;
  }
};

TEST_F(FrameShapeTest, CornersFollowTheStyle) {
  const Rgba white = TableColor(velkor_test::kWhite);
  const struct {
    uint32_t style;
    bool corner_filled;
  } cases[] = {{kVelkorCornerSquare, true},
               {kVelkorCornerRound, false},
               {kVelkorCornerCut, false},
               {kVelkorCornerRoundEnds, false}};
  for (const auto& c : cases) {
    Velkor_FrameShape s = Shape(c.style, velkor_test::kWhite, -1);
    Frame([&] { DrawAt(200, 200, 1, 0, [&] { Velkor_FrameShape_draw(&s, 0); }); });
    EXPECT_EQ(c.corner_filled ? 9 : 0, CountPixelsNear(200, 200, 3, 3, white, 8))
        << "style " << c.style;
    EXPECT_EQ(100, CountPixelsNear(245, 225, 10, 10, white, 8)) << "style " << c.style;
  }
}

TEST_F(FrameShapeTest, ShapeOfAnotherPassDrawsNothing) {
  Velkor_FrameShape s = Shape(kVelkorCornerSquare, velkor_test::kWhite, velkor_test::kRed);
  s.pass = 1;
  Velkor_FrameShape_predraw(&s);
  Frame([&] { DrawAt(200, 200, 1, 0, [&] { Velkor_FrameShape_draw(&s, 0); }); });
  EXPECT_EQ(0, CountCoveredPixels(190, 190, 130, 90));
  EXPECT_EQ(0.0f, s.drawnRect.width);
}

TEST_F(FrameShapeTest, TextureShadesTheFillFromBottomToTop) {
  // Texture 240 rises from nearly transparent at the bottom to opaque at the top.
  Velkor_FrameShape s = Shape(kVelkorCornerSquare, velkor_test::kWhite, -1);
  s.texture = 240;
  Frame([&] { DrawAt(200, 200, 1, 0, [&] { Velkor_FrameShape_draw(&s, 0); }); });
  const Rgba low = ReadPixel(250, 203);
  const Rgba high = ReadPixel(250, 256);
  EXPECT_LT(low.r, 60);
  EXPECT_GT(high.r, 200);
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(FrameShapeTest, FillTransparencyBlendsWithWhatIsBelow) {
  Velkor_FrameShape s = Shape(kVelkorCornerSquare, velkor_test::kWhite, -1);
  s.fillTransparency = 64;
  Frame([&] { DrawAt(200, 200, 1, 0, [&] { Velkor_FrameShape_draw(&s, 0); }); });
  EXPECT_NEAR(64, ReadPixel(250, 230).r, 3);
}

TEST_F(FrameShapeTest, OutlineInTheLineColourAroundAnUnfilledShape) {
  Velkor_FrameShape s = Shape(kVelkorCornerSquare, -1, velkor_test::kRed);
  Frame([&] { DrawAt(200, 200, 1, 0, [&] { Velkor_FrameShape_draw(&s, 0); }); });
  EXPECT_GT(CountPixelsNear(230, 198, 40, 4, Rgba{255, 0, 0, 255}, 110), 30);
  EXPECT_EQ(0, CountCoveredPixels(220, 220, 60, 20));  // inside stays empty
}

// ---- Clipped labels -------------------------------------------------------------------

TEST_F(DisplayTest, LabelStaysInsideItsBoxAndShowsWhenItFits) {
  const struct {
    const char* text;
    uint32_t alignment;
    float width;
  } cases[] = {{"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 0, 80},
               {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 1, 80},
               {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 2, 80},
               {"OK", 1, 80}};
  for (const auto& c : cases) {
    Velkor_ClippedLabel label;
    Velkor_ClippedLabel_init(&label);
    label.text = c.text;
    label.alignment = c.alignment;
    label.width = c.width;
    label.height = 40;
    label.color = velkor_test::kWhite;
    Frame([&] { DrawAt(300, 300, 1, 0, [&] { Velkor_ClippedLabel_draw(&label, 0); }); });
    SCOPED_TRACE(c.text);
    EXPECT_GT(CountCoveredPixels(300, 300, 80, 40), 40);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 300, 768));    // nothing left of the box
    EXPECT_EQ(0, CountCoveredPixels(380, 0, 900, 768));  // nor right of it
    EXPECT_EQ(300.0f, label.drawnRect.x);
    EXPECT_EQ(80.0f, label.drawnRect.width);
  }
}

TEST_F(DisplayTest, LabelAlignmentPlacesShortText) {
  const struct {
    uint32_t alignment;
    int ink_left, ink_right;  // columns of the box that must hold ink
  } cases[] = {{0, 0, 40}, {1, 70, 130}, {2, 160, 200}};
  for (const auto& c : cases) {
    Velkor_ClippedLabel label;
    Velkor_ClippedLabel_init(&label);
    label.text = "Mi";
    label.alignment = c.alignment;
    label.width = 200;
    label.height = 40;
    label.color = velkor_test::kWhite;
    Frame([&] { DrawAt(300, 300, 1, 0, [&] { Velkor_ClippedLabel_draw(&label, 0); }); });
    EXPECT_GT(CountCoveredPixels(300 + c.ink_left, 300, c.ink_right - c.ink_left, 40), 20)
        << "alignment " << c.alignment;
    EXPECT_EQ(0, CountCoveredPixels(300, 300, 200, 40) -
                     CountCoveredPixels(300 + c.ink_left, 300, c.ink_right - c.ink_left, 40))
        << "alignment " << c.alignment;
  }
}

// ---- Drawn rectangles -------------------------------------------------------------------

TEST_F(DisplayTest, DrawnRectangleFollowsTheTransformationAndPredrawClearsIt) {
  const struct {
    float x, y, scale, degrees;
    Velkor_DrawnRect expected;
  } cases[] = {
      {100, 200, 1, 0, {100, 200, 50, 20}},
      {100, 200, 2, 0, {100, 200, 100, 40}},
      {100, 200, 1, 90, {80, 200, 20, 50}},
  };
  for (const auto& c : cases) {
    Velkor_FrameShape s;
    Velkor_FrameShape_init(&s);
    s.width = 50;
    s.height = 20;
    Frame([&] {
      Velkor_FrameShape_predraw(&s);
      DrawAt(c.x, c.y, c.scale, c.degrees, [&] { Velkor_FrameShape_draw(&s, 0); });
    });
    EXPECT_NEAR(c.expected.x, s.drawnRect.x, 0.01f);
    EXPECT_NEAR(c.expected.y, s.drawnRect.y, 0.01f);
    EXPECT_NEAR(c.expected.width, s.drawnRect.width, 0.01f);
    EXPECT_NEAR(c.expected.height, s.drawnRect.height, 0.01f);
    Velkor_FrameShape_predraw(&s);
    EXPECT_EQ(0.0f, s.drawnRect.width);
  }
}

// ---- Focus and keys -------------------------------------------------------------------

TEST_F(DisplayTest, FocusRecordPulsesOnlyWhileFocusedAndPredrawClearsThem) {
  Velkor_IndividualFocus focus;
  Velkor_IndividualFocus_init(&focus);
  auto frame = [&](uint8_t request) {
    Frame([&] {
      Velkor_IndividualFocus_predraw(&focus);
      focus.request = request;
      Velkor_IndividualFocus_draw(&focus, 0);
    });
  };
  Press();
  frame(0);
  EXPECT_EQ(FOCUS_NONE, focus.focusState);
  EXPECT_EQ(0, focus.pressedPulse);
  EXPECT_EQ(1, GetFocusOrderCount());  // registered in its first frame
  Press();
  frame(1);
  EXPECT_EQ(FOCUS_HELD, focus.focusState);
  EXPECT_EQ(1, focus.pressedPulse);
  EXPECT_EQ(1u, focus.lastButton);
  EXPECT_EQ(focus.idInUse, GetCurrentFocusedWidget());
  Velkor_IndividualFocus_predraw(&focus);
  EXPECT_EQ(0, focus.pressedPulse);
  Release();
  frame(0);  // the focus stays after the pointer has left
  EXPECT_EQ(FOCUS_HELD, focus.focusState);
  EXPECT_EQ(1, focus.releasedPulse);
  EXPECT_EQ(1, GetFocusOrderCount());  // registered once
}

TEST_F(DisplayTest, KeysReachOnlyAnEnabledRecordOncePerKeyDown) {
  Velkor_KeyEvent keys;
  Velkor_KeyEvent_init(&keys);
  const struct {
    uint8_t enable;
    bool down;  // queue a key-down of 'a' (else nothing)
    uint8_t output;
    uint32_t key;
  } frames[] = {{0, true, 0, 0},    // not focused: nothing
                {1, true, 1, 'a'},  // focused: one pulse
                {1, true, 0, 0},    // the same key still down: no second pulse
                {1, false, 0, 0},
                {1, true, 1, 'a'}};
  for (const auto& f : frames) {
    if (f.down) KeyDown('a');
    Frame([&] {
      Velkor_KeyEvent_predraw(&keys);
      keys.enable = f.enable;
      Velkor_KeyEvent_draw(&keys, 0);
    });
    EXPECT_EQ(f.output, keys.output);
    EXPECT_EQ(f.key, keys.key);
  }
}

// ---- Click areas ----------------------------------------------------------------------

class ClickAreaTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_ClickArea_init(&area_);
    area_.width = 80;
    area_.height = 30;
  }
  void Draw(float x, float y, float scale, float degrees) {
    Frame([&] {
      Velkor_ClickArea_predraw(&area_);
      DrawAt(x, y, scale, degrees, [&] { Velkor_ClickArea_draw(&area_, 0); });
    });
    clicks_ += area_.click;
  }
  Velkor_ClickArea area_;
  int clicks_ = 0;
};

TEST_F(ClickAreaTest, ClickWhereItIsDrawnInEveryFrameOfReference) {
  const struct {
    const char* name;
    float x, y, scale, degrees;
    float inside_x, inside_y;    // a point just inside the far corner
    float outside_x, outside_y;  // one pixel beyond it
  } cases[] = {
      {"translated", 400, 300, 1, 0, 479.5f, 329.5f, 480.5f, 330.5f},
      {"scaled", 400, 300, 2, 0, 559.5f, 359.5f, 560.5f, 360.5f},
      {"rotated a quarter turn", 400, 300, 1, 90, 370.5f, 379.5f, 369.5f, 380.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int inside = 1; inside >= 0; --inside) {
      clicks_ = 0;
      MoveTo(inside ? c.inside_x : c.outside_x, inside ? c.inside_y : c.outside_y);
      Press();
      Release();
      for (int i = 0; i < 4; ++i) Draw(c.x, c.y, c.scale, c.degrees);
      EXPECT_EQ(inside, clicks_) << (inside ? "inside" : "outside");
    }
  }
}

TEST_F(ClickAreaTest, ModesWheelAndDisabled) {
  const struct {
    const char* name;
    uint32_t mode;
    uint8_t enabled;
    uint32_t button;
    int press_frame_clicks, release_frame_clicks;
  } cases[] = {{"release mode", 2, 1, 1, 0, 1},
               {"press mode", 1, 1, 1, 1, 0},
               {"wheel", 1, 1, 4, 0, 0},
               {"disabled", 2, 0, 1, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    area_.mode = c.mode;
    area_.enabled = c.enabled;
    MoveTo(420, 310);
    Draw(400, 300, 1, 0);
    clicks_ = 0;
    Press(c.button);
    Draw(400, 300, 1, 0);
    EXPECT_EQ(c.press_frame_clicks, clicks_);
    clicks_ = 0;
    Release(c.button);
    Draw(400, 300, 1, 0);
    EXPECT_EQ(c.release_frame_clicks, clicks_);
    EXPECT_EQ(c.enabled, area_.hover);
  }
}

TEST_F(ClickAreaTest, AnotherPassNeitherClicksNorTouchesTheOutputs) {
  area_.pass = 2;
  MoveTo(420, 310);
  Press();
  Release();
  Frame([&] { Velkor_ClickArea_draw(&area_, 2); });  // hover set in its own pass
  area_.hover = 1;
  area_.click = 1;
  for (int i = 0; i < 3; ++i) {
    Frame([&] { DrawAt(400, 300, 1, 0, [&] { Velkor_ClickArea_draw(&area_, 0); }); });
  }
  EXPECT_EQ(1, area_.hover);
  EXPECT_EQ(1, area_.click);
}

TEST_F(ClickAreaTest, HighlightGlowsInTheMiddleWhileHovered) {
  area_.showHighlight = 1;
  area_.highlightColor = velkor_test::kWhite;
  area_.highlightAlpha = 255;
  area_.width = 120;
  area_.height = 120;
  MoveTo(600, 600);
  Draw(400, 300, 1, 0);
  EXPECT_EQ(0, CountCoveredPixels(400, 300, 120, 120));  // not hovered: nothing
  MoveTo(460, 360);
  Draw(400, 300, 1, 0);
  const Rgba centre = ReadPixel(460, 360);
  const Rgba corner = ReadPixel(402, 302);
  EXPECT_GT(centre.r, 150);
  EXPECT_LT(corner.r, centre.r);
  // The four quarters mirror each other.
  EXPECT_NEAR(ReadPixel(440, 340).r, ReadPixel(480, 380).r, 12);
  EXPECT_NEAR(ReadPixel(440, 380).r, ReadPixel(480, 340).r, 12);
  EXPECT_EQ(0u, Context().errors.count);
}

// ---- Radio marks -------------------------------------------------------------------------

TEST_F(DisplayTest, RadioMarkShowsItsDotOnlyWhenChecked) {
  const Rgba dot = TableColor(velkor_test::kRed);
  for (uint8_t checked = 0; checked <= 1; ++checked) {
    Velkor_RadioButton radio;
    Velkor_RadioButton_init(&radio);
    radio.size = 30;
    radio.checked = checked;
    radio.dotColor = velkor_test::kRed;
    Frame([&] { DrawAt(100, 100, 1, 0, [&] { Velkor_RadioButton_draw(&radio, 0); }); });
    EXPECT_EQ(checked ? 16 : 0, CountPixelsNear(113, 113, 4, 4, dot, 10));
    EXPECT_EQ(0, CountCoveredPixels(100, 100, 2, 2));  // round: the box corner stays empty
    EXPECT_GT(CountCoveredPixels(100, 100, 30, 30), 500);
  }
}

}  // namespace
