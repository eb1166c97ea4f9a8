// The text edit box, slider, scale and gauge display classes driven through
// the real frame off-screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/Velkor_Cursor.h"
#include "display/Velkor_Gauge.h"
#include "display/Velkor_GaugeBar.h"
#include "display/Velkor_GaugeHorizontal.h"
#include "display/Velkor_GaugeVertical.h"
#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_PushButton.h"
#include "display/Velkor_Scale.h"
#include "display/Velkor_Scale_element.h"
#include "display/Velkor_Slider.h"
#include "display/Velkor_SliderThumb.h"
#include "display/Velkor_TextEditBox.h"
#include "tests/display/display_fixture.h"

namespace velkor_test {
namespace {

constexpr uint32_t kWheelAway = 4;

TEST(SliderLayout, ThumbAndPointerTravelPerOrientation) {
  const struct {
    const char* name;
    float w, h;
    uint32_t orientation;
    uint8_t scale;
    float fraction;
    float expected[8];  // thumb x, y, w, h; pointer travel x1, y1, x2, y2
  } cases[] = {
      {"left to right at the minimum", 280, 50, 1, 1, 0, {0, 26, 14, 24, 7, 26, 273, 50}},
      {"right to left at the minimum", 280, 50, 2, 1, 0, {266, 26, 14, 24, 7, 26, 273, 50}},
      {"no scale: the box's height", 280, 20, 1, 0, 0.5f, {133, 0, 14, 20, 7, 0, 273, 20}},
      {"bottom to top", 50, 200, 3, 1, 1, {0, 186, 24, 14, 0, 7, 24, 193}},
      {"top to bottom at the minimum", 50, 200, 4, 1, 0, {0, 186, 24, 14, 0, 7, 24, 193}},
      {"thumb over half the track", 20, 20, 1, 0, 1, {10, 0, 10, 20, 5, 0, 15, 20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Velkor_SliderTrack t =
        Velkor_SliderLayout(c.w, c.h, c.orientation, 14, c.scale, c.fraction);
    const float got[] = {t.thumbX, t.thumbY, t.thumbW, t.thumbH,
                         t.rateX1, t.rateY1, t.rateX2, t.rateY2};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(c.expected[i], got[i]) << "value " << i;
  }
}

// Each orientation draws its thumb where its layout puts the value: the
// thumb's blue fills that place, and the place of the opposite fraction
// shows none of it.
TEST_F(DisplayTest, SliderThumbIsDrawnWhereEachOrientationPutsTheValue) {
  const struct {
    const char* name;
    uint32_t orientation;
    float w, h, value;  // on 0 .. 100
  } cases[] = {
      {"left to right at 80", kVelkorSliderLeftToRight, 280, 50, 80},
      {"right to left at 80: near the left end", kVelkorSliderRightToLeft, 280, 50, 80},
      {"bottom to top at 90: near the top", kVelkorSliderBottomToTop, 50, 200, 90},
      {"top to bottom at 90: near the bottom", kVelkorSliderTopToBottom, 50, 200, 90},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    static Velkor_Slider slider;
    Velkor_Slider_init(&slider);
    slider.width = c.w;
    slider.height = c.h;
    slider.maximum = 100;
    slider.orientation = c.orientation;
    slider.forcedValue = c.value;
    slider.force = 1;
    MoveTo(10, 10);
    FrameOf(&slider, Velkor_Slider_predraw, Velkor_Slider_draw, 200, 200);
    slider.force = 0;
    FrameOf(&slider, Velkor_Slider_predraw, Velkor_Slider_draw, 200, 200);
    ASSERT_FLOAT_EQ(c.value, slider.value);
    const float f = c.value / 100.0f;
    const Velkor_SliderTrack at = Velkor_SliderLayout(c.w, c.h, c.orientation, 14, 1, f);
    const Velkor_SliderTrack away = Velkor_SliderLayout(c.w, c.h, c.orientation, 14, 1, 1 - f);
    // The thumb is the accent shaded by a ramp: blue, darker or lighter.
    auto accent_in = [&](const Velkor_SliderTrack& t) {
      int n = 0;
      for (int y = 200 + static_cast<int>(t.thumbY) + 3; y < 200 + t.thumbY + t.thumbH - 3; ++y) {
        for (int x = 200 + static_cast<int>(t.thumbX) + 3; x < 200 + t.thumbX + t.thumbW - 3; ++x) {
          const Rgba p = ReadPixel(x, y);
          n += (p.b > 100 && p.b > p.r + 50) ? 1 : 0;
        }
      }
      return n;
    };
    EXPECT_GT(accent_in(at), 30);
    EXPECT_EQ(0, accent_in(away));
  }
}

TEST_F(DisplayTest, SliderStepsByWheelKeysAndDragAndIgnoresAllWhileDisabled) {
  // At (200, 300), 280 x 50, 0 .. 100 in steps of 5: the thumb's centre
  // travels from x 207 to 473 (266 units) in the top 24 units.
  Velkor_Slider slider;
  Velkor_Slider_init(&slider);
  slider.maximum = 100;
  slider.step = 5;
  bool changed = false;
  auto draw = [&] {
    FrameOf(&slider, Velkor_Slider_predraw, Velkor_Slider_draw, 200, 300);
    changed = changed || slider.changed;
  };
  auto rate_x = [](float rate) { return 207.0f + 266.0f * rate; };
  MoveTo(rate_x(0.5f), 310);  // over the scale, not the thumb
  draw();
  changed = false;
  Wheel(kWheelAway);
  draw();
  EXPECT_FLOAT_EQ(5.0f, slider.value);
  EXPECT_TRUE(changed);  // a wheel notch is the user's change
  const struct {
    uint32_t key;
    float value;
  } keys[] = {{KEY_RIGHT, 10}, {KEY_UP, 15},  {KEY_LEFT, 10},
              {KEY_DOWN, 5},   {KEY_DOWN, 0}, {KEY_DOWN, 0}};
  for (const auto& k : keys) {
    TypeKey(k.key, draw);
    EXPECT_FLOAT_EQ(k.value, slider.value) << "key " << k.key;
  }
  slider.forcedValue = 60;
  slider.force = 1;
  draw();
  slider.force = 0;
  // Thumb centre at 366.6: above the groove (y 335 .. 341) only the thumb
  // is drawn, there and not at 0.2.
  EXPECT_GT(CountCoveredPixels(362, 343, 10, 6), 40);
  EXPECT_EQ(0, CountCoveredPixels(255, 343, 10, 6));
  // Grabbed, it snaps to the step and follows the pointer off the slider.
  MoveTo(rate_x(0.6f), 338);
  draw();
  Press();
  draw();
  EXPECT_EQ(1, slider.dragging);
  const struct {
    float rate, value;
  } drags[] = {{0.52f, 50}, {0.53f, 55}, {1.5f, 100}, {0.0f, 0}, {0.26f, 25}};
  for (const auto& d : drags) {
    MoveTo(rate_x(d.rate), 420);
    draw();
    EXPECT_FLOAT_EQ(d.value, slider.value) << "rate " << d.rate;
  }
  Release();
  draw();
  EXPECT_EQ(0, slider.dragging);
  MoveTo(rate_x(0.9f), 338);
  draw();
  EXPECT_FLOAT_EQ(25.0f, slider.value);  // released: moving does nothing
  // Disabled, it is greyed and ignores the pointer, the wheel and the keys.
  const Rgba thumb_enabled = ReadPixel(static_cast<int>(rate_x(0.25f)), 338);
  slider.enabled = 0;
  MoveTo(rate_x(0.25f), 338);
  draw();
  Wheel(kWheelAway);
  draw();
  TypeKey(KEY_RIGHT, draw);
  Press();
  draw();
  MoveTo(rate_x(0.9f), 338);
  draw();
  Release();
  draw();
  EXPECT_FLOAT_EQ(25.0f, slider.value);
  EXPECT_EQ(0, slider.dragging);
  EXPECT_NE(thumb_enabled.b, ReadPixel(static_cast<int>(rate_x(0.25f)), 338).b);
}

TEST_F(DisplayTest, ScaleTicksFallOnRoundStepsWithRoomForTheirLabels) {
  // The labels' font 20 has a digit box of 18 x 9.
  const struct {
    const char* name;
    float length, minimum, maximum, angle;
    int majors;
    float step, spacing;
    int32_t integer_digits, fraction_digits;
  } cases[] = {
      // Labels along it need 4 x 18 x 0.9 = 64.8: at most 4.6 intervals, so 2 of 50.
      {"0 .. 100 on 300", 300, 0, 100, 0, 3, 50, 150, 3, 0},
      // Labels across it need 2 x 9: at most 16.7 intervals, so 10 of 10.
      {"labels across the scale", 300, 0, 100, 90, 11, 10, 30, 3, 0},
      // Range 1: one fraction digit, so labels need 0.9 x 4 x 18 too.
      {"0 .. 1 on 300", 300, 0, 1, 0, 3, 0.5f, 150, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    static Velkor_Scale scale;
    Velkor_Scale_init(&scale);
    scale.width = c.length;
    scale.minimum = c.minimum;
    scale.maximum = c.maximum;
    scale.labelAngle = c.angle;
    Frame([&] { Velkor_Scale_graduate(&scale); });
    EXPECT_EQ(c.integer_digits, scale.integerDigits);
    EXPECT_EQ(c.fraction_digits, scale.fractionDigits);
    int visible = 0;
    for (int i = 0; i < SCALE_MAJOR_TICKS; ++i) {
      if (!scale.majorVisible[i]) continue;
      EXPECT_NEAR(c.minimum + c.step * visible, scale.majorValues[i], 1e-4f);
      EXPECT_NEAR(c.spacing * visible, scale.majorPositions[i], 1e-3f);
      ++visible;
    }
    EXPECT_EQ(c.majors, visible);
  }
}

TEST_F(DisplayTest, GaugesFillTheirShareOfTheRange) {
  const struct {
    const char* name;
    float value, minimum, maximum, fraction;
  } fractions[] = {{"quarter", 0.25f, 0, 1, 0.25f},
                   {"below the range", -3, 0, 1, 0},
                   {"above the range", 7, 0, 1, 1},
                   {"offset range", 15, 10, 30, 0.25f},
                   {"empty range counts ten", 12.5f, 10, 10, 0.25f}};
  static Velkor_Gauge gauge;
  for (const auto& f : fractions) {
    Velkor_Gauge_init(&gauge);
    gauge.value = f.value;
    gauge.minimum = f.minimum;
    gauge.maximum = f.maximum;
    Frame([&] { Velkor_Gauge_draw(&gauge, 0); });
    EXPECT_FLOAT_EQ(f.fraction, gauge.fraction) << f.name;
  }
  // Drawn at (100, 100) a quarter full, in the scheme's accent: a horizontal
  // bar fills from the left, a vertical one from the bottom. Labelled, the
  // bar keeps 40 % of the box and the values stand beside it: below a
  // horizontal bar, right of a vertical one, nowhere else.
  const Rgba accent = TableColor(1000 + kVelkorColorAccent);
  struct Box {
    int x, y, w, h;
  };
  const struct {
    const char* name;
    uint8_t vertical, labelled;
    float w, h;
    Box filled, empty;  // accent all over / nowhere
    Box labels;         // ink of the values (w 0: none drawn)
    Box blank;          // no ink at all
  } drawn[] = {
      {"horizontal",
       0,
       0,
       200,
       20,
       {102, 112, 46, 6},
       {154, 102, 144, 16},
       {0, 0, 0, 0},
       {100, 60, 200, 38}},
      {"vertical",
       1,
       0,
       20,
       200,
       {104, 102, 12, 46},
       {102, 154, 16, 144},
       {0, 0, 0, 0},
       {122, 100, 60, 200}},
      {"horizontal labelled",
       0,
       1,
       200,
       50,
       {102, 132, 46, 16},
       {154, 132, 144, 16},
       {95, 100, 210, 28},
       {100, 152, 200, 40}},
      {"vertical labelled",
       1,
       1,
       50,
       200,
       {102, 102, 16, 46},
       {102, 154, 16, 144},
       {122, 95, 40, 210},
       {60, 100, 38, 200}},
  };
  for (const auto& d : drawn) {
    SCOPED_TRACE(d.name);
    Velkor_Gauge_init(&gauge);
    gauge.width = d.w;
    gauge.height = d.h;
    gauge.vertical = d.vertical;
    gauge.labelled = d.labelled;
    gauge.minimum = 0;
    gauge.maximum = 100;
    gauge.value = 25;
    // On a grey ground, where the black values show.
    Frame([&] {
      sglIndexColori(kGrey);
      FillQuad(0, 0, 400, 400);
      DrawAt(100, 100, 1, 0, [&] { Velkor_Gauge_draw(&gauge, 0); });
    });
    EXPECT_EQ(d.filled.w * d.filled.h,
              CountPixelsNear(d.filled.x, d.filled.y, d.filled.w, d.filled.h, accent, 2));
    EXPECT_EQ(0, CountPixelsNear(d.empty.x, d.empty.y, d.empty.w, d.empty.h, accent, 2));
    const Rgba ground = TableColor(kGrey);
    auto ink = [&](const Box& b) {
      return b.w * b.h - CountPixelsNear(b.x, b.y, b.w, b.h, ground, 8);
    };
    if (d.labels.w > 0) {
      EXPECT_GT(ink(d.labels), 60);
    }
    EXPECT_EQ(0, ink(d.blank));
  }
}

// Where a gauge's parts go, per orientation: the bar takes the whole box,
// or 40 % of it across when the scale is labelled (at the top of a lying
// gauge, at the left of a standing one); the fill runs along the bar's
// length; the scale gets what the bar leaves.
TEST(GaugeGeometry, BarFillAndScalePerOrientation) {
  const struct {
    const char* name;
    Velkor_GaugeOrientation orientation;
    float w, h;
    bool labelled;
    float bar_x, bar_y, bar_w, bar_h, fill_w, fill_h, across, scale_x, scale_w, scale_h;
  } rows[] = {
      {"lying", kVelkorGaugeHorizontal, 200, 20, false, 0, 0, 200, 20, 50, 20, 20, 0, 200, 0},
      {"standing", kVelkorGaugeVertical, 20, 200, false, 0, 0, 20, 200, 20, 50, 20, 20, 0, 200},
      {"lying labelled", kVelkorGaugeHorizontal, 200, 50, true, 0, 30, 200, 20, 50, 20, 20, 0, 200,
       30},
      {"standing labelled", kVelkorGaugeVertical, 50, 200, true, 0, 0, 20, 200, 20, 50, 20, 20, 30,
       200},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    const Velkor_GaugeGeometry g =
        Velkor_GaugeBar_geometry(r.orientation, r.w, r.h, r.labelled, 0.25f);
    EXPECT_FLOAT_EQ(r.bar_x, g.barX);
    EXPECT_FLOAT_EQ(r.bar_y, g.barY);
    EXPECT_FLOAT_EQ(r.bar_w, g.barWidth);
    EXPECT_FLOAT_EQ(r.bar_h, g.barHeight);
    EXPECT_FLOAT_EQ(r.fill_w, g.fillWidth);
    EXPECT_FLOAT_EQ(r.fill_h, g.fillHeight);
    EXPECT_FLOAT_EQ(r.across, g.across);
    EXPECT_FLOAT_EQ(r.across / 4, g.radius);
    EXPECT_FLOAT_EQ(r.scale_x, g.scaleX);
    EXPECT_FLOAT_EQ(r.scale_w, g.scaleWidth);
    EXPECT_FLOAT_EQ(r.scale_h, g.scaleHeight);
  }
}

// The two gauge classes under their own names: each starts in its own
// orientation and box, and fills a quarter of it from its own end.
TEST_F(DisplayTest, GaugeClassesKeepTheirOrientationAndBox) {
  static Velkor_GaugeHorizontal lying;
  static Velkor_GaugeVertical standing;
  Velkor_GaugeHorizontal_init(&lying);
  Velkor_GaugeVertical_init(&standing);
  EXPECT_EQ(kVelkorGaugeHorizontal, lying.orientation);
  EXPECT_EQ(kVelkorGaugeVertical, standing.orientation);
  EXPECT_FLOAT_EQ(162, lying.width);
  EXPECT_FLOAT_EQ(10, lying.height);
  EXPECT_FLOAT_EQ(14, standing.width);
  EXPECT_FLOAT_EQ(120, standing.height);

  const Rgba accent = TableColor(1000 + kVelkorColorAccent);
  struct Box {
    int x, y, w, h;
  };
  const struct {
    const char* name;
    Velkor_GaugeBar* gauge;
    void (*draw)(Velkor_GaugeBar*, uint32_t);
    float w, h;
    Box filled, empty;
  } rows[] = {
      {"GaugeHorizontal",
       &lying,
       [](Velkor_GaugeBar* g, uint32_t pass) {
         Velkor_GaugeHorizontal_draw(static_cast<Velkor_GaugeHorizontal*>(g), pass);
       },
       200,
       20,
       {102, 102, 46, 16},
       {154, 102, 144, 16}},
      {"GaugeVertical",
       &standing,
       [](Velkor_GaugeBar* g, uint32_t pass) {
         Velkor_GaugeVertical_draw(static_cast<Velkor_GaugeVertical*>(g), pass);
       },
       20,
       200,
       {102, 102, 16, 46},
       {102, 154, 16, 144}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    r.gauge->width = r.w;
    r.gauge->height = r.h;
    r.gauge->maximum = 100;
    r.gauge->value = 25;
    Frame([&] { DrawAt(100, 100, 1, 0, [&] { r.draw(r.gauge, 0); }); });
    EXPECT_FLOAT_EQ(0.25f, r.gauge->fraction);
    EXPECT_EQ(r.filled.w * r.filled.h,
              CountPixelsNear(r.filled.x, r.filled.y, r.filled.w, r.filled.h, accent, 2));
    EXPECT_EQ(0, CountPixelsNear(r.empty.x, r.empty.y, r.empty.w, r.empty.h, accent, 2));
  }
}

TEST_F(DisplayTest, TextEditBoxConfirmsWithEnterOrAClickOutsideRestoresWithEscape) {
  // The box at (300, 300), 132 x 30, left aligned: its text starts at x 305.
  static Velkor_TextEditBox box;
  Velkor_TextEditBox_init(&box);
  box.initialText = "0x0000";
  box.labelAlignment = 0;
  int enters = 0;
  std::string enter_text;
  auto draw = [&] {
    FrameOf(&box, Velkor_TextEditBox_predraw, Velkor_TextEditBox_draw, 300, 300);
    if (box.enter) enter_text = box.text;
    enters += box.enter;
  };
  auto type_text = [&](const char* keys) {
    for (const char* k = keys; *k != '\0'; ++k) TypeKey(static_cast<uint8_t>(*k), draw);
  };
  draw();
  EXPECT_STREQ("0x0000", box.text);
  ClickAt(400, 315, draw);
  ASSERT_EQ(1, box.editing);
  type_text("12");
  EXPECT_STREQ("0x0000", box.text);  // not confirmed yet
  type_text("\r");
  EXPECT_EQ(1, enters);
  EXPECT_EQ("0x000012", enter_text);
  EXPECT_STREQ("0x000012", box.text);
  EXPECT_EQ(0, box.editing);
  // Escape restores.
  ClickAt(400, 315, draw);
  type_text("9\x1b");
  EXPECT_EQ(1, enters);
  EXPECT_EQ(0, box.editing);
  EXPECT_STREQ("0x000012", box.text);
  // A click on the first third of the first character puts the caret
  // before it (16 frames after the first click: no double click); a click
  // outside confirms.
  ClickAt(400, 315, draw);
  for (int i = 0; i < 16; ++i) draw();
  ClickAt(305.5f, 315, draw);
  EXPECT_EQ(0, box.selected);
  type_text("Z");
  ClickAt(600, 600, draw);
  EXPECT_EQ(2, enters);
  EXPECT_EQ("Z0x000012", enter_text);
  // Disabled, it takes neither clicks nor keys, but a load still reaches it
  // and is no confirmation.
  box.enabled = 0;
  ClickAt(400, 315, draw);
  EXPECT_EQ(0, box.editing);
  type_text("1\r");
  EXPECT_EQ(2, enters);
  box.forcedText = "0x0280";
  box.force = 1;
  draw();
  box.force = 0;
  EXPECT_STREQ("0x0280", box.text);
  EXPECT_EQ(2, enters);
}

// A double click selects the whole text, shown inverted (light on dark), and
// the next key replaces it; a restricted box takes only Backspace and Delete
// unless the whole text is selected.
TEST_F(DisplayTest, TextEditBoxDoubleClickSelectsAllAndRestrictedModeTakesOnlyDeletions) {
  const struct {
    const char* name;
    uint8_t restricted;
    bool double_click;
    const char* keys;
    const char* confirmed;
  } cases[] = {
      {"typed at the caret", 0, false, "5\r", "0x00005"},
      {"a double click selects all, a key replaces it", 0, true, "5\r", "5"},
      {"restricted: characters do nothing", 1, false, "5\r", "0x0000"},
      {"restricted: Backspace edits", 1, false, "\b\b\r", "0x00"},
      {"restricted, all selected: a key replaces it", 1, true, "5\r", "5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearFocus();
    static Velkor_TextEditBox box;
    Velkor_TextEditBox_init(&box);
    box.initialText = "0x0000";
    box.labelAlignment = 0;
    box.restricted = c.restricted;
    box.invert = 1;
    auto draw = [&] {
      FrameOf(&box, Velkor_TextEditBox_predraw, Velkor_TextEditBox_draw, 300, 300);
    };
    draw();
    ClickAt(400, 315, draw);
    ASSERT_EQ(1, box.editing);
    if (c.double_click) {
      ClickAt(400, 315, draw);  // a frame after the first: a double click
      EXPECT_EQ(1, box.selected);
      // Inverted: the box's face (x 305 .. 345) is dark under the text.
      EXPECT_GT(CountPixelsNear(304, 304, 40, 22, TableColor(kBlack), 60), 300);
    } else {
      EXPECT_EQ(0, box.selected);
      EXPECT_LT(CountPixelsNear(304, 304, 40, 22, TableColor(kBlack), 60), 150);
    }
    for (const char* k = c.keys; *k != '\0'; ++k) TypeKey(static_cast<uint8_t>(*k), draw);
    EXPECT_EQ(0, box.editing);
    EXPECT_STREQ(c.confirmed, box.text);
  }
}

// The box and a button beside it, as a pop-up offers a value and its "SAVE"
// button: the first click on the button after typing must fire it, whether
// the text was confirmed or is still being edited, whether the button is drawn
// before the box (as in the pop-ups) or after it, and even when the press
// arrives in the frame the pointer reaches the button.
TEST_F(DisplayTest, OneClickOnAButtonAfterTypingFiresIt) {
  // Mode 1 fires on the press; mode 2 on the release. Either way the button
  // is let go afterwards, and its face shows it raised again (plain white at
  // the top while the pointer rests on it; pressed, that edge is grey).
  for (uint32_t mode : {2u, 1u}) {
    for (const char* keys : {"5\r", "5"}) {
      for (bool button_first : {false, true}) {
        for (bool hover_first : {true, false}) {
          SCOPED_TRACE(testing::Message()
                       << "mode " << mode << ", " << (keys[1] ? "confirmed" : "editing")
                       << ", button " << (button_first ? "first" : "last") << ", "
                       << (hover_first ? "rests on it" : "pressed on arrival"));
          ClearFocus();
          static Velkor_TextEditBox box;
          Velkor_TextEditBox_init(&box);
          box.initialText = "0x0000";
          static Velkor_PushButton button;
          Velkor_PushButton_init(&button);
          button.activationMode = mode;
          int clicks = 0;
          auto draw = [&] {
            Frame([&] {
              Velkor_TextEditBox_predraw(&box);
              Velkor_PushButton_predraw(&button);
              auto draw_button = [&] {
                DrawAt(500, 300, 1, 0, [&] { Velkor_PushButton_draw(&button, 0); });
              };
              if (button_first) draw_button();
              DrawAt(300, 300, 1, 0, [&] { Velkor_TextEditBox_draw(&box, 0); });
              if (!button_first) draw_button();
            });
            clicks += button.activated;
          };
          ClickAt(400, 315, draw);
          ASSERT_EQ(1, box.editing);
          for (const char* k = keys; *k != '\0'; ++k) TypeKey(static_cast<uint8_t>(*k), draw);
          MoveTo(500 + button.width / 2, 300 + button.height / 2);
          if (hover_first) draw();
          Press();
          draw();
          Release();
          for (int i = 0; i < 3; ++i) draw();
          EXPECT_EQ(1, clicks);
          EXPECT_EQ(0, button.down) << "let go";
          EXPECT_NEAR(TableColor(1009).r, ReadPixel(530, 344).r, 12) << "the face raised";
          EXPECT_STREQ("0x00005", box.text);
        }
      }
    }
  }
}

TEST_F(DisplayTest, ScaleLabelsStayInsideTheirRecord) {
  // Whatever lies behind an element must survive its labels being written.
  static struct {
    Velkor_Scale_element element;
    char guard[300];
  } record;
  const float values[] = {0, -512, 123456, 0.5f};
  for (float v : values) {
    Velkor_Scale_element_init(&record.element);
    std::memset(record.guard, 0x5A, sizeof record.guard);
    record.element.value = v;
    record.element.integerDigits = 6;
    record.element.fractionDigits = v == 0.5f ? 1 : 0;
    Frame([&] { DrawAt(100, 100, 1, 0, [&] { Velkor_Scale_element_draw(&record.element, 0); }); });
    for (char c : record.guard) ASSERT_EQ(0x5A, c) << "value " << v;
  }
  EXPECT_STREQ("0.5", record.element.text);
}

}  // namespace
}  // namespace velkor_test
