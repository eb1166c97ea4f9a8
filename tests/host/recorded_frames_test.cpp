// The host's frame with recording on: a frame equal to the last one is not
// read back (the pixel cache keeps the last image); a change, the event
// cursors, a repaint from the pixel cache or an invalidation each make the
// next frame go out in full.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "graphics/sgl.h"
#include "host/host_internal.h"
#include "tests/host/stand_in_layer.h"

namespace {

// The layer draws through the drawing library only (direct OpenGL would
// bypass the recording): one quad in colour g_colour.
int32_t g_colour = 2;

void draw_quad(void* /*context*/, uint32_t pass) {
  if (pass != 0) return;
  sglIndexColori(g_colour);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(100.0f, 100.0f);
  sglVertex2f(300.0f, 100.0f);
  sglVertex2f(300.0f, 200.0f);
  sglVertex2f(100.0f, 200.0f);
  sglEnd();
}

class RecordedHostFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    g_colour = 2;
    stand_in.layer.draw = draw_quad;
    stand_in.params.stream_bytes = 1u << 20;
    app = Application_Allocate(&stand_in.params, nullptr);
    ASSERT_NE(nullptr, app);
    ASSERT_NE(nullptr, Application_CreateBuffer(app)) << "no EGL pbuffer";
  }
  void TearDown() override { Application_Free(app); }

  uint32_t Sent() const { return app->graphics.stream.frames_sent; }
  // Blue, green, red of display pixel (x, y) in the pixel cache.
  std::string CachePixel(int x, int y) const {
    const uint8_t* p = app->pixel_cache + (static_cast<size_t>(y) * app->pixel_cache_width + x) * 4;
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
  }
  // Marks the pixel cache, so that a frame that reads back shows.
  void MarkCache() const { std::memset(app->pixel_cache, 7, 4); }
  bool CacheMarked() const { return app->pixel_cache[0] == 7 && app->pixel_cache[3] == 7; }

  host_test::StandIn stand_in;
  Application* app = nullptr;
};

TEST_F(RecordedHostFrames, UnchangedFrameIsNeitherDrawnNorReadBack) {
  Application_Draw(app);
  ASSERT_EQ(1u, Sent());
  EXPECT_EQ("255,255,255", CachePixel(150, 150));
  MarkCache();
  for (int frame = 0; frame < 3; ++frame) Application_Draw(app);
  EXPECT_EQ(1u, Sent());
  EXPECT_TRUE(CacheMarked());
  EXPECT_EQ(3u, app->graphics.stream.frames_kept);
  // The frame's entries still ran every time.
  int steps = 0;
  for (const std::string& line : host_test::LogCopy()) steps += line == "step" ? 1 : 0;
  EXPECT_EQ(4, steps);
}

TEST_F(RecordedHostFrames, WhatMakesTheNextFrameGoOut) {
  struct Case {
    const char* name;
    std::function<void(Application*)> before;
  };
  const Case cases[] = {
      {"the layer draws another colour", [](Application*) { g_colour = 0; }},
      {"a repaint from the pixel cache", [](Application* a) { DrawPixelCache(a); }},
      {"an invalidation", [](Application*) { sglInvalidateFrame(); }},
      {"another client size", [](Application* a) { a->client_rect[2] -= 2; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Application_Draw(app);
    Application_Draw(app);
    const uint32_t sent = Sent();
    MarkCache();
    c.before(app);
    Application_Draw(app);
    EXPECT_EQ(sent + 1, Sent());
    EXPECT_FALSE(CacheMarked());
  }
  EXPECT_EQ("0,0,0", CachePixel(150, 150));  // the last colour drawn
}

TEST_F(RecordedHostFrames, EveryFrameGoesOutWhileEventCursorsAreShown) {
  Application_Draw(app);
  Application_ShowEventCursors(app, 1);
  RecordMousePos(app, 400.0, 400.0);
  const uint32_t sent = Sent();
  for (int frame = 0; frame < 3; ++frame) Application_Draw(app);
  EXPECT_EQ(sent + 3, Sent());
  EXPECT_EQ("128,0,0", CachePixel(400, 400));  // the cursor stays out of the cache
  Application_ShowEventCursors(app, 0);
  Application_Draw(app);
  Application_Draw(app);
  EXPECT_EQ(sent + 4, Sent());
}

}  // namespace
