#include "display/Velkor_TextEditBox.h"

#include <cstdlib>
#include <cstring>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/CursorBehavior.h"

namespace {

constexpr float kTextMargin = 5.0f;
constexpr int32_t kBlack = 1;

// The text area: the box less its margins, one line high, centred.
struct TextArea {
  float x, y, w, h;
};

TextArea text_area(const Velkor_TextEditBox* box, float line_height) {
  TextArea a;
  a.x = kTextMargin;
  a.w = box->width - 2.0f * kTextMargin;
  a.h = line_height > 0.0f && line_height < box->height ? line_height : box->height;
  a.y = (box->height - a.h) / 2.0f;
  return a;
}

void copy_text(char* out, const char* in) {
  std::memcpy(out, in, TEXT_SIZE_Strings);
  out[TEXT_SIZE_Strings] = '\0';
}

}  // namespace

Velkor_TextEditBox* Velkor_TextEditBox_alloc() {
  return static_cast<Velkor_TextEditBox*>(std::calloc(1, sizeof(Velkor_TextEditBox)));
}

void Velkor_TextEditBox_free(Velkor_TextEditBox* box) {
  std::free(box);
}

void Velkor_TextEditBox_init(Velkor_TextEditBox* box) {
  *box = Velkor_TextEditBox{};
  box->width = 132.0f;
  box->height = 30.0f;
  box->enabled = 1;
  box->frameStyle = kVelkorDefaultFrameStyle;
  box->faceColor = kVelkorFromScheme;
  box->font = kVelkorDefaultFont;
  box->labelColor = kVelkorFromScheme;
  box->labelAlignment = kVelkorAlignCentre;
  box->maxLength = TEXT_SIZE_Strings;
  box->invert = 1;
  Velkor_Cursor_init(&box->cursor);
  Velkor_GetCycleDuration_init(&box->cycle);
  Velkor_IndividualFocus_init(&box->focus);
  Velkor_KeyEvent_init(&box->keys);
  box->keys.mode = 1;
  wrapper_TextEditBox_reset(&box->state);
}

void Velkor_TextEditBox_predraw(Velkor_TextEditBox* box) {
  Velkor_ClearDrawnRect(&box->drawnRect);
  box->enter = 0;
  box->hover = 0;
  Velkor_Cursor_predraw(&box->cursor);
  Velkor_GetCycleDuration_predraw(&box->cycle);
  Velkor_IndividualFocus_predraw(&box->focus);
  Velkor_KeyEvent_predraw(&box->keys);
}

namespace {

// Stage 2: a click in the box while editing places the caret (the
// behaviour takes the index in the next frame, so it is kept until then).
// 1 when the click asks for it.
uint8_t place_caret(Velkor_TextEditBox* box, const TextArea& area, uint8_t pressed) {
  if (!(box->state.editing && pressed && box->hover && BHVR_LeftButton(box->focus.lastButton))) {
    return 0;
  }
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  const float x_rate = Velkor_Clamp(
      sglRectangleActiveAreaGetWidthRate(px, py, area.x, area.y, area.x + area.w, area.y + area.h),
      0.0f, 1.0f);
  const float y_rate = Velkor_Clamp(
      sglRectangleActiveAreaGetHeightRate(px, py, area.x, area.y, area.x + area.w, area.y + area.h),
      0.0f, 1.0f);
  int32_t index = box->clickedIndex;
  CursorBehavior(1, 0, area.w, area.h, box->state.workingText,
                 static_cast<uint32_t>(box->state.caretIndex), box->font, x_rate, y_rate, 1,
                 box->labelAlignment, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                 &index);
  box->clickedIndex = index;
  return 1;
}

// Stage 3: the editing behaviour.
void edit(Velkor_TextEditBox* box, uint8_t pressed, uint8_t set_cursor, uint8_t focused) {
  const bool forcing = box->force && box->forcedText != nullptr;
  const char* input = forcing ? box->forcedText : box->initialText;
  uint8_t confirmed = 0;
  wrapper_TextEditBox(box->hover, pressed, box->focus.lastButton, box->keys.output, box->keys.key,
                      input != nullptr ? input : "", forcing ? 1 : 0, box->maxLength, set_cursor,
                      box->clickedIndex, box->cycle.duration, focused, box->restricted, box->invert,
                      &confirmed, nullptr, nullptr, nullptr, &box->editing, nullptr, &box->selected,
                      nullptr, &box->state);
  box->enter = confirmed;
  // The behaviour hands a confirmed or loaded text out one frame later; the
  // text it will hand out is already known, so the owner gets it together
  // with the Enter flag (or in the frame of the load).
  copy_text(box->text, box->state.lastOutputText);
}

// Stage 4: the colours and the box. Returns the scheme's base colour.
int32_t draw_box(Velkor_TextEditBox* box, uint8_t focused, uint32_t masks, uint32_t pass) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = box->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  const int32_t base = colours.base;
  box->baseColor = base;
  box->frameColor = base + (focused ? kVelkorColorFrameFocused : kVelkorColorFrame);
  box->backColor = box->faceColor >= 0 ? box->faceColor : base + kVelkorColorBevel;
  box->textColor = box->labelColor >= 0 ? box->labelColor : kBlack;
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, box->width, box->height, box->backColor,
                   box->frameColor, box->frameStyle, 4.0f);
  return base;
}

