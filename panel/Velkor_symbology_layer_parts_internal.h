// Velkor_symbology_layer_parts - the drawing units the layer's draw calls.
//
// The layer's draw (Velkor_symbology_layer.cpp) runs the frame: it reads the
// pointer, evaluates the conditions, calls the core and draws the widgets
// that the frame's steps name. The static parts of the main view and the
// contents of the containers live in their own units and are called from
// there, in this order within pass 0:
//
//   step 4   Velkor_view_draw_ports            port blocks P1 and P2
//   step 5   RegisterScrollPanel  -> Velkor_symbology_layer_drawChildren_RegisterScrollPanel
//            Velkor_view_draw_block_diagram    the CPU diagram and version line
//   step 24  Velkor_view_draw_address_unit     "Adresswerk" (values already computed)
//
// and in pass 2, between Velkor_popups_before_drawing and
// Velkor_popups_after_drawing, each open pop-up panel calls its
// drawChildren function through its Panel (the argument is the layer
// context, the children's pass is 2).
//
// Every function draws in the current coordinate frame: the view functions
// in the centred panel frame (origin at the display's centre), the
// drawChildren functions in their container's frame (origin at its
// lower-left corner). They must not allocate and must leave the matrix
// stack as they found it.
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

// ---- The main view (pass 0) -------------------------------------------------

// The port blocks "Peripherie (Port P1)" and "Peripherie (Port P2)": labels,
// the port cells, the seven-segment display lit from c->p1Output, and the
// eight P2IN toggle buttons ToggleButton (bit 7) .. ToggleButton_7 (bit 0),
// each drawn in `pass` with its state output stored into c->p2Input[bit].
// Ports has already run in this frame.
void Velkor_view_draw_ports(Velkor_symbology_layer_context* c, uint32_t pass);

// The CPU block diagram with its labels and buses and the version line
// right-aligned at the lower right, inside the rectangle (357, -373) -
// (619, -350) that the info hover tests. Records where the version line was
// drawn in c->versionRect.
void Velkor_view_draw_block_diagram(Velkor_symbology_layer_context* c);

// The address unit "Adresswerk" from the fields the frame has computed:
// c->showSourceAddress / c->showDestinationAddress, the base, index and
// address texts and the address registers, the modes in c->sourceMode and
// c->destinationMode. Draws only; AddressCalc has run.
void Velkor_view_draw_address_unit(Velkor_symbology_layer_context* c);

// The register file inside RegisterScrollPanel (children callback; the
// argument is the layer context). Draws the rows R0..R15 and, while
// continuous execution is off, stores the pointer test of each value box
// (R3 excepted, its flag stays 0) into c->registerHover.
void Velkor_symbology_layer_drawChildren_RegisterScrollPanel(void* context, uint32_t pass,
                                                             int32_t child, uint32_t childPass);

// ---- The pop-up panels (pass 2) ---------------------------------------------
// Children callbacks of the six pop-ups; the argument is the layer context.
// `child` -1 draws every child; a child's name (the enums of the unit)
// draws that one alone. They draw, load the selectors (the instruction
// pop-up's forced values and shortcuts), write the user's selections and
// button presses back into the state fields and note that they were drawn
// (c->popupChildrenDrawn); HexConv / ChangeRAM / ChangeReg / ROMSave /
// ROMLoad run after them (Velkor_popups_after_drawing). Each child reads the
// pointer as c->pointerOwner lets it. Fields they rely on from the layer:
//   c->ramEditRow          the RAM row to edit (set when the RAM pop-up opened)
//   c->slotMessage         the slot pop-up's message line, which they show
//   c->resetRequest        forces the format selector to "---no instruction---"
//                          and "Word Operation" to checked
// The layer clears c->shortcutHover while continuous execution runs.

// Program slots: ROMSaveButton, ROMLoadButton, SlotComboBox, the texts.
void Velkor_symbology_layer_drawChildren_PopUpPanel(void* context, uint32_t pass, int32_t child,
                                                    uint32_t childPass);
// Instruction selectors, shortcuts, "Word Operation", HexConv of both operands.
void Velkor_symbology_layer_drawChildren_InstruktionenPopUpPanel(void* context, uint32_t pass,
                                                                 int32_t child, uint32_t childPass);
// A RAM word: RAMTextEditBox, RAMPushButton, ChangeRAM on c->ramEditRow.
void Velkor_symbology_layer_drawChildren_RAMPopUpPanel(void* context, uint32_t pass, int32_t child,
                                                       uint32_t childPass);
// The machine code's bit fields and words.
void Velkor_symbology_layer_drawChildren_MaschinencodePopUpPanel(void* context, uint32_t pass,
                                                                 int32_t child, uint32_t childPass);
// The limitations list.
void Velkor_symbology_layer_drawChildren_InfoPopUpPanel(void* context, uint32_t pass, int32_t child,
                                                        uint32_t childPass);
// A register: RegComboBox, RegTextEditBox, RegPushButton, ChangeReg.
void Velkor_symbology_layer_drawChildren_RegPopUpPanel(void* context, uint32_t pass, int32_t child,
                                                       uint32_t childPass);
