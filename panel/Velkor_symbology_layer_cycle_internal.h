// Velkor_symbology_layer_cycle - the frame's conditions: which core call runs
// when, from which flags. Plain code over the layer context that draws
// nothing, so the frame can be read as its numbered steps and tested
// without a window.
//
// The layer's pass 0 interleaves these with the drawing (see
// Velkor_symbology_layer_draw.cpp):
//    1  Velkor_cycle_pointer_owner      who owns the pointer in this frame
//       Velkor_cycle_take_press         click flag from the press of the frame
//    2  Velkor_cycle_animation_play / _period, then _take_animation
//    3  Velkor_cycle_ports              Ports
//    8  Velkor_cycle_continuous         the forced tick on the phase's button
//   10  Velkor_cycle_advance_phase
//   12  Velkor_cycle_rom_marker         a click on the address column hides it
//   13  Velkor_cycle_assemble           address unit, then Assemble
//   14  Velkor_cycle_execute            Execute on an EXECUTE click
//   15  Velkor_cycle_save               Save on a SAVE click
//   16  Velkor_cycle_ram_marker
//   19  Velkor_cycle_run_controls       the continuous-execution toggle
//   20  Velkor_cycle_reset              Reset on RESET or an undecodable word
//   21  Velkor_cycle_nmi                NMI on its button
//   22  Velkor_cycle_fetch              Disassemble on a FETCH/DECODE click
//   24  Velkor_cycle_address_unit       AddressCalc for what the unit shows
// and pass 2 asks Velkor_cycle_popup_requests what each pop-up is told.
//
// Hover flags are written by the drawing (area tests) before the step that
// reads them; while continuous execution runs they stay 0 apart from the
// phase's forced button.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

using Velkor_layer = Velkor_symbology_layer_context;

// Step 1: the click flag is the press of this frame, unless the press lies
// on an open pop-up (which then takes it alone: c->pointerOwner).
void Velkor_cycle_take_press(Velkor_layer* c, uint8_t press);

// Step 2: the animation period of a speed (unknown speeds run fast), and
// whether the animation is (re)started in this frame: while continuous
// execution runs, on the frame it was switched on and on every tick.
int32_t Velkor_cycle_animation_period(uint32_t speed);
uint8_t Velkor_cycle_animation_play(const Velkor_layer* c);
// Copies the animation's done and value into the tick and the progress.
void Velkor_cycle_take_animation(Velkor_layer* c, uint8_t done, float value);

// Step 3.
void Velkor_cycle_ports(Velkor_layer* c);

// Step 8: in continuous execution only the button of the current phase is
// "hovered", and only on a tick, which also forces the click. Every other
// hover flag is 0 then, so a pointer resting on SAVE, a table or a register
// cannot act on each tick.
void Velkor_cycle_continuous(Velkor_layer* c);

// Step 10: after a tick of continuous execution the phase flips; an NMI
// request (of the previous frame) sets FETCH/DECODE instead.
void Velkor_cycle_advance_phase(Velkor_layer* c);

// Step 19: the outputs of EnableExecToggleButton, when it was drawn. While
// it is not drawn (instruction-set zoom on) execution keeps running or
// standing, but no start event can come from it.
void Velkor_cycle_run_controls(Velkor_layer* c, uint8_t drawn, uint8_t state, uint8_t changed);

// Steps 12 and 16: a click on a table's address column hides its marker.
void Velkor_cycle_rom_marker(Velkor_layer* c);
void Velkor_cycle_ram_marker(Velkor_layer* c);

// Word flag the instruction really has: operations without a byte form
// (SWPB, SXT, CALL, RETI, the jumps, NOP and RET) are word operations
// whatever the hidden "Word Operation" box holds.
uint8_t Velkor_cycle_effective_word(const Velkor_layer* c);

// Whether a typed operand text reads as a number as a whole (decimal, 0x
// hexadecimal or 0 octal, with an optional sign and surrounding spaces). An
// empty text reads as 0. "abc" or "12xyz" are not numbers, whatever a
// conversion that stops at the first foreign character made of them.
bool Velkor_cycle_text_is_number(const char* text);

// Whether the selection is an instruction that EXECUTE may run: a format and
// operation inside the selectors' vocabulary (or Format II's operation 7,
// which only moves PC on), and every operand value the instruction uses
// valid.
bool Velkor_cycle_selection_runnable(const Velkor_layer* c);
// Whether SAVE may store it: runnable, and an operation the assembler can
// write (not Format II's operation 7).
bool Velkor_cycle_selection_storable(const Velkor_layer* c);

