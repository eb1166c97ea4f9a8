// The host's frame with recording on: a frame equal to the last one is not
// read back while the layer still steps; a change sends the next one.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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

// The same quad and, beside it, a white one that never changes.
void draw_two_quads(void* context, uint32_t pass) {
  draw_quad(context, pass);
  if (pass != 0) return;
  sglIndexColori(2);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  for (const float x : {600.0f, 700.0f}) sglVertex2f(x, 400.0f);
  for (const float x : {700.0f, 600.0f}) sglVertex2f(x, 500.0f);
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

// The event cursors are drawn over the frame behind the library's back:
// every frame goes out whole while they show, a changed one too, although
// partial frames are on.
TEST_F(RecordedHostFrames, EveryFrameGoesOutWholeWhileEventCursorsAreShown) {
  Application_Free(app);
  stand_in.layer.draw = draw_two_quads;
  stand_in.params.partial_frames = 1;
  app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, Application_CreateBuffer(app));
  Application_Draw(app);
  g_colour = 0;
  Application_Draw(app);
  ASSERT_EQ(0u, sglGetFrameDamage()->whole);  // a change alone is drawn in part
  Application_ShowEventCursors(app, 1);
  const uint32_t sent = Sent();
  for (int frame = 0; frame < 3; ++frame) {
    g_colour = 2 - frame % 2 * 2;
    Application_Draw(app);
    EXPECT_EQ(1u, sglGetFrameDamage()->whole) << "frame " << frame;
  }
  EXPECT_EQ(sent + 3, Sent());
}

// With partial frames a change is read back and flipped only in its own
// rectangle: marks elsewhere in the pixel cache and the flipped image stay,
// and the rest of both still equals the framebuffer.
TEST_F(RecordedHostFrames, PartialFrameReadsBackAndFlipsOnlyItsRectangle) {
  Application_Free(app);
  stand_in.layer.draw = draw_two_quads;
  stand_in.params.partial_frames = 1;
  app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, Application_CreateBuffer(app));
  Application_Draw(app);
  const int32_t width = app->pixel_cache_width;
  const int32_t height = app->pixel_cache_height;
  const size_t row = static_cast<size_t>(width) * 4;
  MarkCache();                                                           // pixel (0, 0)
  std::memset(app->flipped_image + (height - 1) * row + row - 4, 7, 4);  // pixel (width - 1, 0)
  g_colour = 0;
  Application_Draw(app);
  const sgl_frame_damage* damage = sglGetFrameDamage();
  ASSERT_EQ(0u, damage->whole);
  ASSERT_EQ(1u, damage->count);
  const sgl_pixel_rect r = damage->rects[0];
  EXPECT_TRUE(r.x <= 100 && r.y <= 100 && r.x + r.width >= 300 && r.y + r.height >= 200 &&
              r.x + r.width < 600)
      << r.x << ", " << r.y << ", " << r.width << " x " << r.height;
  EXPECT_TRUE(CacheMarked());
  EXPECT_EQ(7, app->flipped_image[(height - 1) * row + row - 1]);
  std::vector<uint8_t> framebuffer(row * height);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, framebuffer.data());
  // Each equals the framebuffer but for its own mark.
  std::vector<uint8_t> expected = framebuffer;
  std::memcpy(expected.data(), app->pixel_cache, 4);
  EXPECT_EQ(0, std::memcmp(expected.data(), app->pixel_cache, expected.size()));
  expected = framebuffer;
  std::memcpy(expected.data() + row - 4, app->flipped_image + (height - 1) * row + row - 4, 4);
  for (int32_t y = 0; y < height; ++y) {
    ASSERT_EQ(
        0, std::memcmp(expected.data() + y * row, app->flipped_image + (height - 1 - y) * row, row))
        << "flipped row " << y;
  }
  const uint8_t* inside = app->pixel_cache + (150 * width + 150) * 4;
  EXPECT_EQ(0, inside[0] + inside[1] + inside[2]);  // colour 0, black
  // At a new size the cache's rows are laid out anew: it is read back whole
  // (the frame itself may still be drawn in part: the clear is the same).
  app->client_rect[2] -= 2;
  MarkCache();
  Application_Draw(app);
  EXPECT_EQ(width - 2, app->pixel_cache_width);
  EXPECT_FALSE(CacheMarked());
}

}  // namespace
