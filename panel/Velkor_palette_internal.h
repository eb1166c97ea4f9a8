// Velkor_palette_internal - the panel's colours by role and its fonts by
// name: indices into the colour table (Velkor_color_table) and the font
// slots of the font table (Velkor_font_table), one name each, for every unit
// of panel/ that draws.
//
//   sglIndexColori(kColorWhite);
//   sglIndexFonti(kFontLabel);
//
// Constant data: any thread.
#pragma once

#include <cstdint>

// ---- Colours ------------------------------------------------------------------------
constexpr int32_t kColorBlack = 1;
constexpr int32_t kColorWhite = 2;     // labels, values, titles
constexpr int32_t kColorPortText = 3;  // the port cells' values
constexpr int32_t kColorPlate = 4;     // the seven-segment display's plate
constexpr int32_t kColorGrey = 5;      // bit numbers, unlit segments, the diagram's dark parts
constexpr int32_t kColorFieldFrame = 6;
constexpr int32_t kColorPopUpFill = 7;  // pop-up faces, tool-tip plates, the diagram's blocks
constexpr int32_t kColorRed = 11;       // a refused value's message, the address unit's boxes
constexpr int32_t kColorBreakpointMessage = 14;  // where a run stopped at a breakpoint
constexpr int32_t kColorBreakpoint = 15;         // a breakpoint's dot: a strong red
constexpr int32_t kColorAlu = 17;
constexpr int32_t kColorAluEdge = 24;
constexpr int32_t kColorAddressBus = 25;
constexpr int32_t kColorLit = 31;    // a lit segment
constexpr int32_t kColorCream = 32;  // help texts, tool tips, the diagram's labels
constexpr int32_t kColorDataBus = 33;
constexpr int32_t kColorInternalBus = 34;
constexpr int32_t kColorControl = 37;
constexpr int32_t kColorGeneralRegister = 41;
constexpr int32_t kColorInterface = 47;
constexpr int32_t kColorRomBody = 52;
constexpr int32_t kColorAddressUnit = 57;
constexpr int32_t kColorRamBody = 62;
constexpr int32_t kColorFieldFill = 67;  // a machine word's bit field

// ---- Fonts (Liberation Sans in its sizes) -----------------------------------------
constexpr int32_t kFontSmall = 20;  // buttons, lists, help texts
constexpr int32_t kFontLabel = 21;  // titles and labels
constexpr int32_t kFontCode = 22;   // assembler text, machine words, previews

// Text alignment (sglSetTextAlignment: horizontal, then vertical).
constexpr uint32_t kAlignLeft = 0;
constexpr uint32_t kAlignCentre = 1;
constexpr uint32_t kAlignRight = 2;
constexpr uint32_t kAlignBottom = 0;
constexpr uint32_t kAlignTop = 2;

// Line widths by role (rows of the line width table).
constexpr int32_t kLineThin = 0;
constexpr int32_t kLineFrame = 1;    // frames of boxes and fields
constexpr int32_t kLineSegment = 7;  // a seven-segment display's bars
