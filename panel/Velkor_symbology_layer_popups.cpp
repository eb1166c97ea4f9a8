// The contents of the six pop-up panels, drawn in pass 2 through their
// panels' children callbacks. What they decide (loads, conditions, core
// calls) is in Velkor_symbology_layer_popups_rules.cpp and runs from the
// frame entry after the drawing; this unit places the widgets and texts,
// hands the widgets their values and reads back what the user chose.
//
// The selection fields of the layer are the truth: each selector shows its
// field (it is loaded whenever the two differ, e.g. after RESET or a
// shortcut), and a choice of the user is written back into the field.
#include <cstdio>
#include <cstring>

#include "display/Velkor_FrameShape.h"
#include "graphics/sgl.h"
#include "panel/Velkor_palette_internal.h"
#include "panel/Velkor_symbology_layer_cycle_internal.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_symbology_layer_parts_internal.h"
#include "panel/Velkor_symbology_layer_popups_internal.h"
#include "panel/Velkor_vocabulary.h"
#include "widgets/interactivity_mapping.h"

namespace {

using Context = Velkor_symbology_layer_context;

const char kOutOfRange[] =
    "Wert au\xdf"
    "erhalb des darstellbaren Wertebereichs!";
const char kSourceOutOfRange[] =
    "Wert liegt au\xdf"
    "erhalb des darstellbaren Wertebereichs!";
// Said instead while the text is no number at all ("abc", "12xyz"): that
// it is out of range would send the student looking for the wrong fault.
const char kNotANumber[] = "Wert ist keine Zahl (dezimal oder hexadezimal mit 0x)!";

constexpr int32_t kDestinationModeItems = kDestinationModeCount;  // the first four modes

const char* const kShortcutLabels[kShortcutCount] = {"Init SP", "Operation PUSH", "Operation POP"};
const char kInitSpTip[] = "Stellt einen Befehl ein, der den Stack Pointer (SP) initialisiert";
const char kPushTip[] =
    "Stellt einen Befehl ein, der ein Datenwort auf dem Stack ablegt (Operation PUSH)";
const char kPopTip[] =
    "Stellt einen Befehl ein, der vom Stack ein Datenwort liest und in einem Register ablegt "
    "(Operation POP)";
const char* const kShortcutTips[kShortcutCount] = {kInitSpTip, kPushTip, kPopTip};

const char kInfoText[] =
    "Einschr\xe4nkungen:\r\n- nur bestimmte emulierte Befehle werden als solche erkannt\r\n- nur "
    "Reset-Interrupt (INT31) und NMI (INT30)\r\n- nur Port 1 und Port 2 (beide fest verdrahtet), "
    "sonst keine Peripherie\r\n- in R2 nur Flags V, N, Z, C\r\n";

struct Rect {
  float x, y, width, height;
};

// ---- The pointer the children see ---------------------------------------------
//
// The frame's owner of the pointer (c->pointerOwner) says which children
// it reaches: none of a pop-up while a pop-up drawn over it lies under the
// pointer, and while one of its lists is open only that list. Each child is
// told before it is drawn; the pop-up's own panel and the next pop-up read
// the pointer whole again.

// Reaches the children of `popup` that have no list of their own (or own
// `list`).
void reach_child(const Context* c, int32_t popup, const Velkor_ComboBox* list = nullptr) {
  BHVR_SetPointerReach(Velkor_cycle_pointer_reaches(c->pointerOwner, popup, list) ? 1 : 0);
}

// Reaches the pop-up's children as a whole, whichever list is open.
bool popup_reached(const Context* c, int32_t popup) {
  return Velkor_cycle_pointer_reaches(c->pointerOwner, popup, c->pointerOwner.openList[popup]);
}

void leave_children() {
  BHVR_SetPointerReach(1);
}

// Copies a text into a text cell, cut to the cell.
void copy_text(char* cell, const char* text) {
  const size_t n = strnlen(text, kTextCellSize - 1);
  memmove(cell, text, n);
  cell[n] = '\0';
}

// ---- The children by name ------------------------------------------------------
//
// A container calls a children callback with -1: every child is drawn, in
// the order of its enum. A child's name draws that child alone.

enum SlotChild : int32_t {
  kChildSlotSave,         // "SAVE to Slot"
  kChildSlotLoad,         // "LOAD from Slot"
  kChildSlotStatus,       // the current file name and the message line
  kChildSlotTitle,        // "Programmspeicher ändern"
  kChildSlotDescription,  // what a slot is
  kChildSlotList,         // SlotComboBox, last: its list lies over the texts
};

enum InstructionChild : int32_t {
  kChildInstructionLabels,    // "1)" .. "4)" and the operand headings
  kChildInstructionWidgets,   // shortcuts, "Word Operation", operands, offset, selectors
  kChildInstructionMessages,  // refused operands, the shortcut's tip
};

// The RAM and the register pop-up share their layout.
enum ValueChild : int32_t {
  kChildValueHelp,     // how to type a value
  kChildValueLabel,    // "Neuer Wert:"
  kChildValueTitle,    // the heading (and the RAM word's address)
  kChildValueSave,     // "SAVE to RAM" / "SAVE to Register:"
  kChildValueBox,      // the value's edit box
  kChildValueMessage,  // why a value is refused
  kChildRegisterList,  // RegComboBox (register pop-up only)
  kChildValuePreview,  // "= 0x...."
};

bool drawn(int32_t child, int32_t name) {
  return child < 0 || child == name;
}

// ---- Texts and shapes -------------------------------------------------------------

void write_text(uint32_t masks, float x, float y, const char* text, int32_t length, int32_t font,
                int32_t color, uint32_t align = kAlignLeft) {
  sglSetActiveMasks(masks);
  sglIndexColori(color);
  sglIndexFonti(font);
  sglSetTextAlignment(align, 0);
  sgluWriteText(x, y, text, length);
}

void write_area(uint32_t masks, const Rect& r, const char* text, int32_t length, int32_t font,
                int32_t color) {
  sglSetActiveMasks(masks);
  sglIndexColori(color);
  sglIndexFonti(font);
  sglSetTextAlignment(kAlignLeft, kAlignTop);
  sgluWriteTextArea(r.x, r.y, r.x + r.width, r.y + r.height, text, length);
}

void fill_box(uint32_t masks, const Rect& r, int32_t fill, int32_t frame) {
  sglSetActiveMasks(masks);
  sglIndexColori(fill);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(r.x, r.y);
  sglVertex2f(r.x + r.width, r.y);
  sglVertex2f(r.x + r.width, r.y + r.height);
  sglVertex2f(r.x, r.y + r.height);
  sglEnd();
  sglIndexColori(frame);
  sglIndexLineWidthi(kLineFrame);
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  sglVertex2f(r.x, r.y);
  sglVertex2f(r.x + r.width, r.y);
  sglVertex2f(r.x + r.width, r.y + r.height);
  sglVertex2f(r.x, r.y + r.height);
  sglEnd();
}

// ---- Widgets, each shown with its field and written back ---------------------------

void draw_push(uint32_t masks, Velkor_PushButton* b, const Rect& r, const char* label,
               uint32_t pass, uint32_t child_pass) {
  b->width = r.width;
  b->height = r.height;
  b->frameStyle = kVelkorCornerRound;
  b->label = label;
  b->font = kFontSmall;
  b->pass = child_pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_PushButton_draw(b, pass);
  sglPopMatrixAndTranslate();
}

struct ComboSetup {
  const char* label;
  Velkor_Words words;  // the panel's vocabulary
  int32_t shown;
  const uint8_t* flags;  // null: every item can be chosen
};

// A combo box showing *field; `load` forces it. A field outside the items
// (a decoded word outside the selectors' vocabulary) is shown as no item at
// all, not as some other one, and keeps its value until the user chooses.
void draw_combo(uint32_t masks, Velkor_ComboBox* b, const Rect& r, const ComboSetup& s,
                uint32_t* field, uint8_t load, uint32_t pass, uint32_t child_pass) {
  b->width = r.width;
  b->height = r.height;
  b->label = s.label;
  b->font = kFontSmall;
  for (int32_t i = 0; i < kVelkorListItems; ++i) {
    b->items[i] = i < s.words.count ? s.words.items[i] : nullptr;
    b->itemFlags[i] = (i < s.words.count && (s.flags == nullptr || s.flags[i])) ? 1 : 0;
  }
  b->itemCount = s.words.count;
  b->shownItems = s.shown;
  b->listRowHeight = 22.0f;
  b->pass = child_pass;
  const int32_t before = b->selectedIndex;
  const bool showable = *field < static_cast<uint32_t>(s.words.count);
  b->forcedIndex = showable ? static_cast<int32_t>(*field) : -1;
  b->force = (showable ? (load || before != static_cast<int32_t>(*field)) : before >= 0) ? 1 : 0;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_ComboBox_draw(b, pass);
  sglPopMatrixAndTranslate();
  const int32_t after = b->selectedIndex;
  if (!b->force && after != before && after >= 0 && after < s.words.count) {
    *field = static_cast<uint32_t>(after);
  }
}

// An edit box showing `field` (loaded whenever the two differ); a confirmed
// text goes back into the field.
void draw_edit_synced(uint32_t masks, Velkor_TextEditBox* e, const Rect& r, char* field,
                      uint8_t load, uint32_t pass, uint32_t child_pass) {
  e->width = r.width;
  e->height = r.height;
  e->font = kFontSmall;
  e->initialText = field;
  e->forcedText = field;
  e->force = (load || strcmp(e->text, field) != 0) ? 1 : 0;
  e->pass = child_pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_TextEditBox_draw(e, pass);
  sglPopMatrixAndTranslate();
  if (!e->force && strcmp(e->text, field) != 0) copy_text(field, e->text);
}

// An edit box that owns its text (initial "0x0000"); the field is its copy.
void draw_edit_owned(uint32_t masks, Velkor_TextEditBox* e, const Rect& r, char* field,
                     uint32_t pass, uint32_t child_pass) {
  e->width = r.width;
  e->height = r.height;
  e->font = kFontSmall;
  e->initialText = "0x0000";
  e->force = 0;
  e->pass = child_pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(r.x, r.y);
  Velkor_TextEditBox_draw(e, pass);
  sglPopMatrixAndTranslate();
  copy_text(field, e->text);
}

// ---- Program slots ------------------------------------------------------------------

// The slot list opens below its box with three rows of 22: the box stands
// high enough for the whole list to fit inside the pop-up, which clips.
constexpr Rect kSlotSave = {130.0f, 70.0f, 110.0f, 30.0f};
constexpr Rect kSlotLoad = {130.0f, 34.0f, 110.0f, 30.0f};
constexpr Rect kSlotCombo = {10.0f, 70.0f, 110.0f, 30.0f};
constexpr Rect kSlotDescription = {10.0f, 118.0f, 230.0f, 56.0f};
constexpr Rect kSlotMessage = {10.0f, 2.0f, 230.0f, 28.0f};

// ---- Instruction selection -------------------------------------------------------

constexpr Rect kFormatCombo = {220.0f, 464.0f, 180.0f, 34.0f};
constexpr Rect kOperationCombo = {220.0f, 406.0f, 132.0f, 34.0f};
constexpr Rect kSlider = {130.0f, 300.0f, 280.0f, 50.0f};
constexpr float kLeftColumn = 34.0f;
constexpr float kRightColumn = 290.0f;
constexpr float kModeY = 290.0f;
// Height of the operand selectors and boxes, as the format's and the
// operation's selectors.
constexpr float kSelectorHeight = 34.0f;
constexpr float kOperandY = 210.0f;
// Wider than the 107 units the box was planned with: "Word Operation" in
// font 20 does not fit beside the check box in 107.
constexpr Rect kWordCheck = {34.0f, 126.0f, 140.0f, 33.0f};
constexpr Rect kShortcuts[kShortcutCount] = {
    {34.0f, 56.0f, 120.0f, 34.0f}, {164.0f, 56.0f, 120.0f, 34.0f}, {294.0f, 56.0f, 120.0f, 34.0f}};
constexpr Rect kShortcutTip = {10.0f, 4.0f, 520.0f, 46.0f};

// The shortcut buttons' areas are tested before the selectors are loaded,
// so that a click that arrives with the pointer loads in its own frame.
void test_shortcuts(Context* c) {
  if (c->continuousExecution) return;
  // An open list takes the pointer alone: a press on it is no shortcut.
  if (c->pointerOwner.openList[kPopUpInstructions] != nullptr) {
    memset(c->shortcutHover, 0, sizeof c->shortcutHover);
    return;
  }
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  for (int32_t k = 0; k < kShortcutCount; ++k) {
    const Rect& r = kShortcuts[k];
    c->shortcutHover[k] =
        sglRectangleActiveAreaGetStatus(px, py, r.x, r.y, r.x + r.width, r.y + r.height) ? 1 : 0;
  }
}

struct OperandColumns {
  float source;
  float destination;
};

OperandColumns operand_columns(const Velkor_InstructionView& v) {
  return {kLeftColumn, v.destinationLeft ? kLeftColumn : kRightColumn};
}

void draw_instruction_labels(uint32_t masks, const Velkor_InstructionView& v) {
  write_text(masks, 10.0f, 474.0f, "1)", 4, kFontLabel, kColorWhite);
  write_text(masks, 34.0f, 474.0f, "Instruktionsformat:", 64, kFontLabel, kColorWhite);
  // The shortcuts are there in every format, "---no instruction---" included.
  write_text(masks, 10.0f, 100.0f, "Schnellauswahl einiger wichtiger Befehle:", 64, kFontLabel,
             kColorWhite);
  if (v.operationSelector == kOperationSelectorNone) return;
  write_text(masks, 10.0f, 416.0f, "2)", 4, kFontLabel, kColorWhite);
  write_text(masks, 34.0f, 416.0f, "Befehl (Mnemonic Code):", 64, kFontLabel, kColorWhite);
  if (v.stepThree) write_text(masks, 10.0f, 360.0f, "3)", 4, kFontLabel, kColorWhite);
  if (v.pcOffset) write_text(masks, 34.0f, 360.0f, "PC-Offset:", 64, kFontLabel, kColorWhite);
  if (v.addressing) {
    write_text(masks, 34.0f, 360.0f, "Adressierungsart:", 64, kFontLabel, kColorWhite);
    write_text(masks, 10.0f, 252.0f, "4)", 4, kFontLabel, kColorWhite);
  }
  const OperandColumns col = operand_columns(v);
  if (v.source) {
    write_text(masks, col.source, 330.0f, "Quelloperand:", 64, kFontSmall, kColorCream);
    write_text(masks, col.source, 252.0f, "Quelloperand:", 64, kFontSmall, kColorCream);
  }
  if (v.destination) {
    write_text(masks, col.destination, 330.0f, "Zieloperand:", 64, kFontSmall, kColorCream);
    write_text(masks, col.destination, 252.0f, "Zieloperand:", 64, kFontSmall, kColorCream);
  }
}

// Children of the instruction pop-up, drawn from the bottom up, so that a
// list opening downwards lies over the children below it.
void draw_instruction_widgets(Context* c, uint32_t masks, const Velkor_SelectorLoad& load,
                              const Velkor_InstructionView& v, uint32_t pass, uint32_t child_pass) {
  auto reach = [&](const Velkor_ComboBox* own) { reach_child(c, kPopUpInstructions, own); };

  for (int32_t k = 0; k < kShortcutCount; ++k) {
    Velkor_PushButton* buttons[kShortcutCount] = {&c->ShotCut1Button, &c->ShotCut2Button,
                                                  &c->ShotCut3Button};
    reach(nullptr);
    draw_push(masks, buttons[k], kShortcuts[k], kShortcutLabels[k], pass, child_pass);
  }
  if (v.word) {
    Velkor_CheckButton* w = &c->CheckButton;
    w->width = kWordCheck.width;
    w->height = kWordCheck.height;
    w->label = "Word Operation";
    w->frameStyle = kVelkorCornerRoundEnds;
    w->font = kFontSmall;
    w->labelColor = kColorWhite;
    w->value = c->wordOperation ? 1 : 0;
    w->load = (load.word || w->checked != w->value) ? 1 : 0;
    w->pass = child_pass;
    reach(nullptr);
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(kWordCheck.x, kWordCheck.y);
    Velkor_CheckButton_draw(w, pass);
    sglPopMatrixAndTranslate();
    if (w->changed && !w->load) c->wordOperation = w->checked;
  }

  const OperandColumns col = operand_columns(v);
  const ComboSetup registers = {"Register Rm", kVelkorRegisters, 4, nullptr};
  if (v.destination) {
    if (v.destinationText) {
      const float w = v.destinationNarrow ? 70.0f : 132.0f;
      const float x = col.destination + (v.destinationNarrow ? 104.0f : 0.0f);
      reach(nullptr);
      draw_edit_synced(masks, &c->IndexAdrImmediateTextEditBox_1,
                       {x, kOperandY, w, kSelectorHeight}, c->destinationEditText,
                       load.destinationText, pass, child_pass);
    }
    if (v.destinationRegister) {
      const float w = v.destinationNarrow ? 100.0f : 132.0f;
      reach(&c->DRegComboBox);
      draw_combo(masks, &c->DRegComboBox, {col.destination, kOperandY, w, kSelectorHeight},
                 registers, &c->destinationRegister, load.selectors, pass, child_pass);
    }
    reach(&c->DRegAdrComboBox);
    draw_combo(masks, &c->DRegAdrComboBox, {col.destination, kModeY, 180.0f, kSelectorHeight},
               {"Register", {kVelkorModes.items, kDestinationModeItems}, 4, nullptr},
               &c->destinationMode, load.selectors, pass, child_pass);
  }
  if (v.source) {
    if (v.sourceText) {
      const float w = v.sourceNarrow ? 70.0f : 132.0f;
      const float x = col.source + (v.sourceNarrow ? 104.0f : 0.0f);
      reach(nullptr);
      draw_edit_synced(masks, &c->IndexAdrImmediateTextEditBox, {x, kOperandY, w, kSelectorHeight},
                       c->sourceEditText, load.sourceText, pass, child_pass);
    }
    if (v.sourceRegister) {
      const float w = v.sourceNarrow ? 100.0f : 132.0f;
      reach(&c->SRegComboBox);
      draw_combo(masks, &c->SRegComboBox, {col.source, kOperandY, w, kSelectorHeight}, registers,
                 &c->sourceRegister, load.selectors, pass, child_pass);
    }
    reach(&c->SRegAdrComboBox);
    draw_combo(masks, &c->SRegAdrComboBox, {col.source, kModeY, 180.0f, kSelectorHeight},
               {"Register", kVelkorModes, 4, nullptr}, &c->sourceMode, load.selectors, pass,
               child_pass);
  }

  if (v.pcOffset) {
    Velkor_Slider* s = &c->Slider;
    s->width = kSlider.width;
    s->height = kSlider.height;
    s->font = kFontSmall;
    s->labelColor = kColorWhite;
    s->minimum = -512.0f;
    s->maximum = 511.0f;
    s->step = 1.0f;
    s->orientation = kVelkorSliderLeftToRight;
    s->showScale = 1;
    s->forcedValue = c->pcOffset;
    s->force = (load.pcOffset || s->value != c->pcOffset) ? 1 : 0;
    s->pass = child_pass;
    reach(nullptr);
    sglSetActiveMasks(masks);
    sglPushMatrixAndTranslate(kSlider.x, kSlider.y);
    Velkor_Slider_draw(s, pass);
    sglPopMatrixAndTranslate();
    // Taken whenever the slider moved, not only on its change event: a key
    // step moves it without one, and the next frame would load it back.
    if (!s->force && s->value != c->pcOffset) c->pcOffset = s->value;
  }

  switch (v.operationSelector) {
    case kOperationSelectorDual:
      reach(&c->DualOperationComboBox);
      draw_combo(masks, &c->DualOperationComboBox, kOperationCombo,
                 {"", kVelkorDualOperations, 5, nullptr}, &c->dualOperation, load.selectors, pass,
                 child_pass);
      break;
    case kOperationSelectorSingle:
      reach(&c->Single_OperationComboBox);
      draw_combo(masks, &c->Single_OperationComboBox, kOperationCombo,
                 {"", kVelkorSingleOperations, 5, nullptr}, &c->singleOperation, load.selectors,
                 pass, child_pass);
      break;
    case kOperationSelectorJump:
      reach(&c->Jump_OperationComboBox);
      draw_combo(masks, &c->Jump_OperationComboBox, kOperationCombo,
                 {"", kVelkorJumpOperations, 5, nullptr}, &c->jumpOperation, load.selectors, pass,
                 child_pass);
      break;
    case kOperationSelectorEmulated:
      reach(&c->Emulated_OperationComboBox);
      draw_combo(masks, &c->Emulated_OperationComboBox, kOperationCombo,
                 {"", kVelkorEmulatedOperations, 5, nullptr}, &c->emulatedOperation, load.selectors,
                 pass, child_pass);
      break;
    default:
      break;
  }

  // "---no instruction---" is the empty label and cannot be chosen.
  static const uint8_t kFormatFlags[5] = {1, 1, 1, 1, 0};
  reach(&c->InstructionFormatComboBox);
  draw_combo(masks, &c->InstructionFormatComboBox, kFormatCombo,
             {"---no instruction---", kVelkorFormats, 5, kFormatFlags}, &c->instructionFormat,
             load.format, pass, child_pass);
}

// Why a typed value is refused: no number at all, or out of range.
const char* refusal(const char* typed, const char* out_of_range) {
  return Velkor_cycle_text_is_number(typed) ? out_of_range : kNotANumber;
}

void draw_instruction_messages(Context* c, uint32_t masks, const Velkor_InstructionView& v) {
  const OperandColumns col = operand_columns(v);
  if (v.sourceText && !c->sourceValid) {
    write_area(masks, {col.source, 172.0f, 246.0f, 34.0f},
               refusal(c->sourceEditText, kSourceOutOfRange), 60, kFontSmall, kColorRed);
  }
  if (v.destinationText && !c->destinationValid) {
    write_area(masks, {col.destination, 172.0f, 246.0f, 34.0f},
               refusal(c->destinationEditText, kOutOfRange), 60, kFontSmall, kColorRed);
  }
  for (int32_t k = 0; k < kShortcutCount; ++k) {
    if (c->shortcutHover[k] && !c->continuousExecution) {
      write_area(masks, kShortcutTip, kShortcutTips[k], 200, kFontSmall, kColorCream);
      break;
    }
  }
}

// ---- RAM word and register --------------------------------------------------------

// The register list opens below its box with three rows of 22: the box
// stands high enough for the whole list to fit inside the pop-up.
constexpr Rect kValueHelp = {8.0f, 141.0f, 264.0f, 60.0f};
constexpr Rect kValueBox = {90.0f, 108.0f, 76.25f, 30.25f};
constexpr Rect kValueSave = {8.0f, 70.0f, 138.0f, 34.0f};
constexpr Rect kValueMessage = {8.0f, 4.0f, 264.0f, 62.0f};
constexpr Rect kRegCombo = {154.0f, 70.0f, 116.0f, 35.25f};
constexpr Rect kRegMessage = {8.0f, 4.0f, 138.0f, 62.0f};
constexpr float kValueLabelY = 116.0f;  // "Neuer Wert:" and the preview, level with the box

// "= 0x" and the first four characters of the converted value; "= 0x????"
// while the typed text is refused (its conversion is no number it meant).
void write_preview(uint32_t masks, const char* value, uint8_t valid) {
  char preview[16];
  snprintf(preview, sizeof preview, "= 0x%.4s", valid ? value : "????");
  write_text(masks, 174.0f, kValueLabelY - 2.0f, preview, 16, kFontCode, kColorWhite);
}

}  // namespace

