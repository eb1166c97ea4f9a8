#include "display/Velkor_ClippedLabel.h"

#include <cstdlib>

#include "graphics/sgl.h"

Velkor_ClippedLabel* Velkor_ClippedLabel_alloc() {
  return static_cast<Velkor_ClippedLabel*>(std::calloc(1, sizeof(Velkor_ClippedLabel)));
}

void Velkor_ClippedLabel_free(Velkor_ClippedLabel* label) {
  std::free(label);
}

void Velkor_ClippedLabel_init(Velkor_ClippedLabel* label) {
  *label = Velkor_ClippedLabel{};
  label->width = 140.0f;
  label->height = 50.0f;
  label->font = static_cast<int32_t>(kVelkorDefaultFont);
  label->color = 1;
  label->alignment = kVelkorAlignCentre;
}

void Velkor_ClippedLabel_predraw(Velkor_ClippedLabel* label) {
  Velkor_ClearDrawnRect(&label->drawnRect);
}

void Velkor_ClippedLabel_draw(Velkor_ClippedLabel* label, uint32_t pass) {
  if (pass != label->pass) return;
  Velkor_RecordDrawnRect(label->width, label->height, &label->drawnRect);
  if (label->text == nullptr || !(label->width > 0.0f) || !(label->height > 0.0f)) return;
  const uint32_t alignment = label->alignment <= 2 ? label->alignment : kVelkorAlignCentre;
  const float x = label->width * 0.5f * static_cast<float>(alignment);
  sglBeginScissor(label->width, label->height);
  sglIndexFonti(label->font);
  sglIndexColori(label->color);
  sglSetTextAlignment(alignment, 1);
  sgluWriteText(x, label->height / 2.0f, label->text, static_cast<int32_t>(kVelkorTextLength));
  sglEndScissor();
}
