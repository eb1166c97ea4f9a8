#include "display/Velkor_ScrollList_generic.h"

#include <cstdlib>
#include <cstring>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/interactivity_mapping.h"

namespace {

int32_t clamp_count(int32_t count) {
  if (count < 0) return 0;
  return count > kVelkorListItems ? kVelkorListItems : count;
}

}  // namespace

int32_t Velkor_ScrollList_generic_shownRows(const Velkor_ScrollList_generic* list) {
  int32_t rows = list->rows;
  if (rows > kVelkorListRows) rows = kVelkorListRows;
  const int32_t count = clamp_count(list->itemCount);
  if (rows > count) rows = count;
  return rows < 1 ? 1 : rows;
}

Velkor_ScrollList_generic* Velkor_ScrollList_generic_alloc() {
  return static_cast<Velkor_ScrollList_generic*>(std::calloc(1, sizeof(Velkor_ScrollList_generic)));
}

void Velkor_ScrollList_generic_free(Velkor_ScrollList_generic* list) {
  std::free(list);
}

void Velkor_ScrollList_generic_init(Velkor_ScrollList_generic* list) {
  *list = Velkor_ScrollList_generic{};
  list->width = 180.0f;
  list->height = 9 * 25.0f;
  list->enabled = 1;
  list->frameStyle = kVelkorCornerSquare;
  list->faceColor = kVelkorFromScheme;
  list->font = kVelkorDefaultFont;
  list->labelColor = kVelkorFromScheme;
  list->labelAlignment = 0;
  for (int i = 0; i < kVelkorListItems; ++i) list->itemFlags[i] = 1;
  list->rows = kVelkorListRows;
  list->visible = 1;
  list->scrollBarWidth = 14.0f;
  list->hoveredRow = -1;
  for (auto& item : list->rowItems) Velkor_ComboBoxItem_init(&item);
  Velkor_ScrollBar_init(&list->scrollBar);
  Velkor_IndividualFocus_init(&list->focus);
  Velkor_KeyEvent_init(&list->keys);
  list->keys.mode = 1;
  wrapper_ScrollList_reset(&list->state);
}

void Velkor_ScrollList_generic_predraw(Velkor_ScrollList_generic* list) {
  Velkor_ClearDrawnRect(&list->drawnRect);
  list->event = 0;
  list->hover = 0;
  list->hoveredRow = -1;
  for (auto& item : list->rowItems) Velkor_ComboBoxItem_predraw(&item);
  Velkor_ScrollBar_predraw(&list->scrollBar);
  Velkor_IndividualFocus_predraw(&list->focus);
  Velkor_KeyEvent_predraw(&list->keys);
}

namespace {

// Where the list's parts go this frame.
struct ListGeometry {
  int32_t count;  // items
  int32_t rows;   // rows shown
  float rowHeight;
  bool scrolls;     // more items than rows: the scroll bar stands at the right
  float rowsWidth;  // left of the scroll bar
};

// Stage 1: geometry.
ListGeometry list_geometry(const Velkor_ScrollList_generic* list) {
  ListGeometry g{};
  g.count = clamp_count(list->itemCount);
  g.rows = Velkor_ScrollList_generic_shownRows(list);
  g.rowHeight = list->height / static_cast<float>(g.rows);
  g.scrolls = g.count > g.rows;
  const float bar_w = g.scrolls ? list->scrollBarWidth : 0.0f;
  g.rowsWidth = list->width - bar_w;
  return g;
}

// Stage 2: the row under the pointer.
void hover_rows(Velkor_ScrollList_generic* list, const ListGeometry& g, bool live) {
  for (int32_t r = 0; r < kVelkorListRows; ++r) {
    uint8_t hit = 0;
    if (live && r < g.rows) {
      float px = 0.0f;
      float py = 0.0f;
      Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
      const float top = list->height - static_cast<float>(r) * g.rowHeight;
      hit = sglRectangleActiveAreaGetStatus(px, py, 0.0f, top - g.rowHeight, g.rowsWidth, top) ? 1
                                                                                               : 0;
    }
    list->rowHover[r] = hit;
    if (hit) list->hoveredRow = r;
  }
}

// Stage 4: the colours; the background goes under the scroll bar.
void draw_background(Velkor_ScrollList_generic* list, bool visible, uint8_t active, uint32_t masks,
                     uint32_t pass) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = list->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  list->backColor = list->faceColor >= 0 ? list->faceColor : colours.base + kVelkorColorBevel;
  list->frameColor = colours.base + (active ? kVelkorColorFrameFocused : kVelkorColorLabel);
  if (visible) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, list->width, list->height, list->backColor, -1,
                     list->frameStyle, 3.0f);
  }
}

// Stage 5: the scroll bar. It follows the list when the behaviour asked
// for it in the last frame; the wheel over the rows scrolls like the wheel
// over the bar. Outputs the bar's position and whether it moved.
void scroll_rows(Velkor_ScrollList_generic* list, const ListGeometry& g, bool visible, bool wheel,
                 uint32_t raw_button, uint32_t masks, uint32_t pass, float* position,
                 uint8_t* moved) {
  Velkor_ScrollBar* bar = &list->scrollBar;
  bar->width = list->scrollBarWidth;
  bar->height = list->height;
  bar->enabled = list->enabled;
  bar->colorScheme = list->colorScheme;
  bar->orientation = kVelkorScrollBarVertical;
  bar->direction = 0;
  bar->maximum = static_cast<float>(g.count - g.rows > 0 ? g.count - g.rows : 0);
  bar->pageStep = static_cast<float>(g.rows);
  bar->lineStep = 1.0f;
  bar->value = static_cast<float>(list->state.firstVisible);
  bar->load = list->state.scrollChanged;
  bar->keyEnable = 0;  // the list's own keys move its cursor
  bar->lineUpIn = wheel && raw_button == BHVR_WHEEL_AWAY ? 1 : 0;
  bar->lineDownIn = wheel && raw_button == BHVR_WHEEL_TOWARDS ? 1 : 0;
  bar->pass = pass;
  *position = 0.0f;
  *moved = 0;
  if (visible && g.scrolls) {
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(g.rowsWidth, 0.0f);
    Velkor_ScrollBar_draw(bar, pass);
    sglPopMatrixAndTranslate();
    *position = bar->position;
    *moved = bar->moved;
  }
}

