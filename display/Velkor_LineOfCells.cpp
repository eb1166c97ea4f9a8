#include "display/Velkor_LineOfCells.h"

#include <cstdlib>

#include "display/Velkor_FrameShape.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

Velkor_LineOfCells* Velkor_LineOfCells_alloc() {
  return static_cast<Velkor_LineOfCells*>(std::calloc(1, sizeof(Velkor_LineOfCells)));
}

void Velkor_LineOfCells_free(Velkor_LineOfCells* line) {
  std::free(line);
}

void Velkor_LineOfCells_init(Velkor_LineOfCells* line) {
  *line = Velkor_LineOfCells{};
  line->width = 196.0f;
  line->height = 22.0f;
  line->enabled = 1;
  line->frameStyle = kVelkorCornerSquare;
  line->faceColor = kVelkorColorNone;
  line->font = 20;
  line->labelColor = kVelkorFromScheme;
  line->labelAlignment = kVelkorAlignCentre;
  line->selectedColumn = -1;
  line->markColor = kVelkorColorNone;
  line->gridColor = kVelkorColorNone;
  for (auto& cell : line->cells) Velkor_MultiColumnCell_init(&cell);
}

void Velkor_LineOfCells_predraw(Velkor_LineOfCells* line) {
  Velkor_ClearDrawnRect(&line->drawnRect);
  for (auto& cell : line->cells) Velkor_MultiColumnCell_predraw(&cell);
}

void Velkor_LineOfCells_draw(Velkor_LineOfCells* line, uint32_t pass) {
  if (pass != line->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(line->width, line->height, &line->drawnRect);
  if (line->marked && line->markColor >= 0) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, line->width, line->height, line->markColor, -1,
                     kVelkorCornerSquare, 0.0f);
  }
  int32_t columns = line->columns < 0 ? 0 : line->columns;
  if (columns > MULTICOLUMN_CELLS_PER_ROW) columns = MULTICOLUMN_CELLS_PER_ROW;
  for (int32_t c = 0; c < columns; ++c) {
    Velkor_MultiColumnCell* cell = &line->cells[c];
    cell->width = line->columnWidths[c];
    cell->height = line->height;
    cell->enabled = line->enabled;
    cell->colorScheme = line->colorScheme;
    cell->label = line->texts != nullptr ? (*line->texts)[c] : "";
    cell->faceColor = line->marked ? kVelkorColorNone : line->faceColor;
    cell->font = line->font;
    cell->labelColor = line->labelColor;
    cell->labelAlignment = line->labelAlignment;
    cell->selected = c == line->selectedColumn ? 1 : 0;
    cell->gridColor = line->gridColor;
    cell->pass = pass;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(line->columnX[c], 0.0f);
    Velkor_MultiColumnCell_draw(cell, pass);
    sglPopMatrixAndTranslate();
  }
  sglSetActiveMasks(masks);
}
