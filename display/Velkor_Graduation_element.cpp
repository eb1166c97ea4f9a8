#include "display/Velkor_Graduation_element.h"

#include <cstdlib>

#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

Velkor_Graduation_element* Velkor_Graduation_element_alloc() {
  return static_cast<Velkor_Graduation_element*>(std::calloc(1, sizeof(Velkor_Graduation_element)));
}

void Velkor_Graduation_element_free(Velkor_Graduation_element* tick) {
  std::free(tick);
}

void Velkor_Graduation_element_init(Velkor_Graduation_element* tick) {
  *tick = Velkor_Graduation_element{};
  tick->length = 6.0f;
  tick->color = 1;
  tick->lineWidth = 0;
}

void Velkor_Graduation_element_predraw(Velkor_Graduation_element* tick) {
  Velkor_ClearDrawnRect(&tick->drawnRect);
}

void Velkor_Graduation_element_draw(Velkor_Graduation_element* tick, uint32_t pass) {
  if (pass != tick->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  if (tick->vertical) {
    Velkor_RecordDrawnRect(tick->length, 1.0f, &tick->drawnRect);
    Velkor_DrawLine(masks, 0.0f, 0.0f, tick->length, 0.0f, tick->color, tick->lineWidth);
  } else {
    Velkor_RecordDrawnRect(1.0f, tick->length, &tick->drawnRect);
    Velkor_DrawLine(masks, 0.0f, 0.0f, 0.0f, -tick->length, tick->color, tick->lineWidth);
  }
}
