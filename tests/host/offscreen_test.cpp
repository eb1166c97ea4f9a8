// The application record without a window: input, reset, and frames drawn
// off-screen (EGL pbuffer) with their pixel cache, snapshot and event cursors.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cfenv>

#include "tests/host/stand_in_layer.h"

namespace {

using host_test::LogCopy;
using Lines = std::vector<std::string>;

// Blue, green, red at p.
std::string bgr(const void* p) {
  const auto* b = static_cast<const uint8_t*>(p);
  return std::to_string(b[0]) + "," + std::to_string(b[1]) + "," + std::to_string(b[2]);
}

// Window pixel (x, y) as the frame buffer holds it now.
std::string frame_pixel(int x, int y) {
  uint8_t p[4] = {};
  glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, p);
  return bgr(p);
}

uint32_t little_endian(const std::string& bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

const std::string kBackground = "128,0,0";
const std::string kRed = "0,0,255", kGreen = "0,255,0", kWhite = "255,255,255";

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    app = Application_Allocate(&stand_in.params, nullptr);
    ASSERT_NE(nullptr, app);
    Application_UseSystemEvents(app, 1);
    const int32_t native_window_at_50[4] = {50, 50, 1280, 768};
    for (int i = 0; i < 4; ++i) app->client_rect[i] = native_window_at_50[i];
  }
  void TearDown() override { Application_Free(app); }

  std::string next_key() {
    PopKeyboardEvent(app);
    return host_test::Describe(&app->keyboard_contexts[0]);
  }
  std::string next_pointer() {
    PopMouseEvent(app);
    return host_test::Describe(&app->pointer_contexts[0]);
  }

  host_test::StandIn stand_in;
  Application* app = nullptr;
};

// A press of key; key 0: no key.
std::string key_down(uint32_t key) {
  return "keyboard id=0 key=" + std::to_string(key) + " pressed=" + (key ? "1" : "0") +
         " released=0 mods=0";
}

TEST_F(Input, AQueueKeepsItsOrderAcrossItsEndAndDropsThe1025thEvent) {
  for (uint32_t key = 1; key <= 700; ++key) RecordKeyboardEvent(app, key, kKeyStateDown, 0);
  for (uint32_t key = 1; key <= 700; ++key) ASSERT_EQ(key_down(key), next_key());
  // The next 1024 wrap around the end of the ring; the 1025th finds it full.
  for (uint32_t key = 1; key <= 1025; ++key) RecordKeyboardEvent(app, key, kKeyStateDown, 0);
  EXPECT_EQ(kApplicationQueueSize, app->keyboard_queue.count);
  for (uint32_t key = 1; key <= 1024; ++key) ASSERT_EQ(key_down(key), next_key());
  EXPECT_EQ(key_down(0), next_key());
  Application_UseSystemEvents(app, 0);  // no system input: nothing is recorded
  RecordKeyboardEvent(app, 'a', kKeyStateDown, 0);
  RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
  EXPECT_EQ(0, app->keyboard_queue.count + app->pointer_queue.count);
}

TEST_F(Input, ButtonsAndTheWheelWithTheirModifiersAndPositions) {
  Application_OnCursorPos(app, 10, 10);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
  Application_OnCursorPos(app, 600, 300);  // each event keeps the position of its time
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, GLFW_MOD_ALT);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, GLFW_MOD_SHIFT);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_RELEASE,
                            GLFW_MOD_CONTROL | GLFW_MOD_SHIFT);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_4, GLFW_PRESS, 0);  // no such button here
  // The wheel presses without a release: 4 away from the user, 5 towards.
  Application_OnScroll(app, 1.0, 0);
  Application_OnScroll(app, -2.0, GLFW_MOD_SHIFT);
  Application_OnScroll(app, 0.0, 0);  // sideways only
  const char* const expected[] = {
      "pointer id=0 x=10 y=758 button=1 pressed=1 released=0 mods=0",
      "pointer id=0 x=600 y=468 button=1 pressed=0 released=1 mods=0",
      "pointer id=0 x=600 y=468 button=2 pressed=1 released=0 mods=1",
      "pointer id=0 x=600 y=468 button=3 pressed=0 released=1 mods=3",
      "pointer id=0 x=600 y=468 button=4 pressed=1 released=0 mods=0",
      "pointer id=0 x=600 y=468 button=5 pressed=1 released=0 mods=1",
      "pointer id=0 x=600 y=468 button=0 pressed=0 released=0 mods=0",
  };
  for (const char* line : expected) EXPECT_EQ(line, next_pointer());
}

