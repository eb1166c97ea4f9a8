// The host's frame with recording on: a frame equal to the last one is not
// read back while the layer still steps; a change sends the next one.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/sgl.h"
#include "host/host_internal.h"
#include "tests/host/stand_in_layer.h"

namespace {

// The layer draws one quad in colour g_colour through the drawing library.
int32_t g_colour = 2;

void draw_quad(void* /*context*/, uint32_t pass) {
  if (pass != 0) return;
  sglIndexColori(g_colour);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  for (const float x : {100.0f, 300.0f}) sglVertex2f(x, 100.0f);
  for (const float x : {300.0f, 100.0f}) sglVertex2f(x, 200.0f);
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
  // Marks the pixel cache, so that a frame that reads back shows.
  void MarkCache() const { std::memset(app->pixel_cache, 7, 4); }
  bool CacheMarked() const { return app->pixel_cache[0] == 7 && app->pixel_cache[3] == 7; }

  host_test::StandIn stand_in;
  Application* app = nullptr;
};

TEST_F(RecordedHostFrames, UnchangedFrameIsNotReadBackAndAChangedOneIs) {
  struct Case {
    const char* name;
    void (*change)(Application*);
  };
  const Case cases[] = {
      {"the layer draws another colour", [](Application*) { g_colour = 0; }},
      {"a repaint from the pixel cache", [](Application* a) { DrawPixelCache(a); }},
      {"an invalidation", [](Application*) { sglInvalidateFrame(); }},
      {"another client size", [](Application* a) { a->client_rect[2] -= 2; }},
  };
  int draws = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Application_Draw(app);
    const uint32_t sent = Sent();
    MarkCache();
    Application_Draw(app);
    EXPECT_EQ(sent, Sent());
    EXPECT_TRUE(CacheMarked());
    c.change(app);
    Application_Draw(app);
    EXPECT_EQ(sent + 1, Sent());
    EXPECT_FALSE(CacheMarked());
    draws += 3;
  }
  const uint8_t* inside = app->pixel_cache + (150 * app->pixel_cache_width + 150) * 4;
  EXPECT_EQ(0, inside[0] + inside[1] + inside[2]);  // the last colour drawn, black
  int steps = 0;
  for (const std::string& line : host_test::LogCopy()) steps += line == "step" ? 1 : 0;
  EXPECT_EQ(draws, steps);
}

TEST_F(RecordedHostFrames, EveryFrameGoesOutWhileEventCursorsAreShown) {
  Application_Draw(app);
  Application_ShowEventCursors(app, 1);
  const uint32_t sent = Sent();
  for (int frame = 0; frame < 3; ++frame) Application_Draw(app);
  EXPECT_EQ(sent + 3, Sent());
}

}  // namespace