// ---- The six children callbacks ---------------------------------------------------

void Velkor_symbology_layer_drawChildren_PopUpPanel(void* context, uint32_t pass, int32_t child,
                                                    uint32_t childPass) {
  if (context == nullptr || pass != childPass) return;
  Context* c = static_cast<Context*>(context);
  const uint32_t masks = sglGetActiveMasks();
  c->popupChildrenDrawn[kPopUpSlots] = 1;
  if (drawn(child, kChildSlotSave)) {
    reach_child(c, kPopUpSlots);
    draw_push(masks, &c->ROMSaveButton, kSlotSave, "SAVE to Slot", pass, childPass);
    c->saveToSlot = c->ROMSaveButton.activated;
  }
  if (drawn(child, kChildSlotLoad)) {
    reach_child(c, kPopUpSlots);
    draw_push(masks, &c->ROMLoadButton, kSlotLoad, "LOAD from Slot", pass, childPass);
    c->loadFromSlot = c->ROMLoadButton.activated;
  }
  if (drawn(child, kChildSlotStatus)) {
    char line[64];
    char name[16];
    Velkor_popups_slot_file_name(c->slot, name, sizeof name);
    snprintf(line, sizeof line, "Aktueller Slot (Dateiname): %s", name);
    write_text(masks, 10.0f, 104.0f, line, 64, kFontSmall, kColorCream);
    if (c->slotMessage[0] != '\0') {
      write_area(masks, kSlotMessage, c->slotMessage, kSlotMessageSize, kFontSmall, kColorCream);
    }
  }
  if (drawn(child, kChildSlotTitle)) {
    write_text(masks, 10.0f, 180.0f, "Programmspeicher \xe4ndern", 64, kFontLabel, kColorWhite);
  }
  if (drawn(child, kChildSlotDescription)) {
    write_area(masks, kSlotDescription,
               "Es gibt vordefinierte \"Slots\", die je einer ASCII-Textdatei (CSV-Format) "
               "entsprechen und die ROM-Inhalte aufnehmen.",
               200, kFontSmall, kColorCream);
  }
  // Last, so that its open list lies over the texts.
  if (drawn(child, kChildSlotList)) {
    reach_child(c, kPopUpSlots, &c->SlotComboBox);
    draw_combo(masks, &c->SlotComboBox, kSlotCombo, {"Slot", kVelkorSlots, 3, nullptr}, &c->slot, 0,
               pass, childPass);
  }
  leave_children();
  sglSetActiveMasks(masks);
}

