// Velkor_ComboBoxItem - one row of a list: a label, optionally after a
// radio mark.
//
// Lists (ScrollList_generic, the open list of a ComboBox) and RadioBox draw
// one item per row. The row's background tells its state: the selected item
// in the scheme's light accent, the keyboard cursor row in the frame grey,
// the row under the pointer in the bevel white; a disabled item writes its
// label in the greyed frame colour:
//   it->width = 180; it->height = 25; it->label = text; it->selected = 1;
//   it->pass = pass; Velkor_ComboBoxItem_draw(it, pass);
#pragma once

#include <cstdint>

#include "display/Velkor_RadioButton.h"
#include "display/Velkor_display.h"

struct Velkor_ComboBoxItem {
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  const char* label;
  int32_t faceColor;  // background when nothing marks the row; -1: none
  uint32_t font;
  int32_t labelColor;  // -1: scheme
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  uint8_t showRadio;    // draw a radio mark in front of the label
  uint8_t selected;     // the chosen item (the radio mark is checked)
  uint8_t highlighted;  // the keyboard cursor stands on it
  uint8_t hovered;      // the pointer is over it
  // computed colours
  int32_t backColor;  // -1 when nothing is filled
  int32_t textColor;
  uint32_t pass;
  Velkor_RadioButton radio;
};

Velkor_ComboBoxItem* Velkor_ComboBoxItem_alloc();
void Velkor_ComboBoxItem_free(Velkor_ComboBoxItem* item);
void Velkor_ComboBoxItem_init(Velkor_ComboBoxItem* item);
void Velkor_ComboBoxItem_predraw(Velkor_ComboBoxItem* item);
void Velkor_ComboBoxItem_draw(Velkor_ComboBoxItem* item, uint32_t pass);
