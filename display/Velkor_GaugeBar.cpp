#include "display/Velkor_GaugeBar.h"

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

namespace {

bool is_vertical(const Velkor_GaugeBar* gauge) {
  return gauge->orientation == kVelkorGaugeVertical;
}

// Stage 1: the colours of the scheme; a disabled gauge fills in the label colour.
void compute_colors(Velkor_GaugeBar* gauge, uint32_t pass) {
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
}

// Stage 2: the bar's ground, the filled part over it, the outline on top.
void draw_bar(const Velkor_GaugeBar* gauge, const Velkor_GaugeGeometry& g, uint32_t masks,
              uint32_t pass) {
  Velkor_DrawFrame(masks, pass, g.barX, g.barY, g.barWidth, g.barHeight, gauge->backColor, -1,
                   gauge->frameStyle, g.radius);
  if (gauge->fraction > 0.0f) {
    Velkor_DrawFrame(masks, pass, g.barX, g.barY, g.fillWidth, g.fillHeight, gauge->barColor, -1, 0,
                     0.0f);
  }
  Velkor_DrawFrame(masks, pass, g.barX, g.barY, g.barWidth, g.barHeight, -1, gauge->frameColor,
                   gauge->frameStyle, g.radius);
}

// Stage 3: the graduation of the range as ticks inside the bar, from its
// lower (left) edge: major ones half across, minor ones a quarter.
void draw_ticks(Velkor_GaugeBar* gauge, const Velkor_GaugeGeometry& g, uint32_t masks,
                uint32_t pass) {
  const bool vertical = is_vertical(gauge);
  Velkor_Scale* scale = &gauge->scale;
  Velkor_Graduation_element* tick = &gauge->tick;
  tick->pass = pass;
  tick->vertical = vertical ? 1 : 0;
  tick->color = gauge->frameColor;
  for (int kind = 0; kind < 2; ++kind) {
    const bool major = kind == 1;
    const int count = major ? SCALE_MAJOR_TICKS : SCALE_MINOR_TICKS;
    tick->length = g.across * (major ? 0.5f : 0.25f);
    for (int i = 0; i < count; ++i) {
      if (!(major ? scale->majorVisible[i] : scale->minorVisible[i])) continue;
      const float p = major ? scale->majorPositions[i] : scale->minorPositions[i];
      sglSetActiveMasks(masks);
      // A downward tick hangs from its origin: start it at the bar's top.
      if (vertical) {
        sglPushMatrixAndTranslate(g.barX, g.barY + p);
      } else {
        sglPushMatrixAndTranslate(g.barX + p, g.barY + tick->length);
      }
      Velkor_Graduation_element_draw(tick, pass);
      sglPopMatrixAndTranslate();
    }
  }
}

// Stage 4: the labelled scale beside the bar.
void draw_scale(Velkor_GaugeBar* gauge, const Velkor_GaugeGeometry& g, uint32_t masks,
                uint32_t pass) {
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(g.scaleX, 0.0f);
  Velkor_Scale_draw(&gauge->scale, pass);
  sglPopMatrixAndTranslate();
}

}  // namespace

Velkor_GaugeGeometry Velkor_GaugeBar_geometry(Velkor_GaugeOrientation orientation, float width,
                                              float height, bool labelled, float fraction) {
  const bool vertical = orientation == kVelkorGaugeVertical;
  Velkor_GaugeGeometry g{};
  // Room for the labels of a labelled scale: the bar keeps 40 % of the box
  // across, at the top of a lying gauge and at the left of a standing one.
  g.barWidth = vertical && labelled ? width * 0.4f : width;
  g.barHeight = !vertical && labelled ? height * 0.4f : height;
  g.barX = 0.0f;
  g.barY = !vertical && labelled ? height - g.barHeight : 0.0f;
  g.fillWidth = vertical ? g.barWidth : g.barWidth * fraction;
  g.fillHeight = vertical ? g.barHeight * fraction : g.barHeight;
  g.across = vertical ? g.barWidth : g.barHeight;
  g.radius = g.across / 4.0f;
  g.scaleX = vertical ? g.barWidth : 0.0f;
  g.scaleWidth = vertical ? width - g.barWidth : width;
  g.scaleHeight = vertical ? height : height - g.barHeight;
  return g;
}

void Velkor_GaugeBar_init(Velkor_GaugeBar* gauge, Velkor_GaugeOrientation orientation) {
  *gauge = Velkor_GaugeBar{};
  const bool standing = orientation == kVelkorGaugeVertical;
  gauge->width = standing ? 14.0f : 162.0f;
  gauge->height = standing ? 120.0f : 10.0f;
  gauge->enabled = 1;
  gauge->frameStyle = kVelkorCornerSquare;
  gauge->faceColor = kVelkorFromScheme;
  gauge->maximum = 1.0f;
  gauge->orientation = orientation;
  Velkor_Scale_init(&gauge->scale);
  gauge->scale.labelled = 0;
  Velkor_Graduation_element_init(&gauge->tick);
}

void Velkor_GaugeBar_predraw(Velkor_GaugeBar* gauge) {
  Velkor_ClearDrawnRect(&gauge->drawnRect);
  Velkor_Scale_predraw(&gauge->scale);
  Velkor_Graduation_element_predraw(&gauge->tick);
}

void Velkor_GaugeBar_draw(Velkor_GaugeBar* gauge, uint32_t pass) {
  if (pass != gauge->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(gauge->width, gauge->height, &gauge->drawnRect);
  compute_colors(gauge, pass);
  gauge->fraction = Velkor_RangeFraction(gauge->value, gauge->minimum, gauge->maximum);

  const bool labelled = gauge->scale.labelled != 0;
  const Velkor_GaugeGeometry g = Velkor_GaugeBar_geometry(gauge->orientation, gauge->width,
                                                          gauge->height, labelled, gauge->fraction);
  draw_bar(gauge, g, masks, pass);

  // The scale graduates the range over the length left beside the bar.
  Velkor_Scale* scale = &gauge->scale;
  scale->minimum = gauge->minimum;
  scale->maximum = gauge->maximum;
  scale->pass = pass;
  scale->vertical = is_vertical(gauge) ? 1 : 0;
  scale->width = g.scaleWidth;
  scale->height = g.scaleHeight;
  Velkor_Scale_graduate(scale);
  draw_ticks(gauge, g, masks, pass);
  if (labelled) draw_scale(gauge, g, masks, pass);
  sglSetActiveMasks(masks);
}
