// The text, slider, scale and gauge display classes - TextEditBox with its
// Cursor, Slider with its SliderThumb and Scale, the gauges with their
// graduation - driven through the real frame: pointer and key records handed
// to the interactivity mapping, the instances drawn in transformed frames on
// the off-screen context, outputs and pixels read afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "display/Velkor_Cursor.h"
#include "display/Velkor_Gauge.h"
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

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::DisplayTest;
using velkor_test::ReadPixel;
using velkor_test::Rgba;
using velkor_test::TableColor;

constexpr uint32_t kWheelAway = 4;

// ---- Geometry as numbers ----------------------------------------------------------

TEST(SliderLayout, ThumbAndPointerTravelPerOrientation) {
  const struct {
    const char* name;
    float w, h;
    uint32_t orientation;
    uint8_t scale;
    float fraction;
    float thumb_x, thumb_y, thumb_w, thumb_h;
    float rate_x1, rate_y1, rate_x2, rate_y2;
  } cases[] = {
      {"left to right at the minimum", 280, 50, 1, 1, 0, 0, 26, 14, 24, 7, 26, 273, 50},
      {"left to right at the maximum", 280, 50, 1, 1, 1, 266, 26, 14, 24, 7, 26, 273, 50},
      {"right to left at the minimum", 280, 50, 2, 1, 0, 266, 26, 14, 24, 7, 26, 273, 50},
      {"without a scale the thumb is the box's height", 280, 20, 1, 0, 0.5f, 133, 0, 14, 20, 7, 0,
       273, 20},
      {"bottom to top", 50, 200, 3, 1, 1, 0, 186, 24, 14, 0, 7, 24, 193},
      {"top to bottom at the minimum", 50, 200, 4, 1, 0, 0, 186, 24, 14, 0, 7, 24, 193},
      {"a thumb longer than half the track is shortened", 20, 20, 1, 0, 1, 10, 0, 10, 20, 5, 0, 15,
       20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Velkor_SliderTrack t =
        Velkor_SliderLayout(c.w, c.h, c.orientation, 14, c.scale, c.fraction);
    EXPECT_FLOAT_EQ(c.thumb_x, t.thumbX);
    EXPECT_FLOAT_EQ(c.thumb_y, t.thumbY);
    EXPECT_FLOAT_EQ(c.thumb_w, t.thumbW);
    EXPECT_FLOAT_EQ(c.thumb_h, t.thumbH);
    EXPECT_FLOAT_EQ(c.rate_x1, t.rateX1);
    EXPECT_FLOAT_EQ(c.rate_y1, t.rateY1);
    EXPECT_FLOAT_EQ(c.rate_x2, t.rateX2);
    EXPECT_FLOAT_EQ(c.rate_y2, t.rateY2);
  }
}

// ---- The pass rule ------------------------------------------------------------------

TEST_F(DisplayTest, AnotherPassDrawsNothingAndKeepsTheOutputs) {
  static Velkor_Slider slider;
  static Velkor_TextEditBox box;
  static Velkor_Cursor cursor;
  static Velkor_Scale scale;
  static Velkor_Gauge gauge;
  static Velkor_SliderThumb thumb;
  static Velkor_Scale_element element;
  const struct {
    const char* name;
    std::function<void()> prepare;
    std::function<void()> draw;
    std::function<bool()> kept;
    const void* record;  // every byte of it stays as it was
    size_t size;
  } cases[] = {
      {"Slider",
       [] {
         Velkor_Slider_init(&slider);
         slider.pass = 1;
         slider.value = 33;
         slider.forcedValue = 50;
         slider.force = 1;
       },
       [] { Velkor_Slider_draw(&slider, 0); }, [] { return slider.value == 33; }, &slider,
       sizeof slider},
      {"TextEditBox",
       [] {
         Velkor_TextEditBox_init(&box);
         box.pass = 1;
         box.initialText = "abc";
         std::strcpy(box.text, "kept");
       },
       [] { Velkor_TextEditBox_draw(&box, 0); }, [] { return std::string(box.text) == "kept"; },
       &box, sizeof box},
      {"Cursor",
       [] {
         Velkor_Cursor_init(&cursor);
         cursor.pass = 1;
         cursor.text = "abc";
         cursor.active = 1;
         cursor.visible = 1;
         cursor.cursorX = -3;
       },
       [] { Velkor_Cursor_draw(&cursor, 0); }, [] { return cursor.cursorX == -3.0f; }, &cursor,
       sizeof cursor},
      {"Scale",
       [] {
         Velkor_Scale_init(&scale);
         scale.pass = 1;
         scale.integerDigits = 42;
       },
       [] { Velkor_Scale_draw(&scale, 0); }, [] { return scale.integerDigits == 42; }, &scale,
       sizeof scale},
      {"Gauge",
       [] {
         Velkor_Gauge_init(&gauge);
         gauge.pass = 1;
         gauge.value = 0.5f;
         gauge.fraction = 0.25f;
       },
       [] { Velkor_Gauge_draw(&gauge, 0); }, [] { return gauge.fraction == 0.25f; }, &gauge,
       sizeof gauge},
      {"SliderThumb",
       [] {
         Velkor_SliderThumb_init(&thumb);
         thumb.pass = 1;
         thumb.fillColor = 77;
       },
       [] { Velkor_SliderThumb_draw(&thumb, 0); }, [] { return thumb.fillColor == 77; }, &thumb,
       sizeof thumb},
      {"Scale_element",
       [] {
         Velkor_Scale_element_init(&element);
         element.pass = 1;
         std::strcpy(element.text, "kept");
       },
       [] { Velkor_Scale_element_draw(&element, 0); },
       [] { return std::string(element.text) == "kept"; }, &element, sizeof element},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    static unsigned char before[1 << 17];
    ASSERT_LE(c.size, sizeof before);
    std::memcpy(before, c.record, c.size);
    MoveTo(400, 320);
    Press();
    Frame([&] { DrawAt(300, 300, 1, 0, c.draw); });
    EXPECT_EQ(0, CountCoveredPixels(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight));
    EXPECT_TRUE(c.kept());
    EXPECT_EQ(0, std::memcmp(before, c.record, c.size));
    Release();
    Frame([] {});
  }
}

// ---- Slider ------------------------------------------------------------------------

class SliderTest : public DisplayTest {
 protected:
  // The slider at (200, 300), 280 x 50, 0 .. 100 in steps of 5: the thumb's
  // centre travels from x 207 to 473 (266 units) in the top 24 units.
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_Slider_init(&slider_);
    slider_.minimum = 0;
    slider_.maximum = 100;
    slider_.step = 5;
  }
  void Draw() {
    Frame([&] {
      Velkor_Slider_predraw(&slider_);
      DrawAt(200, 300, 1, 0, [&] { Velkor_Slider_draw(&slider_, 0); });
      changed_ = changed_ || slider_.changed;
    });
  }
  static float RateX(float rate) { return 207.0f + 266.0f * rate; }
  void Force(float value) {
    slider_.forcedValue = value;
    slider_.force = 1;
    Draw();
    slider_.force = 0;
  }
  Velkor_Slider slider_;
  bool changed_ = false;
};

