#include "panel/Velkor_history_controls.h"

#include <cstring>

#include "display/Velkor_FrameShape.h"
#include "graphics/sgl.h"
#include "panel/Velkor_history.h"
#include "panel/Velkor_palette_internal.h"
#include "widgets/interactivity_mapping.h"

namespace {

using Context = Velkor_symbology_layer_context;

struct Rect {
  float x, y, width, height;
};

// Right of the speed selector, under the line where a run stopped at a
// breakpoint says so, above the address bus and left of where the slot
// pop-up opens: free in every view but the zoomed instruction box.
constexpr Rect kUndoButton = {3.0f, 0.0f, 94.0f, 30.0f};
constexpr Rect kRedoButton = {101.0f, 0.0f, 76.0f, 30.0f};
// The tool tips hang below both buttons, down to the bus at most.
constexpr float kTooltipLeft = 3.0f;
constexpr float kTooltipRight = 177.0f;
constexpr float kTooltipTop = -6.0f;
constexpr float kTooltipMaxHeight = 56.0f;
constexpr float kTooltipPadding = 4.0f;
constexpr uint32_t kTooltipAlpha = 200;
constexpr float kAreaMargin = 2.0f;

const char kUndoLabel[] =
    "Schritt zur\xfc"
    "ck";
const char kRedoLabel[] = "Schritt vor";
const char kUndoTooltip[] =
    "Nimmt die letzte Aktion zur\xfc"
    "ck (Strg+Z)";
const char kRedoTooltip[] =
    "Wiederholt die zur\xfc"
    "ckgenommene Aktion (Strg+Y)";

enum : uint8_t { kNoStep = 0, kStepBack, kStepForward };

void draw_button(Velkor_PushButton* b, const Rect& r, const char* label, uint8_t enabled,
                 uint32_t pass) {
  b->width = r.width;
  b->height = r.height;
  b->frameStyle = kVelkorCornerRound;
  b->label = label;
  b->font = kFontSmall;
  b->enabled = enabled;
  b->pass = 0;
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_PushButton_draw(b, pass);
  sglPopMatrixAndTranslate();
}

bool pointer_on(const Rect& r) {
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  return sglRectangleActiveAreaGetStatus(px, py, r.x - kAreaMargin, r.y - kAreaMargin,
                                         r.x + r.width + kAreaMargin,
                                         r.y + r.height + kAreaMargin) != 0;
}

void draw_tooltip(const char* text) {
  const int32_t length = static_cast<int32_t>(strlen(text));
  const float left = kTooltipLeft + kTooltipPadding;
  const float right = kTooltipRight - kTooltipPadding;
  sglIndexFonti(kFontSmall);
  sglSetTextAlignment(0, 2);
  float x1 = 0.0f;
  float y1 = 0.0f;
  float x2 = 0.0f;
  float y2 = 0.0f;
  float height = kTooltipMaxHeight;
  if (sglGetTextAreaBounds(left, kTooltipTop - kTooltipMaxHeight, right,
                           kTooltipTop - kTooltipPadding, text, length, &x1, &y1, &x2, &y2)) {
    height = (kTooltipTop - y1) + kTooltipPadding;
  }
  sglIndexColori(kColorPopUpFill);
  sglTransparency8(kTooltipAlpha);
  sglBegin(5);
  sglVertex2f(kTooltipLeft, kTooltipTop - height);
  sglVertex2f(kTooltipRight, kTooltipTop - height);
  sglVertex2f(kTooltipRight, kTooltipTop);
  sglVertex2f(kTooltipLeft, kTooltipTop);
  sglEnd();
  sglTransparency8(255);
  sglIndexColori(kColorCream);
  sgluWriteTextArea(left, kTooltipTop - height, right, kTooltipTop - kTooltipPadding, text, length);
}

// A step goes back from where a run stands: the run stops first, as the
// run toggle would stop it (Velkor_breakpoints_after_run_toggle answers the
// load once the toggle is drawn).
void stop_run(Context* c) {
  c->animationTick = 0;
  c->continuousStart = 0;
  c->classroom.pendingExecute = 0;
  if (!c->continuousExecution) return;
  c->continuousExecution = 0;
  c->EnableExecToggleButton.value = 0;
  c->EnableExecToggleButton.load = 1;
}

uint8_t frame_command(const Context* c) {
  if (c->UndoButton.activated || c->classroom.keyCommand == kKeyCommandUndo) return kStepBack;
  if (c->RedoButton.activated || c->classroom.keyCommand == kKeyCommandRedo) return kStepForward;
  return kNoStep;
}

}  // namespace

void Velkor_history_step(Velkor_symbology_layer_context* c, uint32_t pass) {
  Velkor_classroom* k = &c->classroom;
  draw_button(&c->UndoButton, kUndoButton, kUndoLabel,
              Velkor_history_undo_count(&k->history) > 0 ? 1 : 0, pass);
  draw_button(&c->RedoButton, kRedoButton, kRedoLabel,
              Velkor_history_redo_count(&k->history) > 0 ? 1 : 0, pass);
  if (pointer_on(kUndoButton)) {
    draw_tooltip(kUndoTooltip);
  } else if (pointer_on(kRedoButton)) {
    draw_tooltip(kRedoTooltip);
  }

  uint8_t command = frame_command(c);
  if (command == kNoStep) command = k->historyCommand;
  k->historyCommand = kNoStep;
  k->historyRestored = 0;
  k->historyFollowUp = k->historyFollowUpNext;
  Velkor_history_capture(c, &k->historyBefore);
  if (command == kNoStep) return;
  if (k->historyFollowUp) {
    k->historyCommand = command;  // after the action's second half
    return;
  }
  const bool stepped =
      command == kStepBack
          ? Velkor_history_undo(&k->history, &k->historyBefore, &k->historyScratch)
          : Velkor_history_redo(&k->history, &k->historyBefore, &k->historyScratch);
  if (!stepped) return;
  stop_run(c);
  Velkor_history_restore(c, &k->historyScratch);
  k->breakpointMessage[0] = '\0';
  k->stepped = 1;  // the markers in view, as after a step of the machine
  k->historyRestored = 1;
}

void Velkor_history_end_frame(Velkor_symbology_layer_context* c) {
  Velkor_classroom* k = &c->classroom;
  // Asked for now, done in the next frame: F7's EXECUTE (the key step reads
  // and clears its flag before the history's step), the RESET of a word that
  // did not decode, the phase of an NMI.
  k->historyFollowUpNext = (c->decoderResetRequest || c->nmiRequest || k->pendingExecute) ? 1 : 0;
  if (k->historyRestored) {
    k->historyRecorded = 0;
    return;
  }
  Velkor_history_capture(c, &k->historyScratch);
  const bool fetched = c->fetchHighlighted && c->clickFlag;
  const bool action = Velkor_history_changed(&k->historyBefore, &k->historyScratch) ||
                      (fetched && Velkor_history_differs(&k->historyBefore, &k->historyScratch));
  if (!action) {
    k->historyRecorded = 0;
    return;
  }
  if (k->historyFollowUp && k->historyRecorded) return;
  Velkor_history_record(&k->history, &k->historyBefore);
  k->historyRecorded = 1;
}
