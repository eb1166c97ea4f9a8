// The main view's own drawing, read back as pixels: the seven-segment
// display, the P2 switches, the register boxes, the address unit and the
// block diagram's half-transparent buses.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>

#include "core/mycode.h"
#include "graphics/sgl.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_symbology_layer_parts_internal.h"
#include "panel/Velkor_symbology_layer_view_internal.h"
#include "tests/display/display_fixture.h"

namespace {

using velkor_test::Rgba;
using velkor_test::TableColor;

constexpr float kCentreX = 640.0f;
constexpr float kCentreY = 384.0f;

// RegisterScrollPanel as the layer places it.
constexpr float kScrollPanelX = kRegisterPanelX;
constexpr float kScrollPanelY = kRegisterPanelY;
constexpr float kScrollPanelWidth = kRegisterPanelWidth;
constexpr float kScrollPanelHeight = kRegisterPanelHeight;

// `got` within `tolerance` of `want` in red, green and blue.
void expect_color(Rgba want, Rgba got, int tolerance) {
  EXPECT_NEAR(want.r, got.r, tolerance);
  EXPECT_NEAR(want.g, got.g, tolerance);
  EXPECT_NEAR(want.b, got.b, tolerance);
}

// A point of the centred panel frame, as a framebuffer pixel.
int px(float x) {
  return static_cast<int>(kCentreX + x);
}
int py(float y) {
  return static_cast<int>(kCentreY + y);
}

class ViewTest : public velkor_test::DisplayTest {
 protected:
  void SetUp() override {
    velkor_test::DisplayTest::SetUp();
    if (HasFatalFailure()) return;
    c_ = static_cast<Velkor_symbology_layer_context*>(Velkor_symbology_layer_alloc());
    ASSERT_NE(nullptr, c_);
    Velkor_symbology_layer_init(c_);
  }
  void TearDown() override {
    Velkor_symbology_layer_free(c_);
    velkor_test::DisplayTest::TearDown();
  }

  // The register file as the layer draws it in step 5.
  void DrawRegisterFile() {
    Velkor_ScrollPanel* p = &c_->RegisterScrollPanel;
    p->width = kScrollPanelWidth;
    p->height = kScrollPanelHeight;
    p->contentWidth = kRegisterContentWidth;
    p->contentHeight = kRegisterContentHeight;
    p->children = Velkor_symbology_layer_drawChildren_RegisterScrollPanel;
    p->argument = c_;
    p->childPass = 0;
    p->pass = 0;
    sglPushMatrixAndTranslate(kScrollPanelX, kScrollPanelY);
    Velkor_ScrollPanel_draw(p, 0);
    sglPopMatrixAndTranslate();
  }

  // One frame of the main view's own parts, in the layer's order, then `more`.
  void DrawView(const std::function<void()>& more = [] {}) {
    Frame([&] {
      Velkor_symbology_layer_predraw(c_);
      sglPushMatrixAndTranslate(kCentreX, kCentreY);
      Ports(c_->ports, c_->p2Input, c_->ports, c_->p1Output);
      Velkor_view_draw_ports(c_, 0);
      DrawRegisterFile();
      Velkor_view_draw_block_diagram(c_);
      Velkor_view_draw_address_unit(c_);
      sglPopMatrixAndTranslate();
      more();
    });
  }

  void SetPort(int cell, const char* text) { snprintf(c_->ports[cell], kPortCellSize, "%s", text); }

  // Where register `reg`'s value box lies in the framebuffer while the file
  // is not scrolled (lower-left corner).
  static void RegisterBoxPixel(int32_t reg, int* x, int* y) {
    float bx = 0.0f;
    float by = 0.0f;
    ASSERT_TRUE(Velkor_view_register_box(reg, &bx, &by));
    *x = px(kScrollPanelX + bx);
    *y = py(kScrollPanelY + kScrollPanelHeight - kRegisterContentHeight + by);
  }

