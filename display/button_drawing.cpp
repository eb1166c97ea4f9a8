#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/button_drawing_internal.h"
#include "graphics/sgl.h"

namespace {

void draw_shape(float x, float y, float w, float h, float radius, uint32_t style, int32_t fill,
                int32_t line, int32_t texture, uint32_t alpha, uint32_t masks, uint32_t pass) {
  sglSetActiveMasks(masks);
  Velkor_FrameShape shape;
  Velkor_FrameShape_init(&shape);
  shape.width = w;
  shape.height = h;
  shape.cornerStyle = style;
  shape.radius = radius;
  shape.fillColor = fill;
  shape.lineColor = line;
  shape.texture = texture;
  shape.fillTransparency = alpha;
  shape.pass = pass;
  sglPushMatrixAndTranslate(x, y);
  Velkor_FrameShape_draw(&shape, pass);
  sglPopMatrixAndTranslate();
}

}  // namespace

void Velkor_ComputeButtonColors(uint32_t scheme, uint8_t focused, int32_t faceOverride,
                                int32_t labelOverride, uint32_t pass, Velkor_ButtonColors* colors) {
  Velkor_ColorBase base;
  Velkor_ColorBase_init(&base);
  base.colorScheme = scheme;
  base.pass = pass;
  Velkor_ColorBase_draw(&base, pass);
  colors->base = base.base;
  colors->frame = base.base + (focused ? kVelkorColorFrameFocused : kVelkorColorFrame);
  colors->bevel = base.base + kVelkorColorBevel;
  colors->face = faceOverride >= 0 ? faceOverride : base.base + kVelkorColorBevel;
  colors->pressedFace =
      base.base + (faceOverride >= 0 ? kVelkorColorPressedFace : kVelkorColorFrame);
  colors->label = labelOverride >= 0 ? labelOverride : base.base + kVelkorColorLabel;
}

void Velkor_DrawButtonLook(const Velkor_ButtonLook* look, uint32_t masks, uint32_t pass) {
  const float w = look->width;
  const float h = look->height;
  const Velkor_ButtonColors& c = look->colors;
  // Outer frame, bevel, face.
  draw_shape(0.0f, 0.0f, w, h, 8.0f, look->frameStyle, c.frame, c.frame, kVelkorNoTexture, 255,
             masks, pass);
  draw_shape(3.4f, 3.4f, w - 6.8f, h - 6.8f, 4.6f, look->frameStyle, c.bevel, c.bevel,
             kVelkorNoTexture, 255, masks, pass);
  draw_shape(4.0f, 4.0f, w - 8.0f, h - 8.0f, 4.0f, look->frameStyle, c.face, c.bevel,
             kVelkorNoTexture, 255, masks, pass);
  if (look->pressedLayer) {
    // A coloured face keeps showing through its shading.
    const uint32_t alpha = look->faceOverride < 1 ? 255 : 64;
    draw_shape(4.0f, 4.0f, w - 8.0f, h - 8.0f, 4.0f, look->frameStyle, c.pressedFace,
               kVelkorColorNone, look->down ? kVelkorPressedTexture : kVelkorRaisedTexture, alpha,
               masks, pass);
  }
  sglSetActiveMasks(masks);
  Velkor_ClippedLabel label;
  Velkor_ClippedLabel_init(&label);
  label.width = w - 10.0f;
  label.height = h;
  label.text = look->label;
  label.font = look->font;
  label.color = c.label;
  label.alignment = look->alignment;
  label.pass = pass;
  sglPushMatrixAndTranslate(5.0f, 0.0f);
  Velkor_ClippedLabel_draw(&label, pass);
  sglPopMatrixAndTranslate();
  if (!look->enabled) {
    draw_shape(0.0f, 0.0f, w, h, 8.0f, look->frameStyle, c.base + kVelkorColorGreyed,
               kVelkorColorNone, kVelkorNoTexture, 255, masks, pass);
  }
}
