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

// A context of one API on its own pbuffer.
struct OffscreenContext {
  EGLSurface surface = EGL_NO_SURFACE;
  EGLContext context = EGL_NO_CONTEXT;
};
OffscreenContext gl;
OffscreenContext es2;

bool fail(const char* what) {
  std::fprintf(stderr, "offscreen_gl: %s (EGL error 0x%x)\n", what, eglGetError());
  return false;
}

bool open_display() {
  if (display != EGL_NO_DISPLAY) return true;
  auto get_platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (get_platform_display == nullptr) return fail("eglGetPlatformDisplayEXT is missing");
  display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
    display = EGL_NO_DISPLAY;
    return fail("no surfaceless EGL display");
  }
  return true;
}

// es: an OpenGL ES 2 context, else desktop OpenGL with the compatibility
// profile, which keeps the fixed-function pipeline.
bool create(bool es, OffscreenContext* out) {
  if (!open_display()) return false;
  if (!eglBindAPI(es ? EGL_OPENGL_ES_API : EGL_OPENGL_API)) {
    return fail(es ? "OpenGL ES is not available through EGL"
                   : "desktop OpenGL is not available through EGL");
  }
  // clang-format off
  const EGLint config_attributes[] = {
      EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
      EGL_RENDERABLE_TYPE, es ? EGL_OPENGL_ES2_BIT : EGL_OPENGL_BIT,
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
  out->surface = eglCreatePbufferSurface(display, config, surface_attributes);
  const EGLint es2_attributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  out->context = eglCreateContext(display, config, EGL_NO_CONTEXT, es ? es2_attributes : nullptr);
  if (out->surface == EGL_NO_SURFACE || out->context == EGL_NO_CONTEXT) {
    return fail("cannot create the pbuffer or the OpenGL context");
  }
  return true;
}

bool make_current(const OffscreenContext& c) {
  if (eglGetCurrentContext() != c.context &&
      !eglMakeCurrent(display, c.surface, c.surface, c.context)) {
    return fail("cannot make the context current");
  }
  return true;
}

}  // namespace

bool MakeOffscreenGlCurrent() {
  static const bool ready = create(false, &gl);
  return ready && make_current(gl);
}

bool MakeOffscreenEs2Current() {
  static const bool ready = create(true, &es2);
  return ready && make_current(es2);
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
