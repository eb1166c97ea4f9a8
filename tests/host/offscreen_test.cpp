// The application record and its frames drawn off-screen (EGL pbuffer, no
// display): reset, one event per frame, the pixel cache, the BMP snapshot,
// masked floating-point traps and the event cursors over the frame.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cfenv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/host_internal.h"
#include "tests/host/stand_in_layer.h"

namespace {

using host_test::LogCopy;
using Lines = std::vector<std::string>;

std::vector<uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

uint32_t little_endian(const std::vector<uint8_t>& bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

std::string bgr(const uint8_t* p) {
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

// Blue, green, red of window pixel (x, y) as the frame buffer holds it now.
std::string frame_pixel(int x, int y) {
  uint8_t p[4] = {};
  glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, p);
  return bgr(p);
}

const std::string kBackground = "128,0,0";
const std::string kWhite = "255,255,255";

TEST(ApplicationRecord, ResetInitialisesTheLayersClearsTheContextsAndEmptiesTheQueues) {
  host_test::StandIn stand_in;
  stand_in.keyboard.id = 3;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  Application_UseSystemEvents(app, 1);
  app->keyboard_contexts[0] = KeyboardEvent{77, 65, 1, 0, 1};
  RecordKeyboardEvent(app, 'a', kKeyStateDown, 0);
  // Without a window or a buffer a frame only acknowledges: nothing leaves the queue.
  EXPECT_EQ(0, Application_Draw(app));
  EXPECT_EQ(0, Application_TakeSnapshot(app, "/tmp/never.bmp"));  // nothing drawn, nothing cached
  Application_Reset(app);
  EXPECT_EQ(Lines({"alloc", "ack", "init", "reset"}), LogCopy());
  EXPECT_EQ("keyboard id=3 key=0 pressed=0 released=0 mods=0",
            host_test::Describe(&app->keyboard_contexts[0]));
  EXPECT_EQ(0, app->keyboard_queue.count);
  RecordKeyboardEvent(app, 'c', kKeyStateDown, 0);
  EXPECT_EQ(0, app->keyboard_queue.write_index);  // the queue starts over at slot 0
  Application_Free(app);
  EXPECT_EQ("free", LogCopy().back());
}

// The event cursors are on and the mouse at (400, 400) in every frame: they
// must never reach the pixel cache.
class Offscreen : public ::testing::Test {
 protected:
  void SetUp() override {
    app = Application_Allocate(&stand_in.params, nullptr);
    ASSERT_NE(nullptr, app);
    Application_UseSystemEvents(app, 1);
    image = Application_CreateBuffer(app);
    ASSERT_NE(nullptr, image) << "no EGL pbuffer on the surfaceless platform";
    Application_ShowEventCursors(app, 1);
    RecordMousePos(app, 400.0, 400.0);
    host_test::call_log.clear();
  }
  void TearDown() override { Application_Free(app); }

  // Display pixel (x, y), origin bottom-left, in the pixel cache.
  std::string cache_pixel(int x, int y) const {
    return bgr(app->pixel_cache + (static_cast<size_t>(y) * app->pixel_cache_width + x) * 4);
  }

  host_test::StandIn stand_in;
  Application* app = nullptr;
  uint8_t* image = nullptr;
};

TEST_F(Offscreen, TwoClicksBetweenFramesArriveOverFourFrames) {
  RecordMousePos(app, 100.0, 50.0);
  for (int click = 0; click < 2; ++click) {
    RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
    RecordMouseEvent(app, 1, kKeyStateUp, 0, 0);
  }
  for (int frame = 0; frame < 5; ++frame) Application_Draw(app);
  const std::string press = "pointer id=0 x=100 y=50 button=1 pressed=1 released=0 mods=0";
  const std::string release = "pointer id=0 x=100 y=50 button=1 pressed=0 released=1 mods=0";
  Lines pointer_lines;
  for (const std::string& line : LogCopy()) {
    if (line.compare(0, 7, "pointer") == 0) pointer_lines.push_back(line);
  }
  EXPECT_EQ(Lines({press, release, press, release,
                   "pointer id=0 x=100 y=50 button=0 pressed=0 released=0 mods=0"}),
            pointer_lines);
}

TEST_F(Offscreen, TheFrameInThePixelCacheTheFlippedImageAndTheSnapshot) {
  EXPECT_EQ(nullptr, Application_CreateBuffer(app));  // one buffer per record
  Application_Draw(app);
  EXPECT_EQ("0,0,255", cache_pixel(150, 150));  // pass 0: red
  EXPECT_EQ("0,255,0", cache_pixel(950, 550));  // pass 2: green
  EXPECT_EQ(kBackground, cache_pixel(10, 10));  // the background, colour 1
  EXPECT_EQ("0,0,255", bgr(image + (static_cast<size_t>(767 - 150) * 1280 + 150) * 4));  // top-down
  const std::string path = "/tmp/velkor_offscreen_" + std::to_string(getpid()) + ".bmp";
  ASSERT_EQ(1, Application_TakeSnapshot(app, path.c_str()));
  const std::vector<uint8_t> bmp = read_bytes(path);
  unlink(path.c_str());
  ASSERT_EQ(54u + 1280u * 3u * 768u, bmp.size());
  auto pixel = [&](int x, int y) {
    return bgr(&bmp[54 + (static_cast<size_t>(y) * 1280 + x) * 3]);
  };
  EXPECT_EQ("0,0,255", pixel(100, 100));  // the rectangle's first pixel
  EXPECT_EQ(kBackground, pixel(99, 100));
  EXPECT_EQ("0,255,0", pixel(999, 599));
  EXPECT_EQ(kBackground, pixel(1000, 600));
  EXPECT_EQ(kBackground, pixel(400, 400));  // no event cursor in the snapshot
  Application_DeletePixelCache(app);
  EXPECT_EQ(0, Application_TakeSnapshot(app, path.c_str()));
}

TEST_F(Offscreen, AClientAreaLargerThanTheCacheIsNotReadIntoIt) {
  app->client_rect[2] = 2000;
  app->client_rect[3] = 1000;
  Application_Draw(app);  // would write past the cache's end
  EXPECT_EQ(1280, app->pixel_cache_width);
  EXPECT_EQ(768, app->pixel_cache_height);
}

TEST_F(Offscreen, FloatingPointTrapsAreMaskedForTheFrameAndRestoredAfter) {
  stand_in.layer.draw = [](void* context, uint32_t pass) {
    host_test::Draw(context, pass);
    volatile float zero = 0.0f;
    volatile float result = 1.0f / zero;
    (void)result;
  };
  feenableexcept(FE_DIVBYZERO);
  Application_Draw(app);  // SIGFPE if the trap were live
  EXPECT_EQ(FE_DIVBYZERO, fegetexcept() & FE_DIVBYZERO);
  EXPECT_EQ(0, fetestexcept(FE_DIVBYZERO));
  fedisableexcept(FE_DIVBYZERO);
}

TEST_F(Offscreen, EventCursorsTheColourOfTheStateOverTheFrameButNotInTheCache) {
  const float* colors = glob_pr_sglStatemachine->color_table;
  Application_Draw(app);
  EXPECT_EQ(kWhite, frame_pixel(400, 400));  // no press, no release
  EXPECT_EQ(kWhite, frame_pixel(407, 400));  // the arms reach 10 pixels out
  EXPECT_EQ(kBackground, frame_pixel(420, 400));
  EXPECT_EQ(kBackground, cache_pixel(400, 400));
  RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,0,255", frame_pixel(400, 400));  // red while pressed
  RecordMouseEvent(app, 1, kKeyStateUp, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,255,0", frame_pixel(400, 400));  // green when released
  EXPECT_EQ(colors, glob_pr_sglStatemachine->color_table);
}

TEST(Bmp, RowsArePaddedToWholeWordsForEveryWidthModuloFour) {
  const std::string path = "/tmp/velkor_bmp_" + std::to_string(getpid()) + ".bmp";
  for (int32_t width = 4097; width <= 4100; ++width) {  // rows wider than the row buffer, too
    SCOPED_TRACE(width);
    // Blue and green tell the column, red the row; alpha is dropped.
    std::vector<uint8_t> bgra(static_cast<size_t>(width) * 2 * 4, 0xAA);
    for (size_t i = 0; i < bgra.size() / 4; ++i) {
      bgra[4 * i] = static_cast<uint8_t>(i % width);
      bgra[4 * i + 1] = static_cast<uint8_t>((i % width) >> 8);
      bgra[4 * i + 2] = static_cast<uint8_t>(i / width);
    }
    ASSERT_TRUE(Application_WriteBmp(path.c_str(), bgra.data(), width, 2));
    const std::vector<uint8_t> bmp = read_bytes(path);
    const uint32_t row = 3 * width + width % 4;
    ASSERT_EQ(54u + row * 2, bmp.size());
    const uint32_t header[][3] = {{0, 2, 'B' | ('M' << 8)},
                                  {2, 4, 54 + row * 2},
                                  {10, 4, 54},
                                  {14, 4, 40},
                                  {18, 4, static_cast<uint32_t>(width)},
                                  {22, 4, 2},
                                  {26, 2, 1},
                                  {28, 2, 24},
                                  {34, 4, row * 2}};
    for (const auto& field : header)
      EXPECT_EQ(field[2], little_endian(bmp, field[0], field[1])) << "at " << field[0];
    for (int32_t y = 0; y < 2; ++y) {
      const size_t start = 54 + static_cast<size_t>(y) * row;
      const int32_t x = width - 1;
      EXPECT_EQ(std::to_string(x % 256) + "," + std::to_string(x >> 8) + "," + std::to_string(y),
                bgr(&bmp[start + 3 * x]));
      EXPECT_EQ(0u, little_endian(bmp, start + 3 * width, width % 4));  // zero padding
    }
  }
  unlink(path.c_str());
  const uint8_t four_pixels[16] = {};
  EXPECT_FALSE(Application_WriteBmp("/nonexistent/dir/a.bmp", four_pixels, 2, 2));
}

}  // namespace
