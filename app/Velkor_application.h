// Velkor_application - the velkor program: its application description and
// the two ways it runs.
//
//   int main(int argc, char** argv) { return Velkor_Main(&g_application_data, argc, argv); }
//
// g_application_data describes the simulator to the host: the name "Velkor",
// the 1280 x 768 display, the panel's colour, line width, stipple, font and
// texture tables, the one layer "symbology_layer" (the panel), one pointer
// "_ptr0", one keyboard "_kbd0", the six entries of the interactivity
// mapping and three draw passes; frames are recorded (kVelkorStreamBytes), so
// an unchanged panel is not drawn again.
//
// Velkor_Main reads the command line (Velkor_command_line.h):
//   velkor [-period N | N] [--slot-dir DIR]      the window, through RunApplication
//   velkor --offscreen --frames N [--events FILE] [--snapshot FILE.png|FILE.bmp]
//          [--state FILE.json] [--slot-dir DIR]   no window (Velkor_offscreen.h)
//   velkor --help
// and returns the exit status: 0 done, 1 could not run, 2 bad command line
// or event script.
//
// Threads: the main thread; the host starts the drawing thread.
#pragma once

#include "host/host_application.h"

extern LayerDesc g_layers_data[1];
extern PointerDesc g_pointers_data[1];
extern KeyboardDesc g_keyboards_data[1];
extern ApplicationParams g_application_data;

// The default cycle period. The behaviours count time in frames of 33 ms, so
// a shorter period only makes the three speeds run faster than they say and
// keeps a core busy; -period still sets any value.
constexpr uint32_t kVelkorDefaultPeriod = 33;

// Room for recording the panel's frames, the current and the last one sent:
// the busiest scenes record about 90 KB a frame, so each half holds ten.
constexpr uint32_t kVelkorStreamBytes = 2u << 20;

int Velkor_Main(const ApplicationParams* params, int argc, const char* const* argv);
