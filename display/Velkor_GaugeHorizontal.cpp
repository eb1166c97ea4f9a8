#include "display/Velkor_GaugeHorizontal.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

Velkor_GaugeHorizontal* Velkor_GaugeHorizontal_alloc() {
  return static_cast<Velkor_GaugeHorizontal*>(std::calloc(1, sizeof(Velkor_GaugeHorizontal)));
}

void Velkor_GaugeHorizontal_free(Velkor_GaugeHorizontal* gauge) {
  std::free(gauge);
}

void Velkor_GaugeHorizontal_init(Velkor_GaugeHorizontal* gauge) {
  *gauge = Velkor_GaugeHorizontal{};
  gauge->width = 162.0f;
  gauge->height = 10.0f;
  gauge->enabled = 1;
  gauge->frameStyle = kVelkorCornerSquare;
  gauge->faceColor = kVelkorFromScheme;
  gauge->maximum = 1.0f;
  Velkor_Scale_init(&gauge->scale);
  gauge->scale.labelled = 0;
  Velkor_Graduation_element_init(&gauge->tick);
}

void Velkor_GaugeHorizontal_predraw(Velkor_GaugeHorizontal* gauge) {
  Velkor_ClearDrawnRect(&gauge->drawnRect);
  Velkor_Scale_predraw(&gauge->scale);
  Velkor_Graduation_element_predraw(&gauge->tick);
}

void Velkor_GaugeHorizontal_draw(Velkor_GaugeHorizontal* gauge, uint32_t pass) {
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
  Velkor_DrawGaugeBar(masks, pass, false, gauge->width, gauge->height, gauge->fraction,
                      gauge->backColor, gauge->frameColor, gauge->barColor, gauge->frameStyle,
                      &gauge->scale, &gauge->tick);
}
