#include "display/Velkor_RadioButton.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "graphics/sgl.h"

Velkor_RadioButton* Velkor_RadioButton_alloc() {
  return static_cast<Velkor_RadioButton*>(std::calloc(1, sizeof(Velkor_RadioButton)));
}

void Velkor_RadioButton_free(Velkor_RadioButton* radio) {
  std::free(radio);
}

void Velkor_RadioButton_init(Velkor_RadioButton* radio) {
  *radio = Velkor_RadioButton{};
  radio->size = 18.0f;
  radio->enabled = 1;
  radio->fillColor = kVelkorColorSchemeFirst + kVelkorColorBevel;
  radio->ringColor = kVelkorColorSchemeFirst + kVelkorColorAccentDark;
  radio->dotColor = kVelkorColorSchemeFirst + kVelkorColorAccent;
  radio->ringWidth = 1.5f;
}

void Velkor_RadioButton_predraw(Velkor_RadioButton* radio) {
  Velkor_ClearDrawnRect(&radio->drawnRect);
}

void Velkor_RadioButton_draw(Velkor_RadioButton* radio, uint32_t pass) {
  if (pass != radio->pass) return;
  Velkor_RecordDrawnRect(radio->size, radio->size, &radio->drawnRect);
  if (!(radio->size > 0.0f)) return;
  const float r = radio->size / 2.0f;
  if (radio->fillColor >= 0) {
    sglIndexColori(radio->fillColor);
    sgluArcSector2f(r, r, r, 0.0f, 360.0f, 0, 1);
  }
  if (radio->ringColor >= 0) {
    // A filled ring rather than a stroked arc: its thickness then scales
    // with the mark like the rest of it.
    sglIndexColori(radio->ringColor);
    sgluCrown2f(r, r, r - radio->ringWidth, r, 0.0f, 360.0f, 0, 1);
  }
  if (radio->checked != 0 && radio->dotColor >= 0) {
    // Greyed marks keep their place but fade, like the label beside them.
    sglIndexColori(radio->dotColor);
    sglTransparency8(radio->enabled != 0 ? 255 : 96);
    sgluArcSector2f(r, r, r * 0.5f, 0.0f, 360.0f, 0, 1);
    sglTransparency8(255);
  }
}
