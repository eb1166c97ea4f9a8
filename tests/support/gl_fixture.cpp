// The drawing library's fixture, pixel probes and failure dumps.
#include "tests/support/gl_fixture.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/sgl_internal.h"

namespace velkor_test {

namespace {

std::vector<uint8_t> ReadRectangle(int x, int y, int width, int height) {
  std::vector<uint8_t> pixels(width > 0 && height > 0 ? size_t(width) * size_t(height) * 4 : 0);
  if (width > 0 && height > 0) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  }
  return pixels;
}

}  // namespace

Rgba ReadPixel(int x, int y) {
  const std::vector<uint8_t> p = ReadRectangle(x, y, 1, 1);
  return Rgba{p[0], p[1], p[2], p[3]};
}

int CountCoveredPixels(int x, int y, int width, int height, int threshold) {
  const std::vector<uint8_t> pixels = ReadRectangle(x, y, width, height);
  int covered = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    covered += pixels[i] > threshold || pixels[i + 1] > threshold || pixels[i + 2] > threshold;
  }
  return covered;
}

int CountPixelsNear(int x, int y, int width, int height, Rgba colour, int tolerance) {
  const std::vector<uint8_t> pixels = ReadRectangle(x, y, width, height);
  int near = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    near += std::abs(pixels[i] - colour.r) <= tolerance &&
            std::abs(pixels[i + 1] - colour.g) <= tolerance &&
            std::abs(pixels[i + 2] - colour.b) <= tolerance;
  }
  return near;
}

void FillRectRaw(float x0, float y0, float x1, float y1, float red, float green, float blue) {
  sgliDisable(GL_TEXTURE_2D);
  sgliDisable(GL_BLEND);
  sgliColor4f(red, green, blue, 1.0f);
  const float corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  glBegin(GL_QUADS);
  for (const auto& corner : corners) glVertex2f(corner[0], corner[1]);
  glEnd();
}

void FillQuad(float x0, float y0, float x1, float y1) {
  const float corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  sglBegin(5);
  for (const auto& corner : corners) sglVertex2f(corner[0], corner[1]);
  sglEnd();
}

void ClearDisplay() {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glStencilMask(255);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glStencilMask(0);
}

uint32_t TakeGlError() {
  const GLenum first = glGetError();
  while (glGetError() != GL_NO_ERROR) {
  }
  return first;
}

sgl_type_statemachine& SglTest::Context() {
  static sgl_type_statemachine context;
  return context;
}

sgl_parameters SglTest::HostParameters() {
  // The host's scratch buffer and texture slots, allocated once per process.
  static std::vector<uint8_t> scratch(64u * 1024u * 1024u);
  static sgl_texture_slot slots[kTextureSlotCount];
  const uint32_t width = kDisplayWidth, height = kDisplayHeight;
  return sgl_parameters{width,   height, scratch.data(), 1024, 1024, slots, kTextureSlotCount,
                        nullptr, 0};
}

void SglTest::ExpectOnlyError(uint32_t code, uint32_t value) {
  const sgl_error_log& log = Context().errors;
  ASSERT_EQ(1u, log.count);
  EXPECT_EQ(code, log.entries[0].code);
  EXPECT_EQ(value, log.entries[0].value);
}

sgl_error_entry SglTest::LastError() {
  const sgl_error_log& log = Context().errors;
  return log.count == 0 ? sgl_error_entry{0, 0} : log.entries[log.count - 1];
}

void SglTest::SetUp() {
  ASSERT_TRUE(MakeOffscreenGlCurrent()) << "no off-screen OpenGL context";
  sgl_parameters parameters = HostParameters();
  ASSERT_TRUE(sglInit(&Context(), &parameters));
  sglViewport(0, 0, kDisplayWidth, kDisplayHeight);
  sglOrtho(0.0f, static_cast<float>(kDisplayWidth), 0.0f, static_cast<float>(kDisplayHeight));
  ClearDisplay();
  TakeGlError();
}

void SglTest::TearDown() {
  if (!HasFailure()) return;
  char executable[4096] = {};
  if (readlink("/proc/self/exe", executable, sizeof executable - 1) <= 0) return;
  std::string directory(executable);
  directory = directory.substr(0, directory.rfind('/')) + "/failure_images";
  mkdir(directory.c_str(), 0755);
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string file = std::string(info->test_suite_name()) + "." + info->name() + ".ppm";
  std::replace(file.begin(), file.end(), '/', '_');  // parameterised tests carry '/'
  const std::string path = directory + "/" + file;
  if (DumpFramebuffer(path.c_str())) std::printf("framebuffer written to %s\n", path.c_str());
}

}  // namespace velkor_test
