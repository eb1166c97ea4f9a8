// Velkor_symbology_layer_view - the main view's drawing that is not a widget.
//
// What it is
//   The static CPU block diagram, the port blocks P1 and P2 with the
//   seven-segment display and the P2 switches, the address unit
//   "Adresswerk" and the register file inside RegisterScrollPanel. The
//   drawing functions themselves are declared in
//   Velkor_symbology_layer_parts.h (the layer's draw calls them); this header
//   adds the placement arithmetic they share with whoever needs to find an
//   element again (tests, scripts), so that nobody repeats the numbers.
//
// How it is used
//   float x, y;
//   Velkor_view_register_box(5, &x, &y);   // R5's value box, content frame
//   const char* r = Velkor_view_address_register_name(0, 1);  // "(PC+4)"
//
// Frames
//   Port and diagram coordinates are in the centred panel frame (origin at
//   the display's centre). Register boxes are in the frame of the register
//   file's content area (kRegisterContentWidth x kRegisterContentHeight,
//   origin at its lower-left corner), which RegisterScrollPanel scrolls.
//
// Threads: the drawing thread only (the functions are pure and may be called
// anywhere).
#pragma once

#include <cstdint>

// RegisterScrollPanel: its lower-left corner in the centred frame and its
// size; the content area below scrolls inside it.
constexpr float kRegisterPanelX = -295.0f;
constexpr float kRegisterPanelY = -369.0f;
constexpr float kRegisterPanelWidth = 192.0f;
constexpr float kRegisterPanelHeight = 220.0f;

// The register file's content area and its value boxes.
constexpr float kRegisterContentWidth = 500.0f;
constexpr float kRegisterContentHeight = 547.0f;
constexpr float kRegisterBoxWidth = 50.0f;
constexpr float kRegisterBoxHeight = 20.0f;

// The P2 switches: 30 x 30 buttons drawn at 0.8, the leftmost (bit 7) at x.
constexpr float kP2SwitchLeft = 412.0f;
constexpr float kP2SwitchStep = 27.14f;
constexpr float kP2SwitchBottom = -292.0f;
constexpr float kP2SwitchSize = 30.0f;
constexpr float kP2SwitchScale = 0.8f;

// Lower-left corner of the value box of register `reg` (0..15) in the
// content frame. False (outputs untouched) for another number.
bool Velkor_view_register_box(int32_t reg, float* x, float* y);

// How the address unit names the register an address was formed from:
// "(PC+2)" for 0, "(SP)", "(SR)", "(R3)" .. "(R14)", and "(R15)" for any
// other number. PC reads "(PC+4)" when the operand's extension word follows
// a source extension word (the layer's destinationAfterSourceWord, the very
// flag its base was computed with), because PC has then moved past that
// word as well.
const char* Velkor_view_address_register_name(uint32_t reg, uint8_t afterSourceWord);

// Lower-left corner, in the centred frame, of the P2 switch that writes
// `bit` (0..7; bit 7 is the leftmost). False for another bit.
bool Velkor_view_p2_switch_origin(int32_t bit, float* x, float* y);
