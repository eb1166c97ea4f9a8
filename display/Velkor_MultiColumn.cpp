#include "display/Velkor_MultiColumn.h"

#include <cstdlib>
#include <cstring>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
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

namespace {

// Where the table's parts go this frame.
struct TableGeometry {
  int32_t rows;
  int32_t columns;
  float rowHeight;
  bool header;
  float bodyHeight;  // below the header
  int32_t visible;   // rows on screen
  bool scrolls;      // more rows than fit: the scroll bar stands at the right
  float bodyWidth;   // left of the scroll bar
  int32_t maxFirst;
};

// Where the visible rows' cells and the selection go.
struct CellLayout {
  float columnX[MULTICOLUMN_CELLS_PER_ROW];
  float rowY[MULTICOLUMN_MAX_VISIBLE_ROWS];
  float selectionX;
  float selectionWidth;
  uint8_t rowSelected[MULTICOLUMN_MAX_VISIBLE_ROWS];
  uint8_t columnSelected[MULTICOLUMN_CELLS_PER_ROW];
};

// Stage 1: geometry.
TableGeometry table_geometry(Velkor_MultiColumn* table) {
  TableGeometry g{};
  g.rows = clamp_int(table->rowCount, 0, MULTICOLUMN_MAX_ROWS);
  g.columns = clamp_int(table->columns, 1, MULTICOLUMN_CELLS_PER_ROW);
  g.rowHeight = table->rowHeight > 1.0f ? table->rowHeight : 1.0f;
  g.header = has_header(table);
  g.bodyHeight = table->height - (g.header ? g.rowHeight : 0.0f);
  g.visible =
      clamp_int(static_cast<int32_t>(g.bodyHeight / g.rowHeight), 1, MULTICOLUMN_MAX_VISIBLE_ROWS);
  table->visibleRows = g.visible;
  g.scrolls = g.rows > g.visible;
  const float bar_w = g.scrolls ? table->scrollBarWidth : 0.0f;
  g.bodyWidth = table->width - bar_w;
  g.maxFirst = g.scrolls ? g.rows - g.visible : 0;
  return g;
}

// Stage 2: the cell under the pointer, when it is over the rows (true).
bool hover_cell(Velkor_MultiColumn* table, const TableGeometry& g, bool enabled, int32_t first) {
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  const float body_w = g.bodyWidth;
  const float body_h = g.bodyHeight;
  const bool over_body =
      enabled && sglRectangleActiveAreaGetStatus(px, py, 0.0f, 0.0f, body_w, body_h);
  if (over_body) {
    // Relative to the body's top left corner, y counted downwards.
    const float x = sglRectangleActiveAreaGetWidthRate(px, py, 0.0f, 0.0f, body_w, body_h) * body_w;
    const float y =
        (1.0f - sglRectangleActiveAreaGetHeightRate(px, py, 0.0f, 0.0f, body_w, body_h)) * body_h;
    int32_t hr = -1;
    int32_t hc = -1;
    FindSelectedCell_Multicolumn(x, y, g.rows, g.columns, g.rowHeight, table->columnWidths, first,
                                 &hr, &hc);
    // Only the rows on screen can be hit.
    if (hr >= first + g.visible) hr = -1;
    table->hoveredRow = hr;
    table->hoveredColumn = hr >= 0 ? hc : -1;
  }
  return over_body;
}

// Stage 3: the colours of the scheme.
int32_t compute_colors(Velkor_MultiColumn* table, bool focused, uint32_t pass) {
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
  return base;
}

// Stage 5: the scroll bar. The view follows the selection when asked, the
// wheel over the rows steps it. Returns the first row on screen.
int32_t scroll_rows(Velkor_MultiColumn* table, const TableGeometry& g, bool wheel,
                    uint32_t raw_button, uint32_t masks, uint32_t pass) {
  Velkor_ScrollBar* bar = &table->scrollBar;
  bar->width = table->scrollBarWidth;
  bar->height = g.bodyHeight;
  bar->enabled = table->enabled;
  bar->colorScheme = table->colorScheme;
  bar->orientation = kVelkorScrollBarVertical;
  bar->direction = 0;
  bar->maximum = static_cast<float>(g.maxFirst);
  bar->pageStep = static_cast<float>(g.visible);
  bar->lineStep = 1.0f;
  bar->value = static_cast<float>(table->followFirst);
  bar->load = table->followFirst >= 0 ? 1 : 0;
  bar->keyEnable = 0;  // the arrow keys move the selection
  bar->lineUpIn = wheel && raw_button == BHVR_WHEEL_AWAY ? 1 : 0;
  bar->lineDownIn = wheel && raw_button == BHVR_WHEEL_TOWARDS ? 1 : 0;
  bar->pass = pass;
  table->followFirst = -1;
  if (!g.scrolls) return 0;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(g.bodyWidth, 0.0f);
  Velkor_ScrollBar_draw(bar, pass);
  sglPopMatrixAndTranslate();
  return clamp_int(static_cast<int32_t>(bar->position + 0.5f), 0, g.maxFirst);
}

// Stage 6: the selection, by the pointer, the keys or loaded from outside.
void choose_cell(Velkor_MultiColumn* table, const TableGeometry& g, int32_t first, bool focused,
                 uint8_t raw_pressed, uint8_t raw_released, uint32_t raw_button) {
  const int32_t row_before = table->state.selectedRow;
  // The behaviour chooses in the frame after a press, whatever the button
  // reads then (0 counts as the left one): a wheel notch must not count as
  // a press, or scrolling would select the cell under the pointer.
  const uint8_t pressed = focused && raw_pressed && BHVR_LeftButton(raw_button) ? 1 : 0;
  wrapper_MultiColumn(pressed, raw_released, raw_button, table->hoveredRow, table->hoveredColumn,
                      table->loadRow, table->loadColumn, table->load, table->mode,
                      table->keys.output, table->keys.key, g.rows, g.columns, &table->selectedRow,
                      &table->selectedColumn, &table->event, &table->state);
  // A selection moved by the keys or loaded from outside is brought into view.
  if (g.scrolls && (table->selectedRow != row_before || table->load)) {
    const int32_t want = Velkor_MultiColumn_follow(table->selectedRow, first, g.visible, g.rows);
    if (want != first) table->followFirst = want;
  }
}

// The parameters a line of cells shares with the table.
void set_line(Velkor_LineOfCells* line, const Velkor_MultiColumn* table, const TableGeometry& g,
              const CellLayout& cells, float width) {
  line->width = width;
  line->height = g.rowHeight;
  line->enabled = table->enabled;
  line->colorScheme = table->colorScheme;
  line->font = table->font;
  line->labelColor = table->labelColor;
  line->columns = g.columns;
  std::memcpy(line->columnX, cells.columnX, sizeof cells.columnX);
  std::memcpy(line->columnWidths, table->columnWidths, sizeof cells.columnX);
}

// Stage 7: the visible rows, one line of cells each.
void draw_rows(Velkor_MultiColumn* table, const TableGeometry& g, const CellLayout& cells,
               int32_t first, uint32_t masks, uint32_t pass) {
  for (int32_t r = 0; r < g.visible && first + r < g.rows; ++r) {
    Velkor_LineOfCells* line = &table->lines[r];
    set_line(line, table, g, cells, g.bodyWidth);
    line->faceColor = kVelkorColorNone;
    line->labelAlignment = table->labelAlignment;
    line->texts = table->texts != nullptr ? &table->texts[first + r] : nullptr;
    line->selectedColumn = cells.rowSelected[r] ? table->selectedColumn : -1;
    line->marked = table->markedRowOn && table->markedRow == first + r ? 1 : 0;
    line->markColor = table->markColor;
    line->gridColor = table->headerColor;
    line->pass = pass;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(0.0f, g.bodyHeight + cells.rowY[r] - g.rowHeight);
    Velkor_LineOfCells_draw(line, pass);
    sglPopMatrixAndTranslate();
  }
}

// Stage 8: the header line above the rows.
void draw_header(Velkor_MultiColumn* table, const TableGeometry& g, const CellLayout& cells,
                 uint32_t masks, uint32_t pass) {
  for (int32_t c = 0; c < MULTICOLUMN_CELLS_PER_ROW; ++c) {
    const char* h = table->headers[c] != nullptr ? table->headers[c] : "";
    std::strncpy(table->headerTexts[c], h, TEXT_SIZE_Strings - 1);
    table->headerTexts[c][TEXT_SIZE_Strings - 1] = '\0';
  }
  Velkor_LineOfCells* line = &table->header;
  set_line(line, table, g, cells, table->width);
  line->faceColor = table->headerColor;
  line->labelAlignment = kVelkorAlignCentre;
  line->texts = &table->headerTexts;
  line->selectedColumn = -1;
  line->marked = 0;
  line->gridColor = table->backColor;
  line->pass = pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(0.0f, g.bodyHeight);
  Velkor_LineOfCells_draw(line, pass);
  sglPopMatrixAndTranslate();
}

}  // namespace

