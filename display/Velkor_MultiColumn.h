// Velkor_MultiColumn - a table of text cells with a header row, a marked
// row, a selected cell and a vertical scroll bar.
//
// Row r of the table is texts[r] (MULTICOLUMN_CELLS_PER_ROW text cells, of
// which the first `columns` are shown, columnWidths wide). A click on a
// cell (on the press, or on the release in mode 2) selects it; while the
// table holds the focus the arrow keys move the selection and the view
// follows it; the wheel over the rows and the scroll bar scroll the view;
// loadRow / loadColumn are taken in a frame with load set. The behaviour is
// MultiColumn (widgets/MultiColumn.h), the hit-test and layout come from
// FindSelectedCell_Multicolumn and DisplayParameters_Multicolumn.
//   t->width = 215; t->height = 260; t->texts = romRows; t->rowCount = 64;
//   t->columns = 3; t->columnWidths = {60, 68, 68}; t->headers[0] = "Adresse";
//   t->markedRow = pcRow; t->markedRowOn = 1; t->faceColor = 52;
//   t->pass = pass; Velkor_MultiColumn_draw(t, pass);
//   ... t->selectedRow, t->selectedColumn, t->event
#pragma once

#include <cstdint>

#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_LineOfCells.h"
#include "display/Velkor_ScrollBar.h"
#include "display/Velkor_display.h"
#include "widgets/MultiColumn.h"

struct Velkor_MultiColumn {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // body colour; -1: the scheme's white
  uint32_t font;      // of the cells (20)
  int32_t labelColor;
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  const MultiColumn_Row* texts;  // rowCount rows
  int32_t rowCount;              // 0 .. 64
  int32_t columns;               // 1 .. 8
  float columnWidths[MULTICOLUMN_CELLS_PER_ROW];
  const char* headers[MULTICOLUMN_CELLS_PER_ROW];  // null: no header row
  float rowHeight;
  int32_t markedRow;
  uint8_t markedRowOn;
  int32_t loadRow;
  int32_t loadColumn;
  uint8_t load;
  uint32_t mode;  // 2: select on release, else on press
  float scrollBarWidth;
  // outputs
  int32_t selectedRow;
  int32_t selectedColumn;
  uint8_t event;  // per frame
  int32_t firstRow;
  int32_t visibleRows;
  uint8_t hover;          // per frame
  int32_t hoveredRow;     // per frame, -1 outside
  int32_t hoveredColumn;  // per frame, -1 outside
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t headerColor;
  int32_t markColor;
  int32_t backColor;
  uint32_t pass;
  Velkor_LineOfCells header;
  Velkor_LineOfCells lines[MULTICOLUMN_MAX_VISIBLE_ROWS];
  Velkor_ScrollBar scrollBar;
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  int32_t followFirst;  // first row the view is to take next frame, -1 none
  MultiColumn_Row headerTexts;
  MultiColumn_State state;
};

Velkor_MultiColumn* Velkor_MultiColumn_alloc();
void Velkor_MultiColumn_free(Velkor_MultiColumn* table);
void Velkor_MultiColumn_init(Velkor_MultiColumn* table);
void Velkor_MultiColumn_predraw(Velkor_MultiColumn* table);
void Velkor_MultiColumn_draw(Velkor_MultiColumn* table, uint32_t pass);

// First visible row that keeps `row` in a view of `visible` rows starting
// at `first` (the view moves as little as it can), limited to the table.
int32_t Velkor_MultiColumn_follow(int32_t row, int32_t first, int32_t visible, int32_t rows);
