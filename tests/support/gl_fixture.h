// gl_fixture.h - off-screen OpenGL for the drawing library's tests.
//
// Every test gets the context of offscreen_gl.h (1280 x 768 pbuffer, RGBA8,
// depth, 8 stencil bits) with the drawing library freshly initialised on it
// as the host does (64 MiB scratch buffer, 1024 x 1024 textures, 254 texture
// slots, no gradients), the viewport and projection of the whole display
// (display units are pixels, y up) and everything cleared to opaque black.
// Without the context the test fails; none is skipped. A failing test leaves
// the framebuffer in <executable's directory>/failure_images/<suite>.<test>.ppm.
//
//   TEST_F(SglTest, Something) {
//     sglIndexColori(0);
//     velkor_test::FillRectRaw(10, 10, 20, 20, 1, 0, 0);   // through the current matrix
//     EXPECT_EQ(100, velkor_test::CountCoveredPixels(10, 10, 10, 10));
//     EXPECT_EQ(0u, Context().errors.count);
//   }
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

// Pixels of (x, y, width, height) with red, green or blue above `threshold`.
int CountCoveredPixels(int x, int y, int width, int height, int threshold = 0);

// Pixels whose red, green and blue are each within `tolerance` of `colour`.
int CountPixelsNear(int x, int y, int width, int height, Rgba colour, int tolerance = 0);

// Fills (x0, y0)-(x1, y1) opaque through the current matrix with raw OpenGL,
// the colour set through the library's cache so that the cache stays true.
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
