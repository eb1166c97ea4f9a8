// Which renderer the library talks to, and the calls around a frame that
// every renderer answers (sgl_renderer.h). Without a context the desktop
// falls back on OpenGL 1.x.
#include "graphics/sgl_internal.h"
#include "graphics/sgl_renderer_internal.h"

const sgl_renderer* sgli_renderer() {
  const sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context != nullptr && context->renderer != nullptr) return context->renderer;
#ifdef __EMSCRIPTEN__
  // A browser has no OpenGL 1.x to fall back on: before sglInit (which its
  // host always calls with the ES 2 renderer) there is nothing to draw with.
  return nullptr;
#else
  return sgli_renderer_gl1();
#endif
}

const char* sglRendererName() {
  const sgl_renderer* r = sgli_renderer();
  return r != nullptr ? r->name : "none";
}

void sglReadPixels(int32_t x, int32_t y, int32_t width, int32_t height, int32_t row_pixels,
                   uint8_t* out_bgra) {
  if (out_bgra == nullptr || width <= 0 || height <= 0 || row_pixels < width) return;
  const sgl_renderer* r = sgli_renderer();
  if (r != nullptr) r->read_pixels(r->self, x, y, width, height, row_pixels, out_bgra);
}

void sglDrawPixels(int32_t width, int32_t height, const uint8_t* bgra, int32_t to_width,
                   int32_t to_height) {
  if (bgra == nullptr || width <= 0 || height <= 0 || to_width <= 0 || to_height <= 0) return;
  // What OpenGL shows is no longer the last frame sent.
  sglInvalidateFrame();
  const sgl_renderer* r = sgli_renderer();
  if (r != nullptr) r->draw_pixels(r->self, width, height, bgra, to_width, to_height);
}

void sglFlush() {
  const sgl_renderer* r = sgli_renderer();
  if (r != nullptr) r->flush(r->self);
}
