// Velkor_LineOfCells - one row of a table: its cells side by side.
//
// Cell c stands at columnX[c] with width columnWidths[c]; `texts` points at
// the row's cell texts (a table row of MULTICOLUMN_CELLS_PER_ROW text
// cells). A marked row (the row of the program counter, say) is filled
// with markColor under its cells; the cell of selectedColumn is drawn
// selected:
//   l->width = 196; l->height = 22; l->texts = &rows[i]; l->columns = 3;
//   l->selectedColumn = -1; l->pass = pass; Velkor_LineOfCells_draw(l, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_MultiColumnCell.h"
#include "display/Velkor_display.h"
#include "widgets/MultiColumn.h"

struct Velkor_LineOfCells {
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // background of the cells, < 0: none
  uint32_t font;
  int32_t labelColor;
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  const MultiColumn_Row* texts;  // null: empty cells
  int32_t columns;               // 0 .. 8
  float columnX[MULTICOLUMN_CELLS_PER_ROW];
  float columnWidths[MULTICOLUMN_CELLS_PER_ROW];
  int32_t selectedColumn;  // -1: none
  uint8_t marked;
  int32_t markColor;
  int32_t gridColor;
  uint32_t pass;
  Velkor_MultiColumnCell cells[MULTICOLUMN_CELLS_PER_ROW];
};

Velkor_LineOfCells* Velkor_LineOfCells_alloc();
void Velkor_LineOfCells_free(Velkor_LineOfCells* line);
void Velkor_LineOfCells_init(Velkor_LineOfCells* line);
void Velkor_LineOfCells_predraw(Velkor_LineOfCells* line);
void Velkor_LineOfCells_draw(Velkor_LineOfCells* line, uint32_t pass);
