#include "display/Velkor_ScrollPanel.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

namespace {

void set_bar(Velkor_ScrollBar* bar, const Velkor_ScrollPanel* panel, uint32_t orientation,
             float width, float height, float maximum, float page, uint8_t keys, uint32_t pass) {
  bar->width = width;
  bar->height = height;
  bar->enabled = panel->enabled;
  bar->colorScheme = panel->colorScheme;
  bar->orientation = orientation;
  // The vertical position counts down from the top; the horizontal one
  // right from the left edge.
  bar->direction = orientation == kVelkorScrollBarVertical ? 0 : 1;
  bar->maximum = maximum;
  bar->pageStep = page;
  bar->lineStep = panel->lineStep > 0.0f ? panel->lineStep : 1.0f;
  bar->load = 0;
  bar->keyEnable = keys;
  bar->pass = pass;
}

}  // namespace

Velkor_ScrollPanel* Velkor_ScrollPanel_alloc() {
  return static_cast<Velkor_ScrollPanel*>(std::calloc(1, sizeof(Velkor_ScrollPanel)));
}

void Velkor_ScrollPanel_free(Velkor_ScrollPanel* panel) {
  std::free(panel);
}

void Velkor_ScrollPanel_init(Velkor_ScrollPanel* panel) {
  *panel = Velkor_ScrollPanel{};
  panel->width = 192.0f;
  panel->height = 220.0f;
  panel->enabled = 1;
  panel->frameStyle = kVelkorCornerSquare;
  panel->faceColor = kVelkorFromScheme;
  panel->contentWidth = 500.0f;
  panel->contentHeight = 547.0f;
  panel->lineStep = 20.0f;
  panel->scrollBarWidth = 14.0f;
  Velkor_ClickArea_init(&panel->view);
  Velkor_ScrollBar_init(&panel->verticalBar);
  Velkor_ScrollBar_init(&panel->horizontalBar);
  Velkor_IndividualFocus_init(&panel->focus);
}

void Velkor_ScrollPanel_predraw(Velkor_ScrollPanel* panel) {
  Velkor_ClearDrawnRect(&panel->drawnRect);
  panel->hover = 0;
  Velkor_ClickArea_predraw(&panel->view);
  Velkor_ScrollBar_predraw(&panel->verticalBar);
  Velkor_ScrollBar_predraw(&panel->horizontalBar);
  Velkor_IndividualFocus_predraw(&panel->focus);
}

namespace {

// Which bars a panel needs and the view they leave.
struct PanelGeometry {
  bool vertical;    // a bar at the right
  bool horizontal;  // a bar at the bottom
  float viewWidth;
  float viewHeight;
};

// Stage 1: geometry. A bar takes room from the other direction.
PanelGeometry panel_geometry(const Velkor_ScrollPanel* panel) {
  const float bw = panel->scrollBarWidth;
  PanelGeometry g{};
  g.vertical = panel->contentHeight > panel->height;
  g.horizontal = panel->contentWidth > panel->width - (g.vertical ? bw : 0.0f);
  if (!g.vertical && g.horizontal) g.vertical = panel->contentHeight > panel->height - bw;
  g.viewWidth = panel->width - (g.vertical ? bw : 0.0f);
  g.viewHeight = panel->height - (g.horizontal ? bw : 0.0f);
  return g;
}

// Stage 3: the colours and the background. Returns the scheme's base colour.
int32_t draw_background(Velkor_ScrollPanel* panel, uint32_t masks, uint32_t pass) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = panel->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  const int32_t base = colours.base;
  panel->baseColor = base;
  panel->frameColor =
      base + (panel->focusState != FOCUS_NONE ? kVelkorColorFrameFocused : kVelkorColorLabel);
  panel->backColor = panel->faceColor >= 0 ? panel->faceColor
                     : panel->faceColor == kVelkorScrollPanelNoBackground
                         ? kVelkorColorNone
                         : base + kVelkorColorBevel;
  if (panel->backColor >= 0) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, panel->width, panel->height, panel->backColor, -1,
                     panel->frameStyle, 4.0f);
  }
  return base;
}

