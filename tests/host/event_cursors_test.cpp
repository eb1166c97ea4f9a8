// Event cursors over an off-screen frame: a cross per pointer in the colour
// of its state, left out of the pixel cache, drawn whatever masks a layer
// left on, the application's tables and text attributes untouched; the
// pointer's id beside it when there are several pointers.
#include "host/host_application.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>

#include "tests/host/stand_in_layer.h"
#if VELKOR_HAVE_FONT_TABLE
#include "panel/Velkor_font_table.h"
#endif

namespace {

// Blue, green, red of window pixel (x, y) as the frame buffer holds it now.
std::string FramePixel(int x, int y) {
  uint8_t p[4] = {};
  glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, p);
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

const std::string kBackground = "128,0,0";
const std::string kWhite = "255,255,255";

class EventCursors : public ::testing::Test {
 protected:
  // pointers: how many pointer descriptions; an executable path brings the
  // scratch buffer the font table's glyphs are decoded in.
  void Open(uint32_t pointers, const char* executable = nullptr) {
    stand_in.params.pointers = descriptions;
    stand_in.params.pointer_count = pointers;
    app = Application_Allocate(&stand_in.params, executable);
    ASSERT_NE(nullptr, app);
    ASSERT_NE(nullptr, Application_CreateBuffer(app));
    Application_UseSystemEvents(app, 1);
    Application_ShowEventCursors(app, 1);
    RecordMousePos(app, 400.0, 400.0);
  }
  void TearDown() override { Application_Free(app); }

  PointerDesc descriptions[2] = {{"_ptr0", 0}, {"_ptr1", 1}};
  host_test::StandIn stand_in;
  Application* app = nullptr;
};

TEST_F(EventCursors, TheColourOfTheStateOverTheFrameButNotInTheCache) {
  Open(1);
  const float* colors = glob_pr_sglStatemachine->color_table;
  Application_Draw(app);
  EXPECT_EQ(kWhite, FramePixel(400, 400));  // no press, no release
  EXPECT_EQ(kWhite, FramePixel(407, 400));  // the arms reach 10 pixels out
  EXPECT_EQ(kBackground, FramePixel(420, 400));
  const uint8_t* cached = app->pixel_cache + (400 * 1280 + 400) * 4;
  EXPECT_EQ(kBackground, std::to_string(cached[0]) + "," + std::to_string(cached[1]) + "," + std::to_string(cached[2]));
  RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,0,255", FramePixel(400, 400));  // red while pressed
  RecordMouseEvent(app, 1, KEY_STATE_UP, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,255,0", FramePixel(400, 400));  // green when released
  EXPECT_EQ(colors, glob_pr_sglStatemachine->color_table);
}

TEST_F(EventCursors, PlacedByDisplayUnitsInAScaledViewport) {
  Open(1);
  app->client_rect[2] = 640;  // a client area half the native size
  app->client_rect[3] = 384;
  RecordMousePos(app, 400.0, 300.0);
  Application_Draw(app);
  EXPECT_EQ(kWhite, FramePixel(200, 150));
  EXPECT_NE(kWhite, FramePixel(400, 300));
}

TEST_F(EventCursors, AMaskALayerLeftOnDoesNotHideThem) {
  stand_in.layer.draw = [](void* context, uint32_t pass) {
    host_test::Draw(context, pass);
    if (pass != 2) return;
    const uint32_t mask = sglAllocateMaskID(1);
    sglClipBox(mask, 0, 0.0f, 0.0f, 10.0f, 10.0f);
    sglSetActiveMasks(mask);
  };
  Open(1);
  Application_Draw(app);
  EXPECT_EQ(kWhite, FramePixel(400, 400));
  EXPECT_NE(0u, sglGetActiveMasks());  // the layer's set is back after the crosses
}

#if VELKOR_HAVE_FONT_TABLE

TEST_F(EventCursors, SeveralPointersAreToldApartByTheirIds) {
  for (uint32_t pointers : {1u, 2u}) {
    SCOPED_TRACE(pointers);
    stand_in.params.font_table = &Velkor_font_table;
    Open(pointers, "/nonexistent/velkor");
    EXPECT_EQ(30u, glob_pr_sglStatemachine->font_count);  // the application's fonts, loaded at start
    sgl_text_state* text = &glob_pr_sglStatemachine->text;
    Application_Draw(app);
    app->pointer_contexts[pointers - 1].x = 400.0f;  // the second pointer on the first
    app->pointer_contexts[pointers - 1].y = 400.0f;
    // What the application set for its numbers stays as it was.
    sglIndexFonti(3);
    sglSetSecondFontAttributes(5, 2, 1);
    DrawEventCursors(app);
    EXPECT_EQ(3u, text->font);
    EXPECT_EQ(5u, text->second_font);
    EXPECT_EQ(2u, text->second_font_line_width);
    EXPECT_EQ(1, text->second_color_given);
    EXPECT_EQ(0u, glob_pr_sglStatemachine->errors.count);
    // Above and right of the cross, clear of its arms: the id, or nothing.
    int drawn = 0;
    for (int y = 412; y < 432; ++y) {
      for (int x = 412; x < 432; ++x) drawn += FramePixel(x, y) != kBackground ? 1 : 0;
    }
    EXPECT_EQ(pointers == 2, drawn > 5) << drawn << " pixels drawn";
    Application_Free(app);
    app = nullptr;
  }
}

#endif

}  // namespace