// Whether the address unit shows the source / destination operand.
uint8_t Velkor_cycle_shows_source(const Velkor_layer* c);
uint8_t Velkor_cycle_shows_destination(const Velkor_layer* c);

// Step 24 (and before step 13, so that Assemble and Execute see this
// frame's registers and selection): the show flags and AddressCalc; the
// index and address a refused operand value would form read "0x????".
void Velkor_cycle_address_unit(Velkor_layer* c);

// Step 13: the address unit, then Assemble of the selection. A number the
// student did not type is never shown: the digits of a refused operand
// value read "????" in the assembler text ("MOV  #0x????,SP"), in its
// extension word and in the address it forms, the instruction word and its
// bits read "????", and an operation the selectors cannot name (Format II's
// operation 7) reads "????" whole.
void Velkor_cycle_assemble(Velkor_layer* c);

// Step 14: Execute, on EXECUTE highlighted AND click, for a runnable selection.
// Returns whether it ran.
bool Velkor_cycle_execute(Velkor_layer* c);

// Step 15: Save, on click AND SAVE highlighted (of the previous frame), for a
// storable selection. The words are assembled for the selected ROM row, so a
// PC-relative operand decodes back to the same target from there. Returns
// whether it stored.
bool Velkor_cycle_save(Velkor_layer* c);

// Step 20: Reset on the RESET request, or once on a decoder reset request
// (the request is answered and cleared). Returns whether it ran.
bool Velkor_cycle_reset(Velkor_layer* c);

// Step 21: NMI on the NMI request. `drawn` says whether NMIButton was drawn
// in this frame; a button that is not drawn cannot request, so its request
// is cleared instead of repeated. Returns whether it ran.
bool Velkor_cycle_nmi(Velkor_layer* c, uint8_t drawn);

// Step 22: Disassemble at PC on FETCH highlighted AND click. Returns whether
// it ran.
bool Velkor_cycle_fetch(Velkor_layer* c);

// Pass 2: open and apply of the six pop-ups, in their drawing order.
enum {
  kPopUpSlots = 0,
  kPopUpInstructions,
  kPopUpRam,
  kPopUpMachineCode,
  kPopUpInfo,
  kPopUpRegister,
  kPopUpCount
};
static_assert(sizeof(Velkor_layer::popupChildrenDrawn) == kPopUpCount, "one flag per pop-up");
struct Velkor_PopUpRequest {
  uint8_t drawn;  // the pop-up is drawn at all this frame
  uint8_t open;
  uint8_t apply;
};
void Velkor_cycle_popup_requests(const Velkor_layer* c, Velkor_PopUpRequest* requests);

// Where each pop-up stands in the centred panel frame this frame (lower-left
// corner, size, scale).
struct Velkor_PopUpPlace {
  float x, y, width, height, scale;
};
Velkor_PopUpPlace Velkor_cycle_popup_place(const Velkor_layer* c, int32_t popup);

// The topmost open pop-up (the one drawn last) whose place holds (x, y) in
// the centred panel frame, or -1. The machine-code pop-up counts only while
// there is an instruction (it is not drawn without one).
int32_t Velkor_cycle_popup_at(const Velkor_layer* c, float x, float y);
// Whether (x, y) lies on a pop-up that is open.
bool Velkor_cycle_point_on_open_popup(const Velkor_layer* c, float x, float y);

// Step 1: who owns the frame's pointer - the main view, the topmost open
// pop-up under it, inside a pop-up its open list. The frame computes it
// once, before anything is drawn; Velkor_cycle_classroom_takes_frame adds a
// key step or the help pop-up's closing press.
//
//   pointer                         main view  pop-up k's children
//   on no open pop-up               reached    reached (list open: the list only)
//   on pop-up p                     -          k >= p  (list open: the list only)
//   key step / help closes (+ any)  -          as above
static_assert(sizeof(Velkor_PointerOwner::openList) / sizeof(Velkor_ComboBox*) == kPopUpCount,
              "one list per pop-up");
Velkor_PointerOwner Velkor_cycle_pointer_owner(const Velkor_layer* c, const PointerEvent& pointer);
// The key or the help took the frame: no click, the main view sees nothing.
void Velkor_cycle_classroom_takes_frame(Velkor_layer* c);
// Whether the pointer reaches the main view (popup -1) or a child of pop-up
// `popup`; `list` names the child's own list (null for a child without one).
bool Velkor_cycle_pointer_reaches(const Velkor_PointerOwner& owner, int32_t popup,
                                  const Velkor_ComboBox* list);
