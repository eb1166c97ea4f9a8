#include "display/Velkor_TextEditBox.h"

#include <cstdlib>
#include <cstring>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
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

void Velkor_TextEditBox_draw(Velkor_TextEditBox* box, uint32_t pass) {
  if (pass != box->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(box->width, box->height, &box->drawnRect);
  const bool enabled = box->enabled != 0;

  box->hover = enabled ? Velkor_PointerHover(box->width, box->height) : 0;
  Velkor_IndividualFocus* focus = &box->focus;
  // While editing the box keeps asking, so the keys stay with it. A press
  // elsewhere ends the editing: the box stops asking in that very frame, so
  // the widget pressed (a "SAVE" button beside it) takes the focus with the
  // press and one click is enough.
  uint8_t raw_pressed = 0;
  uint32_t raw_button = 0;
  Velkor_pointer(0, &raw_pressed, nullptr, &raw_button, nullptr, nullptr, nullptr);
  const bool pressed_elsewhere = raw_pressed != 0 && box->hover == 0 && raw_button < 4;
  focus->request = enabled && (box->hover || (box->state.editing && !pressed_elsewhere)) ? 1 : 0;
  focus->focusId = box->focusId;
  focus->focusNext = box->focusNext;
  focus->pass = pass;
  Velkor_IndividualFocus_draw(focus, pass);
  const uint8_t focused = enabled && focus->focusState != FOCUS_NONE ? 1 : 0;
  Velkor_KeyEvent* keys = &box->keys;
  keys->enable = focused ? focus->focusState : 0;
  keys->pass = pass;
  Velkor_KeyEvent_draw(keys, pass);
  Velkor_GetCycleDuration* cycle = &box->cycle;
  cycle->pass = pass;
  Velkor_GetCycleDuration_draw(cycle, pass);

  // A click in the box while editing places the caret (the behaviour takes
  // the index in the next frame, so it is kept until then).
  Velkor_Cursor* cursor = &box->cursor;
  float line_height = 0.0f;
  GetFontSizeY(box->font, &line_height);
  const TextArea area = text_area(box, line_height);
  const uint8_t pressed = focused ? focus->pressedPulse : 0;
  uint8_t set_cursor = 0;
  if (box->state.editing && pressed && box->hover && BHVR_LeftButton(focus->lastButton)) {
    float px = 0.0f;
    float py = 0.0f;
    Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
    const float x_rate = Velkor_Clamp(sglRectangleActiveAreaGetWidthRate(
                                          px, py, area.x, area.y, area.x + area.w, area.y + area.h),
                                      0.0f, 1.0f);
    const float y_rate = Velkor_Clamp(sglRectangleActiveAreaGetHeightRate(
                                          px, py, area.x, area.y, area.x + area.w, area.y + area.h),
                                      0.0f, 1.0f);
    int32_t index = box->clickedIndex;
    CursorBehavior(1, 0, area.w, area.h, box->state.workingText,
                   static_cast<uint32_t>(box->state.caretIndex), box->font, x_rate, y_rate, 1,
                   box->labelAlignment, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, &index);
    box->clickedIndex = index;
    set_cursor = 1;
  }

  const bool forcing = box->force && box->forcedText != nullptr;
  const char* input = forcing ? box->forcedText : box->initialText;
  uint8_t confirmed = 0;
  wrapper_TextEditBox(box->hover, pressed, focus->lastButton, keys->output, keys->key,
                      input != nullptr ? input : "", forcing ? 1 : 0, box->maxLength, set_cursor,
                      box->clickedIndex, cycle->duration, focused, box->restricted, box->invert,
                      &confirmed, nullptr, nullptr, nullptr, &box->editing, nullptr, &box->selected,
                      nullptr, &box->state);
  box->enter = confirmed;
  // The behaviour hands a confirmed or loaded text out one frame later; the
  // text it will hand out is already known, so the owner gets it together
  // with the Enter flag (or in the frame of the load).
  copy_text(box->text, box->state.lastOutputText);

  // Box, text, caret.
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
  // The display text carries the inversion escapes while all is selected.
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
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, box->width, box->height, base + kVelkorColorGreyed,
                     -1, box->frameStyle, 4.0f);
  }
  sglSetActiveMasks(masks);
}
