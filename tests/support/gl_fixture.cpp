// The drawing library's fixture, pixel probes and failure dumps.
#include "tests/support/gl_fixture.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/sgl_internal.h"

namespace velkor_test {

namespace {

// The host's scratch buffer and texture slots, allocated once per process.
uint8_t* ScratchBuffer() {
  static std::vector<uint8_t> buffer(64u * 1024u * 1024u);
  return buffer.data();
}

sgl_texture_slot* TextureSlots() {
  static sgl_texture_slot slots[kTextureSlotCount];
  return slots;
}

std::vector<uint8_t> ReadRectangle(int x, int y, int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  if (width > 0 && height > 0) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  }
  return pixels;
}

int Distance(uint8_t a, uint8_t b) {
  return a > b ? a - b : b - a;
}

std::string ExecutableDirectory() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (length <= 0) {
    return ".";
  }
  path[length] = '\0';
  char* slash = std::strrchr(path, '/');
  if (slash != nullptr) {
    *slash = '\0';
  }
  return path;
}

}  // namespace

Rgba ReadPixel(int x, int y) {
  std::vector<uint8_t> pixel = ReadRectangle(x, y, 1, 1);
  return Rgba{pixel[0], pixel[1], pixel[2], pixel[3]};
}

int CountCoveredPixels(int x, int y, int width, int height, int threshold) {
  std::vector<uint8_t> pixels = ReadRectangle(x, y, width, height);
  int covered = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    if (pixels[i] > threshold || pixels[i + 1] > threshold || pixels[i + 2] > threshold) {
      covered++;
    }
  }
  return covered;
}

int CountPixelsNear(int x, int y, int width, int height, Rgba colour, int tolerance) {
  std::vector<uint8_t> pixels = ReadRectangle(x, y, width, height);
  int near = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    if (Distance(pixels[i], colour.r) <= tolerance &&
        Distance(pixels[i + 1], colour.g) <= tolerance &&
        Distance(pixels[i + 2], colour.b) <= tolerance) {
      near++;
    }
  }
  return near;
}

void FillRectRaw(float x0, float y0, float x1, float y1, float red, float green, float blue) {
  sgliDisable(GL_TEXTURE_2D);
  sgliDisable(GL_BLEND);
  sgliColor4f(red, green, blue, 1.0f);
  glBegin(GL_QUADS);
  glVertex2f(x0, y0);
  glVertex2f(x1, y0);
  glVertex2f(x1, y1);
  glVertex2f(x0, y1);
  glEnd();
}

void FillQuad(float x0, float y0, float x1, float y1) {
  sglBegin(5);
  sglVertex2f(x0, y0);
  sglVertex2f(x1, y0);
  sglVertex2f(x1, y1);
  sglVertex2f(x0, y1);
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
  GLenum first = glGetError();
  for (GLenum more = first; more != GL_NO_ERROR; more = glGetError()) {
  }
  return first;
}

sgl_type_statemachine& SglTest::Context() {
  static sgl_type_statemachine context;
  return context;
}

sgl_parameters SglTest::HostParameters() {
  return sgl_parameters{static_cast<uint32_t>(kDisplayWidth),
                        static_cast<uint32_t>(kDisplayHeight),
                        ScratchBuffer(),
                        1024,
                        1024,
                        TextureSlots(),
                        kTextureSlotCount,
                        nullptr,
                        0};
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
  if (!HasFailure()) {
    return;
  }
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string directory = ExecutableDirectory() + "/failure_images";
  mkdir(directory.c_str(), 0755);
  // Parameterised tests carry '/' in their names.
  std::string file = std::string(info->test_suite_name()) + "." + info->name() + ".ppm";
  for (char& c : file) {
    if (c == '/') {
      c = '_';
    }
  }
  std::string path = directory + "/" + file;
  if (DumpFramebuffer(path.c_str())) {
    std::printf("framebuffer written to %s\n", path.c_str());
  }
}

}  // namespace velkor_test