void Velkor_symbology_layer_drawChildren_InstruktionenPopUpPanel(void* context, uint32_t pass,
                                                                 int32_t child,
                                                                 uint32_t childPass) {
  if (context == nullptr || pass != childPass) return;
  Context* c = static_cast<Context*>(context);
  const uint32_t masks = sglGetActiveMasks();
  c->popupChildrenDrawn[kPopUpInstructions] = 1;
  const bool reached = popup_reached(c, kPopUpInstructions);
  BHVR_SetPointerReach(reached ? 1 : 0);
  test_shortcuts(c);
  Velkor_SelectorLoad load;
  // A shortcut is clicked with the left button; a wheel notch over it is none.
  const PointerEvent& p = c->pointerOwner.pointer;
  const uint8_t click = reached && p.pressed && BHVR_LeftButton(p.button) ? 1 : 0;
  Velkor_popups_selector_load(c, click, &load);
  Velkor_popups_apply_load(c, &load);
  // The children's texts first, the widgets over them, then the messages
  // about what the edit boxes hold.
  Velkor_InstructionView v = Velkor_popups_instruction_view(c);
  if (drawn(child, kChildInstructionLabels)) draw_instruction_labels(masks, v);
  if (drawn(child, kChildInstructionWidgets)) {
    draw_instruction_widgets(c, masks, load, v, pass, childPass);
    v = Velkor_popups_instruction_view(c);
  }
  if (drawn(child, kChildInstructionMessages)) draw_instruction_messages(c, masks, v);
  leave_children();
  sglSetActiveMasks(masks);
}

