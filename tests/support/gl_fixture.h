// gl_fixture.h - off-screen OpenGL for the drawing library's tests.
//
// What it is
//   The off-screen context of offscreen_gl.h (EGL on Mesa's surfaceless
//   platform, no display, no window; a 1280 x 768 pbuffer with 8-bit RGBA,
//   depth and 8 stencil bits), one per test executable, with the drawing
//   library initialised on it for every test. Tests that cannot get the
//   context fail; none is skipped.
//
// How a test uses it
//   class MyTest : public velkor_test::SglTest {};      // or use SglTest directly
//   TEST_F(SglTest, Something) {
//       sglIndexColori(0);
//       velkor_test::FillRectRaw(10, 10, 20, 20, 1, 0, 0);   // through the current matrix
//       EXPECT_EQ(100, velkor_test::CountCoveredPixels(10, 10, 10, 10));
//       EXPECT_EQ(0u, Context().errors.count);
//   }
//   SetUp runs sglInit with the host's record (1280 x 768, a 64 MiB scratch
//   buffer, 1024 x 1024 textures, 254 texture slots, no gradients), sets the
//   viewport and the orthographic projection of the whole display and clears
//   colour (opaque black), depth and stencil. Display units are pixels, y up.
//   When a test fails, TearDown writes the framebuffer as a PPM image to
//   <directory of the test executable>/failure_images/<suite>.<test>.ppm.
//
// Threads: the test's main thread only.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/sgl.h"
#include "tests/support/offscreen_gl.h"

namespace velkor_test {

struct Rgba {
  uint8_t r, g, b, a;
};

// The pixel at (x, y), display units with y upwards.
Rgba ReadPixel(int x, int y);

// Pixels of the rectangle (x, y, width, height) whose red, green or blue
// differs from the clear colour (black) by more than `threshold`.
int CountCoveredPixels(int x, int y, int width, int height, int threshold = 0);

// Pixels of the rectangle whose red, green and blue are each within
// `tolerance` of `colour`.
int CountPixelsNear(int x, int y, int width, int height, Rgba colour, int tolerance = 0);

// Fills the rectangle (x0, y0)-(x1, y1), given in current drawing units, with
// an opaque colour through the current matrix, using raw OpenGL (the colour
// goes through the library's colour cache so that the cache stays true).
void FillRectRaw(float x0, float y0, float x1, float y1, float red, float green, float blue);

// Fills the rectangle (x0, y0)-(x1, y1) through the library (sglBegin(5),
// corners counter-clockwise from (x0, y0)) with the current attributes.
void FillQuad(float x0, float y0, float x1, float y1);

// Clears colour to opaque black, depth and stencil.
void ClearDisplay();

// Reads and empties OpenGL's error flags; returns the first one or GL_NO_ERROR.
uint32_t TakeGlError();

class SglTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The library context under test (static storage, re-initialised per test).
  static sgl_type_statemachine& Context();
  // The host's initialisation record; tests may copy and alter it.
  static sgl_parameters HostParameters();
  // The log holds exactly one entry, (code, value).
  static void ExpectOnlyError(uint32_t code, uint32_t value);
  // The newest entry of the error log (which must not be empty).
  static sgl_error_entry LastError();
};

}  // namespace velkor_test
