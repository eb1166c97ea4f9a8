// Velkor_symbology_layer - the simulator panel as the program sees it: the
// layer's five operations, its widgets by name, and a read-only snapshot of
// what the panel shows.
//
// How the host drives it (once per frame, on the drawing thread):
//   void* c = Velkor_symbology_layer_alloc();      // zero-filled block
//   Velkor_symbology_layer_init(c);                // initial values, demo program
//   every frame:
//     Velkor_symbology_layer_predraw(c);           // per-frame outputs cleared
//     Velkor_symbology_layer_draw(c, 0);           // all logic, the main view
//     Velkor_symbology_layer_draw(c, 1);           // nothing
//     Velkor_symbology_layer_draw(c, 2);           // the six pop-up panels
//   Velkor_symbology_layer_free(c);
// The draw expects the layer's origin at the lower-left corner of the
// 1280 x 768 display and moves it to the centre itself.
//
// Reading the panel from outside (state files, scripts, the soak):
//   Velkor_PanelSnapshot s;
//   Velkor_symbology_layer_snapshot(c, &s);        // after a frame's draws
//   s.registers[0], s.selection.format, s.popups.slots, ...
//   Velkor_symbology_layer_find_widget(c, "ExecButton", &rect);
// The snapshot's texts point into the panel and hold until its next draw;
// selector values come as the texts the panel's selectors show (one
// vocabulary, panel/Velkor_vocabulary.h). The record behind the context
// is the panel's own business (Velkor_symbology_layer_internal.h).
//
// Threads: the drawing thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/mycode.h"
#include "display/Velkor_display.h"

// The context record; its fields are the panel's own.
struct Velkor_symbology_layer_context;

// Speeds of the speed selector.
enum { kSpeedSlow = 0, kSpeedMedium = 1, kSpeedFast = 2 };

// Rows the ROM and RAM tables list. All 64 rows, so that the last one (FF80
// in the ROM, where the program, its marker and the selection start; 0200 in
// the RAM) can be seen and chosen.
constexpr int32_t kTableLineCount = 64;

// Room of the slot pop-up's message line.
constexpr int32_t kSlotMessageSize = 128;
// Room of the line saying where a run stopped at a breakpoint.
constexpr int32_t kBreakpointMessageSize = 48;

// The five operations the host's layer table holds. The context arrives as
// void* because the host knows layers only through that table.
void* Velkor_symbology_layer_alloc();
void Velkor_symbology_layer_free(void* context);
void Velkor_symbology_layer_init(void* context);
void Velkor_symbology_layer_predraw(void* context);
void Velkor_symbology_layer_draw(void* context, uint32_t pass);

// The size of the block alloc hands out (every widget of the panel lives
// inside it, which is how a focus entry can be told to be the panel's).
size_t Velkor_symbology_layer_size();

// Where the widget instance `name` ("ExecButton", "ToggleButton_3",
// "RegTextEditBox") was drawn in the last frame, in window pixels with the
// origin at the bottom left. False for an unknown name, and for a widget
// not drawn in the last frame (rect left untouched then).
bool Velkor_symbology_layer_find_widget(const Velkor_symbology_layer_context* context,
                                        const char* name, Velkor_DrawnRect* rect);

// Number of named instances, and the name of instance i (null beyond).
int32_t Velkor_symbology_layer_widget_count();
const char* Velkor_symbology_layer_widget_name(int32_t index);

// The state text the panel shows for the next step: "EXECUTE" when the
// phase flag is 1, else "FETCH/DECODE".
const char* Velkor_symbology_layer_state_text(const Velkor_symbology_layer_context* context);

// ---- The snapshot ---------------------------------------------------------------

// A row of the ROM or RAM table: the three texts its columns show.
struct Velkor_PanelRow {
  const char* address;  // "FF80"
  const char* high;     // "40"
  const char* low;      // "31"
};

struct Velkor_PanelMarker {
  int32_t row;
  uint8_t on;
};

struct Velkor_PanelCell {
  int32_t row;
  int32_t column;
};

