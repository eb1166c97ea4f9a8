// Velkor_offscreen - the whole program without a window.
//
//   Velkor_RunOffscreen(&g_application_data, options, events, "script.txt", "/path/to/exe");
//
// The host draws into an EGL pbuffer of 1280 x 768 on the calling thread
// (Mesa's surfaceless platform, no display). The application is reset as the
// window would reset it, then frames 0 .. N-1 are drawn back to back: before
// frame F the script's events of frame F go into the host's queues, exactly
// as the window's callbacks would put them there, and the host hands one
// pointer and one keyboard event to each frame. Nothing reads a clock, so a
// script always gives the same state and pixels. After the last frame the
// snapshot (PNG or BMP) and the state file (Velkor_state.h) are written.
//
// Returns the exit status: 0 done; 1 no OpenGL buffer, a widget of the
// script not drawn where the script needs it, or an output not written.
#pragma once

#include <string>
#include <vector>

#include "app/Velkor_command_line.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_script_input.h"
#include "host/host_application.h"

int Velkor_RunOffscreen(const ApplicationParams* params, const VelkorOptions& options,
                        const std::vector<VelkorScriptEvent>& events,
                        const std::string& script_name, const char* executable);
