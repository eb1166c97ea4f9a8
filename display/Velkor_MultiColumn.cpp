#include "display/Velkor_MultiColumn.h"

#include <cstdlib>
#include <cstring>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/interactivity_mapping.h"

namespace {

int32_t clamp_int(int32_t v, int32_t lo, int32_t hi) {
  if (v < lo) return lo;
  return v > hi ? hi : v;
}

bool has_header(const Velkor_MultiColumn* table) {
  for (const char* h : table->headers) {
    if (h != nullptr) return true;
  }
  return false;
}

}  // namespace

int32_t Velkor_MultiColumn_follow(int32_t row, int32_t first, int32_t visible, int32_t rows) {
  if (visible < 1) visible = 1;
  if (row < first) first = row;
  if (row >= first + visible) first = row - visible + 1;
  const int32_t max_first = rows - visible > 0 ? rows - visible : 0;
  return clamp_int(first, 0, max_first);
}

Velkor_MultiColumn* Velkor_MultiColumn_alloc() {
  return static_cast<Velkor_MultiColumn*>(std::calloc(1, sizeof(Velkor_MultiColumn)));
}

void Velkor_MultiColumn_free(Velkor_MultiColumn* table) {
  std::free(table);
}

void Velkor_MultiColumn_init(Velkor_MultiColumn* table) {
  *table = Velkor_MultiColumn{};
  table->width = 215.0f;
  table->height = 260.0f;
  table->enabled = 1;
  table->frameStyle = kVelkorCornerSquare;
  table->faceColor = kVelkorFromScheme;
  table->font = 20;
  table->labelColor = kVelkorFromScheme;
  table->labelAlignment = kVelkorAlignCentre;
  table->columns = 3;
  table->columnWidths[0] = 60.0f;
  table->columnWidths[1] = 68.0f;
  table->columnWidths[2] = 68.0f;
  table->rowHeight = 22.0f;
  table->markedRow = -1;
  table->scrollBarWidth = 14.0f;
  table->hoveredRow = -1;
  table->hoveredColumn = -1;
  table->followFirst = -1;
  Velkor_LineOfCells_init(&table->header);
  for (auto& line : table->lines) Velkor_LineOfCells_init(&line);
  Velkor_ScrollBar_init(&table->scrollBar);
  Velkor_IndividualFocus_init(&table->focus);
  Velkor_KeyEvent_init(&table->keys);
  table->keys.mode = 1;
  wrapper_MultiColumn_reset(&table->state);
}

void Velkor_MultiColumn_predraw(Velkor_MultiColumn* table) {
  Velkor_ClearDrawnRect(&table->drawnRect);
  table->event = 0;
  table->hover = 0;
  table->hoveredRow = -1;
  table->hoveredColumn = -1;
  Velkor_LineOfCells_predraw(&table->header);
  for (auto& line : table->lines) Velkor_LineOfCells_predraw(&line);
  Velkor_ScrollBar_predraw(&table->scrollBar);
  Velkor_IndividualFocus_predraw(&table->focus);
  Velkor_KeyEvent_predraw(&table->keys);
}

