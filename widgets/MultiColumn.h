// Multi-column table behaviour: the selected cell of a grid of text cells,
// chosen with the pointer (on press or on release) or moved with the arrow
// keys; and three helpers of the table's display class: the cell under the
// pointer, the texts of the visible rows, and the layout of rows, columns
// and selection.
//
// A frame of the MultiColumn display class:
//   FindSelectedCell_Multicolumn(px, py, rows, columns, 22, widths, first, &hr, &hc);
//   wrapper_MultiColumn(pressed, released, button, hr, hc, ..., &row, &column, &event, &st);
//   SelectElements_Multicolumn(rows, columns, first, visible, cells, values,
//                              visibleCells, visibleValues);
//   DisplayParameters_Multicolumn(columns, first, visible, 22, row, column, widths,
//                                 columnX, rowY, &selX, &selW, rowSel, columnSel);
// A table row is a memory row of the machine texts: MULTICOLUMN_CELLS_PER_ROW
// text cells, of which the first `columns` are shown. Every helper bounds its
// indices by the capacities below, whatever counts it is given. Calling
// convention in interactivity_mapping.h. Drawing thread only.
#pragma once

#include <cstdint>

#include "widgets/lib_unicode.h"

constexpr int32_t MULTICOLUMN_CELLS_PER_ROW = 8;  // columns a row can hold
constexpr int32_t MULTICOLUMN_MAX_ROWS = 64;      // rows a table can hold
constexpr int32_t MULTICOLUMN_MAX_VISIBLE_ROWS = 16;

typedef char MultiColumn_Row[MULTICOLUMN_CELLS_PER_ROW][TEXT_SIZE_Strings];

// Mode that selects on release; any other mode selects on press.
constexpr uint32_t MULTICOLUMN_MODE_RELEASE = 2;

struct MultiColumn_Inputs {
  uint8_t pressed;   // raw pointer pressed
  uint8_t released;  // raw pointer released
  uint32_t button;
  int32_t hoveredRow;  // FindSelectedCell_Multicolumn; -1 outside
  int32_t hoveredColumn;
  int32_t loadRow;  // cell to select on load
  int32_t loadColumn;
  uint8_t load;
  uint32_t mode;
  uint8_t keyPressed;
  uint32_t key;
  int32_t rows;
  int32_t columns;
};

struct MultiColumn_State {
  int32_t selectedRow;     // output 1
  int32_t selectedColumn;  // output 1
  uint8_t event;           // output 2
  uint8_t previousPressed;
  uint8_t loadPending;
  uint8_t previousReleased;
  uint8_t armed;
  uint8_t previousEvent;
};

void MultiColumn_init(MultiColumn_State* state);
void MultiColumn_reset(MultiColumn_State* state);
void MultiColumn(const MultiColumn_Inputs* in, MultiColumn_State* state);

void wrapper_MultiColumn(uint8_t pressed, uint8_t released, uint32_t button, int32_t hoveredRow,
                         int32_t hoveredColumn, int32_t loadRow, int32_t loadColumn, uint8_t load,
                         uint32_t mode, uint8_t keyPressed, uint32_t key, int32_t rows,
                         int32_t columns, int32_t* outRow, int32_t* outColumn, uint8_t* outEvent,
                         MultiColumn_State* state);
void wrapper_MultiColumn_reset(MultiColumn_State* state);

// The cell under the pointer. x and y are relative to the table's top left
// corner, y counted downwards; columnWidths holds `columns` widths. A row or
// column outside the table (or above or left of it) is -1.
void FindSelectedCell_Multicolumn(float x, float y, int32_t rows, int32_t columns, float rowHeight,
                                  const float* columnWidths, int32_t firstRow, int32_t* row,
                                  int32_t* column);

// Copies the rows firstRow .. firstRow + visibleRows - 1 (stopping at the
// last row) into visibleCells and visibleRowValues, `columns` cells each.
// visibleCells and visibleRowValues have room for MULTICOLUMN_MAX_VISIBLE_ROWS
// rows; rows after the last table row are left as they were.
void SelectElements_Multicolumn(int32_t rows, int32_t columns, int32_t firstRow,
                                int32_t visibleRows, const MultiColumn_Row* cells,
                                const int32_t* rowValues, MultiColumn_Row* visibleCells,
                                int32_t* visibleRowValues);

// Layout of the visible rows: columnX (`columns` entries) from 0 by the
// widths; rowY[r] := -r x rowHeight; rowSelected[r] and columnSelected[c]
// mark the selected cell; selectionX and selectionWidth are those of the
// selected column (0 and 0 when that column does not exist). rowY and
// rowSelected have room for MULTICOLUMN_MAX_VISIBLE_ROWS entries.
void DisplayParameters_Multicolumn(int32_t columns, int32_t firstRow, int32_t visibleRows,
                                   float rowHeight, int32_t selectedRow, int32_t selectedColumn,
                                   const float* columnWidths, float* columnX, float* rowY,
                                   float* selectionX, float* selectionWidth, uint8_t* rowSelected,
                                   uint8_t* columnSelected);