// Stage 5: the text, cut to the text area. The display text carries the
// inversion escapes while all is selected.
void draw_text(const Velkor_TextEditBox* box, const TextArea& area, uint32_t masks) {
  const char* shown = box->state.displayText;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(area.x, 0.0f);
  sglBeginScissor(area.w, box->height);
  sglIndexFonti(static_cast<int32_t>(box->font));
  sglIndexColori(box->textColor);
  sglTransparency8(255);
  const uint32_t align = box->labelAlignment <= 2 ? box->labelAlignment : kVelkorAlignCentre;
  sglSetTextAlignment(align, 1);
  const float tx = align == 0 ? 0.0f : align == 2 ? area.w : area.w / 2.0f;
  if (box->state.editing && box->selected && box->invert) {
    sgluWriteRichText(tx, box->height / 2.0f, shown, TEXT_SIZE_Strings);
  } else {
    sgluWriteText(tx, box->height / 2.0f, shown, TEXT_SIZE_Strings);
  }
  sglEndScissor();
  sglPopMatrixAndTranslate();
}

// Stage 6: the caret.
void draw_caret(Velkor_TextEditBox* box, const TextArea& area, uint32_t masks, uint32_t pass) {
  Velkor_Cursor* cursor = &box->cursor;
  cursor->width = area.w;
  cursor->height = area.h;
  cursor->enabled = box->enabled;
  cursor->font = box->font;
  cursor->labelColor = box->textColor;
  cursor->labelAlignment = box->labelAlignment;
  cursor->text = box->state.workingText;
  cursor->cursorIndex = static_cast<uint32_t>(box->state.caretIndex);
  cursor->active = box->state.editing;
  cursor->visible = box->state.caretVisible;
  cursor->clicked = 0;
  cursor->pass = pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(area.x, area.y);
  Velkor_Cursor_draw(cursor, pass);
  sglPopMatrixAndTranslate();
}

}  // namespace

void Velkor_TextEditBox_draw(Velkor_TextEditBox* box, uint32_t pass) {
  if (pass != box->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(box->width, box->height, &box->drawnRect);
  const bool enabled = box->enabled != 0;

  // Stage 1: pointer, focus and keys. While editing the box keeps asking,
  // so the keys stay with it. A press elsewhere ends the editing: the box
  // stops asking in that very frame, so the widget pressed (a "SAVE" button
  // beside it) takes the focus with the press and one click is enough. A
  // press on the box itself asks anyway.
  uint8_t raw_pressed = 0;
  uint32_t raw_button = 0;
  Velkor_pointer(0, &raw_pressed, nullptr, &raw_button, nullptr, nullptr, nullptr);
  const bool button_pressed = raw_pressed != 0 && raw_button < BHVR_WHEEL_AWAY;
  const Velkor_Interaction step =
      Velkor_Interact({box->width, box->height, enabled, 0, box->state.editing && !button_pressed,
                       box->focusId, box->focusNext},
                      &box->focus, &box->keys, pass);
  box->hover = step.hover;
  const uint8_t focused = step.focused;
  box->cycle.pass = pass;
  Velkor_GetCycleDuration_draw(&box->cycle, pass);

  float line_height = 0.0f;
  GetFontSizeY(box->font, &line_height);
  const TextArea area = text_area(box, line_height);
  const uint8_t pressed = focused ? box->focus.pressedPulse : 0;
  const uint8_t set_cursor = place_caret(box, area, pressed);
  edit(box, pressed, set_cursor, focused);

  const int32_t base = draw_box(box, focused, masks, pass);
  draw_text(box, area, masks);
  draw_caret(box, area, masks, pass);
  // Stage 7: the greyed veil of a disabled box.
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, box->width, box->height, base + kVelkorColorGreyed,
                     -1, box->frameStyle, 4.0f);
  }
  sglSetActiveMasks(masks);
}
