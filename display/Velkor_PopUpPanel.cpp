#include "display/Velkor_PopUpPanel.h"

#include <cstdlib>

#include "graphics/sgl.h"

Velkor_PopUpPanel* Velkor_PopUpPanel_alloc() {
  return static_cast<Velkor_PopUpPanel*>(std::calloc(1, sizeof(Velkor_PopUpPanel)));
}

void Velkor_PopUpPanel_free(Velkor_PopUpPanel* popup) {
  std::free(popup);
}

void Velkor_PopUpPanel_init(Velkor_PopUpPanel* popup) {
  *popup = Velkor_PopUpPanel{};
  Velkor_Panel_init(&popup->panel);
  popup->width = popup->panel.width;
  popup->height = popup->panel.height;
  popup->frameStyle = popup->panel.frameStyle;
  popup->faceColor = kVelkorFromScheme;
  popup->frameColor = kVelkorFromScheme;
  popup->closeMode = 1;
  wrapper_PopUpPanel_reset(&popup->behaviour);
}

void Velkor_PopUpPanel_predraw(Velkor_PopUpPanel* popup) {
  Velkor_ClearDrawnRect(&popup->drawnRect);
  popup->hover = 0;
  Velkor_Panel_predraw(&popup->panel);
}

void Velkor_PopUpPanel_draw(Velkor_PopUpPanel* popup, uint32_t pass) {
  if (pass != popup->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  const uint8_t was_open = popup->behaviour.previousIsOpen;
  popup->hover = was_open ? Velkor_PointerHover(popup->width, popup->height) : 0;
  uint8_t pressed = 0;
  Velkor_PointerState(&pressed, nullptr, nullptr);
  wrapper_PopUpPanel(popup->open, popup->apply, popup->hover, pressed, popup->closeMode,
                     &popup->isOpen, &popup->behaviour);
  if (!popup->isOpen) {
    popup->hover = 0;
    return;
  }
  Velkor_RecordDrawnRect(popup->width, popup->height, &popup->drawnRect);
  Velkor_Panel* panel = &popup->panel;
  panel->width = popup->width;
  panel->height = popup->height;
  panel->frameStyle = popup->frameStyle;
  panel->colorScheme = popup->colorScheme;
  panel->faceColor = popup->faceColor;
  panel->frameColor = popup->frameColor;
  panel->children = popup->children;
  panel->argument = popup->argument;
  panel->childrenPass = popup->childrenPass;
  panel->pass = pass;
  sglSetActiveMasks(masks);
  Velkor_Panel_draw(panel, pass);
  sglSetActiveMasks(masks);
}
