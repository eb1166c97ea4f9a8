#include "widgets/MultiColumn.h"

#include <algorithm>
#include <cstring>

#include "widgets/interactivity_mapping.h"

void MultiColumn_init(MultiColumn_State* state) {
  state->selectedRow = 0;
  state->selectedColumn = 0;
  state->event = 1;
  state->previousPressed = 0;
  state->loadPending = 1;
  state->previousReleased = 0;
  state->armed = 0;
  state->previousEvent = 0;
}

void MultiColumn_reset(MultiColumn_State* state) {
  state->previousPressed = 0;
  state->loadPending = 1;
  state->previousReleased = 0;
  state->armed = 0;
  state->previousEvent = 0;
}

// A press is taken from the previous cycle: the display class learns the
// hovered cell in the same draw in which the press arrives, and the table's
// focus may only be taken in that cycle.
//   cycle | pointer / key               | selected        | event
//   ------+-----------------------------+-----------------+------
//     n   | press over cell (2, 1)      | unchanged       |  0
//    n+1  | still over (2, 1)           | (2, 1)          |  1
//    n+2  | KEY_DOWN (row 2 of 3: last) | (2, 1) kept     |  1  every special key
//    n+3  | KEY_LEFT                    | (2, 0)          |  1
//    n+4  | load (0, 0)                 | (0, 0)          |  0
// In mode 2 the press arms the table and the release over a cell chooses it.
// The wheel never chooses.
void MultiColumn(const MultiColumn_Inputs* in, MultiColumn_State* state) {
  const bool valid = in->hoveredRow >= 0 && in->hoveredColumn >= 0;
  const bool leftButton = BHVR_LeftButton(in->button);

  bool choose;
  if (in->mode == MULTICOLUMN_MODE_RELEASE) {
    state->armed = (state->armed && !state->previousReleased) ||
                   (state->previousPressed && leftButton && valid);
    choose = in->released && state->armed && valid;
    state->previousReleased = in->released;
  } else {
    choose = valid && leftButton && state->previousPressed;
  }
  // A wheel notch is a press without a release, and the next cycle reads
  // button 0: a press is kept for the next cycle only when it could click.
  state->previousPressed = (in->pressed && leftButton) ? 1 : 0;

  const bool keyEvent = in->keyPressed && (in->key >= 256 || in->key == KEY_ENTER);
  state->event = BHVR_HoldEvent(keyEvent || choose, &state->previousEvent);

  int32_t row = state->selectedRow;
  int32_t column = state->selectedColumn;
  if (state->loadPending) {
    row = in->loadRow;
    column = in->loadColumn;
    state->loadPending = 0;
  }

  if (choose) {
    row = in->hoveredRow;
    column = in->hoveredColumn;
  } else if (in->load) {
    row = in->loadRow;
    column = in->loadColumn;
  } else if (in->keyPressed) {
    // Compared as row + 1 < rows in 64 bits: neither a count of INT32_MIN
    // nor a loaded cell at INT32_MAX may overflow the test.
    if (in->key == KEY_DOWN && int64_t{row} + 1 < in->rows) {
      ++row;
    } else if (in->key == KEY_UP && row > 0) {
      --row;
    } else if (in->key == KEY_RIGHT && int64_t{column} + 1 < in->columns) {
      ++column;
    } else if (in->key == KEY_LEFT && column > 0) {
      --column;
    }
  }
  state->selectedRow = row;
  state->selectedColumn = column;
}

void FindSelectedCell_Multicolumn(float x, float y, int32_t rows, int32_t columns, float rowHeight,
                                  const float* columnWidths, int32_t firstRow, int32_t* row,
                                  int32_t* column) {
  // Rows: a pointer above the table (y < 0) is outside, although y / height
  // would truncate to row 0 there. The row is formed in float and compared
  // before it is converted, so no pointer position can overflow it.
  int32_t foundRow = -1;
  if (rowHeight > 0.0f && y >= 0.0f) {
    const float candidate = y / rowHeight + static_cast<float>(firstRow);
    if (candidate >= 0.0f && candidate < static_cast<float>(rows)) {
      const int32_t r = static_cast<int32_t>(candidate);
      if (r >= 0 && r < rows) foundRow = r;
    }
  }

  int32_t foundColumn = -1;
  if (x >= 0.0f) {
    float sum = 0.0f;
    const int32_t count = std::clamp(columns, 0, MULTICOLUMN_CELLS_PER_ROW);
    for (int32_t c = 0; c < count; ++c) {
      sum += columnWidths[c];
      if (sum > x) {
        foundColumn = c;
        break;
      }
    }
  }
  if (row) *row = foundRow;
  if (column) *column = foundColumn;
}

void SelectElements_Multicolumn(int32_t rows, int32_t columns, int32_t firstRow,
                                int32_t visibleRows, const MultiColumn_Row* cells,
                                const int32_t* rowValues, MultiColumn_Row* visibleCells,
                                int32_t* visibleRowValues) {
  const int32_t rowCount = std::clamp(rows, 0, MULTICOLUMN_MAX_ROWS);
  const int32_t columnCount = std::clamp(columns, 0, MULTICOLUMN_CELLS_PER_ROW);
  const int32_t shown = std::clamp(visibleRows, 0, MULTICOLUMN_MAX_VISIBLE_ROWS);
  for (int32_t r = 0; r < shown; ++r) {
    const int64_t source = static_cast<int64_t>(firstRow) + r;
    if (source < 0) continue;
    if (source >= rowCount) break;
    for (int32_t c = 0; c < columnCount; ++c) {
      std::memcpy(visibleCells[r][c], cells[source][c], TEXT_SIZE_Strings);
    }
    if (rowValues && visibleRowValues) visibleRowValues[r] = rowValues[source];
  }
}

void DisplayParameters_Multicolumn(int32_t columns, int32_t firstRow, int32_t visibleRows,
                                   float rowHeight, int32_t selectedRow, int32_t selectedColumn,
                                   const float* columnWidths, float* columnX, float* rowY,
                                   float* selectionX, float* selectionWidth, uint8_t* rowSelected,
                                   uint8_t* columnSelected) {
  const int32_t columnCount = std::clamp(columns, 0, MULTICOLUMN_CELLS_PER_ROW);
  const int32_t shown = std::clamp(visibleRows, 0, MULTICOLUMN_MAX_VISIBLE_ROWS);
  float x = 0.0f;
  for (int32_t c = 0; c < columnCount; ++c) {
    columnX[c] = x;
    x += columnWidths[c];
    columnSelected[c] = c == selectedColumn ? 1 : 0;
  }
  for (int32_t r = 0; r < shown; ++r) {
    rowY[r] = -static_cast<float>(r) * rowHeight;
    rowSelected[r] = static_cast<int64_t>(firstRow) + r == selectedRow ? 1 : 0;
  }
  const bool columnExists = selectedColumn >= 0 && selectedColumn < columnCount;
  if (selectionX) *selectionX = columnExists ? columnX[selectedColumn] : 0.0f;
  if (selectionWidth) *selectionWidth = columnExists ? columnWidths[selectedColumn] : 0.0f;
}
