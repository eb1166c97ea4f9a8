// Velkor_command_line - what the velkor command line asks for.
//
//   VelkorOptions options;
//   std::string error;
//   if (!Velkor_ParseCommandLine(argc, argv, &options, &error)) { print error; exit 2; }
//
// Window mode hands the cycle period to the host ("-period N", or a number
// standing last), each a whole number from 0 to kVelkorMaxPeriod; any other
// word is refused. --slot-dir DIR and --renderer NAME are taken out first,
// so that neither value is ever read as a period. What a refusal quotes is a
// short, escaped excerpt.
// Options of the off-screen mode without --offscreen, an unknown "--" option,
// and in off-screen mode anything unknown, a missing or bad --frames or a
// snapshot that is neither .png nor .bmp are refused with one line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum VelkorRunMode { kVelkorRunWindow, kVelkorRunOffscreen, kVelkorRunHelp };
// --renderer gl1 | es2: fixed-function OpenGL 1.x (the default) or OpenGL ES 2.
enum VelkorRenderer { kVelkorRendererGl1, kVelkorRendererEs2 };

// More frames than a script could ever want; keeps a typo from running for
// hours.
constexpr uint32_t kVelkorMaxFrames = 1000000;
// The longest cycle period in milliseconds: input is taken once a period, so
// anything longer only makes the window seem dead.
constexpr uint32_t kVelkorMaxPeriod = 60000;

struct VelkorOptions {
  VelkorRunMode mode = kVelkorRunWindow;
  uint32_t frames = 0;
  std::string events;    // event script, "" for none
  std::string snapshot;  // .png or .bmp, "" for none
  bool snapshot_png = false;
  std::string state;     // JSON state file, "" for none
  std::string slot_dir;  // "" keeps the current directory
  VelkorRenderer renderer = kVelkorRendererGl1;
  // Window mode: the program name and the arguments the host reads.
  std::vector<std::string> host_arguments;
};

bool Velkor_ParseCommandLine(int argc, const char* const* argv, VelkorOptions* options,
                             std::string* error);

// The text of --help.
const char* Velkor_Usage();
