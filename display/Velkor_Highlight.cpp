#include "display/Velkor_Highlight.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "graphics/sgl.h"

namespace {

// One quarter of the box, (x0, y0) its corner at the box's centre: the
// texture's bright lower-left corner goes there.
void textured_quarter(float x0, float y0, float x1, float y1) {
  const float xs[2] = {x0, x1};
  const float ys[2] = {y0, y1};
  sglFormatTexture(2, xs, ys, 1.0f, 1.0f, 0, 0);
  sglBegin(5);
  sglTexVertex4f(x0, y0, 0.0f, 0.0f);
  sglTexVertex4f(x1, y0, 1.0f, 0.0f);
  sglTexVertex4f(x1, y1, 1.0f, 1.0f);
  sglTexVertex4f(x0, y1, 0.0f, 1.0f);
  sglEnd();
}

}  // namespace

Velkor_Highlight* Velkor_Highlight_alloc() {
  return static_cast<Velkor_Highlight*>(std::calloc(1, sizeof(Velkor_Highlight)));
}

void Velkor_Highlight_free(Velkor_Highlight* highlight) {
  std::free(highlight);
}

void Velkor_Highlight_init(Velkor_Highlight* highlight) {
  *highlight = Velkor_Highlight{};
  highlight->width = 100.0f;
  highlight->height = 30.0f;
  highlight->color = kVelkorColorSchemeFirst + kVelkorColorAccentLight;
  highlight->transparency = 255;
  highlight->texture = kVelkorHighlightTexture;
}

void Velkor_Highlight_predraw(Velkor_Highlight* highlight) {
  Velkor_ClearDrawnRect(&highlight->drawnRect);
}

void Velkor_Highlight_draw(Velkor_Highlight* highlight, uint32_t pass) {
  if (pass != highlight->pass) return;
  Velkor_RecordDrawnRect(highlight->width, highlight->height, &highlight->drawnRect);
  if (highlight->color < 0 || !(highlight->width > 0.0f) || !(highlight->height > 0.0f)) return;
  const float w = highlight->width;
  const float h = highlight->height;
  sglIndexColori(highlight->color);
  sglTransparency8(highlight->transparency > 255 ? 255 : highlight->transparency);
  if (highlight->texture < 0) {
    sglBegin(5);
    sglVertex2f(0.0f, 0.0f);
    sglVertex2f(w, 0.0f);
    sglVertex2f(w, h);
    sglVertex2f(0.0f, h);
    sglEnd();
  } else {
    sglBindTexture(SGL_TEXTURE_FILL, static_cast<uint32_t>(highlight->texture));
    sglEnable(SGL_TEXTURE_FILL);
    sglEnable(SGL_TEXTURE_MODULATE);
    const float cx = w / 2.0f;
    const float cy = h / 2.0f;
    // Each quarter runs from the centre outwards, so the shading mirrors.
    textured_quarter(cx, cy, w, h);
    textured_quarter(cx, cy, 0.0f, h);
    textured_quarter(cx, cy, 0.0f, 0.0f);
    textured_quarter(cx, cy, w, 0.0f);
    sglDisable(SGL_TEXTURE_MODULATE);
    sglDisable(SGL_TEXTURE_FILL);
  }
  sglTransparency8(255);
}
