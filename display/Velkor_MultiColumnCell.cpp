#include "display/Velkor_MultiColumnCell.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

namespace {
constexpr float kTextMargin = 3.0f;
constexpr int32_t kSelectedText = 0;  // scheme offset: white
}  // namespace

Velkor_MultiColumnCell* Velkor_MultiColumnCell_alloc() {
  return static_cast<Velkor_MultiColumnCell*>(std::calloc(1, sizeof(Velkor_MultiColumnCell)));
}

void Velkor_MultiColumnCell_free(Velkor_MultiColumnCell* cell) {
  std::free(cell);
}

void Velkor_MultiColumnCell_init(Velkor_MultiColumnCell* cell) {
  *cell = Velkor_MultiColumnCell{};
  cell->width = 60.0f;
  cell->height = 22.0f;
  cell->enabled = 1;
  cell->frameStyle = kVelkorCornerSquare;
  cell->faceColor = kVelkorColorNone;
  cell->font = 20;
  cell->labelColor = kVelkorFromScheme;
  cell->labelAlignment = kVelkorAlignCentre;
  cell->gridColor = kVelkorColorNone;
}

void Velkor_MultiColumnCell_predraw(Velkor_MultiColumnCell* cell) {
  Velkor_ClearDrawnRect(&cell->drawnRect);
}

void Velkor_MultiColumnCell_draw(Velkor_MultiColumnCell* cell, uint32_t pass) {
  if (pass != cell->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(cell->width, cell->height, &cell->drawnRect);
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = cell->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  const int32_t base = colours.base;
  cell->backColor = cell->selected ? base + kVelkorColorAccent : cell->faceColor;
  cell->textColor = cell->selected
                        ? base + kSelectedText
                        : (cell->labelColor >= 0 ? cell->labelColor : base + kVelkorColorLabel);
  if (cell->backColor >= 0 || cell->gridColor >= 0) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, cell->width, cell->height, cell->backColor,
                     cell->gridColor, cell->frameStyle, 2.0f);
  }
  Velkor_DrawLabel(masks, pass, kTextMargin, 0.0f, cell->width - 2.0f * kTextMargin, cell->height,
                   cell->label, static_cast<int32_t>(cell->font), cell->textColor,
                   cell->labelAlignment);
  sglSetActiveMasks(masks);
}
