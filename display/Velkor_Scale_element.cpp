#include "display/Velkor_Scale_element.h"

#include <cstdlib>

#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/FormatNumValue.h"

namespace {
// Gap between the end of a tick and its label.
constexpr float kLabelGap = 2.0f;
// FormatNumValue_Strings sign mode: "-" for negative values only.
constexpr uint32_t kSignNegativeOnly = 2;
}  // namespace

Velkor_Scale_element* Velkor_Scale_element_alloc() {
  return static_cast<Velkor_Scale_element*>(std::calloc(1, sizeof(Velkor_Scale_element)));
}

void Velkor_Scale_element_free(Velkor_Scale_element* element) {
  std::free(element);
}

void Velkor_Scale_element_init(Velkor_Scale_element* element) {
  *element = Velkor_Scale_element{};
  element->font = 20;
  element->labelColor = 1;
  element->length = 8.0f;
  element->labelled = 1;
  element->integerDigits = 1;
  element->color = 1;
}

void Velkor_Scale_element_predraw(Velkor_Scale_element* element) {
  Velkor_ClearDrawnRect(&element->drawnRect);
}

void Velkor_Scale_element_draw(Velkor_Scale_element* element, uint32_t pass) {
  if (pass != element->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  const float len = element->length;
  if (element->vertical) {
    Velkor_RecordDrawnRect(len, 1.0f, &element->drawnRect);
    Velkor_DrawLine(masks, 0.0f, 0.0f, len, 0.0f, element->color, element->lineWidth);
  } else {
    Velkor_RecordDrawnRect(1.0f, len, &element->drawnRect);
    Velkor_DrawLine(masks, 0.0f, 0.0f, 0.0f, -len, element->color, element->lineWidth);
  }
  if (!element->labelled) {
    element->text[0] = '\0';
    return;
  }
  // The scale asks for at most a few digits; more could not be read anyway.
  int32_t integer_digits = element->integerDigits < 1 ? 1 : element->integerDigits;
  if (integer_digits > 12) integer_digits = 12;
  int32_t fraction_digits = element->fractionDigits < 0 ? 0 : element->fractionDigits;
  if (fraction_digits > 6) fraction_digits = 6;
  FormatNumValue_Strings(element->value, 0, kSignNegativeOnly, integer_digits, fraction_digits,
                         element->text);
  sglSetActiveMasks(masks);
  sglIndexFonti(element->font);
  sglIndexColori(element->labelColor);
  sglTransparency8(255);
  if (element->vertical) {
    sglSetTextAlignment(0, 1);
    sgluWriteText(len + kLabelGap, 0.0f, element->text, kVelkorScaleLabelSize - 1);
  } else {
    sglSetTextAlignment(1, 2);
    sgluWriteText(0.0f, -len - kLabelGap, element->text, kVelkorScaleLabelSize - 1);
  }
}
