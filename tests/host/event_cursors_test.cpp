// Event cursors drawn over an off-screen frame: a cross per pointer in the
// colour of its state, left out of the pixel cache, the application's tables
// untouched; the pointer's id beside it when there are several pointers; and
// the application's fonts loaded at start.
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

std::string CachePixel(const Application* app, int x, int y) {
  const uint8_t* p = app->pixel_cache + (static_cast<size_t>(y) * app->pixel_cache_width + x) * 4;
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

// Pixels of the frame buffer in a rectangle that differ from the background.
int PixelsDrawnIn(int x0, int y0, int width, int height) {
  int drawn = 0;
  for (int y = y0; y < y0 + height; ++y) {
    for (int x = x0; x < x0 + width; ++x) drawn += FramePixel(x, y) != "128,0,0" ? 1 : 0;
  }
  return drawn;
}

TEST(EventCursors, DrawnOverTheFrameButNotCached) {
  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  ASSERT_NE(nullptr, Application_CreateBuffer(app));
  Application_UseSystemEvents(app, 1);
  Application_ShowEventCursors(app, 1);
  const float* colors_before = glob_pr_sglStatemachine->color_table;
  RecordMousePos(app, 400.0, 400.0);
  Application_Draw(app);
  EXPECT_EQ("255,255,255", FramePixel(400, 400));  // white: no press, no release
  EXPECT_EQ("255,255,255", FramePixel(407, 400));  // the arms reach 10 pixels out
  EXPECT_EQ("128,0,0", FramePixel(420, 400));
  EXPECT_EQ("128,0,0", CachePixel(app, 400, 400));  // the snapshot's frame has no cursor
  RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,0,255", FramePixel(400, 400));  // red while pressed
  RecordMouseEvent(app, 1, KEY_STATE_UP, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,255,0", FramePixel(400, 400));  // green when released
  EXPECT_EQ(colors_before, glob_pr_sglStatemachine->color_table);  // the application's tables are back
  Application_Free(app);
}

TEST(EventCursors, PlacedByDisplayUnitsInAScaledViewport) {
  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  ASSERT_NE(nullptr, Application_CreateBuffer(app));
  Application_UseSystemEvents(app, 1);
  Application_ShowEventCursors(app, 1);
  app->client_rect[2] = 640;  // a client area half the native size
  app->client_rect[3] = 384;
  RecordMousePos(app, 400.0, 300.0);
  Application_Draw(app);
  EXPECT_EQ("255,255,255", FramePixel(200, 150));  // display (400, 300) is window pixel (200, 150)
  EXPECT_NE("255,255,255", FramePixel(400, 300));
  Application_Free(app);
}

#if VELKOR_HAVE_FONT_TABLE

// Off-screen the executable's path only asks for the scratch buffer; no
// settings are read or written.
const char* const kExecutable = "/nonexistent/velkor";

TEST(EventCursors, TheApplicationsFontsAreLoadedAtStart) {
  host_test::StandIn stand_in;
  stand_in.params.font_table = &Velkor_font_table;
  // An executable brings the texture scratch buffer the glyph textures are
  // decoded in.
  Application* app = Application_Allocate(&stand_in.params, kExecutable);
  ASSERT_NE(nullptr, app);
  ASSERT_NE(nullptr, Application_CreateBuffer(app));
  EXPECT_EQ(30u, glob_pr_sglStatemachine->font_count);
  EXPECT_EQ(0u, glob_pr_sglStatemachine->errors.count);
  Application_Free(app);
}

TEST(EventCursors, SeveralPointersAreToldApartByTheirIds) {
  for (uint32_t pointer_count : {1u, 2u}) {
    host_test::StandIn stand_in;
    PointerDesc pointers[2] = {{"_ptr0", 0}, {"_ptr1", 1}};
    stand_in.params.pointers = pointers;
    stand_in.params.pointer_count = pointer_count;
    stand_in.params.font_table = &Velkor_font_table;
    Application* app = Application_Allocate(&stand_in.params, kExecutable);
    ASSERT_NE(nullptr, app);
    ASSERT_NE(nullptr, Application_CreateBuffer(app));
    Application_UseSystemEvents(app, 1);
    Application_ShowEventCursors(app, 1);
    RecordMousePos(app, 400.0, 400.0);
    Application_Draw(app);
    app->pointer_contexts[pointer_count - 1].x = 400.0f;  // the second pointer beside the first
    app->pointer_contexts[pointer_count - 1].y = 400.0f;
    Application_Draw(app);
    const uint32_t font = glob_pr_sglStatemachine->text.font;
    // Above and right of the cross, clear of its arms: the id, or nothing.
    const int drawn = PixelsDrawnIn(412, 412, 20, 20);
    if (pointer_count == 1) {
      EXPECT_EQ(0, drawn);
    } else {
      EXPECT_GT(drawn, 5);
    }
    EXPECT_EQ(SGL_FONT_NONE, font);  // the text attributes are back as the frame left them
    Application_Free(app);
  }
}

#endif

}  // namespace
