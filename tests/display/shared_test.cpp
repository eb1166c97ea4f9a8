// The shared display classes: frame shapes, clipped labels, colour schemes,
// click areas and the pieces without a picture (animation, first-frame
// flag, cycle duration, keys, focus, the interaction step), driven through the real frame on the
// off-screen context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "display/Velkor_Animation.h"
#include "display/Velkor_ClickArea.h"
#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_GetCycleDuration.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_Init.h"
#include "display/Velkor_Interaction.h"
#include "display/Velkor_KeyEvent.h"
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
  // Its highlight shows only while the pointer is over it: in the accent
  // light (1007), brightest in the middle, fading towards every edge.
  area.mode = 2;
  area.enabled = 1;
  area.showHighlight = 1;
  MoveTo(100, 100);
  draw();
  EXPECT_EQ(0, CountCoveredPixels(400, 300, 80, 30));
  MoveTo(420, 310);
  draw();
  const Rgba centre = ReadPixel(440, 315);
  // The accent over the black ground at the shading's alpha: its hue.
  const Rgba accent = TableColor(1000 + kVelkorColorAccentLight);
  const float alpha = static_cast<float>(centre.b) / static_cast<float>(accent.b);
  EXPECT_GT(alpha, 0.4f);
  EXPECT_NEAR(accent.r * alpha, centre.r, 6);
  EXPECT_NEAR(accent.g * alpha, centre.g, 6);
  auto brightness = [](Rgba p) { return p.r + p.g + p.b; };
  struct Point {
    int x, y;
  };
  const Point edges[] = {{401, 315}, {478, 315}, {440, 301}, {440, 328}, {402, 302}};
  for (const Point& at : edges) {
    EXPECT_GT(brightness(centre), brightness(ReadPixel(at.x, at.y)) + 60) << at.x << "," << at.y;
  }
  const Point between[] = {{420, 315}, {440, 308}};
  for (const Point& at : between) {
    const Rgba p = ReadPixel(at.x, at.y);
    EXPECT_LT(brightness(p), brightness(centre)) << "between centre and edge";
    EXPECT_GT(brightness(p), brightness(ReadPixel(402, 302))) << "between centre and edge";
  }
}

// 330 ms at 33 ms a frame is ten steps; with the linear profile the value is
// the step over ten. Played in frame 0 only, each mode runs to its end,
// sets done in the frame it arrives and rests there; a backward play while
// it runs forwards turns it where it stands.
TEST_F(DisplayTest, AnimationPlaysForwardsBackwardsReversedAndTurns) {
  const struct {
    const char* name;
    uint32_t mode;
    bool falls;   // the value runs from 1 to 0
    int turn_at;  // a backward play in this frame (-1 none)
  } rows[] = {{"forwards", 1, false, -1},
              {"backwards", 2, true, -1},
              {"reversed", 3, true, -1},
              {"turned at step 4", 1, false, 4}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    Velkor_Animation a;
    Velkor_Animation_init(&a);
    a.duration = 330;
    a.profile = ANIMATION_LINEAR;
    a.mode = r.mode;
    int position = 0;
    int direction = 1;
    bool ended = false;
    for (int frame = 0; frame <= 12; ++frame) {
      a.play = frame == 0 || frame == r.turn_at ? 1 : 0;
      if (frame == r.turn_at) {
        a.mode = 2;
        direction = -1;
      }
      FrameOf(&a, Velkor_Animation_predraw, Velkor_Animation_draw, 0, 0);
      if (frame > 0) position = std::clamp(position + direction, 0, 10);
      const float step = static_cast<float>(position) / 10.0f;
      const float want = r.falls ? 1.0f - step : step;
      // done in the one frame in which the run arrives at its end.
      const bool at_end = frame > 0 && (direction > 0 ? position == 10 : position == 0);
      SCOPED_TRACE(frame);
      EXPECT_NEAR(want, a.value, 1e-4f);
      EXPECT_EQ(static_cast<int32_t>(want * 255.0f + 0.5f), a.level);
      EXPECT_EQ(at_end && !ended ? 1 : 0, a.done);
      ended = ended || at_end;
    }
  }
}

