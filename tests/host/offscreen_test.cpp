// The application record and its frames drawn off-screen (EGL pbuffer, no
// display): reset, the order of one frame, one event per frame, the centred
// layer, masked floating-point traps, the pixel cache, the BMP snapshot, and
// the event cursors drawn over the frame.
#include "host/host_internal.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cfenv>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/host/stand_in_layer.h"
#if VELKOR_HAVE_FONT_TABLE
#include "panel/Velkor_font_table.h"
#endif

namespace {

using host_test::LogCopy;
using Lines = std::vector<std::string>;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

uint32_t LittleEndian(const std::vector<uint8_t>& bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

std::string Bgr(const uint8_t* p) {
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

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
  EXPECT_EQ(1, app->keyboard_queue.count);
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

class Offscreen : public ::testing::Test {
 protected:
  void SetUp() override { Open(1); }
  void TearDown() override { Application_Free(app); }

  // pointers: how many pointer descriptions; an executable path brings the
  // scratch buffer a font table's glyphs are decoded in. The event cursors
  // are on, the mouse at (400, 400): they must never reach the pixel cache.
  void Open(uint32_t pointers, const char* executable = nullptr) {
    Application_Free(app);
    stand_in.params.pointers = descriptions;
    stand_in.params.pointer_count = pointers;
    app = Application_Allocate(&stand_in.params, executable);
    ASSERT_NE(nullptr, app);
    Application_UseSystemEvents(app, 1);
    image = Application_CreateBuffer(app);
    ASSERT_NE(nullptr, image) << "no EGL pbuffer on the surfaceless platform";
    Application_ShowEventCursors(app, 1);
    RecordMousePos(app, 400.0, 400.0);
    host_test::call_log.clear();
  }

  // Display pixel (x, y), origin bottom-left, in the pixel cache.
  std::string CachePixel(int x, int y) const {
    return Bgr(app->pixel_cache + (static_cast<size_t>(y) * app->pixel_cache_width + x) * 4);
  }

  Lines PointerLines() const {
    Lines lines;
    for (const std::string& line : LogCopy()) {
      if (line.compare(0, 7, "pointer") == 0) lines.push_back(line);
    }
    return lines;
  }

  PointerDesc descriptions[2] = {{"_ptr0", 0}, {"_ptr1", 1}};
  host_test::StandIn stand_in;
  Application* app = nullptr;
  uint8_t* image = nullptr;
};

TEST_F(Offscreen, OneFrameInOrder) {
  RecordMousePos(app, 640.0, 384.0);
  RecordKeyboardEvent(app, 'a', kKeyStateDown, MODIFIER_SHIFT);
  RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
  Application_Draw(app);
  EXPECT_EQ(Lines({"ack", "keyboard id=0 key=97 pressed=1 released=0 mods=1",
                   "pointer id=0 x=640 y=384 button=1 pressed=1 released=0 mods=0", "cursor",
                   "predraw ortho=0,1280,0,768", "draw 0", "draw 1", "draw 2", "step"}),
            LogCopy());
}

TEST_F(Offscreen, TwoClicksBetweenFramesArriveOverFourFrames) {
  RecordMousePos(app, 100.0, 50.0);
  for (int click = 0; click < 2; ++click) {
    RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
    RecordMouseEvent(app, 1, kKeyStateUp, 0, 0);
  }
  for (int frame = 0; frame < 5; ++frame) Application_Draw(app);
  const std::string press = "pointer id=0 x=100 y=50 button=1 pressed=1 released=0 mods=0";
  const std::string release = "pointer id=0 x=100 y=50 button=1 pressed=0 released=1 mods=0";
  EXPECT_EQ(Lines({press, release, press, release,
                   "pointer id=0 x=100 y=50 button=0 pressed=0 released=0 mods=0"}),
            PointerLines());
}

TEST_F(Offscreen, TheFrameInThePixelCacheTheFlippedImageAndTheSnapshot) {
  EXPECT_EQ(nullptr, Application_CreateBuffer(app));  // one buffer per record
  Application_Draw(app);
  EXPECT_EQ("0,0,255", CachePixel(150, 150));  // pass 0: red
  EXPECT_EQ("0,255,0", CachePixel(950, 550));  // pass 2: green
  EXPECT_EQ("128,0,0", CachePixel(10, 10));    // the background, colour 1
  EXPECT_EQ("0,0,255", Bgr(image + (static_cast<size_t>(767 - 150) * 1280 + 150) * 4));  // top-down
  const std::string path = "/tmp/velkor_offscreen_" + std::to_string(getpid()) + ".bmp";
  ASSERT_EQ(1, Application_TakeSnapshot(app, path.c_str()));
  const std::vector<uint8_t> bmp = ReadBytes(path);
  unlink(path.c_str());
  ASSERT_EQ(54u + 1280u * 3u * 768u, bmp.size());
  auto pixel = [&](int x, int y) {
    return Bgr(&bmp[54 + (static_cast<size_t>(y) * 1280 + x) * 3]);
  };
  EXPECT_EQ("0,0,255", pixel(100, 100));  // the rectangle's first pixel
  EXPECT_EQ("128,0,0", pixel(99, 100));
  EXPECT_EQ("0,255,0", pixel(999, 599));
  EXPECT_EQ("128,0,0", pixel(1000, 600));
  Application_DeletePixelCache(app);
  EXPECT_EQ(0, Application_TakeSnapshot(app, path.c_str()));
}

TEST_F(Offscreen, ACentredLayerDrawsAroundTheMiddle) {
  stand_in.layer.centred = 1;
  Application_Draw(app);
  EXPECT_EQ("0,0,255", CachePixel(640 + 150, 384 + 150));  // pass 0's rectangle moved by the centre
  EXPECT_EQ("128,0,0", CachePixel(150, 150));
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

// Event cursors: a cross per pointer in the colour of its state, drawn
// whatever masks a layer left on, the application's tables and text
// attributes untouched.

// Blue, green, red of window pixel (x, y) as the frame buffer holds it now.
std::string FramePixel(int x, int y) {
  uint8_t p[4] = {};
  glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, p);
  return Bgr(p);
}

const std::string kBackground = "128,0,0";
const std::string kWhite = "255,255,255";

TEST_F(Offscreen, EventCursorsTheColourOfTheStateOverTheFrameButNotInTheCache) {
  const float* colors = glob_pr_sglStatemachine->color_table;
  Application_Draw(app);
  EXPECT_EQ(kWhite, FramePixel(400, 400));  // no press, no release
  EXPECT_EQ(kWhite, FramePixel(407, 400));  // the arms reach 10 pixels out
  EXPECT_EQ(kBackground, FramePixel(420, 400));
  EXPECT_EQ(kBackground, CachePixel(400, 400));
  RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,0,255", FramePixel(400, 400));  // red while pressed
  RecordMouseEvent(app, 1, kKeyStateUp, 0, 0);
  Application_Draw(app);
  EXPECT_EQ("0,255,0", FramePixel(400, 400));  // green when released
  EXPECT_EQ(colors, glob_pr_sglStatemachine->color_table);
}

TEST_F(Offscreen, EventCursorsPlacedByDisplayUnitsInAScaledViewport) {
  app->client_rect[2] = 640;  // a client area half the native size
  app->client_rect[3] = 384;
  RecordMousePos(app, 400.0, 300.0);
  Application_Draw(app);
  EXPECT_EQ(kWhite, FramePixel(200, 150));
  EXPECT_NE(kWhite, FramePixel(400, 300));
}

TEST_F(Offscreen, EventCursorsAMaskALayerLeftOnDoesNotHideThem) {
  stand_in.layer.draw = [](void* context, uint32_t pass) {
    host_test::Draw(context, pass);
    if (pass != 2) return;
    const uint32_t mask = sglAllocateMaskID(1);
    sglClipBox(mask, 0, 0.0f, 0.0f, 10.0f, 10.0f);
    sglSetActiveMasks(mask);
  };
  Application_Draw(app);
  EXPECT_EQ(kWhite, FramePixel(400, 400));
  EXPECT_NE(0u, sglGetActiveMasks());  // the layer's set is back after the crosses
}

#if VELKOR_HAVE_FONT_TABLE

TEST_F(Offscreen, EventCursorsSeveralPointersAreToldApartByTheirIds) {
  for (uint32_t pointers : {1u, 2u}) {
    SCOPED_TRACE(pointers);
    stand_in.params.font_table = &Velkor_font_table;
    Open(pointers, "/nonexistent/velkor");
    EXPECT_EQ(30u,
              glob_pr_sglStatemachine->font_count);  // the application's fonts, loaded at start
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
  }
}

#endif

TEST(Bmp, HeaderRowsAndPaddingForEveryWidthModuloFour) {
  const std::string path = "/tmp/velkor_bmp_" + std::to_string(getpid()) + ".bmp";
  const int32_t height = 2;
  for (int32_t width = 1280; width <= 1283; ++width) {
    SCOPED_TRACE(width);
    // Blue and green tell the column, red the row; alpha is dropped.
    std::vector<uint8_t> bgra(static_cast<size_t>(width) * height * 4, 0xAA);
    for (size_t i = 0; i < bgra.size() / 4; ++i) {
      bgra[4 * i] = static_cast<uint8_t>(i % width);
      bgra[4 * i + 1] = static_cast<uint8_t>((i % width) >> 8);
      bgra[4 * i + 2] = static_cast<uint8_t>(i / width);
    }
    ASSERT_TRUE(Application_WriteBmp(path.c_str(), bgra.data(), width, height));
    const std::vector<uint8_t> bmp = ReadBytes(path);
    const uint32_t row = 3 * width + width % 4;  // padded to whole 32-bit words
    ASSERT_EQ(54u + row * height, bmp.size());
    const uint32_t header[][3] = {{0, 2, 'B' | ('M' << 8)},
                                  {2, 4, 54 + row * height},
                                  {6, 4, 0},
                                  {10, 4, 54},
                                  {14, 4, 40},
                                  {18, 4, static_cast<uint32_t>(width)},
                                  {22, 4, height},
                                  {26, 2, 1},
                                  {28, 2, 24},
                                  {30, 4, 0},
                                  {34, 4, row * height}};
    for (const auto& field : header)
      EXPECT_EQ(field[2], LittleEndian(bmp, field[0], field[1])) << "at " << field[0];
    for (int32_t y = 0; y < height; ++y) {
      const size_t start = 54 + static_cast<size_t>(y) * row;
      const int32_t x = width - 1;
      EXPECT_EQ(std::to_string(x % 256) + "," + std::to_string(x >> 8) + "," + std::to_string(y),
                Bgr(&bmp[start + 3 * x]));
      EXPECT_EQ(0u, LittleEndian(bmp, start + 3 * width, width % 4));  // zero padding
    }
  }
  unlink(path.c_str());
  const uint8_t four_pixels[16] = {};
  EXPECT_FALSE(Application_WriteBmp("/nonexistent/dir/a.bmp", four_pixels, 2, 2));
  EXPECT_FALSE(Application_WriteBmp(path.c_str(), nullptr, 2, 2));
}

}  // namespace
