// Off-screen mode (an EGL pbuffer on Mesa's surfaceless platform, no display
// needed), the pixel cache of the last frame and the BMP snapshot.
#include "host/host_files.h"
#include "host/host_internal.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void put_little_endian(uint8_t* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

// An OpenGL context (OpenGL 1.x compatibility, or ES 2 for the ES 2
// renderer) with 8-bit RGBA, a depth buffer and 8 stencil bits on a pbuffer
// of the native size.
bool create_egl_context(Application* app) {
#ifdef __EMSCRIPTEN__
  // A browser has no off-screen EGL buffer: the page draws into its canvas.
  (void)app;
  return false;
#else
  const bool es2 = app->params->renderer == kApplicationRendererEs2;
  EGLDisplay display =
      eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) return false;
  EGLint major = 0;
  EGLint minor = 0;
  if (eglInitialize(display, &major, &minor) != EGL_TRUE) return false;
  if (eglBindAPI(es2 ? EGL_OPENGL_ES_API : EGL_OPENGL_API) != EGL_TRUE) return false;
  const EGLint config_attributes[] = {EGL_SURFACE_TYPE,
                                      EGL_PBUFFER_BIT,
                                      EGL_RENDERABLE_TYPE,
                                      es2 ? EGL_OPENGL_ES2_BIT : EGL_OPENGL_BIT,
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
                                      EGL_NONE};
  EGLConfig config = nullptr;
  EGLint found = 0;
  if (eglChooseConfig(display, config_attributes, &config, 1, &found) != EGL_TRUE || found < 1)
    return false;
  const EGLint surface_attributes[] = {EGL_WIDTH, static_cast<EGLint>(app->params->width),
                                       EGL_HEIGHT, static_cast<EGLint>(app->params->height),
                                       EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, surface_attributes);
  if (surface == EGL_NO_SURFACE) return false;
  const EGLint es2_attributes[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  EGLContext context =
      eglCreateContext(display, config, EGL_NO_CONTEXT, es2 ? es2_attributes : nullptr);
  if (context == EGL_NO_CONTEXT) {
    eglDestroySurface(display, surface);
    return false;
  }
  if (eglMakeCurrent(display, surface, surface, context) != EGL_TRUE) {
    eglDestroyContext(display, context);
    eglDestroySurface(display, surface);
    return false;
  }
  app->egl_display = display;
  app->egl_surface = surface;
  app->egl_context = context;
  return true;
#endif
}

bool SetupBuffer(Application* app) {
  const ApplicationParams* params = app->params;
  if (!AllocatePixelCache(app, static_cast<int32_t>(params->width),
                          static_cast<int32_t>(params->height))) {
    return false;
  }
  if (!create_egl_context(app)) return false;
  app->keeps_last_image = 1;  // a pbuffer is never swapped
  return InitializeGraphics(app);
}

}  // namespace

bool AllocatePixelCache(Application* app, int32_t width, int32_t height) {
  if (app == nullptr || width <= 0 || height <= 0) return false;
  free(app->pixel_cache);
  free(app->flipped_image);
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  app->pixel_cache = static_cast<uint8_t*>(calloc(1, bytes));
  app->flipped_image = static_cast<uint8_t*>(calloc(1, bytes));
  if (app->pixel_cache == nullptr || app->flipped_image == nullptr) return false;
  app->pixel_cache_bytes = bytes;
  app->pixel_cache_width = width;
  app->pixel_cache_height = height;
  return true;
}

uint8_t* Application_CreateBuffer(Application* app) {
  if (app == nullptr || app->egl_surface != nullptr || app->window.load() != nullptr)
    return nullptr;
  app->parent = nullptr;
  Application_UseNativeGeometry(app);
  std::lock_guard<std::mutex> lock(app->buffer_mutex);
  if (!SetupBuffer(app)) {
    fprintf(stderr, "cannot create off-screen buffer.\n");
    Application_ReleaseBuffer(app);
    return nullptr;
  }
  return app->flipped_image;
}