// One operand of the address unit: whether it is shown, its three texts and
// the register that forms it.
struct Velkor_PanelAddress {
  uint8_t shown;
  const char* base;
  const char* index;
  const char* address;
  const char* registerName;
};

// The instruction the selectors of the instruction pop-up hold, as they
// show it: "" for a value outside a selector's items, and for the
// operation while no format is chosen.
struct Velkor_PanelSelection {
  const char* format;
  const char* operation;
  const char* sourceMode;
  const char* sourceRegister;
  const char* sourceText;
  uint8_t sourceValid;
  const char* destinationMode;
  const char* destinationRegister;
  const char* destinationText;
  uint8_t destinationValid;
  uint8_t word;
  float pcOffset;
};

struct Velkor_PanelPopUps {
  uint8_t slots;
  uint8_t instructions;
  uint8_t ram;
  uint8_t machineCode;
  uint8_t info;
  uint8_t registers;
};

struct Velkor_PanelSnapshot {
  uint32_t frame;                          // frames drawn since init
  const char* registers[kRegisterCount];   // "FF80"
  int32_t registerFrames[kRegisterCount];  // the highlight each register is drawn with
  uint8_t flags[4];                        // V, N, Z, C: 0 or 1
  const char* stateText;                   // "FETCH/DECODE" or "EXECUTE"
  uint8_t continuous;                      // continuous execution runs
  const char* speed;                       // "Slow", "Medium", "Fast"
  Velkor_PanelRow rom[kMemoryRowCount];    // FFFE first
  Velkor_PanelRow ram[kMemoryRowCount];    // 027E first
  int32_t romFirstRow;                     // the first row each table shows
  int32_t ramFirstRow;
  const char* ports[kPortCellCount];  // P1IN P1OUT P1DIR spare P2IN P2OUT P2DIR spare
  uint8_t segments[8];                // P1OUT bit 0 first, lit or not
  uint8_t switches[8];                // P2IN bit 0 first
  Velkor_PanelMarker romMarker;
  Velkor_PanelMarker ramMarker;
  Velkor_PanelCell romSelection;
  Velkor_PanelCell ramSelection;
  Velkor_PanelSelection selection;
  const char* assemblerText;
  const char* machineCode[3];  // the word, extension 1, extension 2
  Velkor_PanelAddress sourceAddress;
  Velkor_PanelAddress destinationAddress;
  Velkor_PanelPopUps popups;  // open in the last frame
  uint8_t instructionZoom;
  uint8_t machineCodeZoom;
  const char* message;  // the slot pop-up's line, "" for none
  // The slot pop-up: its chosen slot (0-based), its list, its buttons.
  uint32_t slot;
  uint8_t slotListOpen;
  float slotListHeight;  // display units below the box
  uint8_t slotSaved;     // "SAVE to Slot" fired in the last frame
  uint8_t slotLoaded;    // "LOAD from Slot" fired in the last frame
  // The rows each table shows from its first one on.
  int32_t romRowsShown;
  int32_t ramRowsShown;
  uint8_t breakpoints[kMemoryRowCount];  // per ROM row (FFFE first), 1: set
  const char* breakpointMessage;         // where a run stopped, "" for none
  uint8_t helpOpen;                      // the F1 help is shown
  int32_t undoSteps;                     // actions "Schritt zurück" can take back
  int32_t redoSteps;                     // and "Schritt vor" can bring again
};

// What the panel shows after its last frame. Nothing is copied but
// pointers and numbers: the snapshot costs no allocation.
void Velkor_symbology_layer_snapshot(const Velkor_symbology_layer_context* context,
                                     Velkor_PanelSnapshot* out);

// A digest of the panel's state fields (FNV-1a): equal input gives equal
// digests, whatever the buffer's size.
uint64_t Velkor_symbology_layer_state_digest(const Velkor_symbology_layer_context* context);

// The panel's own rules on its state, checked after a frame: every text
// terminated and in its format (registers and addresses four hexadecimal
// digits, bytes two, ports "0x%02X"), every selection, marker and decoded
// field in the range of its list. False with the first broken rule
// written into problem.
bool Velkor_symbology_layer_check(const Velkor_symbology_layer_context* context, char* problem,
                                  size_t size);
