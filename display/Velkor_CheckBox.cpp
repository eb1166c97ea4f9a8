#include "display/Velkor_CheckBox.h"

#include <algorithm>
#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_RadioButton.h"
#include "graphics/sgl.h"

namespace {

// The tick as a filled band of two strokes, in a box of side 1.
constexpr float kTickXs[6] = {0.18f, 0.30f, 0.42f, 0.84f, 0.84f, 0.42f};
constexpr float kTickYs[6] = {0.52f, 0.62f, 0.44f, 0.84f, 0.68f, 0.24f};

void draw_tick(float w, float h, int32_t color) {
  sglIndexColori(color);
  sglEnable(SGL_TESSELLATION);  // the band is concave
  sglBegin(5);
  for (int i = 0; i < 6; ++i) sglVertex2f(kTickXs[i] * w, kTickYs[i] * h);
  sglEnd();
  sglDisable(SGL_TESSELLATION);
}

}  // namespace

Velkor_CheckBox* Velkor_CheckBox_alloc() {
  return static_cast<Velkor_CheckBox*>(std::calloc(1, sizeof(Velkor_CheckBox)));
}

void Velkor_CheckBox_free(Velkor_CheckBox* box) {
  std::free(box);
}

void Velkor_CheckBox_init(Velkor_CheckBox* box) {
  *box = Velkor_CheckBox{};
  box->width = kVelkorCheckBoxSide;
  box->height = kVelkorCheckBoxSide;
  box->enabled = 1;
  box->frameStyle = kVelkorDefaultFrameStyle;
}

void Velkor_CheckBox_predraw(Velkor_CheckBox* box) {
  Velkor_ClearDrawnRect(&box->drawnRect);
}

void Velkor_CheckBox_draw(Velkor_CheckBox* box, uint32_t pass) {
  if (pass != box->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(box->width, box->height, &box->drawnRect);
  const int32_t base = Velkor_SchemeBase(box->colorScheme, pass);
  const bool round = box->frameStyle == kVelkorCornerRoundEnds;

  Velkor_FrameShape shape;
  Velkor_FrameShape_init(&shape);
  shape.width = box->width;
  shape.height = box->height;
  shape.cornerStyle = box->frameStyle;
  shape.radius = 4.0f;
  shape.fillColor = base + (box->hover ? kVelkorColorAccentLight : kVelkorColorBevel);
  shape.lineColor = base + (box->focused ? kVelkorColorFrameFocused : kVelkorColorFrame);
  shape.lineWidth = 1;
  shape.pass = pass;
  Velkor_FrameShape_draw(&shape, pass);

  if (box->checked) {
    sglSetActiveMasks(masks);
    if (round) {
      Velkor_RadioButton dot;
      Velkor_RadioButton_init(&dot);
      const float side = std::min(box->width, box->height);
      dot.size = side * 0.6f;
      dot.checked = 1;
      dot.enabled = box->enabled;
      dot.fillColor = base + kVelkorColorAccent;
      dot.ringColor = base + kVelkorColorAccentDark;
      dot.dotColor = base + kVelkorColorAccentDark;
      dot.pass = pass;
      sglPushMatrixAndTranslate((box->width - dot.size) / 2.0f, (box->height - dot.size) / 2.0f);
      Velkor_RadioButton_draw(&dot, pass);
      sglPopMatrixAndTranslate();
    } else {
      draw_tick(box->width, box->height, base + kVelkorColorAccent);
    }
  }
  if (!box->enabled) {
    sglSetActiveMasks(masks);
    shape.fillColor = base + kVelkorColorGreyed;
    shape.lineColor = kVelkorColorNone;
    Velkor_FrameShape_draw(&shape, pass);
  }
}
