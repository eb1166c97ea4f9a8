// Velkor_ScrollPanel - a clipped view on a larger area of children.
//
// The children are drawn by the owner's callback, in the frame of the
// content area (contentWidth x contentHeight, lower-left corner at its
// origin), moved under the view (width x height less the scroll bars) and
// cut to it with a scissor, so nothing outside the view is drawn or hit.
// The view starts at the top left of the content. Scroll bars appear for a
// content larger than the view: the vertical one at the right, the
// horizontal one at the bottom; the wheel over the view scrolls vertically,
// and while the panel holds the focus the arrow and page keys scroll too.
// The panel is a focus container: while it holds the focus, a child that
// asks for the focus takes it at once.
//   p->width = 192; p->height = 220; p->contentWidth = 500;
//   p->contentHeight = 547; p->lineStep = 20;
//   p->children = drawRegisterFile; p->argument = layer; p->childPass = 0;
//   p->pass = pass; Velkor_ScrollPanel_draw(p, pass);
// The callback gets (argument, pass, -1, childPass).
#pragma once

#include <cstdint>

#include "display/Velkor_ClickArea.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_ScrollBar.h"
#include "display/Velkor_display.h"

struct Velkor_ScrollPanel {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // background; -1: the scheme's white, -2: none
  Velkor_DrawnRect drawnRect;
  // parameters
  float contentWidth;
  float contentHeight;
  float lineStep;  // scroll step of an arrow, key or wheel notch
  Velkor_ChildrenCallback children;
  void* argument;
  uint32_t childPass;
  float scrollBarWidth;
  // outputs
  float scrollX;  // how far the content is moved left
  float scrollY;  // how far the content is moved up (0: its top is shown)
  float viewWidth;
  float viewHeight;
  uint8_t hover;  // per frame
  uint8_t focusState;
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t backColor;
  uint32_t pass;
  Velkor_ClickArea view;
  Velkor_ScrollBar verticalBar;
  Velkor_ScrollBar horizontalBar;
  Velkor_IndividualFocus focus;
};

constexpr int32_t kVelkorScrollPanelNoBackground = -2;

Velkor_ScrollPanel* Velkor_ScrollPanel_alloc();
void Velkor_ScrollPanel_free(Velkor_ScrollPanel* panel);
void Velkor_ScrollPanel_init(Velkor_ScrollPanel* panel);
void Velkor_ScrollPanel_predraw(Velkor_ScrollPanel* panel);
void Velkor_ScrollPanel_draw(Velkor_ScrollPanel* panel, uint32_t pass);
