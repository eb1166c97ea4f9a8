#include "widgets/MultiColumn.h"

void wrapper_MultiColumn(uint8_t pressed, uint8_t released, uint32_t button, int32_t hoveredRow,
                         int32_t hoveredColumn, int32_t loadRow, int32_t loadColumn, uint8_t load,
                         uint32_t mode, uint8_t keyPressed, uint32_t key, int32_t rows,
                         int32_t columns, int32_t* outRow, int32_t* outColumn, uint8_t* outEvent,
                         MultiColumn_State* state) {
  const MultiColumn_Inputs in{pressed, released,   button, hoveredRow, hoveredColumn,
                              loadRow, loadColumn, load,   mode,       keyPressed,
                              key,     rows,       columns};
  MultiColumn(&in, state);
  if (outRow) *outRow = state->selectedRow;
  if (outColumn) *outColumn = state->selectedColumn;
  if (outEvent) *outEvent = state->event;
}

void wrapper_MultiColumn_reset(MultiColumn_State* state) {
  MultiColumn_reset(state);
}
