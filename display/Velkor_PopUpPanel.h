// Velkor_PopUpPanel - a panel that opens and closes.
//
// While open it is a Velkor_Panel (background, frame, children clipped to
// it); while closed it draws nothing and calls no child. The owner asks for
// a state with `open` and applies it with `apply` in the same frame; in
// closeMode 1 a press outside the open panel closes it.
//   p->open = 1; p->apply = 1;                  // in the frame that opens it
//   Velkor_PopUpPanel_predraw(p); Velkor_PopUpPanel_draw(p, pass);
//   ... p->isOpen
// The state is settled before anything is drawn, so the children of a panel
// closed by this frame's press never see that press.
#pragma once

#include <cstdint>

#include "display/Velkor_Panel.h"
#include "display/Velkor_display.h"
#include "widgets/PopUpPanel.h"

struct Velkor_PopUpPanel {
  float width;
  float height;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;
  Velkor_DrawnRect drawnRect;  // all zero while closed
  int32_t frameColor;
  Velkor_ChildrenCallback children;
  void* argument;
  uint32_t childrenPass;
  uint8_t open;  // requested state
  uint8_t apply;
  uint32_t closeMode;  // 1: a press outside closes it
  // outputs
  uint8_t isOpen;
  uint8_t hover;  // the pointer is over the open panel
  uint32_t pass;
  Velkor_Panel panel;
  PopUpPanel_State behaviour;
};

Velkor_PopUpPanel* Velkor_PopUpPanel_alloc();
void Velkor_PopUpPanel_free(Velkor_PopUpPanel* popup);
void Velkor_PopUpPanel_init(Velkor_PopUpPanel* popup);
void Velkor_PopUpPanel_predraw(Velkor_PopUpPanel* popup);
void Velkor_PopUpPanel_draw(Velkor_PopUpPanel* popup, uint32_t pass);
