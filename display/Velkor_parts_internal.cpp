#include "display/Velkor_parts_internal.h"

#include "display/Velkor_ClippedLabel.h"
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
