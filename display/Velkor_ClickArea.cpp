#include "display/Velkor_ClickArea.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "graphics/sgl.h"

Velkor_ClickArea* Velkor_ClickArea_alloc() {
  return static_cast<Velkor_ClickArea*>(std::calloc(1, sizeof(Velkor_ClickArea)));
}

void Velkor_ClickArea_free(Velkor_ClickArea* area) {
  std::free(area);
}

void Velkor_ClickArea_init(Velkor_ClickArea* area) {
  *area = Velkor_ClickArea{};
  area->width = 100.0f;
  area->height = 30.0f;
  area->enabled = 1;
  area->mode = 2;
  area->highlightColor = kVelkorColorSchemeFirst + kVelkorColorAccentLight;
  area->highlightAlpha = 160;
  Velkor_Highlight_init(&area->highlight);
  ClickArea_init(&area->area);
}

void Velkor_ClickArea_predraw(Velkor_ClickArea* area) {
  Velkor_ClearDrawnRect(&area->drawnRect);
  area->hover = 0;
  area->click = 0;
  area->onPress = 0;
  area->onRelease = 0;
  Velkor_Highlight_predraw(&area->highlight);
}

void Velkor_ClickArea_draw(Velkor_ClickArea* area, uint32_t pass) {
  if (pass != area->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(area->width, area->height, &area->drawnRect);
  const uint8_t hit = Velkor_PointerHover(area->width, area->height);
  area->hover = (area->enabled != 0 && hit != 0) ? 1 : 0;
  ClickArea_step(&area->area, 1, area->enabled, hit, area->mode);
  area->click = area->area.click;
  area->onPress = area->area.onPress;
  area->onRelease = area->area.onRelease;
  if (area->showHighlight != 0 && area->hover != 0) {
    sglSetActiveMasks(masks);
    Velkor_Highlight* h = &area->highlight;
    h->width = area->width;
    h->height = area->height;
    h->color = area->highlightColor;
    h->transparency = area->highlightAlpha;
    h->pass = pass;
    Velkor_Highlight_draw(h, pass);
  }
}