// Stage 4: the scroll bars; the wheel over the view steps the vertical one.
void scroll(Velkor_ScrollPanel* panel, const PanelGeometry& g, bool wheel, uint32_t raw_button,
            uint32_t masks, uint32_t pass) {
  const float bw = panel->scrollBarWidth;
  const float view_w = g.viewWidth;
  const float view_h = g.viewHeight;
  const float max_y = g.vertical ? panel->contentHeight - view_h : 0.0f;
  const float max_x = g.horizontal ? panel->contentWidth - view_w : 0.0f;
  const uint8_t keys = panel->focusState;
  float scroll_y = 0.0f;
  float scroll_x = 0.0f;
  if (g.vertical) {
    Velkor_ScrollBar* bar = &panel->verticalBar;
    set_bar(bar, panel, kVelkorScrollBarVertical, bw, view_h, max_y, view_h, keys, pass);
    bar->lineUpIn = wheel && raw_button == BHVR_WHEEL_AWAY ? 1 : 0;
    bar->lineDownIn = wheel && raw_button == BHVR_WHEEL_TOWARDS ? 1 : 0;
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(view_w, panel->height - view_h);
    Velkor_ScrollBar_draw(bar, pass);
    sglPopMatrixAndTranslate();
    scroll_y = bar->position;
  }
  if (g.horizontal) {
    Velkor_ScrollBar* bar = &panel->horizontalBar;
    set_bar(bar, panel, kVelkorScrollBarHorizontal, view_w, bw, max_x, view_w, keys, pass);
    bar->lineUpIn = 0;
    bar->lineDownIn = 0;
    sglSetActiveMasks(masks);
    Velkor_ScrollBar_draw(bar, pass);
    scroll_x = bar->position;
  }
  panel->scrollX = scroll_x;
  panel->scrollY = scroll_y;
}

// Stage 5: the children, cut to the view.
void draw_children(const Velkor_ScrollPanel* panel, const PanelGeometry& g, uint32_t masks,
                   uint32_t pass) {
  if (panel->children == nullptr) return;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(0.0f, panel->height - g.viewHeight);
  sglBeginScissor(g.viewWidth, g.viewHeight);
  sglPushMatrixAndTranslate(-panel->scrollX, g.viewHeight - panel->contentHeight + panel->scrollY);
  panel->children(panel->argument, pass, -1, panel->childPass);
  sglPopMatrixAndTranslate();
  sglEndScissor();
  sglPopMatrixAndTranslate();
}

}  // namespace

void Velkor_ScrollPanel_draw(Velkor_ScrollPanel* panel, uint32_t pass) {
  if (pass != panel->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(panel->width, panel->height, &panel->drawnRect);
  const bool enabled = panel->enabled != 0;
  const PanelGeometry g = panel_geometry(panel);
  panel->viewWidth = g.viewWidth;
  panel->viewHeight = g.viewHeight;

  // Stage 2: pointer and focus. The container's focus comes before its
  // children's; the wheel over the view scrolls it.
  Velkor_IndividualFocus* focus = &panel->focus;
  focus->isContainer = 1;
  const Velkor_Interaction step = Velkor_Interact(
      {panel->width, panel->height, enabled, 0, 0, panel->focusId, panel->focusNext}, focus,
      nullptr, pass);
  panel->hover = step.hover;
  panel->focusState = enabled ? step.focusState : 0;
  Velkor_ClickArea* view = &panel->view;
  view->width = g.viewWidth;
  view->height = g.viewHeight;
  view->enabled = panel->enabled;
  view->showHighlight = 0;
  view->pass = pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(0.0f, panel->height - g.viewHeight);
  Velkor_ClickArea_draw(view, pass);
  sglPopMatrixAndTranslate();
  uint8_t raw_pressed = 0;
  uint32_t raw_button = 0;
  Velkor_PointerState(&raw_pressed, nullptr, &raw_button);
  const bool wheel = view->hover && raw_pressed && BHVR_WheelButton(raw_button);

  const int32_t base = draw_background(panel, masks, pass);
  scroll(panel, g, wheel, raw_button, masks, pass);
  draw_children(panel, g, masks, pass);
  ResetInteractivityStatus(focus->idInUse);

  // Stage 6: the outline on top, and the greyed veil of a disabled panel.
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, panel->width, panel->height, -1, panel->frameColor,
                   panel->frameStyle, 4.0f);
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, panel->width, panel->height,
                     base + kVelkorColorGreyed, -1, panel->frameStyle, 4.0f);
  }
  sglSetActiveMasks(masks);
}
