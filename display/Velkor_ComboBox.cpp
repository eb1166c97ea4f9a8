#include "display/Velkor_ComboBox.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/Focus.h"

namespace {
constexpr uint32_t kClickOnPress = 1;
constexpr float kArrowZone = 24.0f;
}  // namespace

float Velkor_ComboBox_listHeight(const Velkor_ComboBox* combo) {
  const float row_h = combo->listRowHeight > 0.0f ? combo->listRowHeight : combo->height;
  return row_h * static_cast<float>(Velkor_ScrollList_generic_shownRows(&combo->list));
}

Velkor_ComboBox* Velkor_ComboBox_alloc() {
  return static_cast<Velkor_ComboBox*>(std::calloc(1, sizeof(Velkor_ComboBox)));
}

void Velkor_ComboBox_free(Velkor_ComboBox* combo) {
  std::free(combo);
}

void Velkor_ComboBox_init(Velkor_ComboBox* combo) {
  *combo = Velkor_ComboBox{};
  combo->width = 180.0f;
  combo->height = 34.0f;
  combo->enabled = 1;
  combo->frameStyle = kVelkorDefaultFrameStyle;
  combo->faceColor = kVelkorFromScheme;
  combo->font = kVelkorDefaultFont;
  combo->labelColor = kVelkorFromScheme;
  combo->labelAlignment = 0;
  for (int i = 0; i < kVelkorListItems; ++i) combo->itemFlags[i] = 1;
  combo->shownItems = kVelkorListRows;
  combo->selectedIndex = 0;
  Velkor_ClickArea_init(&combo->button);
  Velkor_ScrollList_generic_init(&combo->list);
  Velkor_IndividualFocus_init(&combo->focus);
  Velkor_KeyEvent_init(&combo->keys);
  combo->keys.mode = 1;
  wrapper_ComboBox_reset(&combo->state);
}

void Velkor_ComboBox_predraw(Velkor_ComboBox* combo) {
  Velkor_ClearDrawnRect(&combo->drawnRect);
  combo->event = 0;
  combo->hover = 0;
  Velkor_ClickArea_predraw(&combo->button);
  Velkor_ScrollList_generic_predraw(&combo->list);
  Velkor_IndividualFocus_predraw(&combo->focus);
  Velkor_KeyEvent_predraw(&combo->keys);
}

namespace {

// Stage 2: the list. Its behaviour runs every frame (a forced index loads
// while it is closed), its rows only while it is open, with the box's focus.
void step_list(Velkor_ComboBox* combo, bool was_open, bool focused, float list_h, uint32_t masks,
               uint32_t pass) {
  Velkor_ScrollList_generic* list = &combo->list;
  for (int i = 0; i < kVelkorListItems; ++i) {
    list->items[i] = combo->items[i];
    list->itemFlags[i] = combo->itemFlags[i];
  }
  list->width = combo->width;
  list->height = list_h;
  list->enabled = combo->enabled;
  list->colorScheme = combo->colorScheme;
  list->font = combo->font;
  list->labelColor = combo->labelColor;
  // A forced index outside the items is "none": the list is not loaded
  // (it would take item 0 for it), the box shows nothing chosen.
  const bool force_none =
      combo->force && (combo->forcedIndex < 0 || combo->forcedIndex >= list->itemCount);
  if (combo->force) combo->noneSelected = force_none ? 1 : 0;
  list->selectedIn = combo->forcedIndex;
  list->load = combo->force && !force_none ? 1 : 0;
  list->visible = was_open ? 1 : 0;
  list->pass = pass;
  FocusOverride(was_open && focused ? FOCUS_OVERRIDE_FOCUSED : FOCUS_OVERRIDE_UNFOCUSED);
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(0.0f, -list_h);
  Velkor_ScrollList_generic_draw(list, pass);
  sglPopMatrixAndTranslate();
  ReleaseOverride();
}

// Stage 4: the colours of the scheme. Returns its base colour.
int32_t compute_colors(Velkor_ComboBox* combo, bool focused, uint32_t pass) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = combo->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  const int32_t base = colours.base;
  combo->baseColor = base;
  combo->frameColor = base + (focused ? kVelkorColorFrameFocused : kVelkorColorFrame);
  combo->bevelColor = base + kVelkorColorBevel;
  combo->faceColorComputed = combo->faceColor >= 0 ? combo->faceColor : base + kVelkorColorBevel;
  combo->labelColorComputed = combo->labelColor >= 0 ? combo->labelColor : base + kVelkorColorLabel;
  return base;
}

