#include "display/Velkor_Panel.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "graphics/sgl.h"

Velkor_Panel* Velkor_Panel_alloc() {
  return static_cast<Velkor_Panel*>(std::calloc(1, sizeof(Velkor_Panel)));
}

void Velkor_Panel_free(Velkor_Panel* panel) {
  std::free(panel);
}

void Velkor_Panel_init(Velkor_Panel* panel) {
  *panel = Velkor_Panel{};
  panel->width = 300.0f;
  panel->height = 200.0f;
  panel->frameStyle = kVelkorDefaultFrameStyle;
  panel->faceColor = kVelkorFromScheme;
  panel->frameColor = kVelkorFromScheme;
  panel->radius = 8.0f;
  panel->frameWidth = 1;
  panel->baseColor = kVelkorColorSchemeFirst;
  panel->backgroundColor = kVelkorColorSchemeFirst + kVelkorColorBevel;
  panel->frameColorComputed = kVelkorColorSchemeFirst + kVelkorColorFrame;
}

void Velkor_Panel_predraw(Velkor_Panel* panel) {
  Velkor_ClearDrawnRect(&panel->drawnRect);
}

void Velkor_Panel_draw(Velkor_Panel* panel, uint32_t pass) {
  if (pass != panel->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(panel->width, panel->height, &panel->drawnRect);
  panel->baseColor = Velkor_SchemeBase(panel->colorScheme, pass);
  panel->backgroundColor =
      panel->faceColor >= 0 ? panel->faceColor : panel->baseColor + kVelkorColorBevel;
  panel->frameColorComputed = panel->frameColor >= 0    ? panel->frameColor
                              : panel->frameColor == -1 ? panel->baseColor + kVelkorColorFrame
                                                        : kVelkorColorNone;

  Velkor_FrameShape shape;
  Velkor_FrameShape_init(&shape);
  shape.width = panel->width;
  shape.height = panel->height;
  shape.cornerStyle = panel->frameStyle;
  shape.radius = panel->radius;
  shape.fillColor = panel->backgroundColor;
  shape.lineColor = panel->frameColorComputed;
  shape.lineWidth = panel->frameWidth;
  shape.pass = pass;
  Velkor_FrameShape_draw(&shape, pass);

  if (panel->children != nullptr && panel->width > 0.0f && panel->height > 0.0f) {
    sglSetActiveMasks(masks);
    sglBeginScissor(panel->width, panel->height);
    panel->children(panel->argument, pass, -1, panel->childrenPass);
    sglEndScissor();
    sglSetActiveMasks(masks);
  }
}