bool Application_SetBufferViewport(Application* app, int32_t width, int32_t height) {
  if (app == nullptr || app->egl_surface == nullptr || width <= 0 || height <= 0 ||
      width > static_cast<int32_t>(app->params->width) ||
      height > static_cast<int32_t>(app->params->height)) {
    return false;
  }
  app->client_rect[2] = width;
  app->client_rect[3] = height;
  return true;
}

void Application_ReleaseBuffer(Application* app) {
  if (app == nullptr) return;
  if (app->egl_display != nullptr) {
    if (app->egl_context != nullptr) ReleaseGraphics(app);
    EGLDisplay display = static_cast<EGLDisplay>(app->egl_display);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (app->egl_context != nullptr)
      eglDestroyContext(display, static_cast<EGLContext>(app->egl_context));
    if (app->egl_surface != nullptr)
      eglDestroySurface(display, static_cast<EGLSurface>(app->egl_surface));
    // The surfaceless display is one per process and may serve other
    // contexts too, so it stays initialised.
  }
  app->egl_display = nullptr;
  app->egl_surface = nullptr;
  app->egl_context = nullptr;
  free(app->pixel_cache);
  free(app->flipped_image);
  app->pixel_cache = nullptr;
  app->flipped_image = nullptr;
  app->pixel_cache_bytes = 0;
}

namespace {

// A damage rectangle cut to the cache's width x height; false when nothing
// of it is left.
bool clip_to_cache(const sgl_pixel_rect& rect, int32_t width, int32_t height, int32_t out[4]) {
  const int32_t x0 = rect.x > 0 ? rect.x : 0;
  const int32_t y0 = rect.y > 0 ? rect.y : 0;
  const int32_t x1 = rect.x + rect.width < width ? rect.x + rect.width : width;
  const int32_t y1 = rect.y + rect.height < height ? rect.y + rect.height : height;
  if (x1 <= x0 || y1 <= y0) return false;
  out[0] = x0;
  out[1] = y0;
  out[2] = x1 - x0;
  out[3] = y1 - y0;
  return true;
}

}  // namespace

void FillPixelCache(Application* app) {
  app->read_damage = nullptr;
  if (app->pixel_cache == nullptr) return;
  const int32_t width = app->client_rect[2];
  const int32_t height = app->client_rect[3];
  if (width <= 0 || height <= 0 ||
      static_cast<size_t>(width) * static_cast<size_t>(height) * 4 > app->pixel_cache_bytes) {
    return;
  }
  // A partial frame changed only its rectangles; the rest of the cache
  // holds the last frame, when it is of this size.
  const sgl_frame_damage* damage = sglGetFrameDamage();
  const bool partial =
      !damage->whole && app->pixel_cache_width == width && app->pixel_cache_height == height;
  app->pixel_cache_width = width;
  app->pixel_cache_height = height;
  if (!partial) {
    sglReadPixels(0, 0, width, height, width, app->pixel_cache);
    return;
  }
  app->read_damage = damage;
  for (uint32_t i = 0; i < damage->count; ++i) {
    int32_t r[4];
    if (!clip_to_cache(damage->rects[i], width, height, r)) continue;
    // Each rectangle lands where it lies in the cache, rows `width` apart.
    uint8_t* at = app->pixel_cache + (static_cast<size_t>(r[1]) * width + r[0]) * 4;
    sglReadPixels(r[0], r[1], r[2], r[3], width, at);
  }
}

void FlipPixelCache(Application* app) {
  // The flipped image is the off-screen mode's product: rows top-down.
  if (app->egl_surface == nullptr || app->pixel_cache == nullptr || app->flipped_image == nullptr)
    return;
  const size_t row = static_cast<size_t>(app->pixel_cache_width) * 4;
  const int32_t width = app->pixel_cache_width;
  const int32_t height = app->pixel_cache_height;
  const sgl_frame_damage* damage = app->read_damage;
  if (damage == nullptr) {
    for (int32_t y = 0; y < height; ++y) {
      memcpy(app->flipped_image + static_cast<size_t>(height - 1 - y) * row,
             app->pixel_cache + static_cast<size_t>(y) * row, row);
    }
    return;
  }
  // Only what was read back changed.
  for (uint32_t i = 0; i < damage->count; ++i) {
    int32_t r[4];
    if (!clip_to_cache(damage->rects[i], width, height, r)) continue;
    const size_t left = static_cast<size_t>(r[0]) * 4;
    const size_t bytes = static_cast<size_t>(r[2]) * 4;
    for (int32_t y = r[1]; y < r[1] + r[3]; ++y) {
      memcpy(app->flipped_image + static_cast<size_t>(height - 1 - y) * row + left,
             app->pixel_cache + static_cast<size_t>(y) * row + left, bytes);
    }
  }
}