TEST_F(SliderTest, DragSnapsToTheStepAndOutOfRangeLoadsAreIgnored) {
  MoveTo(RateX(0), 338);
  Draw();
  EXPECT_EQ(0.0f, slider_.value);
  Press();
  Draw();
  EXPECT_EQ(1, slider_.dragging);
  const struct {
    float rate, value;
  } drags[] = {{0.52f, 50}, {0.53f, 55}, {1.5f, 100}, {0.0f, 0}, {0.26f, 25}};
  for (const auto& d : drags) {
    // Dragging keeps following the pointer when it leaves the slider.
    MoveTo(RateX(d.rate), 420);
    Draw();
    EXPECT_FLOAT_EQ(d.value, slider_.value) << "rate " << d.rate;
  }
  Release();
  Draw();
  EXPECT_EQ(0, slider_.dragging);
  MoveTo(RateX(0.9f), 338);
  Draw();
  EXPECT_FLOAT_EQ(25.0f, slider_.value);  // released: moving does nothing
  const struct { float load, value; } loads[] = {{150, 25}, {42, 40}, {-1, 40}, {100, 100}};
  for (const auto& l : loads) {
    Force(l.load);
    EXPECT_FLOAT_EQ(l.value, slider_.value) << "load " << l.load;
  }
}