  Velkor_symbology_layer_context* c_ = nullptr;
};

// The middle of each element in the port block's frame, bit 0 first.
constexpr float kElementMiddles[7][2] = {{295.0f, -266.0f}, {317.0f, -288.0f}, {317.0f, -332.0f},
                                         {295.0f, -354.0f}, {273.0f, -332.0f}, {273.0f, -288.0f},
                                         {295.0f, -310.0f}};

TEST_F(ViewTest, SegmentsLightForTheP1OutputBits) {
  struct SegmentCase {
    const char* name;
    const char* p1out;
    const char* p1dir;
    uint8_t lit;  // elements expected lit, bit 0 = top bar
  } cases[] = {{"all off", "0x00", "0xFF", 0x00},
               {"digit 2", "0x5B", "0xFF", 0x5B},
               {"decimal point only", "0x80", "0xFF", 0x80},
               {"all on", "0xFF", "0xFF", 0xFF},
               // A lamp whose pin is an input keeps what it showed (all on, above);
               // the outputs follow P1OUT.
               {"input lamps keep their state", "0x00", "0x0F", 0xF0}};
  const Rgba lit = TableColor(31);
  const Rgba dark = TableColor(5);
  const Rgba plate = TableColor(4);
  for (const SegmentCase& k : cases) {
    SCOPED_TRACE(k.name);
    SetPort(1, k.p1out);
    SetPort(2, k.p1dir);
    DrawView();
    for (int bit = 0; bit < 7; ++bit) {
      const Rgba got =
          velkor_test::ReadPixel(px(kElementMiddles[bit][0]), py(kElementMiddles[bit][1]));
      const bool on = (k.lit >> bit) & 1;
      SCOPED_TRACE(testing::Message() << "element " << bit << (on ? " lit" : " dark"));
      expect_color(on ? lit : dark, got, 2);
    }
    // The decimal point is a half-transparent disc over the grey plate.
    const Rgba colour = (k.lit & 0x80) ? lit : dark;
    const float a = 191.0f / 255.0f;
    const Rgba blend = {static_cast<uint8_t>(colour.r * a + plate.r * (1 - a) + 0.5f),
                        static_cast<uint8_t>(colour.g * a + plate.g * (1 - a) + 0.5f),
                        static_cast<uint8_t>(colour.b * a + plate.b * (1 - a) + 0.5f), 255};
    const Rgba got = velkor_test::ReadPixel(px(328.0f), py(-354.0f));
    expect_color(blend, got, 3);  // the decimal point
  }
}

TEST_F(ViewTest, SwitchesWorkAgainAfterAnEditingBoxStopsBeingDrawn) {
  // A value box in a pop-up holds the focus, and asks for it, while the
  // student types; the press that closes the pop-up leaves it undrawn with
  // its request standing. The switches must not stay deaf after that.
  Velkor_TextEditBox box;
  Velkor_TextEditBox_init(&box);
  box.width = 120.0f;
  box.height = 30.0f;
  box.initialText = "0x0000";
  bool box_shown = true;
  auto frame = [&] {
    DrawView([&] {
      Velkor_TextEditBox_predraw(&box);
      if (box_shown) DrawAt(100, 600, 1, 0, [&] { Velkor_TextEditBox_draw(&box, 0); });
    });
  };
  MoveTo(160.0f, 615.0f);
  Press();
  Release();
  while (InputPending()) frame();
  frame();
  ASSERT_EQ(1, box.editing);
  box_shown = false;
  float x = 0.0f;
  float y = 0.0f;
  Velkor_view_p2_switch_origin(0, &x, &y);
  MoveTo(kCentreX + x + 12.0f, kCentreY + y + 12.0f);
  for (int i = 0; i < 3; ++i) frame();
  Press();
  Release();
  while (InputPending()) frame();
  frame();
  EXPECT_EQ(1, c_->p2Input[0]);
}

TEST_F(ViewTest, RegisterBoxesHaveTheirFillsAndFrames) {
  c_->registerHighlight[0] = kHighlightPC;       // white frame
  c_->registerHighlight[1] = kHighlightWritten;  // red frame
  c_->registerHighlight[2] = -1;                 // no frame
  c_->registerHighlight[4] = kHighlightSource;   // blue frame
  MoveTo(0.0f, 0.0f);
  DrawView();
  struct Case {
    int32_t reg;
    int32_t fill;
    int32_t frame;  // -1: the box's own fill reaches its edge
  } cases[] = {{0, 31, 2}, {1, 31, 11}, {2, 31, -1}, {3, 31, 6}, {4, 41, 61}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.reg);
    int x = 0;
    int y = 0;
    RegisterBoxPixel(k.reg, &x, &y);
    const Rgba inside = velkor_test::ReadPixel(x + 5, y + 5);
    expect_color(TableColor(k.fill), inside, 2);
    const Rgba edge = velkor_test::ReadPixel(x, y + 10);
    const Rgba want = TableColor(k.frame >= 0 ? k.frame : k.fill);
    expect_color(want, edge, 40);
  }
}