// The first-frame flag, the cycle duration, the keys of a focused widget,
// and the focus handed on to a named successor.
TEST_F(DisplayTest, FirstFrameCycleDurationKeysAndFocusHandedOn) {
  Velkor_Init init;
  Velkor_Init_init(&init);
  for (uint8_t first : {1, 0, 0}) {
    FrameOf(&init, Velkor_Init_predraw, Velkor_Init_draw, 0, 0);
    EXPECT_EQ(first, init.first);
  }
  Velkor_Init_draw(&init, 1);  // another pass: nothing changes
  EXPECT_EQ(0, init.first);
  Velkor_Init_init(&init);
  FrameOf(&init, Velkor_Init_predraw, Velkor_Init_draw, 0, 0);
  EXPECT_EQ(1, init.first) << "again after init";

  Velkor_GetCycleDuration cycle;
  Velkor_GetCycleDuration_init(&cycle);
  cycle.duration = 0;
  FrameOf(&cycle, Velkor_GetCycleDuration_predraw, Velkor_GetCycleDuration_draw, 0, 0);
  EXPECT_EQ(33, cycle.duration);

  // A space typed while focused: the pressed pulse in the down frame, the
  // released one in the up frame; mode 1 reports the first, mode 2 the
  // second. Without the focus nothing.
  const struct {
    uint32_t mode;
    uint8_t enable;
    uint8_t down_output, up_output;
  } key_rows[] = {{1, 1, 1, 0}, {2, 1, 0, 1}, {1, 0, 0, 0}};
  for (const auto& k : key_rows) {
    SCOPED_TRACE(testing::Message() << "mode " << k.mode << " focus " << int{k.enable});
    Velkor_KeyEvent keys;
    Velkor_KeyEvent_init(&keys);
    keys.mode = k.mode;
    keys.enable = k.enable;
    Type(KEY_SPACE);
    FrameOf(&keys, Velkor_KeyEvent_predraw, Velkor_KeyEvent_draw, 0, 0);
    EXPECT_EQ(k.enable, keys.pressedPulse);
    EXPECT_EQ(k.down_output, keys.output);
    EXPECT_EQ(k.enable ? KEY_SPACE : 0u, keys.key);
    FrameOf(&keys, Velkor_KeyEvent_predraw, Velkor_KeyEvent_draw, 0, 0);
    EXPECT_EQ(k.enable, keys.releasedPulse);
    EXPECT_EQ(k.up_output, keys.output);
    EXPECT_EQ(k.enable ? KEY_SPACE : 0u, keys.key) << "the code stands with either pulse";
  }

  // A takes the focus while hovered; asked to release it, it hands it on to
  // its successor B at once, which then holds it without being hovered.
  Velkor_IndividualFocus a;
  Velkor_IndividualFocus b;
  Velkor_IndividualFocus_init(&a);
  Velkor_IndividualFocus_init(&b);
  a.focusId = 11;
  a.focusNext = 12;
  b.focusId = 12;
  auto draw_both = [&] {
    Frame([&] {
      Velkor_IndividualFocus_predraw(&a);
      Velkor_IndividualFocus_predraw(&b);
      Velkor_IndividualFocus_draw(&a, 0);
      Velkor_IndividualFocus_draw(&b, 0);
    });
  };
  a.request = 1;
  draw_both();
  EXPECT_EQ(FOCUS_HELD, a.focusState);
  EXPECT_EQ(FOCUS_NONE, b.focusState);
  a.request = 0;
  a.release = 1;
  draw_both();
  a.release = 0;
  EXPECT_EQ(FOCUS_NONE, a.focusState);
  EXPECT_EQ(FOCUS_HELD, b.focusState);
  EXPECT_EQ(12u, GetCurrentFocusedWidget());
  draw_both();
  EXPECT_EQ(FOCUS_HELD, b.focusState) << "kept";
}

