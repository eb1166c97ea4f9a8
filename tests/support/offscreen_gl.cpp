// The off-screen OpenGL context and the framebuffer dump, without GoogleTest.
#include "tests/support/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <vector>

namespace velkor_test {

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLSurface surface = EGL_NO_SURFACE;
EGLContext context = EGL_NO_CONTEXT;

bool fail(const char* what) {
  std::fprintf(stderr, "offscreen_gl: %s (EGL error 0x%x)\n", what, eglGetError());
  return false;
}

bool create_offscreen_gl() {
  auto get_platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (get_platform_display == nullptr) return fail("eglGetPlatformDisplayEXT is missing");
  display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
    return fail("no surfaceless EGL display");
  }
  if (!eglBindAPI(EGL_OPENGL_API)) return fail("desktop OpenGL is not available through EGL");
  // clang-format off
  const EGLint config_attributes[] = {
      EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
      EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
      EGL_DEPTH_SIZE, 16, EGL_STENCIL_SIZE, 8, EGL_NONE};
  // clang-format on
  EGLConfig config = nullptr;
  EGLint config_count = 0;
  if (!eglChooseConfig(display, config_attributes, &config, 1, &config_count) || config_count < 1) {
    return fail("no RGBA8 config with depth and stencil");
  }
  const EGLint surface_attributes[] = {EGL_WIDTH, kDisplayWidth, EGL_HEIGHT, kDisplayHeight,
                                       EGL_NONE};
  surface = eglCreatePbufferSurface(display, config, surface_attributes);
  // No context attributes: a compatibility context, which keeps the
  // fixed-function pipeline.
  context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT) {
    return fail("cannot create the pbuffer or the OpenGL context");
  }
  return true;
}

}  // namespace

bool MakeOffscreenGlCurrent() {
  static const bool ready = create_offscreen_gl();
  if (!ready) return false;
  if (eglGetCurrentContext() != context && !eglMakeCurrent(display, surface, surface, context)) {
    return fail("cannot make the context current");
  }
  return true;
}

bool DumpFramebuffer(const char* path) {
  std::vector<uint8_t> pixels(static_cast<size_t>(kDisplayWidth) * kDisplayHeight * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kDisplayWidth, kDisplayHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", kDisplayWidth, kDisplayHeight);
  std::vector<uint8_t> row(static_cast<size_t>(kDisplayWidth) * 3);
  for (int y = kDisplayHeight - 1; y >= 0; y--) {  // PPM starts with the top row
    const uint8_t* source = &pixels[static_cast<size_t>(y) * kDisplayWidth * 4];
    for (int i = 0; i < kDisplayWidth * 3; i++) row[i] = source[i / 3 * 4 + i % 3];
    std::fwrite(row.data(), 1, row.size(), file);
  }
  return std::fclose(file) == 0;
}

}  // namespace velkor_test
