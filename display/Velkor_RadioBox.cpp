#include "display/Velkor_RadioBox.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

namespace {

constexpr uint32_t kClickOnPress = 1;
constexpr float kPadding = 4.0f;

int32_t item_count(const Velkor_RadioBox* box) {
  if (box->itemCount < 1) return 1;
  return box->itemCount > RADIOBOX_MAX_ITEMS ? RADIOBOX_MAX_ITEMS : box->itemCount;
}

}  // namespace

bool Velkor_RadioBox_itemCell(const Velkor_RadioBox* box, int32_t index, float* x, float* y,
                              float* w, float* h) {
  const int32_t count = item_count(box);
  if (index < 0 || index >= count) return false;
  int32_t columns = box->columns < 1 ? 1 : box->columns;
  if (columns > count) columns = count;
  const int32_t per_column = (count + columns - 1) / columns;
  const float cell_w = (box->width - 2.0f * kPadding) / static_cast<float>(columns);
  const float cell_h = (box->height - 2.0f * kPadding) / static_cast<float>(per_column);
  const int32_t column = index / per_column;
  const int32_t row = index % per_column;
  *x = kPadding + static_cast<float>(column) * cell_w;
  *y = box->height - kPadding - static_cast<float>(row + 1) * cell_h;
  *w = cell_w;
  *h = cell_h;
  return true;
}

Velkor_RadioBox* Velkor_RadioBox_alloc() {
  return static_cast<Velkor_RadioBox*>(std::calloc(1, sizeof(Velkor_RadioBox)));
}

void Velkor_RadioBox_free(Velkor_RadioBox* box) {
  std::free(box);
}

void Velkor_RadioBox_init(Velkor_RadioBox* box) {
  *box = Velkor_RadioBox{};
  box->width = 138.0f;
  box->height = 86.0f;
  box->enabled = 1;
  box->frameStyle = kVelkorDefaultFrameStyle;
  box->faceColor = kVelkorFromScheme;
  box->font = kVelkorDefaultFont;
  box->labelColor = kVelkorFromScheme;
  box->labelAlignment = 0;
  for (int i = 0; i < RADIOBOX_MAX_ITEMS; ++i) box->itemFlags[i] = 1;
  box->itemCount = 3;
  box->columns = 1;
  box->selectedIndex = -1;
  box->hoveredItem = -1;
  Velkor_ClickArea_init(&box->area);
  for (auto& item : box->itemViews) Velkor_ComboBoxItem_init(&item);
  Velkor_IndividualFocus_init(&box->focus);
  Velkor_KeyEvent_init(&box->keys);
  box->keys.mode = 1;
  wrapper_RadioBox_reset(&box->state);
}

void Velkor_RadioBox_predraw(Velkor_RadioBox* box) {
  Velkor_ClearDrawnRect(&box->drawnRect);
  box->event = 0;
  box->hover = 0;
  box->hoveredItem = -1;
  Velkor_ClickArea_predraw(&box->area);
  for (auto& item : box->itemViews) Velkor_ComboBoxItem_predraw(&item);
  Velkor_IndividualFocus_predraw(&box->focus);
  Velkor_KeyEvent_predraw(&box->keys);
}

void Velkor_RadioBox_draw(Velkor_RadioBox* box, uint32_t pass) {
  if (pass != box->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(box->width, box->height, &box->drawnRect);
  const bool enabled = box->enabled != 0;
  const int32_t count = item_count(box);

  Velkor_KeyEvent* keys = &box->keys;
  const Velkor_Interaction step =
      Velkor_Interact({box->width, box->height, enabled, 0, 0, box->focusId, box->focusNext},
                      &box->focus, keys, pass);
  box->hover = step.hover;
  const bool focused = step.focused != 0;
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  for (int32_t i = 0; i < count && box->hover; ++i) {
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    Velkor_RadioBox_itemCell(box, i, &x, &y, &w, &h);
    if (sglRectangleActiveAreaGetStatus(px, py, x, y, x + w, y + h)) {
      box->hoveredItem = i;
      break;
    }
  }

  Velkor_ClickArea* area = &box->area;
  area->width = box->width;
  area->height = box->height;
  area->enabled = box->enabled;
  area->mode = kClickOnPress;
  area->showHighlight = 0;
  area->pass = pass;
  sglSetActiveMasks(masks);
  Velkor_ClickArea_draw(area, pass);

  uint8_t clicks[RADIOBOX_MAX_ITEMS] = {};
  uint8_t item_enabled[RADIOBOX_MAX_ITEMS] = {};
  for (int32_t i = 0; i < count; ++i) item_enabled[i] = enabled && box->itemFlags[i] ? 1 : 0;
  const int32_t hit = box->hoveredItem;
  if (area->click && hit >= 0 && item_enabled[hit]) clicks[hit] = 1;
  // A clicked item also takes the keyboard cursor.
  wrapper_RadioBox(count, clicks, box->forcedIndex, box->force, keys->output, keys->key, clicks,
                   item_enabled, nullptr, &box->event, &box->selectedIndex, &box->cursor,
                   &box->state);

  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = box->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  const int32_t base = colours.base;
  box->baseColor = base;
  box->frameColor = base + (focused ? kVelkorColorFrameFocused : kVelkorColorFrame);
  box->backColor = box->faceColor >= 0 ? box->faceColor : base + kVelkorColorBevel;
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, box->width, box->height, box->backColor,
                   box->frameColor, box->frameStyle, 6.0f);
  for (int32_t i = 0; i < count; ++i) {
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    Velkor_RadioBox_itemCell(box, i, &x, &y, &w, &h);
    Velkor_ComboBoxItem* item = &box->itemViews[i];
    item->width = w;
    item->height = h;
    item->enabled = item_enabled[i];
    item->colorScheme = box->colorScheme;
    item->label = box->items[i];
    item->font = box->font;
    item->labelColor = box->labelColor;
    item->labelAlignment = box->labelAlignment;
    item->showRadio = 1;
    item->selected = box->state.selection[i];
    item->highlighted = focused && box->cursor == i ? 1 : 0;
    item->hovered = hit == i ? 1 : 0;
    item->pass = pass;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(x, y);
    Velkor_ComboBoxItem_draw(item, pass);
    sglPopMatrixAndTranslate();
  }
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, box->width, box->height, base + kVelkorColorGreyed,
                     -1, box->frameStyle, 6.0f);
  }
  sglSetActiveMasks(masks);
}
