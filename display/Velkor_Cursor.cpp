#include "display/Velkor_Cursor.h"

#include <cstdlib>

#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/CursorBehavior.h"

namespace {
constexpr float kCaretWidth = 2.0f;
}  // namespace

Velkor_Cursor* Velkor_Cursor_alloc() {
  return static_cast<Velkor_Cursor*>(std::calloc(1, sizeof(Velkor_Cursor)));
}

void Velkor_Cursor_free(Velkor_Cursor* cursor) {
  std::free(cursor);
}

void Velkor_Cursor_init(Velkor_Cursor* cursor) {
  *cursor = Velkor_Cursor{};
  cursor->width = 120.0f;
  cursor->height = 20.0f;
  cursor->enabled = 1;
  cursor->font = kVelkorDefaultFont;
  cursor->labelColor = 1;
  cursor->labelAlignment = kVelkorAlignCentre;
  cursor->lineCount = 1;
}

void Velkor_Cursor_predraw(Velkor_Cursor* cursor) {
  Velkor_ClearDrawnRect(&cursor->drawnRect);
  cursor->clicked = 0;
}

void Velkor_Cursor_draw(Velkor_Cursor* cursor, uint32_t pass) {
  if (pass != cursor->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(cursor->width, cursor->height, &cursor->drawnRect);
  const char* text = cursor->text != nullptr ? cursor->text : "";
  CursorBehavior(cursor->active, 0, cursor->width, cursor->height, text, cursor->cursorIndex,
                 cursor->font, cursor->clickXRate, cursor->clickYRate, cursor->clicked,
                 cursor->labelAlignment, &cursor->cursorX, &cursor->cursorY, &cursor->overflow,
                 &cursor->textWidth, &cursor->lineHeight, &cursor->lineCount, &cursor->ascent,
                 &cursor->newCursorIndex);
  if (cursor->active && cursor->visible) {
    const float x = cursor->cursorX;
    const float y = cursor->height + cursor->cursorY;
    Velkor_DrawFrame(masks, pass, x - kCaretWidth / 2.0f, y, kCaretWidth, cursor->lineHeight,
                     cursor->labelColor, -1, 0, 0.0f);
  }
  sglSetActiveMasks(masks);
}