// One scale both ways: the pointer read from the window, a widget's request to move it.
TEST_F(Input, ClientPixelsAndDisplayUnitsWithYUpwards) {
  const struct {
    int32_t width, height;
    double cx, cy, x, y;
  } cases[] = {
      {1280, 768, 0, 0, 0, 768},  // top-left corner of a native-size window
      {1280, 768, 1280, 768, 1280, 0},
      {640, 384, 320, 192, 640, 384},  // half size: everything doubles
      {640, 384, 640, 0, 1280, 768},
      {1920, 1080, 960, 0, 640, 768},  // stretched full screen
      {0, 1080, 5, 5, 640, 768},       // an empty client area keeps the last position
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    app->client_rect[2] = c.width;
    app->client_rect[3] = c.height;
    Application_OnCursorPos(app, c.cx, c.cy);
    EXPECT_DOUBLE_EQ(c.x, Application_GetMousePosX(app));
    EXPECT_DOUBLE_EQ(c.y, Application_GetMousePosY(app));
    double cx = -1.0, cy = -1.0;
    EXPECT_EQ(c.width > 0, Application_DisplayToClient(app, c.x, c.y, &cx, &cy));
    EXPECT_DOUBLE_EQ(c.width > 0 ? c.cx : -1.0, cx);
    EXPECT_DOUBLE_EQ(c.width > 0 ? c.cy : -1.0, cy);
  }
  EXPECT_EQ(0, app->pointer_queue.count);  // moves are not queued
}

TEST_F(Input, ATouchIsAPressAtItsPlaceThenAReleaseAndANeutralEvent) {
  // Screen pixel (50 + 128, 50 + 768 - 100) is display unit (128, 100).
  TouchPoint down = {77, kTouchPointDown, 17800, 71800};
  OnTouch(app, &down, 1, 0);
  EXPECT_EQ("pointer id=0 x=128 y=100 button=1 pressed=1 released=0 mods=0", next_pointer());
  EXPECT_EQ("pointer id=0 x=128 y=100 button=1 pressed=0 released=0 mods=0", next_pointer());
  TouchPoint move = {77, 0, 27800, 61800};
  OnTouch(app, &move, 1, 0);  // a move only places the contact, which idle frames follow
  EXPECT_EQ("pointer id=0 x=228 y=200 button=0 pressed=0 released=0 mods=0", next_pointer());
  TouchPoint up = {77, kTouchPointUp, 27800, 61800};
  OnTouch(app, &up, 1, 1);
  EXPECT_EQ(kApplicationNoContact, GetContactIndex(app, 77));
  EXPECT_EQ("pointer id=0 x=228 y=200 button=1 pressed=0 released=1 mods=1", next_pointer());
  EXPECT_EQ("pointer id=0 x=228 y=200 button=0 pressed=0 released=0 mods=1", next_pointer());
}

TEST_F(Input, CursorRequestsPlaceMatchingPointers) {
  CursorPosRequestCallback(app, 0, 300.0f, 200.0f);
  CursorPosRequestCallback(app, 5, 1.0f, 1.0f);  // no pointer with id 5
  EXPECT_EQ("pointer id=0 x=300 y=200 button=0 pressed=0 released=0 mods=0",
            host_test::Describe(app->pointer_contexts));
  CursorPosRequestCallback(app, kApplicationAnyId, 7.0f, 8.0f);
  EXPECT_EQ("pointer id=0 x=7 y=8 button=0 pressed=0 released=0 mods=0",
            host_test::Describe(app->pointer_contexts));
}

TEST_F(Input, ResetInitialisesTheLayersClearsTheContextsAndEmptiesTheQueues) {
  stand_in.keyboard.id = 3;  // read at reset
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
}

// Event cursors on, the mouse at (400, 400): they must never reach the pixel cache.
class Offscreen : public Input {
 protected:
  void SetUp() override {
    Input::SetUp();
    image = Application_CreateBuffer(app);
    ASSERT_NE(nullptr, image) << "no EGL pbuffer on the surfaceless platform";
    Application_ShowEventCursors(app, 1);
    RecordMousePos(app, 400.0, 400.0);
    host_test::call_log.clear();
  }

  // Display pixel (x, y), origin bottom-left, in the pixel cache.
  std::string cache_pixel(int x, int y) const {
    return bgr(app->pixel_cache + (static_cast<size_t>(y) * app->pixel_cache_width + x) * 4);
  }

  uint8_t* image = nullptr;
  host_test::TempDir dir;
};

