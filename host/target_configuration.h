// Program entry support: the command line and the fixed-period cycle.
//
// The program's main is one line:
//   int main(int argc, char** argv) { return RunApplication(&g_application_data, argc, argv); }
// RunApplication allocates the application (with the executable's path, so
// the settings file can be found), turns on system input, opens the window
// and then cycles on the main thread: Application_Draw, then sleep for what
// is left of the period (cut short when the window goes), until the window
// has gone. It frees the application and returns the exit status: 0 after
// the window was closed, 1 when no window could be opened (the host has
// printed one line saying why).
//
// Command line: "-period N" sets the cycle period to N milliseconds; a bare
// number as the last argument does the same; the last one read wins. A text
// that is no number reads as 0 (no sleeping), and so does "-period" standing
// last. Negative numbers also read as 0.
//
// Threads: the main thread only.
#pragma once

#include <cstdint>

#include "host/host_application.h"

// The cycle period in milliseconds from argv[1 .. argc - 1], starting from
// default_period.
uint32_t ParsePeriodArguments(int argc, const char* const* argv, uint32_t default_period);

// How long the main loop sleeps after a frame that took elapsed_ms: the rest
// of the period, or 0 when the frame took the whole period or more.
uint32_t CycleSleepMilliseconds(uint32_t period, uint64_t elapsed_ms);

// Runs the application of params in a window until the window is closed.
// Returns the process exit status.
int RunApplication(const ApplicationParams* params, int argc, const char* const* argv);
