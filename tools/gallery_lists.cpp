// Gallery family: lists, the table, the scroll panel, text edit boxes,
// sliders, scales and gauges, each in the states a student meets them in.
#include <cstdio>

#include "display/Velkor_ComboBox.h"
#include "display/Velkor_ComboBoxItem.h"
#include "display/Velkor_Cursor.h"
#include "display/Velkor_Gauge.h"
#include "display/Velkor_GaugeHorizontal.h"
#include "display/Velkor_GaugeVertical.h"
#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_LineOfCells.h"
#include "display/Velkor_MultiColumn.h"
#include "display/Velkor_MultiColumnCell.h"
#include "display/Velkor_RadioBox.h"
#include "display/Velkor_Scale.h"
#include "display/Velkor_Scale_element.h"
#include "display/Velkor_ScrollBar.h"
#include "display/Velkor_ScrollList_generic.h"
#include "display/Velkor_ScrollPanel.h"
#include "display/Velkor_Slider.h"
#include "display/Velkor_SliderThumb.h"
#include "display/Velkor_TextEditBox.h"
#include "graphics/sgl.h"
#include "tools/gallery.h"
#include "widgets/TextEditBox.h"

namespace {

const char* const kFormats[] = {"Double Operand", "Single Operand", "Jump", "Emulated",
                                "---no instruction---"};
const char* const kSlots[] = {"Slot 1", "Slot 2", "Slot 3", "Slot 4", "Slot 5",
                              "Slot 6", "Slot 7", "Slot 8", "Slot 9", "Slot 10"};
const char* const kRegisters[] = {"R0/PC", "R1/SP", "R2/SR/CG1", "R3/CG2", "R4",  "R5",
                                  "R6",    "R7",    "R8",        "R9",     "R10", "R11"};
const char* const kSpeeds[] = {"Slow", "Medium", "Fast"};

Velkor_ComboBox combo_closed;
Velkor_ComboBox combo_open;
Velkor_ComboBox combo_disabled;
Velkor_ScrollList_generic list;
Velkor_RadioBox radio;
Velkor_MultiColumn table;
Velkor_ScrollPanel scroll_panel;
Velkor_TextEditBox edit_shown;
Velkor_TextEditBox edit_caret;
Velkor_TextEditBox edit_selected;
Velkor_TextEditBox edit_disabled;
Velkor_Slider slider;
Velkor_Slider slider_disabled;
Velkor_Scale scale;
Velkor_Gauge gauge;
Velkor_Gauge gauge_labelled;
Velkor_Gauge gauge_vertical;
Velkor_ScrollBar bar_vertical;
Velkor_ScrollBar bar_horizontal;
MultiColumn_Row rows[64];
const char* const kHeaders[] = {"Adresse", "High Byte", "Low Byte"};

// The scroll panel's content: a column of register names and values.
void draw_register_rows(void*, uint32_t, int32_t, uint32_t children_pass) {
  static const char* const kValues[] = {"FF80", "0280", "0003", "0000", "1234", "ABCD",
                                        "0000", "00FF", "7FFF", "8000", "0001", "FFFF"};
  for (int i = 0; i < 12; ++i) {
    Velkor_ComboBoxItem item;
    Velkor_ComboBoxItem_init(&item);
    item.width = 140.0f;
    item.height = 26.0f;
    item.label = kRegisters[i];
    item.font = 20;
    item.faceColor = i % 2 == 0 ? 3 : 2;
    item.pass = children_pass;
    sglPushMatrixAndTranslate(6.0f, 340.0f - 28.0f * static_cast<float>(i + 1));
    Velkor_ComboBoxItem_draw(&item, children_pass);
    sglPopMatrixAndTranslate();
    Velkor_MultiColumnCell cell;
    Velkor_MultiColumnCell_init(&cell);
    cell.width = 70.0f;
    cell.height = 26.0f;
    cell.label = kValues[i];
    cell.faceColor = 32;
    cell.gridColor = 6;
    cell.pass = children_pass;
    sglPushMatrixAndTranslate(150.0f, 340.0f - 28.0f * static_cast<float>(i + 1));
    Velkor_MultiColumnCell_draw(&cell, children_pass);
    sglPopMatrixAndTranslate();
  }
}

void init_combo(Velkor_ComboBox* c, const char* const* items, int32_t count, int32_t shown) {
  Velkor_ComboBox_init(c);
  c->width = 170.0f;
  c->height = 30.0f;
  c->font = 20;
  for (int32_t i = 0; i < count; ++i) c->items[i] = items[i];
  c->itemCount = count;
  c->shownItems = shown;
  c->listRowHeight = 26.0f;
}

void init_edit(Velkor_TextEditBox* e, const char* text) {
  Velkor_TextEditBox_init(e);
  e->width = 132.0f;
  e->height = 30.0f;
  e->initialText = text;
}

// An edit box kept editing: the caret shown in every frame, and for the
// other box the whole text selected, as after a double click.
void keep_editing(Velkor_TextEditBox* e, bool selected) {
  TextEditBox_State* s = &e->state;
  s->state = TEXTEDITBOX_EDITING;
  s->editing = 1;
  s->leaveRequest = 0;
  s->entering = 0;
  s->blinkPhase = 0;
  s->restartA = 1;
  s->selected = selected ? 1 : 0;
  s->selectedMemory = s->selected;
  s->changed = 0;
}

template <typename T>
void at(float x, float y, T* instance, void (*draw)(T*, uint32_t)) {
  sglPushMatrixAndTranslate(x, y);
  draw(instance, 0);
  sglPopMatrixAndTranslate();
}

}  // namespace