// The layer divides by zero with the trap enabled: masked for the frame only.
TEST_F(Offscreen, TheFrameInThePixelCacheTheFlippedImageAndTheSnapshot) {
  EXPECT_EQ(nullptr, Application_CreateBuffer(app));  // one buffer per record
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
  EXPECT_EQ(kRed, cache_pixel(150, 150));                                           // pass 0
  EXPECT_EQ(kGreen, cache_pixel(950, 550));                                         // pass 2
  EXPECT_EQ(kBackground, cache_pixel(10, 10));                                      // colour 1
  EXPECT_EQ(kRed, bgr(image + (static_cast<size_t>(767 - 150) * 1280 + 150) * 4));  // top-down
  const std::string path = dir.file("frame.bmp");
  ASSERT_EQ(1, Application_TakeSnapshot(app, path.c_str()));
  const std::string bmp = host_test::ReadFile(path);
  ASSERT_EQ(54u + 1280u * 3u * 768u, bmp.size());
  const auto pixel = [&](int x, int y) { return bgr(&bmp[54 + (size_t(y) * 1280 + x) * 3]); };
  EXPECT_EQ(kRed, pixel(100, 100));         // bottom row first
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

// A click queued between frames arrives one event a frame, each shown by the
// cursor's colour over the frame: red pressed, green released, white idle.
TEST_F(Offscreen, EventsArriveOneAFrameTheirCursorOverTheFrameButNotInTheCache) {
  const float* colors = glob_pr_sglStatemachine->color_table;
  RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
  RecordMouseEvent(app, 1, kKeyStateUp, 0, 0);
  for (const std::string& colour : {kRed, kGreen, kWhite, kWhite}) {
    Application_Draw(app);
    EXPECT_EQ(colour, frame_pixel(400, 400));
  }
  EXPECT_EQ(kWhite, frame_pixel(407, 400));  // an arm
  EXPECT_EQ(kBackground, cache_pixel(400, 400));
  EXPECT_EQ(colors, glob_pr_sglStatemachine->color_table);
  const std::string at = "pointer id=0 x=400 y=400 button=";
  Lines pointer_lines;
  for (const std::string& line : LogCopy()) {
    if (line.compare(0, 7, "pointer") == 0) pointer_lines.push_back(line);
  }
  EXPECT_EQ(Lines({at + "1 pressed=1 released=0 mods=0", at + "1 pressed=0 released=1 mods=0",
                   at + "0 pressed=0 released=0 mods=0", at + "0 pressed=0 released=0 mods=0"}),
            pointer_lines);
}

TEST(Bmp, RowsArePaddedToWholeWordsForEveryWidthModuloFour) {
  host_test::TempDir dir;
  const std::string path = dir.file("a.bmp");
  for (int32_t width = 4097; width <= 4100; ++width) {  // rows wider than the row buffer, too
    SCOPED_TRACE(width);
    // Blue tells the column, green the row; alpha is dropped.
    std::vector<uint8_t> bgra(static_cast<size_t>(width) * 2 * 4, 0xAA);
    for (size_t i = 0; i < bgra.size() / 4; ++i) {
      bgra[4 * i] = static_cast<uint8_t>(i % width);
      bgra[4 * i + 1] = static_cast<uint8_t>(i / width);
    }
    ASSERT_TRUE(Application_WriteBmp(path.c_str(), bgra.data(), width, 2));
    const std::string bmp = host_test::ReadFile(path);
    const uint32_t row = 3 * width + width % 4;
    ASSERT_EQ(54u + row * 2, bmp.size());
    // Magic, file size, pixel offset, width, height, bits per pixel, image size.
    const uint32_t header[][3] = {{0, 2, 'B' | ('M' << 8)}, {2, 4, 54 + row * 2}, {10, 4, 54},
                                  {18, 4, uint32_t(width)}, {22, 4, 2},           {28, 2, 24},
                                  {34, 4, row * 2}};
    for (const auto& f : header) EXPECT_EQ(f[2], little_endian(bmp, f[0], f[1])) << "at " << f[0];
    for (uint32_t y = 0; y < 2; ++y) {
      const std::string last = std::to_string((width - 1) % 256) + "," + std::to_string(y) + ",170";
      EXPECT_EQ(last, bgr(&bmp[54 + y * row + 3 * (width - 1)]));
      EXPECT_EQ(0u, little_endian(bmp, 54 + y * row + 3 * width, width % 4));  // zero padding
    }
  }
  const uint8_t four_pixels[16] = {};
  EXPECT_FALSE(Application_WriteBmp("/nonexistent/dir/a.bmp", four_pixels, 2, 2));
}

}  // namespace
