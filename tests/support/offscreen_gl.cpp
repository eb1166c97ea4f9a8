// The off-screen OpenGL context and the framebuffer dump, without GoogleTest.
#include "tests/support/offscreen_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <vector>

namespace velkor_test {

namespace {

struct OffscreenGl {
  bool attempted = false;
  bool ready = false;
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLSurface surface = EGL_NO_SURFACE;
  EGLContext context = EGL_NO_CONTEXT;
};

OffscreenGl& shared_gl() {
  static OffscreenGl gl;
  return gl;
}

bool fail(const char* what) {
  std::fprintf(stderr, "offscreen_gl: %s (EGL error 0x%x)\n", what, eglGetError());
  return false;
}

bool create_offscreen_gl(OffscreenGl* gl) {
  auto get_platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (get_platform_display == nullptr) {
    return fail("eglGetPlatformDisplayEXT is missing");
  }
  gl->display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0;
  EGLint minor = 0;
  if (gl->display == EGL_NO_DISPLAY || !eglInitialize(gl->display, &major, &minor)) {
    return fail("no surfaceless EGL display");
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    return fail("desktop OpenGL is not available through EGL");
  }
  const EGLint config_attributes[] = {
      EGL_SURFACE_TYPE,
      EGL_PBUFFER_BIT,
      EGL_RENDERABLE_TYPE,
      EGL_OPENGL_BIT,
      EGL_RED_SIZE,
      8,
      EGL_GREEN_SIZE,
      8,
      EGL_BLUE_SIZE,
      8,
      EGL_ALPHA_SIZE,
      8,
      EGL_DEPTH_SIZE,
      16,
      EGL_STENCIL_SIZE,
      8,
      EGL_NONE,
  };
  EGLConfig config = nullptr;
  EGLint config_count = 0;
  if (!eglChooseConfig(gl->display, config_attributes, &config, 1, &config_count) ||
      config_count < 1) {
    return fail("no RGBA8 config with depth and stencil");
  }
  const EGLint surface_attributes[] = {EGL_WIDTH, kDisplayWidth, EGL_HEIGHT, kDisplayHeight,
                                       EGL_NONE};
  gl->surface = eglCreatePbufferSurface(gl->display, config, surface_attributes);
  // No context attributes: a compatibility context, which keeps the
  // fixed-function pipeline.
  gl->context = eglCreateContext(gl->display, config, EGL_NO_CONTEXT, nullptr);
  if (gl->surface == EGL_NO_SURFACE || gl->context == EGL_NO_CONTEXT) {
    return fail("cannot create the pbuffer or the OpenGL context");
  }
  return true;
}

}  // namespace

bool MakeOffscreenGlCurrent() {
  OffscreenGl& gl = shared_gl();
  if (!gl.attempted) {
    gl.attempted = true;
    gl.ready = create_offscreen_gl(&gl);
  }
  if (!gl.ready) {
    return false;
  }
  if (eglGetCurrentContext() != gl.context &&
      !eglMakeCurrent(gl.display, gl.surface, gl.surface, gl.context)) {
    return fail("cannot make the context current");
  }
  return true;
}

bool DumpFramebuffer(const char* path) {
  std::vector<uint8_t> pixels(static_cast<size_t>(kDisplayWidth) * kDisplayHeight * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kDisplayWidth, kDisplayHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    return false;
  }
  std::fprintf(file, "P6\n%d %d\n255\n", kDisplayWidth, kDisplayHeight);
  std::vector<uint8_t> row(static_cast<size_t>(kDisplayWidth) * 3);
  for (int y = kDisplayHeight - 1; y >= 0; y--) {  // PPM starts with the top row
    const uint8_t* source = &pixels[static_cast<size_t>(y) * kDisplayWidth * 4];
    for (int x = 0; x < kDisplayWidth; x++) {
      row[3 * x] = source[4 * x];
      row[3 * x + 1] = source[4 * x + 1];
      row[3 * x + 2] = source[4 * x + 2];
    }
    std::fwrite(row.data(), 1, row.size(), file);
  }
  return std::fclose(file) == 0;
}

}  // namespace velkor_test