void Gallery_Lists_init() {
  init_combo(&combo_closed, kFormats, 5, 5);
  combo_closed.itemFlags[4] = 0;
  combo_closed.forcedIndex = 2;
  combo_closed.force = 1;
  init_combo(&combo_open, kSlots, 10, 4);
  combo_open.label = "Slot";
  combo_open.forcedIndex = 1;
  combo_open.force = 1;
  combo_open.state.open = 1;  // as after a click on the box
  init_combo(&combo_disabled, kRegisters, 12, 5);
  combo_disabled.enabled = 0;

  Velkor_ScrollList_generic_init(&list);
  list.width = 170.0f;
  list.height = 5 * 24.0f;
  list.font = 20;
  for (int32_t i = 0; i < 12; ++i) list.items[i] = kRegisters[i];
  list.itemFlags[3] = 0;
  list.itemCount = 12;
  list.rows = 5;
  list.selectedIn = 6;
  list.load = 1;
  list.showRadio = 1;

  Velkor_RadioBox_init(&radio);
  radio.width = 138.0f;
  radio.height = 86.0f;
  radio.font = 20;
  for (int32_t i = 0; i < 3; ++i) radio.items[i] = kSpeeds[i];
  radio.itemCount = 3;
  radio.forcedIndex = 1;
  radio.force = 1;

  for (int r = 0; r < 64; ++r) {
    std::snprintf(rows[r][0], sizeof rows[r][0], "%04X", 0xFFFE - 2 * r);
    std::snprintf(rows[r][1], sizeof rows[r][1], "%02X", (r * 37) & 0xFF);
    std::snprintf(rows[r][2], sizeof rows[r][2], "%02X", (r * 91) & 0xFF);
  }
  Velkor_MultiColumn_init(&table);
  table.width = 215.0f;
  table.height = 260.0f;
  table.faceColor = 52;
  table.texts = rows;
  table.rowCount = 64;
  for (int c = 0; c < 3; ++c) table.headers[c] = kHeaders[c];
  table.markedRow = 2;
  table.markedRowOn = 1;
  table.loadRow = 4;
  table.loadColumn = 1;
  table.load = 1;

  Velkor_ScrollPanel_init(&scroll_panel);
  scroll_panel.width = 190.0f;
  scroll_panel.height = 200.0f;
  scroll_panel.contentWidth = 240.0f;
  scroll_panel.contentHeight = 340.0f;
  scroll_panel.children = draw_register_rows;

  init_edit(&edit_shown, "0x0000");
  init_edit(&edit_caret, "0x1234");
  init_edit(&edit_selected, "0x0280");
  init_edit(&edit_disabled, "0xFFFF");
  edit_disabled.enabled = 0;

  Velkor_Slider_init(&slider);
  slider.width = 220.0f;
  slider.height = 50.0f;
  slider.minimum = -512.0f;
  slider.maximum = 511.0f;
  slider.step = 1.0f;
  slider.labelColor = 2;
  slider.forcedValue = 128.0f;
  slider.force = 1;
  Velkor_Slider_init(&slider_disabled);
  slider_disabled.width = 130.0f;
  slider_disabled.height = 24.0f;
  slider_disabled.showScale = 0;
  slider_disabled.forcedValue = 30.0f;
  slider_disabled.force = 1;
  slider_disabled.enabled = 0;

  Velkor_Scale_init(&scale);
  scale.width = 250.0f;
  scale.height = 30.0f;
  scale.minimum = 0.0f;
  scale.maximum = 1.0f;
  scale.labelColor = 2;

  Velkor_Gauge_init(&gauge);
  gauge.value = 0.4f;
  Velkor_Gauge_init(&gauge_labelled);
  // Its end labels stand centred on the bar's ends: room is left for half
  // of "100" beyond the right end, inside the plate.
  gauge_labelled.width = 170.0f;
  gauge_labelled.height = 40.0f;
  gauge_labelled.minimum = 0.0f;
  gauge_labelled.maximum = 100.0f;
  gauge_labelled.value = 70.0f;
  gauge_labelled.labelled = 1;
  gauge_labelled.colorScheme = 1;
  Velkor_Gauge_init(&gauge_vertical);
  gauge_vertical.vertical = 1;
  gauge_vertical.width = 16.0f;
  gauge_vertical.height = 160.0f;
  gauge_vertical.value = 0.65f;

  Velkor_ScrollBar_init(&bar_vertical);
  bar_vertical.width = 16.0f;
  bar_vertical.height = 160.0f;
  bar_vertical.value = 3.0f;
  bar_vertical.load = 1;
  Velkor_ScrollBar_init(&bar_horizontal);
  bar_horizontal.orientation = kVelkorScrollBarHorizontal;
  bar_horizontal.direction = 1;
  bar_horizontal.width = 150.0f;
  bar_horizontal.height = 16.0f;
  bar_horizontal.value = 7.0f;
  bar_horizontal.load = 1;
}

