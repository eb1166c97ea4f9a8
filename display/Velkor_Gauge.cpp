#include "display/Velkor_Gauge.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "graphics/sgl.h"

namespace {

// Both bars take the same parameters.
void draw_bar(Velkor_Gauge* gauge, Velkor_GaugeBar* bar, uint32_t pass) {
  bar->width = gauge->width;
  bar->height = gauge->height;
  bar->enabled = gauge->enabled;
  bar->frameStyle = gauge->frameStyle;
  bar->colorScheme = gauge->colorScheme;
  bar->faceColor = gauge->faceColor;
  bar->value = gauge->value;
  bar->minimum = gauge->minimum;
  bar->maximum = gauge->maximum;
  bar->scale.labelled = gauge->labelled;
  bar->pass = pass;
  Velkor_GaugeBar_draw(bar, pass);
  gauge->fraction = bar->fraction;
}

}  // namespace

Velkor_Gauge* Velkor_Gauge_alloc() {
  return static_cast<Velkor_Gauge*>(std::calloc(1, sizeof(Velkor_Gauge)));
}

void Velkor_Gauge_free(Velkor_Gauge* gauge) {
  std::free(gauge);
}

void Velkor_Gauge_init(Velkor_Gauge* gauge) {
  *gauge = Velkor_Gauge{};
  gauge->width = 162.0f;
  gauge->height = 10.0f;
  gauge->enabled = 1;
  gauge->frameStyle = kVelkorCornerSquare;
  gauge->faceColor = kVelkorFromScheme;
  gauge->maximum = 1.0f;
  Velkor_GaugeHorizontal_init(&gauge->horizontal);
  Velkor_GaugeVertical_init(&gauge->verticalGauge);
}

void Velkor_Gauge_predraw(Velkor_Gauge* gauge) {
  Velkor_ClearDrawnRect(&gauge->drawnRect);
  Velkor_GaugeHorizontal_predraw(&gauge->horizontal);
  Velkor_GaugeVertical_predraw(&gauge->verticalGauge);
}

void Velkor_Gauge_draw(Velkor_Gauge* gauge, uint32_t pass) {
  if (pass != gauge->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(gauge->width, gauge->height, &gauge->drawnRect);
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = gauge->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  gauge->baseColor = colours.base;
  sglSetActiveMasks(masks);
  if (gauge->vertical) {
    draw_bar(gauge, &gauge->verticalGauge, pass);
  } else {
    draw_bar(gauge, &gauge->horizontal, pass);
  }
  sglSetActiveMasks(masks);
}