TEST_F(SliderTest, WheelAndArrowKeysStepAndTheThumbIsDrawnWhereTheValueIs) {
  MoveTo(RateX(0.5f), 310);  // over the scale, not the thumb
  Draw();
  changed_ = false;
  Wheel(kWheelAway);
  Draw();
  EXPECT_FLOAT_EQ(5.0f, slider_.value);
  EXPECT_TRUE(changed_);  // a wheel notch is the user's change
  const struct {
    uint32_t key;
    float value;
  } keys[] = {{KEY_RIGHT, 10}, {KEY_UP, 15},  {KEY_LEFT, 10},
              {KEY_DOWN, 5},   {KEY_DOWN, 0}, {KEY_DOWN, 0}};
  for (const auto& k : keys) {
    Type(k.key);
    Draw();
    Draw();
    EXPECT_FLOAT_EQ(k.value, slider_.value) << "key " << k.key;
  }
  Force(60);
  // Thumb centre at 207 + 0.6 * 266 = 366.6: above the groove (y 335 ..
  // 341) only the thumb is drawn, there and not at 0.2.
  EXPECT_GT(CountCoveredPixels(362, 343, 10, 6), 40);
  EXPECT_EQ(0, CountCoveredPixels(255, 343, 10, 6));
}

TEST_F(SliderTest, DisabledIgnoresPointerWheelAndKeysAndIsGreyed) {
  Force(50);
  const Rgba thumb_enabled = ReadPixel(static_cast<int>(RateX(0.5f)), 338);
  slider_.enabled = 0;
  MoveTo(RateX(0.5f), 338);
  Draw();
  Wheel(kWheelAway);
  Draw();
  Type(KEY_RIGHT);
  Draw();
  Draw();
  Press();
  Draw();
  MoveTo(RateX(0.9f), 338);
  Draw();
  Release();
  Draw();
  EXPECT_FLOAT_EQ(50.0f, slider_.value);
  EXPECT_EQ(0, slider_.dragging);
  const Rgba thumb_disabled = ReadPixel(static_cast<int>(RateX(0.5f)), 338);
  EXPECT_NE(thumb_enabled.b, thumb_disabled.b);
}

// ---- Scale and gauges ------------------------------------------------------------------