void Velkor_symbology_layer_drawChildren_RAMPopUpPanel(void* context, uint32_t pass, int32_t child,
                                                       uint32_t childPass) {
  if (context == nullptr || pass != childPass) return;
  Context* c = static_cast<Context*>(context);
  const uint32_t masks = sglGetActiveMasks();
  c->popupChildrenDrawn[kPopUpRam] = 1;
  reach_child(c, kPopUpRam);
  if (drawn(child, kChildValueHelp)) {
    write_area(masks, kValueHelp,
               "Geben Sie den neuen Wert als Dezimal- oder Hexadezimalzahl (Pr\xe4"
               "fix 0x) ein, gefolgt von der Eingabetaste.",
               255, kFontSmall, kColorCream);
  }
  if (drawn(child, kChildValueLabel)) {
    write_text(masks, 8.0f, kValueLabelY, "Neuer Wert:", 32, kFontSmall, kColorCream);
  }
  if (drawn(child, kChildValueTitle)) {
    write_text(masks, 8.0f, 205.0f, "Inhalt Datenspeicher \xe4ndern", 64, kFontLabel, kColorWhite);
    // Which word the pop-up edits: the row clicked to open it.
    if (c->ramEditRow >= 0 && c->ramEditRow < kMemoryRowCount) {
      char address[32];
      snprintf(address, sizeof address, "Adresse %.4s",
               c->ramRows[c->ramEditRow].cells[kRowAddressCell]);
      write_text(masks, 154.0f, 80.0f, address, 32, kFontSmall, kColorCream);
    }
  }
  if (drawn(child, kChildValueSave)) {
    draw_push(masks, &c->RAMPushButton, kValueSave, "SAVE to RAM", pass, childPass);
    c->saveToRam = c->RAMPushButton.activated;
  }
  if (drawn(child, kChildValueBox)) {
    draw_edit_owned(masks, &c->RAMTextEditBox, kValueBox, c->ramEditText, pass, childPass);
  }
  if (drawn(child, kChildValueMessage) && !c->ramValid) {
    write_area(masks, kValueMessage, refusal(c->ramEditText, kOutOfRange), 60, kFontSmall,
               kColorRed);
  }
  if (drawn(child, kChildValuePreview)) write_preview(masks, c->ramValueText, c->ramValid);
  leave_children();
  sglSetActiveMasks(masks);
}