// Stage 5: the closed box: frame, face, and the chosen item (or the label)
// left of the arrow's zone.
void draw_box(const Velkor_ComboBox* combo, float arrow_zone, uint32_t masks, uint32_t pass) {
  const float w = combo->width;
  const float h = combo->height;
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, w, h, combo->frameColor, combo->frameColor,
                   combo->frameStyle, 8.0f);
  Velkor_DrawFrame(masks, pass, 3.4f, 3.4f, w - 6.8f, h - 6.8f, combo->faceColorComputed,
                   combo->bevelColor, combo->frameStyle, 4.6f);
  const int32_t index = combo->selectedIndex;
  const int32_t count = combo->itemCount;
  const char* shown = combo->label;
  if (index >= 0 && index < count && index < kVelkorListItems && combo->items[index] != nullptr) {
    shown = combo->items[index];
  }
  Velkor_DrawLabel(masks, pass, 6.0f, 0.0f, w - 12.0f - arrow_zone, h, shown,
                   static_cast<int32_t>(combo->font), combo->labelColorComputed,
                   combo->labelAlignment);
}

// Stage 6: the arrow points down while closed and up while open.
void draw_arrow(const Velkor_ComboBox* combo, float arrow_zone, uint32_t masks) {
  const float ax = combo->width - arrow_zone / 2.0f - 4.0f;
  const float ay = combo->height / 2.0f;
  const float s = arrow_zone / 4.0f;
  if (combo->open) {
    Velkor_DrawTriangle(masks, ax - s, ay - s / 2.0f, ax + s, ay - s / 2.0f, ax, ay + s / 2.0f,
                        combo->labelColorComputed);
  } else {
    Velkor_DrawTriangle(masks, ax - s, ay + s / 2.0f, ax, ay - s / 2.0f, ax + s, ay + s / 2.0f,
                        combo->labelColorComputed);
  }
}

}  // namespace

void Velkor_ComboBox_draw(Velkor_ComboBox* combo, uint32_t pass) {
  if (pass != combo->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(combo->width, combo->height, &combo->drawnRect);
  const bool enabled = combo->enabled != 0;
  const bool was_open = combo->state.open != 0;
  Velkor_ScrollList_generic* list = &combo->list;
  list->rows = combo->shownItems;
  list->itemCount = combo->itemCount;
  const float list_h = Velkor_ComboBox_listHeight(combo);

  // Stage 1: pointer, focus and keys. The box, and the open list below it,
  // ask for the focus; a press on the box opens or closes the list.
  uint8_t over_list = 0;
  if (enabled && was_open) {
    float px = 0.0f;
    float py = 0.0f;
    Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
    over_list = sglRectangleActiveAreaGetStatus(px, py, 0.0f, -list_h, combo->width, 0.0f) ? 1 : 0;
  }
  const Velkor_Interaction step = Velkor_Interact(
      {combo->width, combo->height, enabled, over_list, 0, combo->focusId, combo->focusNext},
      &combo->focus, &combo->keys, pass);
  combo->hover = step.hover;
  const bool focused = step.focused != 0;
  Velkor_ClickArea* button = &combo->button;
  button->width = combo->width;
  button->height = combo->height;
  button->enabled = combo->enabled;
  button->mode = kClickOnPress;
  button->showHighlight = 0;
  button->pass = pass;
  sglSetActiveMasks(masks);
  Velkor_ClickArea_draw(button, pass);

  step_list(combo, was_open, focused, list_h, masks, pass);

  // Stage 3: the box's behaviour: open, close, take the chosen item.
  const uint8_t chosen = was_open && list->event ? 1 : 0;
  wrapper_ComboBox(combo->enabled, combo->keys.output, combo->keys.key, button->click, chosen,
                   combo->mode, &combo->open, &combo->state);
  if (chosen) combo->noneSelected = 0;
  combo->selectedIndex = combo->noneSelected ? -1 : list->selectedIndex;
  combo->event = chosen;

  const int32_t base = compute_colors(combo, focused, pass);
  const float arrow_zone = kArrowZone < combo->width / 3.0f ? kArrowZone : combo->width / 3.0f;
  draw_box(combo, arrow_zone, masks, pass);
  draw_arrow(combo, arrow_zone, masks);
  // Stage 7: the greyed veil of a disabled box.
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, combo->width, combo->height,
                     base + kVelkorColorGreyed, -1, combo->frameStyle, 8.0f);
  }
  sglSetActiveMasks(masks);
}