TEST_F(DisplayTest, ScaleTicksFallOnRoundStepsWithRoomForTheirLabels) {
  // The font of the labels, "Liberation Sans12": a digit box of 18 x 9.
  ASSERT_FLOAT_EQ(18.0f, sglGetFontValue(20, '0', 8));
  ASSERT_FLOAT_EQ(9.0f, sglGetFontValue(20, '0', 7));
  const struct {
    const char* name;
    float length, minimum, maximum, angle;
    int majors;
    float step, spacing;
    int32_t integer_digits, fraction_digits;
  } cases[] = {
      // Labels along the scale need 4 x 18 x 0.9 = 64.8 each: at most 4.6
      // intervals on 300, so 2 of 50.
      {"0 .. 100 on 300", 300, 0, 100, 0, 3, 50, 150, 3, 0},
      // Labels across it need 2 x 9: at most 16.7 intervals, so 10 of 10.
      {"labels across the scale", 300, 0, 100, 90, 11, 10, 30, 3, 0},
      // Range 1: e = 0, one fraction digit, so labels need 0.9 x (1 + 1 + 2)
      // x 18 = 64.8 too: 2 intervals of 0.5.
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

TEST_F(DisplayTest, ScaleWritesTheValueOfItsLastTick) {
  static Velkor_Scale scale;
  Velkor_Scale_init(&scale);
  scale.width = 300;
  scale.height = 40;
  scale.minimum = -512;
  scale.maximum = 511;
  scale.labelColor = velkor_test::kWhite;
  Frame([&] { DrawAt(100, 300, 1, 0, [&] { Velkor_Scale_draw(&scale, 0); }); });
  // Ticks hang below the line at the top; labels below them.
  EXPECT_GT(CountCoveredPixels(100, 338, 301, 3), 250);   // the line
  EXPECT_GT(CountCoveredPixels(100, 300, 301, 28), 100);  // labels
  int last = -1;
  for (int i = 0; i < SCALE_MAJOR_TICKS; ++i) {
    if (scale.majorVisible[i]) last = i;
  }
  ASSERT_GE(last, 0);
  char expected[32];
  std::snprintf(expected, sizeof expected, "%d", static_cast<int>(scale.majorValues[last]));
  EXPECT_STREQ(expected, scale.element.text);
  EXPECT_LT(scale.majorValues[0], 0.0f);  // negative ticks carry their sign
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
  // Drawn: a horizontal gauge fills from the left, a vertical one from the
  // bottom, both in the scheme's accent.
  const Rgba accent = TableColor(1000 + kVelkorColorAccent);
  Velkor_Gauge_init(&gauge);
  gauge.width = 200;
  gauge.height = 20;
  gauge.value = 0.25f;
  Frame([&] { DrawAt(100, 100, 1, 0, [&] { Velkor_Gauge_draw(&gauge, 0); }); });
  EXPECT_GT(CountPixelsNear(102, 112, 46, 6, accent, 2), 200);
  EXPECT_EQ(0, CountPixelsNear(154, 102, 144, 16, accent, 2));
  gauge.vertical = 1;
  gauge.width = 20;
  gauge.height = 200;
  Frame([&] { DrawAt(100, 100, 1, 0, [&] { Velkor_Gauge_draw(&gauge, 0); }); });
  EXPECT_GT(CountPixelsNear(112, 102, 6, 46, accent, 2), 200);
  EXPECT_EQ(0, CountPixelsNear(102, 154, 16, 144, accent, 2));
}

// ---- Text edit box ---------------------------------------------------------------------

class TextEditBoxTest : public DisplayTest {
 protected:
  // The box at (300, 300), 132 x 30, left aligned: its text starts at x 305.
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_TextEditBox_init(&box_);
    box_.initialText = "0x0000";
    box_.labelAlignment = 0;
  }
  void Draw() {
    Frame([&] {
      Velkor_TextEditBox_predraw(&box_);
      DrawAt(300, 300, 1, 0, [&] { Velkor_TextEditBox_draw(&box_, 0); });
      if (box_.enter) {
        ++enters_;
        enter_text_ = box_.text;
      }
    });
  }
  void Click(float x, float y) {
    MoveTo(x, y);
    Draw();
    Press();
    Draw();
    Release();
    Draw();
  }
  void TypeText(const char* keys) {
    for (const char* k = keys; *k != '\0'; ++k) {
      Type(static_cast<uint8_t>(*k));
      Draw();
      Draw();
    }
  }
  static float Advance(const char* text) {
    float w = 0.0f;
    for (const char* c = text; *c != '\0'; ++c) w += sglGetFontValue(21, *c, 3);
    return w;
  }

  Velkor_TextEditBox box_;
  int enters_ = 0;
  std::string enter_text_;
};

TEST_F(TextEditBoxTest, TypedKeysAndEnterConfirmTheTextInTheSameFrame) {
  Draw();
  EXPECT_STREQ("0x0000", box_.text);
  Click(400, 315);
  ASSERT_EQ(1, box_.editing);
  TypeText("12");
  EXPECT_STREQ("0x0000", box_.text);  // not confirmed yet
  // The caret stands after the typed text.
  EXPECT_NEAR(Advance("0x000012"), box_.cursor.cursorX, 0.01f);
  TypeText("\r");
  EXPECT_EQ(1, enters_);
  EXPECT_EQ("0x000012", enter_text_);
  EXPECT_STREQ("0x000012", box_.text);
  EXPECT_EQ(0, box_.editing);
}

TEST_F(TextEditBoxTest, EscapeRestoresAndAClickOutsideConfirms) {
  Draw();
  Click(400, 315);
  TypeText("9");
  TypeText("\x1b");
  EXPECT_EQ(0, enters_);
  EXPECT_EQ(0, box_.editing);
  EXPECT_STREQ("0x0000", box_.text);
  Click(400, 315);
  TypeText("7");
  Click(600, 600);  // outside: confirms
  EXPECT_EQ(1, enters_);
  EXPECT_EQ("0x00007", enter_text_);
}

TEST_F(TextEditBoxTest, AClickInTheTextPlacesTheCaretAndADoubleClickSelectsAll) {
  Draw();
  Click(400, 315);
  ASSERT_EQ(1, box_.editing);
  // A click on the first third of the first character puts the caret
  // before it. (Two clicks within 500 ms, 15 frames, would select all.)
  for (int i = 0; i < 16; ++i) Draw();
  Click(305.5f, 315);
  EXPECT_EQ(0, box_.selected);
  TypeText("Z");
  TypeText("\r");
  EXPECT_EQ("Z0x0000", enter_text_);
  // Two clicks in quick succession (two frames apart) select everything;
  // the next key replaces it.
  Click(400, 315);
  Click(400, 315);
  EXPECT_EQ(1, box_.selected);
  TypeText("5");
  TypeText("\r");
  EXPECT_EQ("5", enter_text_);
}

TEST_F(TextEditBoxTest, AForcedTextIsTheTextInItsOwnFrame) {
  Draw();
  box_.forcedText = "0x0280";
  box_.force = 1;
  Draw();
  box_.force = 0;
  EXPECT_STREQ("0x0280", box_.text);
  EXPECT_EQ(0, enters_);  // a load is not a confirmation
  Draw();
  EXPECT_STREQ("0x0280", box_.text);
}

TEST_F(TextEditBoxTest, DisabledTakesNeitherClicksNorKeys) {
  box_.enabled = 0;
  Draw();
  Click(400, 315);
  EXPECT_EQ(0, box_.editing);
  TypeText("1\r");
  EXPECT_EQ(0, enters_);
  EXPECT_STREQ("0x0000", box_.text);
}

// The box and a button beside it, the way a pop-up offers a value and its
// "SAVE" button: the first click on the button after typing must fire it,
// whether the text was confirmed with Enter or is still being edited, and
// even when the press arrives in the frame the pointer reaches the button.
TEST_F(TextEditBoxTest, OneClickOnAButtonAfterTypingFiresIt) {
  const struct {
    const char* name;
    const char* keys;
    bool hover_first;
    bool button_first;  // drawn before the box, as in the pop-ups
  } cases[] = {
      {"confirmed, pointer rests on the button first", "5\r", true, false},
      {"confirmed, pressed as the pointer arrives", "5\r", false, false},
      {"still editing, pointer rests on the button first", "5", true, false},
      {"still editing, pressed as the pointer arrives", "5", false, false},
      {"button first, confirmed, pointer rests on it", "5\r", true, true},
      {"button first, confirmed, pressed as the pointer arrives", "5\r", false, true},
      {"button first, still editing, pointer rests on it", "5", true, true},
      {"button first, still editing, pressed as the pointer arrives", "5", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearFocus();
    Velkor_TextEditBox_init(&box_);
    box_.initialText = "0x0000";
    Velkor_PushButton button;
    Velkor_PushButton_init(&button);
    button.label = "SAVE";
    int clicks = 0;
    auto draw = [&] {
      Frame([&] {
        Velkor_TextEditBox_predraw(&box_);
        Velkor_PushButton_predraw(&button);
        auto draw_button = [&] {
          DrawAt(500, 300, 1, 0, [&] { Velkor_PushButton_draw(&button, 0); });
        };
        if (c.button_first) draw_button();
        DrawAt(300, 300, 1, 0, [&] { Velkor_TextEditBox_draw(&box_, 0); });
        if (!c.button_first) draw_button();
      });
      clicks += button.activated;
    };
    MoveTo(400, 315);
    draw();
    Press();
    draw();
    Release();
    draw();
    ASSERT_EQ(1, box_.editing);
    for (const char* k = c.keys; *k != '\0'; ++k) {
      Type(static_cast<uint8_t>(*k));
      draw();
      draw();
    }
    MoveTo(500 + button.width / 2, 300 + button.height / 2);
    if (c.hover_first) draw();
    Press();
    draw();
    Release();
    for (int i = 0; i < 3; ++i) draw();
    EXPECT_EQ(1, clicks);
    EXPECT_STREQ("0x00005", box_.text);
  }
}

TEST_F(TextEditBoxTest, TheCaretBlinksTenFramesOnTenOff) {
  Draw();
  Click(400, 315);
  ASSERT_EQ(1, box_.editing);
  // The caret sits right of the text, where nothing else is drawn.
  const int x = 305 + static_cast<int>(box_.cursor.cursorX + 0.5f);
  int shown = 0;
  for (int frame = 0; frame < 40; ++frame) {
    Draw();
    const bool dark = CountPixelsNear(x - 2, 305, 4, 20, TableColor(velkor_test::kBlack), 40) > 10;
    EXPECT_EQ(box_.state.caretVisible != 0, dark) << "frame " << frame;
    shown += dark ? 1 : 0;
  }
  EXPECT_EQ(20, shown);
}

}  // namespace

namespace {

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

namespace {

TEST_F(DisplayTest, VerticalSlidersFollowThePointerUpOrDown) {
  const struct {
    uint32_t orientation;
    float pointer_y;  // where the pointer is dragged to
    float value;
  } cases[] = {
      // The thumb's centre travels from y 107 to 293 (186 units).
      {kVelkorSliderBottomToTop, 107 + 186 * 0.5f, 50},
      {kVelkorSliderBottomToTop, 107 + 186 * 0.25f, 25},
      {kVelkorSliderTopToBottom, 107 + 186 * 0.25f, 75},
      {kVelkorSliderTopToBottom, 400, 0},
  };
  static Velkor_Slider slider;
  for (const auto& c : cases) {
    Velkor_Slider_init(&slider);
    slider.width = 50;
    slider.height = 200;
    slider.orientation = c.orientation;
    auto draw = [&] {
      Frame([&] {
        Velkor_Slider_predraw(&slider);
        DrawAt(100, 100, 1, 0, [&] { Velkor_Slider_draw(&slider, 0); });
      });
    };
    MoveTo(112, 200);
    draw();
    Press();
    draw();
    MoveTo(112, c.pointer_y);
    draw();
    EXPECT_NEAR(c.value, slider.value, 0.01f) << "orientation " << c.orientation;
    Release();
    draw();
  }
}

}  // namespace

namespace {

template <typename T>
bool zero_filled_and_freed(T* (*alloc)(), void (*release)(T*)) {
  T* record = alloc();
  if (record == nullptr) return false;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(record);
  bool zero = true;
  for (size_t i = 0; i < sizeof(T); ++i) zero = zero && bytes[i] == 0;
  release(record);
  return zero;
}

TEST(TextAndSliderClassRecords, AllocGivesAZeroFilledRecord) {
  EXPECT_TRUE(zero_filled_and_freed(Velkor_TextEditBox_alloc, Velkor_TextEditBox_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_Cursor_alloc, Velkor_Cursor_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_Slider_alloc, Velkor_Slider_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_SliderThumb_alloc, Velkor_SliderThumb_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_Scale_alloc, Velkor_Scale_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_Scale_element_alloc, Velkor_Scale_element_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_Gauge_alloc, Velkor_Gauge_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_GaugeHorizontal_alloc, Velkor_GaugeHorizontal_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_GaugeVertical_alloc, Velkor_GaugeVertical_free));
  EXPECT_TRUE(
      zero_filled_and_freed(Velkor_Graduation_element_alloc, Velkor_Graduation_element_free));
}

}  // namespace
