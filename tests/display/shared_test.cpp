// The shared display classes: frame shapes, clipped labels, colour schemes
// and click areas, driven through the real frame on the off-screen context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/Velkor_ClickArea.h"
#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_FrameShape.h"
#include "tests/display/display_fixture.h"

namespace velkor_test {
namespace {

float polygon_area(const float* xs, const float* ys, int n) {
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    sum += xs[i] * ys[j] - xs[j] * ys[i];
  }
  return sum / 2.0f;
}

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
      {"nothing for an empty box", kVelkorCornerRound, 0, 50, 8, 0, 0},
      {"nothing without height", kVelkorCornerRound, 150, 0, 8, 0, 0},
      {"nothing for a negative width", kVelkorCornerRound, -10, 50, 8, 0, 0},
      {"nothing for a height not a number", kVelkorCornerRound, 150, NAN, 8, 0, 0},
  };
  float xs[kVelkorFrameShapeMaxPoints];
  float ys[kVelkorFrameShapeMaxPoints];
  // One point short of the room a round shape needs: nothing written.
  EXPECT_EQ(0, Velkor_FrameShapeOutline(kVelkorCornerRound, 150, 50, 8, xs, ys, 35));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int n =
        Velkor_FrameShapeOutline(c.style, c.w, c.h, c.radius, xs, ys, kVelkorFrameShapeMaxPoints);
    ASSERT_EQ(c.points, n);
    if (n == 0) continue;
    // Counter-clockwise (positive area) and, for quarter circles drawn with
    // eight chords, within 0.5 % of the true area.
    EXPECT_NEAR(c.area, polygon_area(xs, ys, n), c.area * 0.005f);
    // It fills its box exactly.
    const auto x = std::minmax_element(xs, xs + n);
    const auto y = std::minmax_element(ys, ys + n);
    EXPECT_NEAR(0.0f, *x.first, 1e-4f);
    EXPECT_NEAR(c.w, *x.second, 1e-4f);
    EXPECT_NEAR(0.0f, *y.first, 1e-4f);
    EXPECT_NEAR(c.h, *y.second, 1e-4f);
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

TEST_F(DisplayTest, FrameShapeTextureTransparencyAndOutline) {
  // A square shape of 100 x 60 at (200, 200), filled and outlined as asked.
  auto draw = [&](int32_t fill, int32_t line, int32_t texture, uint32_t transparency) {
    Velkor_FrameShape s;
    Velkor_FrameShape_init(&s);
    s.width = 100;
    s.height = 60;
    s.cornerStyle = kVelkorCornerSquare;
    s.fillColor = fill;
    s.lineColor = line;
    if (texture >= 0) s.texture = texture;
    s.fillTransparency = transparency;
    Frame([&] { DrawAt(200, 200, 1, 0, [&] { Velkor_FrameShape_draw(&s, 0); }); });
  };
  // Texture 240 rises from nearly transparent at the bottom to opaque at the top.
  draw(kWhite, -1, 240, 255);
  EXPECT_LT(ReadPixel(250, 203).r, 60);
  EXPECT_GT(ReadPixel(250, 256).r, 200);
  EXPECT_EQ(0u, Context().errors.count);
  draw(kWhite, -1, -1, 64);  // blends with the black below
  EXPECT_NEAR(64, ReadPixel(250, 230).r, 3);
  draw(-1, kRed, -1, 255);
  EXPECT_GT(CountPixelsNear(230, 198, 40, 4, Rgba{255, 0, 0, 255}, 110), 30);
  EXPECT_EQ(0, CountCoveredPixels(220, 220, 60, 20));  // inside stays empty
}

TEST_F(DisplayTest, LabelIsAlignedAndStaysInsideItsBox) {
  const char* const kLong = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
  const struct {
    const char* text;
    uint32_t alignment;
    int ink_left, ink_right;  // the columns of the 200 wide box that hold ink
  } cases[] = {{"Mi", 0, 0, 40},   {"Mi", 1, 70, 130}, {"Mi", 2, 160, 200},
               {kLong, 0, 0, 200}, {kLong, 1, 0, 200}, {kLong, 2, 0, 200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " alignment " << c.alignment);
    Velkor_ClippedLabel label;
    Velkor_ClippedLabel_init(&label);
    label.text = c.text;
    label.alignment = c.alignment;
    label.width = 200;
    label.height = 40;
    label.color = kWhite;
    Frame([&] { DrawAt(300, 300, 1, 0, [&] { Velkor_ClippedLabel_draw(&label, 0); }); });
    const int ink = CountCoveredPixels(300 + c.ink_left, 300, c.ink_right - c.ink_left, 40);
    EXPECT_GT(ink, 20);
    EXPECT_EQ(ink, CountCoveredPixels(0, 0, 1280, 768));
  }
}

TEST_F(DisplayTest, ClickAreaModesWheelAndDisabled) {
  // Wheel notches never click.
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
  Velkor_ClickArea area;
  Velkor_ClickArea_init(&area);
  area.width = 80;
  area.height = 30;
  auto draw = [&] {
    FrameOf(&area, Velkor_ClickArea_predraw, Velkor_ClickArea_draw, 400, 300);
    return int{area.click};
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    area.mode = c.mode;
    area.enabled = c.enabled;
    MoveTo(420, 310);
    draw();
    Press(c.button);
    EXPECT_EQ(c.press_frame_clicks, draw());
    Release(c.button);
    EXPECT_EQ(c.release_frame_clicks, draw());
    EXPECT_EQ(c.enabled, area.hover);
  }
}

}  // namespace
}  // namespace velkor_test