void Velkor_MultiColumn_draw(Velkor_MultiColumn* table, uint32_t pass) {
  if (pass != table->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(table->width, table->height, &table->drawnRect);
  const bool enabled = table->enabled != 0;
  const int32_t rows = clamp_int(table->rowCount, 0, MULTICOLUMN_MAX_ROWS);
  const int32_t columns = clamp_int(table->columns, 1, MULTICOLUMN_CELLS_PER_ROW);
  const float row_h = table->rowHeight > 1.0f ? table->rowHeight : 1.0f;
  const bool header = has_header(table);
  const float body_h = table->height - (header ? row_h : 0.0f);
  const int32_t visible =
      clamp_int(static_cast<int32_t>(body_h / row_h), 1, MULTICOLUMN_MAX_VISIBLE_ROWS);
  table->visibleRows = visible;
  const bool scrolls = rows > visible;
  const float bar_w = scrolls ? table->scrollBarWidth : 0.0f;
  const float body_w = table->width - bar_w;
  const int32_t max_first = scrolls ? rows - visible : 0;

  // Pointer over the rows: the cell under it.
  table->hover = enabled ? Velkor_PointerHover(table->width, table->height) : 0;
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  const bool over_body =
      enabled && sglRectangleActiveAreaGetStatus(px, py, 0.0f, 0.0f, body_w, body_h);
  int32_t first = clamp_int(table->firstRow, 0, max_first);
  if (over_body) {
    // Relative to the body's top left corner, y counted downwards.
    const float x = sglRectangleActiveAreaGetWidthRate(px, py, 0.0f, 0.0f, body_w, body_h) * body_w;
    const float y =
        (1.0f - sglRectangleActiveAreaGetHeightRate(px, py, 0.0f, 0.0f, body_w, body_h)) * body_h;
    int32_t hr = -1;
    int32_t hc = -1;
    FindSelectedCell_Multicolumn(x, y, rows, columns, row_h, table->columnWidths, first, &hr, &hc);
    // Only the rows on screen can be hit.
    if (hr >= first + visible) hr = -1;
    table->hoveredRow = hr;
    table->hoveredColumn = hr >= 0 ? hc : -1;
  }

  Velkor_IndividualFocus* focus = &table->focus;
  focus->request = table->hover;
  focus->focusId = table->focusId;
  focus->focusNext = table->focusNext;
  focus->pass = pass;
  Velkor_IndividualFocus_draw(focus, pass);
  const bool focused = enabled && focus->focusState != FOCUS_NONE;
  Velkor_KeyEvent* keys = &table->keys;
  keys->enable = focused ? focus->focusState : 0;
  keys->pass = pass;
  Velkor_KeyEvent_draw(keys, pass);
  uint8_t raw_pressed = 0;
  uint8_t raw_released = 0;
  uint32_t raw_button = 0;
  Velkor_PointerState(&raw_pressed, &raw_released, &raw_button);

  // Colours, and the background under the scroll bar and the rows.
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = table->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  const int32_t base = colours.base;
  table->baseColor = base;
  table->frameColor = base + (focused ? kVelkorColorFrameFocused : kVelkorColorLabel);
  table->headerColor = base + kVelkorColorFrame;
  table->markColor = base + kVelkorColorAccentLight;
  table->backColor = table->faceColor >= 0 ? table->faceColor : base + kVelkorColorBevel;

  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, table->width, table->height, table->backColor, -1,
                   table->frameStyle, 3.0f);

  // Scroll bar: the view follows the selection when asked, the wheel over
  // the rows steps it.
  Velkor_ScrollBar* bar = &table->scrollBar;
  bar->width = table->scrollBarWidth;
  bar->height = body_h;
  bar->enabled = table->enabled;
  bar->colorScheme = table->colorScheme;
  bar->orientation = kVelkorScrollBarVertical;
  bar->direction = 0;
  bar->maximum = static_cast<float>(max_first);
  bar->pageStep = static_cast<float>(visible);
  bar->lineStep = 1.0f;
  bar->value = static_cast<float>(table->followFirst);
  bar->load = table->followFirst >= 0 ? 1 : 0;
  bar->keyEnable = 0;  // the arrow keys move the selection
  const bool wheel = over_body && raw_pressed && BHVR_WheelButton(raw_button);
  bar->lineUpIn = wheel && raw_button == BHVR_WHEEL_AWAY ? 1 : 0;
  bar->lineDownIn = wheel && raw_button == BHVR_WHEEL_TOWARDS ? 1 : 0;
  bar->pass = pass;
  table->followFirst = -1;
  if (scrolls) {
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(body_w, 0.0f);
    Velkor_ScrollBar_draw(bar, pass);
    sglPopMatrixAndTranslate();
    first = clamp_int(static_cast<int32_t>(bar->position + 0.5f), 0, max_first);
  } else {
    first = 0;
  }
  table->firstRow = first;

  const int32_t row_before = table->state.selectedRow;
  // The behaviour chooses in the frame after a press, whatever the button
  // reads then (0 counts as the left one): a wheel notch must not count as
  // a press, or scrolling would select the cell under the pointer.
  const uint8_t pressed = focused && raw_pressed && BHVR_LeftButton(raw_button) ? 1 : 0;
  wrapper_MultiColumn(pressed, raw_released, raw_button, table->hoveredRow, table->hoveredColumn,
                      table->loadRow, table->loadColumn, table->load, table->mode, keys->output,
                      keys->key, rows, columns, &table->selectedRow, &table->selectedColumn,
                      &table->event, &table->state);
  // A selection moved by the keys or loaded from outside is brought into view.
  if (scrolls && (table->selectedRow != row_before || table->load)) {
    const int32_t want = Velkor_MultiColumn_follow(table->selectedRow, first, visible, rows);
    if (want != first) table->followFirst = want;
  }

  // Layout of the visible rows and the selection.
  float column_x[MULTICOLUMN_CELLS_PER_ROW] = {};
  float row_y[MULTICOLUMN_MAX_VISIBLE_ROWS] = {};
  float selection_x = 0.0f;
  float selection_w = 0.0f;
  uint8_t row_selected[MULTICOLUMN_MAX_VISIBLE_ROWS] = {};
  uint8_t column_selected[MULTICOLUMN_CELLS_PER_ROW] = {};
  DisplayParameters_Multicolumn(columns, first, visible, row_h, table->selectedRow,
                                table->selectedColumn, table->columnWidths, column_x, row_y,
                                &selection_x, &selection_w, row_selected, column_selected);

  for (int32_t r = 0; r < visible && first + r < rows; ++r) {
    Velkor_LineOfCells* line = &table->lines[r];
    line->width = body_w;
    line->height = row_h;
    line->enabled = table->enabled;
    line->colorScheme = table->colorScheme;
    line->faceColor = kVelkorColorNone;
    line->font = table->font;
    line->labelColor = table->labelColor;
    line->labelAlignment = table->labelAlignment;
    line->texts = table->texts != nullptr ? &table->texts[first + r] : nullptr;
    line->columns = columns;
    std::memcpy(line->columnX, column_x, sizeof column_x);
    std::memcpy(line->columnWidths, table->columnWidths, sizeof column_x);
    line->selectedColumn = row_selected[r] ? table->selectedColumn : -1;
    line->marked = table->markedRowOn && table->markedRow == first + r ? 1 : 0;
    line->markColor = table->markColor;
    line->gridColor = table->headerColor;
    line->pass = pass;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(0.0f, body_h + row_y[r] - row_h);
    Velkor_LineOfCells_draw(line, pass);
    sglPopMatrixAndTranslate();
  }
  if (header) {
    for (int32_t c = 0; c < MULTICOLUMN_CELLS_PER_ROW; ++c) {
      const char* h = table->headers[c] != nullptr ? table->headers[c] : "";
      std::strncpy(table->headerTexts[c], h, TEXT_SIZE_Strings - 1);
      table->headerTexts[c][TEXT_SIZE_Strings - 1] = '\0';
    }
    Velkor_LineOfCells* line = &table->header;
    line->width = table->width;
    line->height = row_h;
    line->enabled = table->enabled;
    line->colorScheme = table->colorScheme;
    line->faceColor = table->headerColor;
    line->font = table->font;
    line->labelColor = table->labelColor;
    line->labelAlignment = kVelkorAlignCentre;
    line->texts = &table->headerTexts;
    line->columns = columns;
    std::memcpy(line->columnX, column_x, sizeof column_x);
    std::memcpy(line->columnWidths, table->columnWidths, sizeof column_x);
    line->selectedColumn = -1;
    line->marked = 0;
    line->gridColor = table->backColor;
    line->pass = pass;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(0.0f, body_h);
    Velkor_LineOfCells_draw(line, pass);
    sglPopMatrixAndTranslate();
  }
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, table->width, table->height, -1, table->frameColor,
                   table->frameStyle, 3.0f);
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, table->width, table->height,
                     base + kVelkorColorGreyed, -1, table->frameStyle, 3.0f);
  }
  sglSetActiveMasks(masks);
}