void Velkor_symbology_layer_drawChildren_MaschinencodePopUpPanel(void* context, uint32_t pass,
                                                                 int32_t child,
                                                                 uint32_t childPass) {
  if (context == nullptr || pass != childPass || child > 0) return;
  Context* c = static_cast<Context*>(context);
  const Velkor_CodeLayout* layout = Velkor_popups_code_layout(c->instructionFormat);
  if (layout == nullptr) return;
  const uint32_t masks = sglGetActiveMasks();
  constexpr float kFirstBit = 26.0f;  // left edge of bit 15's column
  constexpr float kBit = 28.0f;       // width of one bit's column
  write_text(masks, 20.0f, 232.0f, layout->title, 64, kFontLabel, kColorWhite);
  char text[4] = {0, 0, 0, 0};
  for (int32_t j = 0; j < 16; ++j) {
    const float centre = kFirstBit + kBit * static_cast<float>(j) + kBit / 2.0f;
    snprintf(text, sizeof text, "%d", 15 - j);
    write_text(masks, centre, 210.0f, text, 2, kFontSmall, kColorGrey, kAlignCentre);
    text[0] = j < static_cast<int32_t>(strnlen(c->bitString, 16)) ? c->bitString[j] : ' ';
    text[1] = '\0';
    write_text(masks, centre, 188.0f, text, 1, kFontLabel, kColorWhite, kAlignCentre);
  }
  for (int32_t f = 0; f < layout->count; ++f) {
    const Velkor_CodeField& field = layout->fields[f];
    const float x1 = kFirstBit + kBit * static_cast<float>(15 - field.highBit);
    const float x2 = kFirstBit + kBit * static_cast<float>(16 - field.lowBit);
    fill_box(masks, {x1, 134.0f, x2 - x1, 40.0f}, kColorFieldFill, kColorFieldFrame);
    write_text(masks, (x1 + x2) / 2.0f, 148.0f, field.label, 16, kFontSmall, kColorWhite,
               kAlignCentre);
  }
  // One hexadecimal digit under each group of four bits.
  for (int32_t g = 0; g < 4; ++g) {
    text[0] =
        g < static_cast<int32_t>(strnlen(c->machineWordText, 4)) ? c->machineWordText[g] : ' ';
    text[1] = '\0';
    write_text(masks, kFirstBit + kBit * (4.0f * static_cast<float>(g) + 2.0f), 110.0f, text, 1,
               kFontLabel, kColorWhite, kAlignCentre);
  }
  write_text(masks, 20.0f, 48.0f, "Maschinencode:", 32, kFontLabel, kColorWhite);
  // The extension words follow the instruction word in memory: shown above it.
  write_text(masks, 200.0f, 76.0f, c->extension2Text, 8, kFontCode, kColorWhite);
  write_text(masks, 200.0f, 48.0f, c->extension1Text, 8, kFontCode, kColorWhite);
  write_text(masks, 200.0f, 20.0f, c->machineWordText, 8, kFontCode, kColorWhite);
  sglSetActiveMasks(masks);
}

