// Velkor_symbology_layer_popups - what the six pop-up panels decide, apart
// from their drawing.
//
// The pop-ups' drawChildren functions (Velkor_symbology_layer_popups.cpp)
// draw the selectors, buttons and texts; everything they decide lives here
// as plain functions over the layer context, so the rules can be read in
// one place and tested without a window:
//   - which selectors, boxes and labels the instruction pop-up shows for the
//     current selection (Velkor_popups_instruction_view);
//   - the forced values and force flags of the instruction selectors: a
//     FETCH/DECODE click loads the decoded instruction, a click on a
//     shortcut loads a fixed one, RESET loads "---no instruction---" and a
//     checked "Word Operation" (Velkor_popups_selector_load, _apply_load);
//   - the register a click on the register file chooses in RegComboBox;
//   - HexConv of a typed value, where text that is not a number is not valid;
//   - ChangeRAM, ChangeReg, ROMSave and ROMLoad with their conditions and the
//     slot pop-up's message line;
//
// The rules run from the frame entry around the drawing of pass 2, as named
// steps; the children callbacks only draw, record what the user chose
// (buttons, typed texts, list choices) and that they were drawn:
//   Velkor_popups_before_drawing(c);   // a slot pop-up opening starts without a message
//   ... the six pop-ups drawn ...
//   Velkor_popups_after_drawing(c);    // slot save / load, HexConv, ChangeRAM, ChangeReg
// A text that shows a rule's result (the slot message, a refusal, the
// preview) shows it from the frame after the choice on.
//
// Per frame, in pass 2, for the instruction pop-up:
//   Velkor_SelectorLoad load;
//   Velkor_popups_selector_load(c, press, &load);   // press: the frame's press
//   Velkor_popups_apply_load(c, &load);             // fields take the forced values
//   Velkor_InstructionView v = Velkor_popups_instruction_view(c);
//   ... draw what v names, each selector loaded with its field ...
//   Velkor_popups_convert_operands(c);              // HexConv of both operands
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

// The three shortcut buttons of the instruction pop-up.
enum { kShortcutInitSp = 0, kShortcutPush = 1, kShortcutPop = 2, kShortcutCount = 3 };

// Which operation selector the instruction pop-up shows.
enum {
  kOperationSelectorNone = -1,
  kOperationSelectorDual = 0,
  kOperationSelectorSingle,
  kOperationSelectorJump,
  kOperationSelectorEmulated
};

// What the instruction pop-up shows for the current selection.
struct Velkor_InstructionView {
  int32_t operationSelector;    // kOperationSelector...
  uint8_t pcOffset;             // "PC-Offset:" slider (jumps)
  uint8_t stepThree;            // "3)": the instruction has operands or an offset
  uint8_t addressing;           // "Adressierungsart:" and "4)"
  uint8_t source;               // the source group
  uint8_t sourceRegister;       // SRegComboBox
  uint8_t sourceText;           // IndexAdrImmediateTextEditBox
  uint8_t sourceNarrow;         // Indexed: register and text side by side
  uint8_t destination;          // the destination group
  uint8_t destinationRegister;  // DRegComboBox
  uint8_t destinationText;      // IndexAdrImmediateTextEditBox_1
  uint8_t destinationNarrow;    // Indexed
  uint8_t destinationLeft;      // no source group: the destination moves left
  uint8_t word;                 // "Word Operation"
};
Velkor_InstructionView Velkor_popups_instruction_view(const Velkor_layer* c);

// The loads of the instruction selectors in one frame. A flag says that the
// selector takes its value in this frame; the values are what they take.
struct Velkor_SelectorLoad {
  uint8_t format;           // InstructionFormatComboBox (also on a RESET request)
  uint8_t selectors;        // operations, modes and registers
  uint8_t pcOffset;         // the slider: only a FETCH/DECODE click
  uint8_t sourceText;       // a FETCH/DECODE click, "Init SP" or "Operation PUSH"
  uint8_t destinationText;  // only a FETCH/DECODE click
  uint8_t word;             // "Word Operation" (also on a RESET request)
  uint32_t formatValue;
  uint32_t dualValue;
  uint32_t singleValue;
  uint32_t jumpValue;
  uint32_t emulatedValue;
  uint32_t sourceModeValue;
  uint32_t sourceRegisterValue;
  uint32_t destinationModeValue;
  uint32_t destinationRegisterValue;
  float pcOffsetValue;
  uint8_t wordValue;
  const char* sourceTextValue;       // points into the context or a constant
  const char* destinationTextValue;  // points into the context
};

