// The off-screen test fixture itself: the context is real desktop OpenGL
// with the promised buffers, probes read with y upwards, and the failure
// image is a PPM with the top row first.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
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

TEST_F(SglTest, DumpWritesAPortablePixmapTopRowFirst) {
  velkor_test::FillRectRaw(0, 767, 1, 768, 1, 1, 1);  // top-left pixel only
  std::string path = ::testing::TempDir() + "velkor_fixture_dump.ppm";
  ASSERT_TRUE(velkor_test::DumpFramebuffer(path.c_str()));
  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, file);
  std::vector<unsigned char> data(16 + 1280 * 768 * 3);
  const size_t read = std::fread(data.data(), 1, data.size(), file);
  std::fclose(file);
  std::remove(path.c_str());
  ASSERT_EQ(data.size(), read);
  EXPECT_EQ("P6\n1280 768\n255\n", std::string(data.begin(), data.begin() + 16));
  EXPECT_EQ((std::vector<int>{255, 0}), (std::vector<int>{data[16], data[19]}))
      << "the top-left pixel first";
}

}  // namespace