void DrawPixelCache(Application* app) {
  if (app == nullptr || app->pixel_cache == nullptr || app->pixel_cache_width <= 0 ||
      app->pixel_cache_height <= 0) {
    return;
  }
  const int32_t width = app->client_rect[2];
  const int32_t height = app->client_rect[3];
  if (width <= 0 || height <= 0) return;
  // Drawn over whatever the last frame left (stretched, perhaps into a back
  // buffer that held another frame): the next frame must be sent in full.
  sglInvalidateFrame();
  // Plain pixels, the drawing library's state kept (its renderer knows how).
  sglDrawPixels(app->pixel_cache_width, app->pixel_cache_height, app->pixel_cache, width, height);
}

void Application_DeletePixelCache(Application* app) {
  if (app == nullptr) return;
  free(app->pixel_cache);
  app->pixel_cache = nullptr;
}

bool Application_WriteBmp(const char* path, const uint8_t* bgra, int32_t width, int32_t height) {
  if (path == nullptr || bgra == nullptr || width <= 0 || height <= 0) return false;
  // Rows of a 24-bit BMP are padded to whole 32-bit words: 3w + (w mod 4)
  // is always a multiple of 4.
  const uint32_t pad = static_cast<uint32_t>(width) % 4;
  const uint32_t row_bytes = 3 * static_cast<uint32_t>(width) + pad;
  const uint64_t image_size = static_cast<uint64_t>(row_bytes) * static_cast<uint32_t>(height);
  if (image_size + 54 > 0xFFFFFFFFull) return false;
  uint8_t header[54] = {};
  header[0] = 'B';
  header[1] = 'M';
  put_little_endian(header + 2, static_cast<uint32_t>(image_size + 54), 4);
  put_little_endian(header + 10, 54, 4);
  put_little_endian(header + 14, 40, 4);
  put_little_endian(header + 18, static_cast<uint32_t>(width), 4);
  put_little_endian(header + 22, static_cast<uint32_t>(height), 4);  // positive: rows bottom-up
  put_little_endian(header + 26, 1, 2);
  put_little_endian(header + 28, 24, 2);
  put_little_endian(header + 34, static_cast<uint32_t>(image_size), 4);
  ApplicationOutput output;
  if (!Application_BeginFileOutput(path, &output)) return false;
  FILE* file = output.file;
  bool ok = fwrite(header, 1, sizeof header, file) == sizeof header;
  // One row at a time through a small buffer; a row of 4096 pixels or less
  // fits, wider rows go out in pieces.
  uint8_t buffer[3 * 4096 + 3];
  for (int32_t y = 0; ok && y < height; ++y) {
    const uint8_t* source = bgra + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
    for (int32_t x0 = 0; ok && x0 < width; x0 += 4096) {
      const int32_t count = width - x0 < 4096 ? width - x0 : 4096;
      for (int32_t x = 0; x < count; ++x) memcpy(buffer + 3 * x, source + 4 * (x0 + x), 3);
      size_t length = static_cast<size_t>(count) * 3;
      if (x0 + count == width) {
        memset(buffer + length, 0, pad);
        length += pad;
      }
      ok = fwrite(buffer, 1, length, file) == length;
    }
  }
  return Application_EndFileOutput(&output, ok);
}

int Application_TakeSnapshot(Application* app, const char* path) {
  if (app == nullptr || app->pixel_cache == nullptr) return 0;
  return Application_WriteBmp(path, app->pixel_cache, app->pixel_cache_width,
                              app->pixel_cache_height)
             ? 1
             : 0;
}
