// Frames drawn off-screen (EGL pbuffer, no display): the order of one frame,
// one event per frame, the full queue, the centred layer, masked
// floating-point traps, and the snapshot of what was drawn.
#include "host/host_application.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cfenv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/host/stand_in_layer.h"

namespace {

using host_test::Log;

std::vector<std::string> PointerLines() {
  std::vector<std::string> lines;
  for (const std::string& line : Log()) {
    if (line.compare(0, 7, "pointer") == 0) lines.push_back(line);
  }
  return lines;
}

class Offscreen : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }
  void TearDown() override { Application_Free(app); }

  void Open() {
    app = Application_Allocate(&stand_in.params, nullptr);
    ASSERT_NE(nullptr, app);
    Application_UseSystemEvents(app, 1);
    image = Application_CreateBuffer(app);
    ASSERT_NE(nullptr, image) << "no EGL pbuffer on the surfaceless platform";
    Log().clear();
  }

  // Blue, green, red of display pixel (x, y) (origin bottom-left) in the
  // pixel cache.
  std::string CachePixel(int x, int y) const {
    const uint8_t* p = app->pixel_cache + (static_cast<size_t>(y) * app->pixel_cache_width + x) * 4;
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
  }

  host_test::StandIn stand_in;
  Application* app = nullptr;
  uint8_t* image = nullptr;
};

TEST_F(Offscreen, OneFrameInOrder) {
  RecordMousePos(app, 640.0, 384.0);
  RecordKeyboardEvent(app, 'a', KEY_STATE_DOWN, MODIFIER_SHIFT);
  RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
  Application_Draw(app);
  const std::vector<std::string> expected = {
      "ack",
      "keyboard id=0 key=97 pressed=1 released=0 mods=1",
      "pointer id=0 x=640 y=384 button=1 pressed=1 released=0 mods=0",
      "cursor",
      "predraw ortho=0,1280,0,768",
      "draw 0",
      "draw 1",
      "draw 2",
      "step",
  };
  EXPECT_EQ(expected, Log());
}

TEST_F(Offscreen, TwoClicksBetweenFramesArriveOverFourFrames) {
  RecordMousePos(app, 100.0, 50.0);
  for (int click = 0; click < 2; ++click) {
    RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
    RecordMouseEvent(app, 1, KEY_STATE_UP, 0, 0);
  }
  for (int frame = 0; frame < 5; ++frame) Application_Draw(app);
  const std::vector<std::string> expected = {
      "pointer id=0 x=100 y=50 button=1 pressed=1 released=0 mods=0",
      "pointer id=0 x=100 y=50 button=1 pressed=0 released=1 mods=0",
      "pointer id=0 x=100 y=50 button=1 pressed=1 released=0 mods=0",
      "pointer id=0 x=100 y=50 button=1 pressed=0 released=1 mods=0",
      "pointer id=0 x=100 y=50 button=0 pressed=0 released=0 mods=0",
  };
  EXPECT_EQ(expected, PointerLines());
}

TEST_F(Offscreen, AFullQueueLosesTheNextClickAndDeliversTheRestInOrder) {
  Application_DeletePixelCache(app);  // 1025 frames: no read-back needed
  for (int i = 0; i < APPLICATION_QUEUE_SIZE; ++i) {
    RecordMousePos(app, i, 1.0);
    RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
  }
  RecordMousePos(app, 2000.0, 1.0);
  RecordMouseEvent(app, 2, KEY_STATE_DOWN, 0, 0);  // the 1025th: lost
  for (int frame = 0; frame <= APPLICATION_QUEUE_SIZE; ++frame) Application_Draw(app);
  const std::vector<std::string> lines = PointerLines();
  ASSERT_EQ(static_cast<size_t>(APPLICATION_QUEUE_SIZE + 1), lines.size());
  for (int i = 0; i < APPLICATION_QUEUE_SIZE; ++i) {
    ASSERT_EQ("pointer id=0 x=" + std::to_string(i) + " y=1 button=1 pressed=1 released=0 mods=0", lines[i]);
  }
  EXPECT_EQ("pointer id=0 x=2000 y=1 button=0 pressed=0 released=0 mods=0", lines[APPLICATION_QUEUE_SIZE]);
}

