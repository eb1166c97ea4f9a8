// Gallery family: panels with children, a pop-up, the colour schemes, the
// animation time base and the classes that draw nothing but feed the others.
#include <cstdio>

#include "display/Velkor_Animation.h"
#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_GetCycleDuration.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_Init.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_Panel.h"
#include "display/Velkor_PopUpPanel.h"
#include "display/Velkor_PushButton.h"
#include "graphics/sgl.h"
#include "tools/gallery.h"

namespace {

Velkor_Panel panel;
Velkor_PopUpPanel popup;
Velkor_PushButton panel_button;
Velkor_PushButton popup_button;
Velkor_Animation animation;
Velkor_GetCycleDuration cycle;
Velkor_Init first_frame;
Velkor_IndividualFocus focus;
Velkor_KeyEvent keys;
Velkor_ColorBase schemes[2];
char status[4][64];

// The children of both panels: a caption and a push button.
void draw_children(void* argument, uint32_t, int32_t, uint32_t children_pass) {
  Velkor_PushButton* button = static_cast<Velkor_PushButton*>(argument);
  Velkor_ClippedLabel label;
  Velkor_ClippedLabel_init(&label);
  label.width = 150.0f;
  label.height = 24.0f;
  label.font = 20;
  label.color = 1000 + 13;
  label.alignment = 0;
  label.text = "Kinder werden hier gezeichnet und am Rand abgeschnitten";
  label.pass = children_pass;
  sglPushMatrixAndTranslate(10.0f, 66.0f);
  Velkor_ClippedLabel_draw(&label, children_pass);
  sglPopMatrixAndTranslate();
  Velkor_PushButton_predraw(button);
  button->pass = children_pass;
  sglPushMatrixAndTranslate(10.0f, 12.0f);
  Velkor_PushButton_draw(button, children_pass);
  sglPopMatrixAndTranslate();
}

void swatches(float x, float y, int32_t base) {
  for (int32_t offset = 0; offset < 18; ++offset) {
    Velkor_FrameShape cell;
    Velkor_FrameShape_init(&cell);
    cell.width = 14.0f;
    cell.height = 20.0f;
    cell.cornerStyle = 0;
    cell.fillColor = base + offset;
    cell.lineColor = 7;
    sglPushMatrixAndTranslate(x + offset * 15.0f, y);
    Velkor_FrameShape_draw(&cell, 0);
    sglPopMatrixAndTranslate();
  }
}

}  // namespace

void Gallery_Panels_init() {
  Velkor_Panel_init(&panel);
  panel.width = 170.0f;
  panel.height = 100.0f;
  panel.children = draw_children;
  panel.argument = &panel_button;
  Velkor_PushButton_init(&panel_button);
  panel_button.width = 120.0f;
  panel_button.height = 40.0f;
  panel_button.label = "Kind";
  Velkor_PopUpPanel_init(&popup);
  popup.width = 170.0f;
  popup.height = 100.0f;
  popup.faceColor = 32;  // cream, like the panel's tool tips
  popup.children = draw_children;
  popup.argument = &popup_button;
  popup.open = 1;
  popup.apply = 1;
  popup.closeMode = 0;
  Velkor_PushButton_init(&popup_button);
  popup_button.width = 120.0f;
  popup_button.height = 40.0f;
  popup_button.label = "OK";
  Velkor_Animation_init(&animation);
  animation.duration = 330;  // ten frames
  animation.profile = 0;
  Velkor_GetCycleDuration_init(&cycle);
  Velkor_Init_init(&first_frame);
  Velkor_IndividualFocus_init(&focus);
  Velkor_KeyEvent_init(&keys);
  for (uint32_t i = 0; i < 2; ++i) {
    Velkor_ColorBase_init(&schemes[i]);
    schemes[i].colorScheme = i;
  }
}

void Gallery_Panels_draw(const GalleryRegion* region) {
  const float x0 = region->x + 14.0f;
  const float top = region->y + region->height - 34.0f;

  Gallery_ClassCaption(x0, top - 8.0f, "Panel");
  Velkor_Panel_predraw(&panel);
  sglPushMatrixAndTranslate(x0, top - 122.0f);
  Velkor_Panel_draw(&panel, 0);
  sglPopMatrixAndTranslate();

  Gallery_ClassCaption(x0 + 190.0f, top - 8.0f, "PopUpPanel (open)");
  Velkor_PopUpPanel_predraw(&popup);
  sglPushMatrixAndTranslate(x0 + 190.0f, top - 122.0f);
  Velkor_PopUpPanel_draw(&popup, 0);
  sglPopMatrixAndTranslate();
  popup.apply = 0;

  // The animation restarts whenever it has arrived; its value drives a bar.
  Velkor_Animation_predraw(&animation);
  animation.play = (animation.done || animation.behaviour.phase == ANIMATION_IDLE) ? 1 : 0;
  Velkor_Animation_draw(&animation, 0);
  Gallery_ClassCaption(x0 + 380.0f, top - 8.0f, "Animation (value as a bar)");
  Velkor_FrameShape bar;
  Velkor_FrameShape_init(&bar);
  bar.width = 4.0f + 220.0f * animation.value;
  bar.height = 18.0f;
  bar.radius = 4.0f;
  bar.fillColor = 1000 + 8;
  bar.lineColor = 1000 + 10;
  sglPushMatrixAndTranslate(x0 + 380.0f, top - 40.0f);
  Velkor_FrameShape_draw(&bar, 0);
  sglPopMatrixAndTranslate();

  // Classes without a picture: their outputs, as text.
  Velkor_GetCycleDuration_draw(&cycle, 0);
  Velkor_Init_draw(&first_frame, 0);
  focus.request = 0;
  Velkor_IndividualFocus_predraw(&focus);
  Velkor_IndividualFocus_draw(&focus, 0);
  keys.enable = focus.focusState;
  Velkor_KeyEvent_predraw(&keys);
  Velkor_KeyEvent_draw(&keys, 0);
  std::snprintf(status[0], sizeof status[0], "GetCycleDuration: %d ms",
                static_cast<int>(cycle.duration));
  std::snprintf(status[1], sizeof status[1], "Init: first frame %d",
                static_cast<int>(first_frame.first));
  std::snprintf(status[2], sizeof status[2], "IndividualFocus: state %d",
                static_cast<int>(focus.focusState));
  std::snprintf(status[3], sizeof status[3], "KeyEvent: key %u", keys.key);
  for (int i = 0; i < 4; ++i) Gallery_Caption(x0 + 380.0f, top - 66.0f - 16.0f * i, status[i]);

  // The two colour schemes, offsets 0 to 17.
  for (uint32_t i = 0; i < 2; ++i) {
    Velkor_ColorBase_draw(&schemes[i], 0);
    const float y = top - 160.0f - 40.0f * i;
    std::snprintf(status[0], sizeof status[0], "ColorBase scheme %u: %d + 0 .. 17", i,
                  static_cast<int>(schemes[i].base));
    Gallery_ClassCaption(x0, y + 30.0f, status[0]);
    swatches(x0, y, schemes[i].base);
  }
}