void Gallery_Lists_draw(const GalleryRegion* region) {
  const float x0 = region->x + 14.0f;
  const float x1 = region->x + 204.0f;
  const float x2 = region->x + 440.0f;
  const float top = region->y + region->height - 40.0f;

  // Column 1: combo boxes, a list, a radio box.
  Velkor_ComboBox_predraw(&combo_closed);
  Velkor_ComboBox_predraw(&combo_open);
  Velkor_ComboBox_predraw(&combo_disabled);
  Gallery_ClassCaption(x0, top + 4.0f, "ComboBox");
  at(x0, top - 34.0f, &combo_closed, Velkor_ComboBox_draw);
  combo_closed.force = 0;
  Gallery_Caption(x0, top - 48.0f, "open, focused, item hovered");
  Gallery_BeginHover(x0 + 60.0f, top - 82.0f - 26.0f * 2.5f);
  at(x0, top - 82.0f, &combo_open, Velkor_ComboBox_draw);
  Gallery_EndHover();
  combo_open.force = 0;
  Gallery_Caption(x0, top - 214.0f, "disabled");
  at(x0, top - 250.0f, &combo_disabled, Velkor_ComboBox_draw);

  Gallery_ClassCaption(x0, top - 270.0f, "ScrollList_generic, ComboBoxItem");
  Velkor_ScrollList_generic_predraw(&list);
  Gallery_BeginFocus();
  at(x0, top - 400.0f, &list, Velkor_ScrollList_generic_draw);
  Gallery_EndFocus();
  list.load = 0;

  Gallery_ClassCaption(x0, top - 420.0f, "RadioBox");
  Velkor_RadioBox_predraw(&radio);
  Gallery_BeginHover(x0 + 60.0f, top - 470.0f);
  at(x0, top - 520.0f, &radio, Velkor_RadioBox_draw);
  Gallery_EndHover();
  radio.force = 0;

  Gallery_ClassCaption(x0, top - 540.0f, "ScrollBar");
  Velkor_ScrollBar_predraw(&bar_vertical);
  Velkor_ScrollBar_predraw(&bar_horizontal);
  at(x0, top - 720.0f + 10.0f, &bar_vertical, Velkor_ScrollBar_draw);
  at(x0 + 26.0f, top - 580.0f, &bar_horizontal, Velkor_ScrollBar_draw);
  bar_vertical.load = 0;
  bar_horizontal.load = 0;

  // Column 2: the table, text edit boxes, the slider.
  Gallery_ClassCaption(x1, top + 4.0f, "MultiColumn, LineOfCells");
  Velkor_MultiColumn_predraw(&table);
  at(x1, top - 264.0f, &table, Velkor_MultiColumn_draw);
  table.load = 0;
  Gallery_Caption(x1, top - 276.0f, "MultiColumnCell (4, 1), row 2 marked");

  Gallery_ClassCaption(x1, top - 300.0f, "TextEditBox, Cursor");
  Velkor_TextEditBox_predraw(&edit_shown);
  Velkor_TextEditBox_predraw(&edit_caret);
  Velkor_TextEditBox_predraw(&edit_selected);
  Velkor_TextEditBox_predraw(&edit_disabled);
  at(x1, top - 338.0f, &edit_shown, Velkor_TextEditBox_draw);
  Gallery_Caption(x1 + 140.0f, top - 323.0f, "shown");
  Gallery_BeginFocus();
  keep_editing(&edit_caret, false);
  at(x1, top - 374.0f, &edit_caret, Velkor_TextEditBox_draw);
  keep_editing(&edit_selected, true);
  at(x1, top - 410.0f, &edit_selected, Velkor_TextEditBox_draw);
  Gallery_EndFocus();
  Gallery_Caption(x1 + 140.0f, top - 359.0f, "caret");
  Gallery_Caption(x1 + 140.0f, top - 395.0f, "selected");
  at(x1, top - 446.0f, &edit_disabled, Velkor_TextEditBox_draw);
  Gallery_Caption(x1 + 140.0f, top - 431.0f, "disabled");

  Gallery_ClassCaption(x1, top - 466.0f, "Slider, SliderThumb, Scale");
  Velkor_Slider_predraw(&slider);
  Velkor_Slider_predraw(&slider_disabled);
  at(x1, top - 530.0f, &slider, Velkor_Slider_draw);
  slider.force = 0;
  at(x1, top - 566.0f, &slider_disabled, Velkor_Slider_draw);
  slider_disabled.force = 0;
  Gallery_Caption(x1 + 140.0f, top - 554.0f, "disabled");

  Gallery_ClassCaption(x1, top - 590.0f, "Scale, Scale_element, Graduation_element");
  Velkor_Scale_predraw(&scale);
  at(x1, top - 630.0f, &scale, Velkor_Scale_draw);

  // Column 3: the scroll panel and the gauges.
  Gallery_ClassCaption(x2, top + 4.0f, "ScrollPanel");
  Velkor_ScrollPanel_predraw(&scroll_panel);
  at(x2, top - 204.0f, &scroll_panel, Velkor_ScrollPanel_draw);

  Gallery_ClassCaption(x2, top - 230.0f, "Gauge, GaugeHorizontal");
  Velkor_Gauge_predraw(&gauge);
  Velkor_Gauge_predraw(&gauge_labelled);
  Velkor_Gauge_predraw(&gauge_vertical);
  at(x2, top - 254.0f, &gauge, Velkor_Gauge_draw);
  at(x2, top - 310.0f, &gauge_labelled, Velkor_Gauge_draw);
  Gallery_ClassCaption(x2, top - 336.0f, "GaugeVertical");
  at(x2, top - 510.0f, &gauge_vertical, Velkor_Gauge_draw);
}
