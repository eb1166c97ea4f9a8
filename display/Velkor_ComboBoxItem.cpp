#include "display/Velkor_ComboBoxItem.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

namespace {
constexpr float kTextMargin = 5.0f;
// Scheme offset of the grey that writes a disabled item.
constexpr int32_t kDisabledText = 5;
}  // namespace

Velkor_ComboBoxItem* Velkor_ComboBoxItem_alloc() {
  return static_cast<Velkor_ComboBoxItem*>(std::calloc(1, sizeof(Velkor_ComboBoxItem)));
}

void Velkor_ComboBoxItem_free(Velkor_ComboBoxItem* item) {
  std::free(item);
}

void Velkor_ComboBoxItem_init(Velkor_ComboBoxItem* item) {
  *item = Velkor_ComboBoxItem{};
  item->width = 180.0f;
  item->height = 25.0f;
  item->enabled = 1;
  item->frameStyle = kVelkorCornerSquare;
  item->faceColor = kVelkorColorNone;
  item->font = kVelkorDefaultFont;
  item->labelColor = kVelkorFromScheme;
  item->labelAlignment = 0;
  Velkor_RadioButton_init(&item->radio);
}

void Velkor_ComboBoxItem_predraw(Velkor_ComboBoxItem* item) {
  Velkor_ClearDrawnRect(&item->drawnRect);
  Velkor_RadioButton_predraw(&item->radio);
}

void Velkor_ComboBoxItem_draw(Velkor_ComboBoxItem* item, uint32_t pass) {
  if (pass != item->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(item->width, item->height, &item->drawnRect);
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = item->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  const int32_t base = colours.base;
  // Without a radio mark the selection shows as the row's colour.
  if (item->selected && !item->showRadio) {
    item->backColor = base + kVelkorColorAccentLight;
  } else if (item->highlighted) {
    item->backColor = base + kVelkorColorFrame;
  } else if (item->hovered && item->enabled) {
    item->backColor = base + kVelkorColorBevel;
  } else {
    item->backColor = item->faceColor;
  }
  item->textColor = item->labelColor >= 0 ? item->labelColor : base + kVelkorColorLabel;
  if (!item->enabled) item->textColor = base + kDisabledText;
  if (item->backColor >= 0) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, item->width, item->height, item->backColor, -1,
                     item->frameStyle, 3.0f);
  }
  float text_x = kTextMargin;
  if (item->showRadio) {
    const float size = item->height * 0.6f;
    Velkor_RadioButton* radio = &item->radio;
    radio->size = size;
    radio->enabled = item->enabled;
    radio->checked = item->selected;
    radio->fillColor = base + kVelkorColorBevel;
    radio->ringColor = base + kVelkorColorAccentDark;
    radio->dotColor = base + kVelkorColorAccent;
    radio->pass = pass;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(kTextMargin, (item->height - size) / 2.0f);
    Velkor_RadioButton_draw(radio, pass);
    sglPopMatrixAndTranslate();
    text_x = 2.0f * kTextMargin + size;
  }
  Velkor_DrawLabel(masks, pass, text_x, 0.0f, item->width - text_x - kTextMargin, item->height,
                   item->label, static_cast<int32_t>(item->font), item->textColor,
                   item->labelAlignment);
  sglSetActiveMasks(masks);
}