TEST_F(Offscreen, WhatTheLayerDrawsIsInThePixelCacheAndTheFlippedImage) {
  Application_Draw(app);
  EXPECT_EQ(1280, app->pixel_cache_width);
  EXPECT_EQ(768, app->pixel_cache_height);
  EXPECT_EQ("0,0,255", CachePixel(150, 150));   // pass 0: red
  EXPECT_EQ("0,255,0", CachePixel(950, 550));   // pass 2: green
  EXPECT_EQ("128,0,0", CachePixel(10, 10));     // the background, colour 1
  // The flipped image has the same frame top-down.
  const uint8_t* p = image + (static_cast<size_t>(767 - 150) * 1280 + 150) * 4;
  EXPECT_EQ(255, p[2]);
  EXPECT_EQ(0, p[1]);
}

TEST(OffscreenCentred, ACentredLayerDrawsAroundTheMiddle) {
  host_test::StandIn stand_in;
  stand_in.layer.centred = 1;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  ASSERT_NE(nullptr, Application_CreateBuffer(app));
  Application_Draw(app);
  // Pass 0's rectangle (100, 100)-(300, 200) now starts at the centre.
  const uint8_t* moved = app->pixel_cache + (static_cast<size_t>(384 + 150) * 1280 + 640 + 150) * 4;
  const uint8_t* original = app->pixel_cache + (static_cast<size_t>(150) * 1280 + 150) * 4;
  EXPECT_EQ(255, moved[2]);
  EXPECT_EQ(0, original[2]);
  Application_Free(app);
}

TEST_F(Offscreen, AClientAreaLargerThanTheCacheIsNotReadIntoIt) {
  app->client_rect[2] = 2000;
  app->client_rect[3] = 1000;
  Application_Draw(app);  // would write past the cache's end
  EXPECT_EQ(1280, app->pixel_cache_width);
  EXPECT_EQ(768, app->pixel_cache_height);
}

TEST_F(Offscreen, ASecondBufferIsRefused) {
  EXPECT_EQ(nullptr, Application_CreateBuffer(app));
  EXPECT_EQ(nullptr, Application_GetWindow(app));
  EXPECT_EQ(1280, app->client_rect[2]);
  EXPECT_EQ(768, app->client_rect[3]);
  EXPECT_DOUBLE_EQ(1280.0 / 768.0, app->aspect_ratio);
}

// A layer that divides by zero while drawing.
void DividingDraw(void* context, uint32_t pass) {
  host_test::Draw(context, pass);
  volatile float zero = 0.0f;
  volatile float result = 1.0f / zero;
  (void)result;
}

TEST(OffscreenTraps, FloatingPointTrapsAreMaskedForTheFrameAndRestoredAfter) {
  host_test::StandIn stand_in;
  stand_in.layer.draw = DividingDraw;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  ASSERT_NE(nullptr, Application_CreateBuffer(app));
  feenableexcept(FE_DIVBYZERO);
  Application_Draw(app);  // would stop the process with SIGFPE if the trap were live
  EXPECT_EQ(FE_DIVBYZERO, fegetexcept() & FE_DIVBYZERO);
  EXPECT_EQ(0, fetestexcept(FE_DIVBYZERO));
  fedisableexcept(FE_DIVBYZERO);
  Application_Free(app);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(Offscreen, SnapshotOfTheLastFrame) {
  Application_Draw(app);
  const std::string path = "/tmp/velkor_offscreen_" + std::to_string(getpid()) + ".bmp";
  ASSERT_EQ(1, Application_TakeSnapshot(app, path.c_str()));
  const std::vector<uint8_t> bmp = ReadBytes(path);
  unlink(path.c_str());
  ASSERT_EQ(54u + 1280u * 3u * 768u, bmp.size());
  EXPECT_EQ(1280, bmp[18] | bmp[19] << 8);
  EXPECT_EQ(768, bmp[22] | bmp[23] << 8);
  auto pixel = [&](int x, int y) {
    const size_t at = 54 + static_cast<size_t>(y) * 1280 * 3 + static_cast<size_t>(x) * 3;
    return std::to_string(bmp[at]) + "," + std::to_string(bmp[at + 1]) + "," + std::to_string(bmp[at + 2]);
  };
  EXPECT_EQ("0,0,255", pixel(150, 150));
  EXPECT_EQ("0,0,255", pixel(100, 100));   // the rectangle's first pixel
  EXPECT_EQ("128,0,0", pixel(99, 100));
  EXPECT_EQ("0,255,0", pixel(999, 599));
  EXPECT_EQ("128,0,0", pixel(1000, 600));
  EXPECT_EQ("128,0,0", pixel(1279, 767));
  // After the cache is deleted there is nothing to write.
  Application_DeletePixelCache(app);
  EXPECT_EQ(0, Application_TakeSnapshot(app, path.c_str()));
}

}  // namespace
