#include "display/Velkor_SliderThumb.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

namespace {
constexpr int32_t kPressedTexture = 240;
constexpr int32_t kReleasedTexture = 247;
}  // namespace

Velkor_SliderThumb* Velkor_SliderThumb_alloc() {
  return static_cast<Velkor_SliderThumb*>(std::calloc(1, sizeof(Velkor_SliderThumb)));
}

void Velkor_SliderThumb_free(Velkor_SliderThumb* thumb) {
  std::free(thumb);
}

void Velkor_SliderThumb_init(Velkor_SliderThumb* thumb) {
  *thumb = Velkor_SliderThumb{};
  thumb->width = 14.0f;
  thumb->height = 24.0f;
  thumb->enabled = 1;
  thumb->frameStyle = kVelkorCornerRound;
  thumb->faceColor = kVelkorFromScheme;
}

void Velkor_SliderThumb_predraw(Velkor_SliderThumb* thumb) {
  Velkor_ClearDrawnRect(&thumb->drawnRect);
}

void Velkor_SliderThumb_draw(Velkor_SliderThumb* thumb, uint32_t pass) {
  if (pass != thumb->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(thumb->width, thumb->height, &thumb->drawnRect);
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = thumb->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  thumb->fillColor = thumb->faceColor >= 0 ? thumb->faceColor : colours.base + kVelkorColorAccent;
  if (!thumb->enabled) thumb->fillColor = colours.base + kVelkorColorFrame;
  thumb->frameColor =
      colours.base + (thumb->focused ? kVelkorColorFrameFocused : kVelkorColorAccentDark);
  const float radius = (thumb->width < thumb->height ? thumb->width : thumb->height) / 3.0f;
  Velkor_FrameShape shape;
  Velkor_FrameShape_init(&shape);
  shape.width = thumb->width;
  shape.height = thumb->height;
  shape.fillColor = thumb->fillColor;
  shape.lineColor = thumb->frameColor;
  shape.cornerStyle = thumb->frameStyle;
  shape.radius = radius;
  shape.texture = thumb->pressed ? kPressedTexture : kReleasedTexture;
  shape.fillTransparency = 255;
  shape.lineTransparency = 255;
  shape.lineWidth = 0;
  Velkor_DrawFrameShape(masks, pass, 0.0f, 0.0f, shape);
  sglSetActiveMasks(masks);
}