void Velkor_symbology_layer_drawChildren_InfoPopUpPanel(void* context, uint32_t pass, int32_t child,
                                                        uint32_t childPass) {
  if (context == nullptr || pass != childPass || child > 0) return;
  const uint32_t masks = sglGetActiveMasks();
  write_area(masks, {10.0f, 6.0f, 363.0f, 112.0f}, kInfoText, 255, kFontSmall, kColorWhite);
  sglSetActiveMasks(masks);
}

void Velkor_symbology_layer_drawChildren_RegPopUpPanel(void* context, uint32_t pass, int32_t child,
                                                       uint32_t childPass) {
  if (context == nullptr || pass != childPass) return;
  Context* c = static_cast<Context*>(context);
  const uint32_t masks = sglGetActiveMasks();
  c->popupChildrenDrawn[kPopUpRegister] = 1;
  reach_child(c, kPopUpRegister);
  if (drawn(child, kChildValueHelp)) {
    write_area(masks, kValueHelp,
               "W\xe4hlen Sie das zu \xe4ndernde Register aus und geben Sie den neuen Wert als "
               "Dezimal- oder Hexadezimalzahl (Pr\xe4"
               "fix 0x) ein, gefolgt von der Eingabetaste.",
               255, kFontSmall, kColorCream);
  }
  if (drawn(child, kChildValueLabel)) {
    write_text(masks, 8.0f, kValueLabelY, "Neuer Wert:", 32, kFontSmall, kColorCream);
  }
  if (drawn(child, kChildValueTitle)) {
    write_text(masks, 8.0f, 205.0f, "Registerinhalt \xe4ndern", 64, kFontLabel, kColorWhite);
  }
  if (drawn(child, kChildValueSave)) {
    draw_push(masks, &c->RegPushButton, kValueSave, "SAVE to Register:", pass, childPass);
    c->saveToRegister = c->RegPushButton.activated;
  }
  if (drawn(child, kChildValueBox)) {
    draw_edit_owned(masks, &c->RegTextEditBox, kValueBox, c->registerEditText, pass, childPass);
    c->registerEnter = c->RegTextEditBox.enter;
  }
  if (drawn(child, kChildValueMessage) && !c->registerValid) {
    write_area(masks, kRegMessage, refusal(c->registerEditText, kOutOfRange), 60, kFontSmall,
               kColorRed);
  }
  // The register clicked in the register file is the pop-up's choice before
  // the list is drawn, so that SAVE writes the one the pop-up shows.
  reach_child(c, kPopUpRegister, &c->RegComboBox);
  if (drawn(child, kChildRegisterList)) {
    uint32_t clicked = 0;
    const uint8_t load = Velkor_popups_register_load(c, &clicked);
    if (load) c->registerIndex = clicked;
    uint8_t editable[kRegisterCount];
    for (int32_t r = 0; r < kRegisterCount; ++r) editable[r] = Velkor_register_editable(r) ? 1 : 0;
    draw_combo(masks, &c->RegComboBox, kRegCombo, {"Register Rm", kVelkorRegisterFile, 3, editable},
               &c->registerIndex, load, pass, childPass);
  }
  if (drawn(child, kChildValuePreview))
    write_preview(masks, c->registerValueText, c->registerValid);
  leave_children();
  sglSetActiveMasks(masks);
}
