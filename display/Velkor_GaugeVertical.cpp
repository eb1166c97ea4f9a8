#include "display/Velkor_GaugeVertical.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

Velkor_GaugeVertical* Velkor_GaugeVertical_alloc() {
  return static_cast<Velkor_GaugeVertical*>(std::calloc(1, sizeof(Velkor_GaugeVertical)));
}

void Velkor_GaugeVertical_free(Velkor_GaugeVertical* gauge) {
  std::free(gauge);
}

void Velkor_GaugeVertical_init(Velkor_GaugeVertical* gauge) {
  *gauge = Velkor_GaugeVertical{};
  gauge->width = 14.0f;
  gauge->height = 120.0f;
  gauge->enabled = 1;
  gauge->frameStyle = kVelkorCornerSquare;
  gauge->faceColor = kVelkorFromScheme;
  gauge->maximum = 1.0f;
  Velkor_Scale_init(&gauge->scale);
  gauge->scale.labelled = 0;
  Velkor_Graduation_element_init(&gauge->tick);
}

void Velkor_GaugeVertical_predraw(Velkor_GaugeVertical* gauge) {
  Velkor_ClearDrawnRect(&gauge->drawnRect);
  Velkor_Scale_predraw(&gauge->scale);
  Velkor_Graduation_element_predraw(&gauge->tick);
}

void Velkor_GaugeVertical_draw(Velkor_GaugeVertical* gauge, uint32_t pass) {
  if (pass != gauge->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(gauge->width, gauge->height, &gauge->drawnRect);
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = gauge->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  gauge->baseColor = colours.base;
  gauge->frameColor = colours.base + kVelkorColorLabel;
  gauge->backColor = colours.base + kVelkorColorFrame;
  gauge->barColor = gauge->faceColor >= 0 ? gauge->faceColor : colours.base + kVelkorColorAccent;
  if (!gauge->enabled) gauge->barColor = colours.base + kVelkorColorLabel;
  gauge->fraction = Velkor_RangeFraction(gauge->value, gauge->minimum, gauge->maximum);
  gauge->scale.minimum = gauge->minimum;
  gauge->scale.maximum = gauge->maximum;
  Velkor_DrawGaugeBar(masks, pass, true, gauge->width, gauge->height, gauge->fraction,
                      gauge->backColor, gauge->frameColor, gauge->barColor, gauge->frameStyle,
                      &gauge->scale, &gauge->tick);
}