// Stage 6: the selection, by the pointer, the keys or loaded from outside.
void choose_item(Velkor_ScrollList_generic* list, const ListGeometry& g, uint8_t active,
                 uint8_t raw_pressed, uint8_t raw_released, uint32_t raw_button,
                 float scroll_position, uint8_t scroll_moved) {
  // The behaviour reads whole text cells.
  for (int32_t i = 0; i < kVelkorListItems; ++i) {
    const char* text = list->items[i] != nullptr ? list->items[i] : "";
    std::strncpy(list->texts[i], text, TEXT_SIZE_Strings - 1);
    list->texts[i][TEXT_SIZE_Strings - 1] = '\0';
  }
  const int32_t selected_before = list->state.selectedIndex;
  const uint8_t event_before = list->state.previousEvent;
  wrapper_ScrollList(active ? raw_pressed : 0, raw_released, raw_button, list->rowHover, g.count,
                     g.rows, list->texts, list->selectedIn, list->load, list->itemFlags, list->mode,
                     scroll_position, scroll_moved, list->keys.output, list->keys.key, active, 0, 1,
                     &list->selectedIndex, &list->event, nullptr, nullptr, nullptr, nullptr,
                     &list->firstVisible, nullptr, &list->state);
  // Enter on a cursor row that holds a disabled item would choose it: such
  // a choice is taken back, the selection stays where it was.
  const int32_t chosen = list->state.selectedIndex;
  if (list->event && !list->load && chosen >= 0 && chosen < kVelkorListItems &&
      list->itemFlags[chosen] == 0) {
    list->state.selectedIndex = selected_before;
    list->state.event = event_before && !BHVR_AsynchronousACK;
    list->state.previousEvent = list->state.event;
    list->selectedIndex = selected_before;
    list->event = list->state.event;
    // The rows are drawn from these flags: the refused row must not show
    // as the selection, not even for this one frame.
    for (int32_t r = 0; r < kVelkorListRows; ++r) {
      list->state.visibleSelected[r] = (r == selected_before - list->state.firstVisible) ? 1 : 0;
    }
  }
}

// Stage 7: the rows over the background.
void draw_rows(Velkor_ScrollList_generic* list, const ListGeometry& g, uint32_t masks,
               uint32_t pass) {
  for (int32_t r = 0; r < g.rows; ++r) {
    Velkor_ComboBoxItem* item = &list->rowItems[r];
    const int32_t index = list->state.firstVisible + r;
    item->width = g.rowsWidth;
    item->height = g.rowHeight;
    item->enabled = list->enabled && list->state.visibleEnabled[r];
    item->colorScheme = list->colorScheme;
    item->label = list->state.visibleTexts[r];
    item->font = list->font;
    item->labelColor = list->labelColor;
    item->labelAlignment = list->labelAlignment;
    item->showRadio = list->showRadio;
    item->selected = list->state.visibleSelected[r];
    item->highlighted = list->state.visibleHighlighted[r];
    item->hovered = list->rowHover[r] && index < g.count;
    item->pass = pass;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(0.0f, list->height - static_cast<float>(r + 1) * g.rowHeight);
    Velkor_ComboBoxItem_draw(item, pass);
    sglPopMatrixAndTranslate();
  }
}

}  // namespace

void Velkor_ScrollList_generic_draw(Velkor_ScrollList_generic* list, uint32_t pass) {
  if (pass != list->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  const bool visible = list->visible != 0;
  const bool enabled = list->enabled != 0;
  const ListGeometry g = list_geometry(list);
  if (visible) Velkor_RecordDrawnRect(list->width, list->height, &list->drawnRect);
  hover_rows(list, g, visible && enabled);

  // Stage 3: pointer, focus and keys. A hidden list (a closed combo box)
  // neither hovers nor takes the focus.
  const Velkor_Interaction step = Velkor_Interact(
      {list->width, list->height, visible && enabled, 0, 0, list->focusId, list->focusNext},
      &list->focus, &list->keys, pass);
  list->hover = step.hover;
  const uint8_t active = step.focused;
  uint8_t raw_pressed = 0;
  uint8_t raw_released = 0;
  uint32_t raw_button = 0;
  Velkor_PointerState(&raw_pressed, &raw_released, &raw_button);

  draw_background(list, visible, active, masks, pass);
  const bool wheel =
      list->hover && raw_pressed && BHVR_WheelButton(raw_button) && list->hoveredRow >= 0;
  float scroll_position = 0.0f;
  uint8_t scroll_moved = 0;
  scroll_rows(list, g, visible, wheel, raw_button, masks, pass, &scroll_position, &scroll_moved);
  choose_item(list, g, active, raw_pressed, raw_released, raw_button, scroll_position,
              scroll_moved);
  if (!visible) {
    sglSetActiveMasks(masks);
    return;
  }
  draw_rows(list, g, masks, pass);
  // Stage 8: the outline on top.
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, list->width, list->height, -1, list->frameColor,
                   list->frameStyle, 3.0f);
  sglSetActiveMasks(masks);
}
