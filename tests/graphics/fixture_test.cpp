// The off-screen test fixture itself: the context is real desktop OpenGL
// with the promised buffers, and the probes read with y upwards.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::SglTest;

TEST_F(SglTest, ContextHasTheBuffersTheLibraryNeedsAndDrawsForReal) {
  GLint bits[2] = {0, 0};
  glGetIntegerv(GL_STENCIL_BITS, &bits[0]);
  glGetIntegerv(GL_ALPHA_BITS, &bits[1]);
  EXPECT_EQ((std::vector<GLint>{8, 8}), std::vector<GLint>(bits, bits + 2));
  // Fixed-function calls must reach a real renderer, not a no-op library.
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_NE(nullptr, version);
  EXPECT_NE(nullptr, std::strstr(version, "Mesa")) << version;
  velkor_test::FillRectRaw(0, 0, 3, 2, 1, 0, 0);            // bottom-left
  velkor_test::FillRectRaw(1270, 760, 1280, 768, 0, 1, 0);  // top-right
  EXPECT_EQ(255, velkor_test::ReadPixel(0, 0).r);
  EXPECT_EQ(0, velkor_test::ReadPixel(0, 2).r);
  EXPECT_EQ(86, velkor_test::CountCoveredPixels(0, 0, 1280, 768));
  EXPECT_EQ(80, velkor_test::CountPixelsNear(1200, 700, 80, 68, velkor_test::Rgba{0, 255, 0, 255}));
  velkor_test::FillRectRaw(10, 10, 20, 20, 0.02f, 0.02f, 0.02f);  // about 5 of 255
  EXPECT_EQ(0, velkor_test::CountCoveredPixels(10, 10, 10, 10, 10)) << "below the threshold";
}

}  // namespace