void Velkor_MultiColumn_draw(Velkor_MultiColumn* table, uint32_t pass) {
  if (pass != table->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(table->width, table->height, &table->drawnRect);
  const bool enabled = table->enabled != 0;
  const TableGeometry g = table_geometry(table);
  int32_t first = clamp_int(table->firstRow, 0, g.maxFirst);
  const bool over_body = hover_cell(table, g, enabled, first);

  // Stage 4: pointer, focus and keys; then the background under the scroll
  // bar and the rows.
  const Velkor_Interaction step = Velkor_Interact(
      {table->width, table->height, enabled, 0, 0, table->focusId, table->focusNext}, &table->focus,
      &table->keys, pass);
  table->hover = step.hover;
  const bool focused = step.focused != 0;
  uint8_t raw_pressed = 0;
  uint8_t raw_released = 0;
  uint32_t raw_button = 0;
  Velkor_PointerState(&raw_pressed, &raw_released, &raw_button);
  const int32_t base = compute_colors(table, focused, pass);
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, table->width, table->height, table->backColor, -1,
                   table->frameStyle, 3.0f);

  const bool wheel = over_body && raw_pressed && BHVR_WheelButton(raw_button);
  first = scroll_rows(table, g, wheel, raw_button, masks, pass);
  table->firstRow = first;
  choose_cell(table, g, first, focused, raw_pressed, raw_released, raw_button);

  CellLayout cells{};
  DisplayParameters_Multicolumn(g.columns, first, g.visible, g.rowHeight, table->selectedRow,
                                table->selectedColumn, table->columnWidths, cells.columnX,
                                cells.rowY, &cells.selectionX, &cells.selectionWidth,
                                cells.rowSelected, cells.columnSelected);
  draw_rows(table, g, cells, first, masks, pass);
  if (g.header) draw_header(table, g, cells, masks, pass);

  // Stage 9: the outline on top, and the greyed veil of a disabled table.
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, table->width, table->height, -1, table->frameColor,
                   table->frameStyle, 3.0f);
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, table->width, table->height,
                     base + kVelkorColorGreyed, -1, table->frameStyle, 3.0f);
  }
  sglSetActiveMasks(masks);
}
