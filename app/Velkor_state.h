// Velkor_state - the panel's state as JSON, what a student would read off
// the screen: register texts and frames, flags, the state text, the run
// controls, ROM and RAM words, ports and segments, markers, the instruction
// selection as the selectors show it, the assembler text and machine code,
// the address unit, which pop-ups are open, the zooms and the slot message.
//
//   std::string json = Velkor_StateJson(context, frames_drawn);
//
// Texts of the panel are single-byte (Windows-1252) with "\uXXXX" escapes for
// wider characters; they come out as UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "panel/Velkor_symbology_layer.h"

std::string Velkor_StateJson(const Velkor_symbology_layer_context* c, uint32_t frames);

// A panel text in UTF-8.
std::string Velkor_PanelTextToUtf8(const char* text);

// Writes text to path whole or not at all, into what path points at (a
// regular file is replaced, a FIFO or /dev/stdout written into; host_files.h).
bool Velkor_WriteTextFile(const std::string& path, const std::string& text);