TEST_F(ViewTest, AScrolledRegisterIsHoveredWhereItIsDrawn) {
  // Wheel notches towards the user scroll the file down until R12 shows.
  int x = 0;
  int y = 0;
  RegisterBoxPixel(0, &x, &y);
  MoveTo(x + 25.0f, y + 5.0f);
  for (int i = 0; i < 20; ++i) Wheel(5);
  while (InputPending()) DrawView();
  DrawView();
  const float scrolled = c_->RegisterScrollPanel.scrollY;
  ASSERT_GT(scrolled, 250.0f);
  RegisterBoxPixel(12, &x, &y);
  MoveTo(x + 25.0f, y + scrolled + 10.0f);
  DrawView();
  for (int32_t r = 0; r < kRegisterCount; ++r) {
    EXPECT_EQ(r == 12 ? 1 : 0, c_->registerHover[r]) << "R" << r;
  }
  // Its box is drawn there too, in the general registers' green.
  const Rgba inside = velkor_test::ReadPixel(x + 5, static_cast<int>(y + scrolled) + 5);
  expect_color(TableColor(41), inside, 2);
}

// Pixels of the address box's red over the unit's teal in a group's band.
int red_box_pixels(float top) {
  int count = 0;
  const int x0 = px(-78.0f + 14.0f);
  const int y0 = py(top - 88.0f);
  for (int y = y0; y < y0 + 20; ++y) {
    for (int x = x0; x < x0 + 62; ++x) {
      const Rgba p = velkor_test::ReadPixel(x, y);
      count += (p.r > 90 && p.g < 80 && p.b < 80) ? 1 : 0;
    }
  }
  return count;
}

TEST_F(ViewTest, DiagramShowsOnlyTheAddressesItComputesAndBusesShowWhatLiesBelow) {
  const struct {
    const char* name;
    uint8_t source, destination;
    uint32_t source_mode, destination_mode;
  } cases[] = {{"nothing shown", 0, 0, kModeIndexed, kModeIndexed},
               {"source only", 1, 0, kModeIndexed, kModeIndexed},
               {"destination only", 0, 1, kModeIndexed, kModeSymbolic},
               {"both", 1, 1, kModeAbsolute, kModeIndexed}};
  SetPort(1, "0x5B");  // lamps lit
  SetPort(2, "0xFF");
  snprintf(c_->sourceAddressText, kAddressTextSize, "0x0204");
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    c_->showSourceAddress = k.source;
    c_->showDestinationAddress = k.destination;
    c_->sourceMode = k.source_mode;
    c_->destinationMode = k.destination_mode;
    DrawView();
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(k.source != 0, red_box_pixels(-104.0f) > 600) << red_box_pixels(-104.0f);
    EXPECT_EQ(k.destination != 0, red_box_pixels(-224.0f) > 600) << red_box_pixels(-224.0f);
  }
  // The address bus over the black ground: its colour at 191 of 255.
  const Rgba bus = TableColor(25);
  const float a = 191.0f / 255.0f;
  const Rgba want = {static_cast<uint8_t>(bus.r * a + 0.5f), static_cast<uint8_t>(bus.g * a + 0.5f),
                     static_cast<uint8_t>(bus.b * a + 0.5f), 255};
  const Rgba got = velkor_test::ReadPixel(px(600.0f), py(-80.0f));
  expect_color(want, got, 3);
  // The version line lies in the area that opens the info pop-up.
  EXPECT_NEAR(kCentreX + 357.0f, c_->versionRect.x, 0.5f);
  EXPECT_GT(velkor_test::CountCoveredPixels(px(357.0f), py(-373.0f), 262, 23), 100);
}

}  // namespace