// The shortcut that the frame's press chose (a press while its hover flag is
// set), or -1.
int32_t Velkor_popups_shortcut(const Velkor_layer* c, uint8_t press);

// The loads of this frame. `press` is the frame's press of the pointer as the
// pop-ups see it (a press on the pop-up reaches the shortcuts; the main
// view's click flag does not count it). A FETCH/DECODE click is FETCH
// highlighted AND the click flag, so that a tick of continuous execution
// loads too.
void Velkor_popups_selector_load(const Velkor_layer* c, uint8_t press, Velkor_SelectorLoad* load);

// Writes the loaded values into the selection fields, so that a selector
// not shown in this frame still holds what was loaded when it appears.
void Velkor_popups_apply_load(Velkor_layer* c, const Velkor_SelectorLoad* load);

// HexConv of a typed value. The value is valid only when HexConv takes it
// and the text reads as a number as a whole ("abc" and "12xyz" do not; an
// empty text is 0000 and valid).
void Velkor_popups_convert(const char* typed, char* outText, uint8_t* outValid);

// Both operands of the instruction pop-up, every frame of its pass.
void Velkor_popups_convert_operands(Velkor_layer* c);

// The register a click on the register file chooses: the first of R0..R15
// whose hover flag is set (R3 never), into *index. Returns the force flag:
// (any register hover) AND click.
uint8_t Velkor_popups_register_load(const Velkor_layer* c, uint32_t* index);

// "SAVE to RAM": ChangeRAM of the converted value into the row the pop-up
// was opened on, only while the value is valid. Returns whether it wrote.
bool Velkor_popups_change_ram(Velkor_layer* c);

// "SAVE to Register:": ChangeReg of the converted value into the chosen
// register, only while the value is valid. Returns whether it wrote.
bool Velkor_popups_change_register(Velkor_layer* c);

// The file name of a slot (0-based), "slot1.csv" .. "slot10.csv"; an empty
// text for a slot outside 0..9.
void Velkor_popups_slot_file_name(uint32_t slot, char* out, int32_t size);

// "SAVE to Slot" / "LOAD from Slot": ROMSave / ROMLoad of the chosen slot in
// the current directory, and the message line that says how it went. A save
// counts only when the file was written whole. A load of a file that cannot
// be read, or is empty, changes nothing in the ROM; one stopped by a bad line
// keeps the words before it and names the line and the words loaded
// ("slot1.csv: Zeile 2 fehlerhaft, nur 1 Wort geladen."). Return whether
// anything was saved or loaded.
bool Velkor_popups_slot_save(Velkor_layer* c);
bool Velkor_popups_slot_load(Velkor_layer* c);

// ---- Steps of pass 2, in the order the frame entry runs them -----------------

// Before the drawing: forgets which children were drawn, and a click that
// opens the slot pop-up clears its old message (Velkor_popups_slot_opening).
void Velkor_popups_before_drawing(Velkor_layer* c);
void Velkor_popups_slot_opening(Velkor_layer* c);

// After the drawing: the steps of the pop-ups whose children were drawn in
// this frame (c->popupChildrenDrawn), in the pop-ups' drawing order.
void Velkor_popups_after_drawing(Velkor_layer* c);
// "SAVE to Slot", then "LOAD from Slot", as the buttons recorded.
void Velkor_popups_slot_step(Velkor_layer* c);
// HexConv of the typed RAM value, then "SAVE to RAM".
void Velkor_popups_ram_step(Velkor_layer* c);
// HexConv of the typed register value, then "SAVE to Register:".
void Velkor_popups_register_step(Velkor_layer* c);

// The fields of a machine word as the machine-code pop-up labels them.
struct Velkor_CodeField {
  const char* label;
  int32_t highBit;
  int32_t lowBit;
};
constexpr int32_t kMaxCodeFields = 6;
struct Velkor_CodeLayout {
  const char* title;
  int32_t count;
  Velkor_CodeField fields[kMaxCodeFields];
};
// The layout of a format; null for "---no instruction---" or an unknown one.
const Velkor_CodeLayout* Velkor_popups_code_layout(uint32_t format);
