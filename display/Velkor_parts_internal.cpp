#include "display/Velkor_parts_internal.h"

#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_Scale.h"
#include "graphics/sgl.h"

void Velkor_DrawFrameShape(uint32_t masks, uint32_t pass, float x, float y,
                           const Velkor_FrameShape& shape) {
  sglSetActiveMasks(masks);
  Velkor_FrameShape scratch = shape;
  scratch.pass = pass;
  sglPushMatrixAndTranslate(x, y);
  Velkor_FrameShape_draw(&scratch, pass);
  sglPopMatrixAndTranslate();
}

void Velkor_DrawFrame(uint32_t masks, uint32_t pass, float x, float y, float width, float height,
                      int32_t fill, int32_t line, uint32_t cornerStyle, float radius) {
  Velkor_FrameShape shape;
  Velkor_FrameShape_init(&shape);
  shape.width = width;
  shape.height = height;
  shape.fillColor = fill;
  shape.lineColor = line;
  shape.cornerStyle = cornerStyle;
  shape.radius = radius;
  shape.texture = kVelkorNoTexture;
  shape.fillTransparency = 255;
  shape.lineTransparency = 255;
  shape.lineWidth = 0;
  Velkor_DrawFrameShape(masks, pass, x, y, shape);
}

void Velkor_DrawLabel(uint32_t masks, uint32_t pass, float x, float y, float width, float height,
                      const char* text, int32_t font, int32_t color, uint32_t alignment) {
  sglSetActiveMasks(masks);
  Velkor_ClippedLabel label;
  Velkor_ClippedLabel_init(&label);
  label.width = width;
  label.height = height;
  label.text = text;
  label.font = font;
  label.color = color;
  label.alignment = alignment;
  label.pass = pass;
  sglPushMatrixAndTranslate(x, y);
  Velkor_ClippedLabel_draw(&label, pass);
  sglPopMatrixAndTranslate();
}

void Velkor_DrawLine(uint32_t masks, float x0, float y0, float x1, float y1, int32_t color,
                     int32_t lineWidth) {
  sglSetActiveMasks(masks);
  sglIndexColori(color);
  sglIndexLineWidthi(lineWidth);
  sglBegin(SGL_PRIMITIVE_SEGMENTS);
  sglVertex2f(x0, y0);
  sglVertex2f(x1, y1);
  sglEnd();
}

void Velkor_DrawTriangle(uint32_t masks, float x0, float y0, float x1, float y1, float x2, float y2,
                         int32_t color) {
  sglSetActiveMasks(masks);
  sglIndexColori(color);
  sglTransparency8(255);
  sglBegin(5);  // filled polygon
  sglVertex2f(x0, y0);
  sglVertex2f(x1, y1);
  sglVertex2f(x2, y2);
  sglEnd();
}

float Velkor_Clamp(float v, float lo, float hi) {
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return v;
}

float Velkor_RangeFraction(float value, float minimum, float maximum) {
  if (!(maximum > minimum)) maximum = minimum + 10.0f;
  const float f = (value - minimum) / (maximum - minimum);
  if (!(f > 0.0f)) return 0.0f;  // also a value that is not a number
  return f > 1.0f ? 1.0f : f;
}

void Velkor_DrawGaugeBar(uint32_t masks, uint32_t pass, bool vertical, float width, float height,
                         float fraction, int32_t fill, int32_t frame, int32_t barColor,
                         uint32_t cornerStyle, Velkor_Scale* scale,
                         Velkor_Graduation_element* tick) {
  // Room for the labels of a labelled scale: the bar keeps 40 % of the box.
  const bool labelled = scale->labelled != 0;
  const float bar_w = vertical && labelled ? width * 0.4f : width;
  const float bar_h = !vertical && labelled ? height * 0.4f : height;
  const float bar_y = !vertical && labelled ? height - bar_h : 0.0f;
  const float radius = (vertical ? bar_w : bar_h) / 4.0f;
  Velkor_DrawFrame(masks, pass, 0.0f, bar_y, bar_w, bar_h, fill, -1, cornerStyle, radius);
  if (fraction > 0.0f) {
    const float w = vertical ? bar_w : bar_w * fraction;
    const float h = vertical ? bar_h * fraction : bar_h;
    Velkor_DrawFrame(masks, pass, 0.0f, bar_y, w, h, barColor, -1, 0, 0.0f);
  }
  Velkor_DrawFrame(masks, pass, 0.0f, bar_y, bar_w, bar_h, -1, frame, cornerStyle, radius);

  scale->pass = pass;
  scale->vertical = vertical ? 1 : 0;
  scale->width = vertical ? width - bar_w : width;
  scale->height = vertical ? height : height - bar_h;
  Velkor_Scale_graduate(scale);
  // Ticks inside the bar, from its lower (left) edge: major ones half across,
  // minor ones a quarter.
  tick->pass = pass;
  tick->vertical = vertical ? 1 : 0;
  tick->color = frame;
  const float across = vertical ? bar_w : bar_h;
  for (int pass_kind = 0; pass_kind < 2; ++pass_kind) {
    const bool major = pass_kind == 1;
    const int count = major ? SCALE_MAJOR_TICKS : SCALE_MINOR_TICKS;
    tick->length = across * (major ? 0.5f : 0.25f);
    for (int i = 0; i < count; ++i) {
      if (!(major ? scale->majorVisible[i] : scale->minorVisible[i])) continue;
      const float p = major ? scale->majorPositions[i] : scale->minorPositions[i];
      sglSetActiveMasks(masks);
      // A downward tick hangs from its origin: start it at the bar's top.
      if (vertical) {
        sglPushMatrixAndTranslate(0.0f, p);
      } else {
        sglPushMatrixAndTranslate(p, bar_y + tick->length);
      }
      Velkor_Graduation_element_draw(tick, pass);
      sglPopMatrixAndTranslate();
    }
  }
  if (labelled) {
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(vertical ? bar_w : 0.0f, 0.0f);
    Velkor_Scale_draw(scale, pass);
    sglPopMatrixAndTranslate();
  }
  sglSetActiveMasks(masks);
}
