// The layer's frame: pass 0 settles who owns the pointer, runs every step of
// the panel's logic and draws the main view; pass 2 draws the six pop-up
// panels between the pop-ups' rule steps; pass 1 draws nothing.
// The conditions themselves live in Velkor_symbology_layer_cycle.cpp; this
// unit sets the widgets' parameters, draws them in step order, runs the
// area tests and hands their results to the conditions.
#include <cstdio>
#include <cstring>

#include "display/Velkor_FrameShape.h"
#include "graphics/sgl.h"
#include "panel/Velkor_breakpoints.h"
#include "panel/Velkor_classroom_draw.h"
#include "panel/Velkor_follow.h"
#include "panel/Velkor_history_controls.h"
#include "panel/Velkor_keys.h"
#include "panel/Velkor_line_stipple_table.h"
#include "panel/Velkor_palette_internal.h"
#include "panel/Velkor_symbology_layer_cycle_internal.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_symbology_layer_parts_internal.h"
#include "panel/Velkor_symbology_layer_popups_internal.h"
#include "panel/Velkor_symbology_layer_view_internal.h"
#include "panel/Velkor_vocabulary.h"
#include "widgets/interactivity_mapping.h"

namespace {

using Context = Velkor_symbology_layer_context;

constexpr uint32_t kMainPass = 0;
constexpr uint32_t kPopUpPass = 2;

constexpr uint32_t kTooltipAlpha = 200;

// Area tests cover their element's rectangle, enlarged by this much on
// every side, so that the edge of a button still counts.
constexpr float kAreaMargin = 2.0f;

struct Rect {
  float x, y, width, height;
};

// Main widgets: lower-left corner in the centred panel frame and size.
constexpr Rect kExecButton = {-612.5f, 171.0f, 150.0f, 46.0f};
constexpr Rect kDisasmButton = {-613.0f, 225.0f, 150.0f, 46.0f};
constexpr Rect kSaveButton = {-613.0f, 121.0f, 150.0f, 46.0f};
constexpr Rect kInstruktionenToggle = {-613.0f, 318.0f, 150.0f, 34.0f};
constexpr Rect kMaschinencodeToggle = {-613.0f, 277.0f, 150.0f, 34.0f};
constexpr Rect kResetButton = {-445.0f, 293.0f, 76.0f, 46.0f};
constexpr Rect kNmiButton = {-357.0f, 293.0f, 76.0f, 46.0f};
constexpr Rect kEnableExecToggle = {-349.0f, -33.0f, 160.0f, 50.0f};
constexpr Rect kSpeedRadioBox = {-150.5f, -26.0f, 138.0f, 86.0f};
constexpr Rect kGauge = {-348.0f, 25.0f, 162.0f, 10.0f};
constexpr Rect kRomTable = {188.0f, 91.0f, 215.0f, 260.0f};
constexpr Rect kRamTable = {416.0f, 91.0f, 215.0f, 260.0f};
constexpr Rect kRegisterScrollPanel = {kRegisterPanelX, kRegisterPanelY, kRegisterPanelWidth,
                                       kRegisterPanelHeight};

// The version line's area (the info pop-up opens while the pointer is on it).
constexpr Rect kVersionArea = {357.0f, -373.0f, 262.0f, 23.0f};

// Texts placed by the frame itself.
constexpr float kStateTextX = -267.0f;  // above the gauge, beside the run controls
constexpr float kStateTextY = 48.0f;
constexpr float kTooltipLeft = -455.0f;
constexpr float kTooltipRight = -255.0f;  // short of the instruction thumbnail
constexpr float kTooltipPadding = 4.0f;
constexpr float kTooltipMaxHeight = 160.0f;
constexpr float kFlagsY = -138.0f;
constexpr float kFlagX[4] = {-285.0f, -248.7f, -211.3f, -175.0f};
constexpr float kAssemblerX = -613.0f;
constexpr float kAssemblerLabelY = 100.0f;
constexpr float kAssemblerTextY = 76.0f;
constexpr float kTableTitleGap = 8.0f;

constexpr const char* kFlagTexts[4][2] = {
    {"V=0", "V=1"}, {"N=0", "N=1"}, {"Z=0", "Z=1"}, {"C=0", "C=1"}};
constexpr const char* kTableHeaders[3] = {"Adresse", "High Byte", "Low Byte"};

// Labels wider than their buttons break where a reader would (13 10 is the
// panel's line break).
const char kDisasmLabel[] = "FETCH Instruction &\r\nDECODE Instruction";
const char kResetLabel[] = "RESET\r\n(INT31)";
const char kEnableLabel[] = "ENABLE Continous\r\nExecution";
const char kDisableLabel[] = "DISABLE Continous\r\nExecution";

const char kExecTooltip[] = "F\xfchrt die ausgew\xe4hlte Instruktion aus";
const char kDisasmTooltip[] =
    "Decodiert den Maschinencode der Instruktion im Programmspeicher (Flash/ROM), auf die der "
    "Program Counter (PC) zeigt";
const char kSaveTooltip[] =
    "Speichert die aktuell ausgew\xe4hlte Instruktion an der im Flash / ROM markierten Adresse im "
    "Programmspeicher";

// ---- Drawing helpers ----------------------------------------------------------

void fill_rect(float x, float y, float w, float h, int32_t color, uint32_t alpha) {
  sglIndexColori(color);
  sglTransparency8(alpha);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(x, y);
  sglVertex2f(x + w, y);
  sglVertex2f(x + w, y + h);
  sglVertex2f(x, y + h);
  sglEnd();
  sglTransparency8(255);
}

void write_text(float x, float y, const char* text, int32_t length, int32_t font, int32_t color,
                uint32_t horizontal) {
  sglIndexColori(color);
  sglIndexFonti(font);
  sglSetTextAlignment(horizontal, kAlignBottom);
  sgluWriteText(x, y, text, length);
}

// A tool tip: cream text on a dark plate right of a button, its top level
// with the button's top; the plate is as high as the wrapped text.
void write_tooltip(const Rect& button, const char* text, int32_t length) {
  const float top = button.y + button.height;
  const float left = kTooltipLeft + kTooltipPadding;
  const float right = kTooltipRight - kTooltipPadding;
  sglIndexFonti(kFontSmall);
  sglSetTextAlignment(kAlignLeft, kAlignTop);
  float x1 = 0.0f;
  float y1 = 0.0f;
  float x2 = 0.0f;
  float y2 = 0.0f;
  float height = button.height;
  if (sglGetTextAreaBounds(left, top - kTooltipMaxHeight, right, top - kTooltipPadding, text,
                           length, &x1, &y1, &x2, &y2)) {
    height = (top - y1) + kTooltipPadding;
  }
  fill_rect(kTooltipLeft, top - height, kTooltipRight - kTooltipLeft, height, kColorPopUpFill,
            kTooltipAlpha);
  sglIndexColori(kColorCream);
  sgluWriteTextArea(left, top - height, right, top - kTooltipPadding, text, length);
}

// The pointer on an element's rectangle (enlarged), in the centred frame.
uint8_t area_hover(const Rect& r) {
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  return sglRectangleActiveAreaGetStatus(px, py, r.x - kAreaMargin, r.y - kAreaMargin,
                                         r.x + r.width + kAreaMargin, r.y + r.height + kAreaMargin)
             ? 1
             : 0;
}

// ---- Widget setups (parameters set every frame, then drawn at its place) -------

void draw_push(Velkor_PushButton* b, const Rect& r, const char* label, uint32_t pass) {
  b->width = r.width;
  b->height = r.height;
  b->frameStyle = kVelkorCornerRound;
  b->label = label;
  b->font = kFontSmall;
  b->pass = kMainPass;
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_PushButton_draw(b, pass);
  sglPopMatrixAndTranslate();
}

void draw_toggle(Velkor_ToggleButton* t, const Rect& r, const char* on, const char* off,
                 uint32_t pass) {
  t->width = r.width;
  t->height = r.height;
  t->label = on;
  t->label2 = off;
  t->font = kFontSmall;
  t->pass = kMainPass;
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_ToggleButton_draw(t, pass);
  sglPopMatrixAndTranslate();
}

void draw_table(Velkor_MultiColumn* t, const Rect& r, const MemoryRow* rows, int32_t body,
                const TableMarker& marker, uint8_t marker_on, const char* title, uint32_t pass) {
  static_assert(sizeof(MemoryRow) == sizeof(MultiColumn_Row), "a table row is a memory row");
  t->width = r.width;
  t->height = r.height;
  t->faceColor = body;
  t->texts = reinterpret_cast<const MultiColumn_Row*>(rows);
  t->rowCount = kTableLineCount;
  t->columns = 3;
  t->columnWidths[0] = 60.0f;
  t->columnWidths[1] = 68.0f;
  t->columnWidths[2] = 68.0f;
  for (int i = 0; i < 3; ++i) t->headers[i] = kTableHeaders[i];
  t->rowHeight = 22.0f;
  t->markedRow = static_cast<int32_t>(marker.row);
  t->markedRowOn = marker_on;
  t->pass = kMainPass;
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_MultiColumn_draw(t, pass);
  sglPopMatrixAndTranslate();
  t->load = 0;  // the selection of init is taken once
  write_text(r.x + r.width / 2.0f, r.y + r.height + kTableTitleGap, title, 64, kFontLabel,
             kColorWhite, kAlignCentre);
}

// Which column of a table the pointer is over: 0 the address, 1 the bytes.
uint8_t table_column_hover(const Velkor_MultiColumn* t, bool bytes) {
  if (!t->hover || t->hoveredRow < 0) return 0;
  return bytes ? (t->hoveredColumn == 1 || t->hoveredColumn == 2) : (t->hoveredColumn == 0);
}

// ---- Pass 0 -------------------------------------------------------------------

// Who owns the pointer is settled once, before anything is drawn; the main
// view then reads it only if it is the owner (a pointer over an open
// pop-up, a key that steps the machine or a press that closes the help
// leave it nowhere and without a press).
void step_read_pointer(Context* c) {
  BHVR_SetPointerReach(1);
  PointerEvent p{};
  Velkor_pointer(0, &p.pressed, &p.released, &p.button, &p.x, &p.y, &p.modifiers);
  c->pointerOwner = Velkor_cycle_pointer_owner(c, p);
  // Only the left button clicks: a wheel notch scrolls what lies under it
  // and must neither fetch, execute nor open a pop-up there (the right
  // button sets breakpoints on its own).
  const uint8_t press = p.pressed && BHVR_LeftButton(p.button) ? 1 : 0;
  Velkor_cycle_take_press(c, press);
  const bool closes_help = Velkor_classroom_help_takes_press(c, press);
  if (Velkor_keys_read(c) || closes_help) Velkor_cycle_classroom_takes_frame(c);
  const bool main_view = Velkor_cycle_pointer_reaches(c->pointerOwner, kPointerMainView, nullptr);
  BHVR_SetPointerReach(main_view ? 1 : 0);
}

void step_animation(Context* c, uint32_t pass) {
  Velkor_Animation* a = &c->ExecutionAnimation;
  a->duration = Velkor_cycle_animation_period(c->speed);
  a->mode = 1;
  a->profile = ANIMATION_LINEAR;
  a->play = Velkor_cycle_animation_play(c);
  a->pass = kMainPass;
  Velkor_Animation_draw(a, pass);
  Velkor_cycle_take_animation(c, a->done, a->value);
}

void step_register_file(Context* c, uint32_t pass) {
  Velkor_ScrollPanel* p = &c->RegisterScrollPanel;
  p->width = kRegisterScrollPanel.width;
  p->height = kRegisterScrollPanel.height;
  p->contentWidth = kRegisterContentWidth;
  p->contentHeight = kRegisterContentHeight;
  p->children = Velkor_symbology_layer_drawChildren_RegisterScrollPanel;
  p->argument = c;
  p->childPass = kMainPass;
  p->pass = kMainPass;
  sglPushMatrixAndTranslate(kRegisterScrollPanel.x, kRegisterScrollPanel.y);
  Velkor_ScrollPanel_draw(p, pass);
  sglPopMatrixAndTranslate();
}

void step_exec_and_disasm(Context* c, uint32_t pass) {
  draw_push(&c->ExecButton, kExecButton, "EXECUTE Instruction", pass);
  if (!c->continuousExecution) c->executeHighlighted = area_hover(kExecButton);
  if (c->executeHighlighted && !c->continuousExecution) {
    write_tooltip(kExecButton, kExecTooltip, 80);
  }
  draw_push(&c->DisasmButton, kDisasmButton, kDisasmLabel, pass);
  if (!c->continuousExecution) c->fetchHighlighted = area_hover(kDisasmButton);
  if (c->fetchHighlighted && !c->continuousExecution) {
    write_tooltip(kDisasmButton, kDisasmTooltip, 200);
  }
}

void step_state_text(Context* c) {
  write_text(kStateTextX, kStateTextY, Velkor_symbology_layer_state_text(c), 15, kFontLabel,
             kColorWhite, kAlignCentre);
}

void step_speed_and_gauge(Context* c, uint32_t pass) {
  if (!c->instructionSetZoom) {
    Velkor_RadioBox* r = &c->SpeedRadioBox;
    r->width = kSpeedRadioBox.width;
    r->height = kSpeedRadioBox.height;
    r->font = kFontSmall;
    for (int i = 0; i < kVelkorSpeeds.count; ++i) {
      r->items[i] = kVelkorSpeeds.items[i];
      r->itemFlags[i] = 1;
    }
    r->itemCount = kVelkorSpeeds.count;
    r->columns = 1;
    // The box starts with nothing chosen; it shows the panel's speed.
    r->forcedIndex = static_cast<int32_t>(c->speed);
    r->force = r->selectedIndex < 0 ? 1 : 0;
    r->pass = kMainPass;
    sglPushMatrixAndTranslate(kSpeedRadioBox.x, kSpeedRadioBox.y);
    Velkor_RadioBox_draw(r, pass);
    sglPopMatrixAndTranslate();
    if (r->selectedIndex >= 0 && r->selectedIndex < 3) {
      c->speed = static_cast<uint32_t>(r->selectedIndex);
    }
  }
  Velkor_Gauge* g = &c->Gauge;
  g->width = kGauge.width;
  g->height = kGauge.height;
  g->value = c->animationProgress;
  g->minimum = 0.0f;
  g->maximum = 1.0f;
  g->pass = kMainPass;
  sglPushMatrixAndTranslate(kGauge.x, kGauge.y);
  Velkor_Gauge_draw(g, pass);
  sglPopMatrixAndTranslate();
}

void step_rom_table(Context* c, uint32_t pass) {
  Velkor_MultiColumn* t = &c->MemoryMultiColumn;
  draw_table(t, kRomTable, c->romRows, kColorRomBody, c->romMarker, c->romMarkerOn, "Flash / ROM",
             pass);
  Velkor_breakpoints_right_click(c);
  Velkor_breakpoints_draw_marks(c, kRomTable.x, kRomTable.y, kRomTable.height);
  c->romSelection[0] = t->selectedRow;
  c->romSelection[1] = t->selectedColumn;
  if (!c->continuousExecution) {
    c->romAddressHover = table_column_hover(t, false);
    c->romByteHover = table_column_hover(t, true);
  }
  Velkor_cycle_rom_marker(c);
}

void step_ram_table(Context* c, uint32_t pass) {
  Velkor_MultiColumn* t = &c->MemoryMultiColumn_1;
  draw_table(t, kRamTable, c->ramRows, kColorRamBody, c->ramMarker, c->ramMarkerOn, "RAM", pass);
  c->ramSelection[0] = t->selectedRow;
  c->ramSelection[1] = t->selectedColumn;
  if (!c->continuousExecution) {
    c->ramAddressHover = table_column_hover(t, false);
    c->ramByteHover = table_column_hover(t, true);
  }
  Velkor_cycle_ram_marker(c);
}

void step_status_flags(Context* c) {
  for (int i = 0; i < 4; ++i) {
    write_text(kFlagX[i], kFlagsY, kFlagTexts[i][c->statusFlags[i] ? 1 : 0], 3, kFontLabel,
               kColorWhite, kAlignRight);
  }
}

void step_save_button(Context* c, uint32_t pass) {
  draw_push(&c->SaveButton, kSaveButton, "SAVE Instruction", pass);
  if (!c->continuousExecution) c->saveHighlighted = area_hover(kSaveButton);
  if (c->saveHighlighted && !c->continuousExecution) {
    write_tooltip(kSaveButton, kSaveTooltip, 200);
  }
  if (c->instructionFormat != kFormatNone) {
    write_text(kAssemblerX, kAssemblerLabelY, "Assemblercode:", 64, kFontLabel, kColorWhite,
               kAlignLeft);
    write_text(kAssemblerX, kAssemblerTextY, c->assemblerText, kTextCellSize, kFontCode,
               kColorWhite, kAlignLeft);
  }
}

void step_toggles(Context* c, uint32_t pass) {
  draw_toggle(&c->MaschinencodeToggleButton, kMaschinencodeToggle, "ZOOM OUT M. Code",
              "ZOOM IN M. Code", pass);
  c->machineCodeZoom = c->MaschinencodeToggleButton.state;
  draw_toggle(&c->InstruktionenToggleButton, kInstruktionenToggle, "ZOOM OUT Instr. Set",
              "ZOOM IN Instr. Set", pass);
  c->instructionSetZoom = c->InstruktionenToggleButton.state;
  const uint8_t run_toggle_drawn = c->instructionSetZoom ? 0 : 1;
  Velkor_keys_load_run_toggle(c, run_toggle_drawn);
  if (run_toggle_drawn) {
    draw_toggle(&c->EnableExecToggleButton, kEnableExecToggle, kDisableLabel, kEnableLabel, pass);
  }
  Velkor_cycle_run_controls(c, run_toggle_drawn, c->EnableExecToggleButton.state,
                            c->EnableExecToggleButton.changed);
  Velkor_keys_start_run(c);
  Velkor_breakpoints_after_run_toggle(c, run_toggle_drawn);
}

void step_reset_and_nmi(Context* c, uint32_t pass) {
  draw_push(&c->ResetButton, kResetButton, kResetLabel, pass);
  c->resetRequest = c->ResetButton.activated;
  if (Velkor_cycle_reset(c)) c->classroom.stepped = 1;
  const uint8_t nmi_drawn = c->instructionSetZoom ? 0 : 1;
  if (nmi_drawn) {
    draw_push(&c->NMIButton, kNmiButton, "NMI (INT30)", pass);
    c->nmiRequest = c->NMIButton.activated;
  }
  if (Velkor_cycle_nmi(c, nmi_drawn)) c->classroom.stepped = 1;
}

// Step 8: a tick of continuous execution or a key clicks the button of its
// phase; a run stops before the FETCH/DECODE at a breakpoint.
void step_forced_click(Context* c) {
  Velkor_cycle_continuous(c);
  Velkor_keys_force_step(c);
  Velkor_breakpoints_hold(c);
}

// Steps 14 and 22, remembering for the markers that the machine stepped.
void step_execute(Context* c) {
  if (Velkor_cycle_execute(c)) c->classroom.stepped = 1;
}
void step_fetch(Context* c) {
  if (Velkor_cycle_fetch(c)) c->classroom.stepped = 1;
}

void draw_main(Context* c, uint32_t pass) {
  step_read_pointer(c);                     // 1
  Velkor_history_step(c, pass);             //   a step back or forward
  step_animation(c, pass);                  // 2
  Velkor_cycle_ports(c);                    // 3
  Velkor_view_draw_ports(c, pass);          // 4
  step_register_file(c, pass);              // 5
  Velkor_view_draw_block_diagram(c);        //   the static diagram
  step_exec_and_disasm(c, pass);            // 6, 7
  step_forced_click(c);                     // 8
  step_state_text(c);                       // 9
  Velkor_cycle_advance_phase(c);            // 10
  step_speed_and_gauge(c, pass);            // 11
  step_rom_table(c, pass);                  // 12
  Velkor_cycle_assemble(c);                 // 13
  step_execute(c);                          // 14
  Velkor_cycle_save(c);                     // 15
  step_ram_table(c, pass);                  // 16
  step_status_flags(c);                     // 17
  step_save_button(c, pass);                // 18
  step_toggles(c, pass);                    // 19
  step_reset_and_nmi(c, pass);              // 20, 21
  step_fetch(c);                            // 22
  c->infoHover = area_hover(kVersionArea);  // 23
  Velkor_cycle_address_unit(c);             // 24
  Velkor_view_draw_address_unit(c);
  Velkor_follow_markers(c);
  Velkor_classroom_draw_main(c);
  BHVR_SetPointerReach(1);  // the pop-ups settle their own reach
}

// ---- Pass 2 -------------------------------------------------------------------

void draw_popup(Context* c, Velkor_PopUpPanel* p, int32_t index, const Velkor_PopUpRequest& r,
                Velkor_ChildrenCallback children, uint32_t pass) {
  if (!r.drawn) return;
  const Velkor_PopUpPlace place = Velkor_cycle_popup_place(c, index);
  p->width = place.width;
  p->height = place.height;
  p->faceColor = kColorPopUpFill;
  p->closeMode = 1;
  p->open = r.open;
  p->apply = r.apply;
  p->children = children;
  p->argument = c;
  p->childrenPass = kPopUpPass;
  p->pass = kPopUpPass;
  // A thumbnail is scaled: the whole matrix is saved, not only the translation.
  sglPushMatrix();
  sglTranslatef(place.x, place.y);
  sglScalef(place.scale, place.scale);
  Velkor_PopUpPanel_draw(p, pass);
  sglPopMatrix();
}

void draw_popups(Context* c, uint32_t pass) {
  Velkor_PopUpRequest r[kPopUpCount];
  Velkor_cycle_popup_requests(c, r);
  // The RAM pop-up edits the row that was clicked to open it: the row under
  // the press (the table's selection follows only in the next frame).
  if (r[kPopUpRam].apply) {
    const int32_t row = c->MemoryMultiColumn_1.hoveredRow >= 0 ? c->MemoryMultiColumn_1.hoveredRow
                                                               : c->ramSelection[0];
    if (row >= 0 && row < kMemoryRowCount) c->ramEditRow = row;
  }
  draw_popup(c, &c->PopUpPanel, kPopUpSlots, r[kPopUpSlots],
             Velkor_symbology_layer_drawChildren_PopUpPanel, pass);
  draw_popup(c, &c->InstruktionenPopUpPanel, kPopUpInstructions, r[kPopUpInstructions],
             Velkor_symbology_layer_drawChildren_InstruktionenPopUpPanel, pass);
  draw_popup(c, &c->RAMPopUpPanel, kPopUpRam, r[kPopUpRam],
             Velkor_symbology_layer_drawChildren_RAMPopUpPanel, pass);
  draw_popup(c, &c->MaschinencodePopUpPanel, kPopUpMachineCode, r[kPopUpMachineCode],
             Velkor_symbology_layer_drawChildren_MaschinencodePopUpPanel, pass);
  draw_popup(c, &c->InfoPopUpPanel, kPopUpInfo, r[kPopUpInfo],
             Velkor_symbology_layer_drawChildren_InfoPopUpPanel, pass);
  draw_popup(c, &c->RegPopUpPanel, kPopUpRegister, r[kPopUpRegister],
             Velkor_symbology_layer_drawChildren_RegPopUpPanel, pass);
  Velkor_classroom_draw_help(c);
}

}  // namespace

void Velkor_symbology_layer_draw(void* context, uint32_t pass) {
  if (context == nullptr) return;
  Context* c = static_cast<Context*>(context);
  sglPushMatrixAndTranslate(kPanelCentreX, kPanelCentreY);
  sglIndexLineStipplei(kVelkorStippleSolid);
  if (pass == kMainPass) {
    draw_main(c, pass);
  } else if (pass == kPopUpPass) {
    Velkor_popups_before_drawing(c);
    draw_popups(c, pass);
    Velkor_popups_after_drawing(c);
    // After the pop-ups' rules, so that a slot load or an edit the frame
    // made is part of the action it records.
    Velkor_history_end_frame(c);
    ++c->frame;
  }
  sglPopMatrixAndTranslate();
}