// The interaction step every interactive class runs first, replayed frame by
// frame for two widgets side by side: A at (100, 100), B at (200, 100), both
// 50 x 50, A stepped before B as an owner draws them. Each row is one frame:
// where the pointer is, the event handed over, how A is asked, and what each
// widget sees (hover, focused, pointer pulses, key pulse).
TEST_F(DisplayTest, InteractionStepHoverFocusPulsesAndKeysFrameByFrame) {
  enum Event { kNone, kPress, kRelease, kKey };
  struct Seen {
    uint8_t hover, focused, pressed, released, key;
  };
  const struct {
    const char* name;
    float x, y;
    Event event;
    uint8_t a_enabled, a_keep_asking, a_also_over;
    Seen a, b;
  } rows[] = {
      {"nowhere: nobody hovers or holds the focus", 400, 400, kNone, 1, 0, 0, {}, {}},
      {"over A: A hovers and takes the focus", 125, 125, kNone, 1, 0, 0, {1, 1, 0, 0, 0}, {}},
      {"press over A: the pulse to A", 125, 125, kPress, 1, 0, 0, {1, 1, 1, 0, 0}, {}},
      {"release over A", 125, 125, kRelease, 1, 0, 0, {1, 1, 0, 1, 0}, {}},
      {"pointer leaves: hover cleared, focus kept", 400, 400, kNone, 1, 0, 0, {0, 1, 0, 0, 0}, {}},
      {"a key goes to A only", 400, 400, kKey, 1, 0, 0, {0, 1, 0, 0, 1}, {}},
      {"its up frame", 400, 400, kNone, 1, 0, 0, {0, 1, 0, 0, 0}, {}},
      // A, stepped first, still held it when it reported this frame.
      {"over B: B takes the focus", 225, 125, kNone, 1, 0, 0, {0, 1, 0, 0, 0}, {1, 1, 0, 0, 0}},
      {"a key goes to B only", 225, 125, kKey, 1, 0, 0, {}, {1, 1, 0, 0, 1}},
      {"its up frame", 225, 125, kNone, 1, 0, 0, {}, {1, 1, 0, 0, 0}},
      {"A disabled under the pointer takes nothing", 125, 125, kNone, 0, 0, 0, {}, {0, 1, 0, 0, 0}},
      // The pulses go to the focus holder wherever the pointer is; a class
      // weighs them with its own hover.
      {"nor a press: it goes to B", 125, 125, kPress, 0, 0, 0, {}, {0, 1, 1, 0, 0}},
      {"and the release", 125, 125, kRelease, 0, 0, 0, {}, {0, 1, 0, 1, 0}},
      {"A asks without the pointer (a drag)", 400, 400, kNone, 1, 1, 0, {0, 1, 0, 0, 0}, {}},
      {"disabled, A cannot keep asking", 400, 400, kNone, 0, 1, 0, {}, {}},
      // A still holds the focus, so the focus record hands it the pulses;
      // disabled, it must not see them.
      {"disabled while holding the focus: no press", 400, 400, kPress, 0, 0, 0, {}, {}},
      {"nor its release", 400, 400, kRelease, 0, 0, 0, {}, {}},
      {"a part of A outside its box (an open list)", 400, 400, kNone, 1, 0, 1, {1, 1, 0, 0, 0}, {}},
      {"that part gone", 400, 400, kNone, 1, 0, 0, {0, 1, 0, 0, 0}, {}},
  };
  Velkor_IndividualFocus focus[2];
  Velkor_KeyEvent keys[2];
  for (int w = 0; w < 2; ++w) {
    Velkor_IndividualFocus_init(&focus[w]);
    Velkor_KeyEvent_init(&keys[w]);
  }
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    MoveTo(row.x, row.y);
    switch (row.event) {
      case kNone:
        break;
      case kPress:
        Press();
        break;
      case kRelease:
        Release();
        break;
      case kKey:
        Type(KEY_SPACE);  // its down in this frame, its up in the next
        break;
    }
    Velkor_Interaction seen[2] = {};
    Frame([&] {
      for (int w = 0; w < 2; ++w) {
        Velkor_IndividualFocus_predraw(&focus[w]);
        Velkor_KeyEvent_predraw(&keys[w]);
        Velkor_InteractionRequest request = {50, 50, 1, 0, 0, 0, 0};
        if (w == 0) {
          request.enabled = row.a_enabled;
          request.keepAsking = row.a_keep_asking;
          request.alsoOver = row.a_also_over;
        }
        DrawAt(100.0f + 100.0f * static_cast<float>(w), 100, 1, 0,
               [&] { seen[w] = Velkor_Interact(request, &focus[w], &keys[w], 0); });
      }
    });
    const Seen* expected[2] = {&row.a, &row.b};
    for (int w = 0; w < 2; ++w) {
      SCOPED_TRACE(w == 0 ? "A" : "B");
      EXPECT_EQ(expected[w]->hover, seen[w].hover);
      EXPECT_EQ(expected[w]->focused, seen[w].focused);
      EXPECT_EQ(expected[w]->pressed, seen[w].pressed);
      EXPECT_EQ(expected[w]->released, seen[w].released);
      EXPECT_EQ(expected[w]->key, keys[w].pressedPulse);
    }
  }
}

}  // namespace
}  // namespace velkor_test
