// host_web.h - what the browser page's host adds to host_application.h.
//
// In a page, Application_CreateWindow makes a WebGL 1 context on the page's
// canvas (emscripten's GLFW) and Application_Draw draws each frame on the
// calling thread; the program's cycle runs from the page's animation frames.
#pragma once

#include <cstdint>

#include "host/host_application.h"

extern "C" {
// The browser entered (on = 1) or left full screen; remembered in the
// browser's local storage as the window preference.
void Application_WebFullScreenChanged(Application* app, int on);
// Frames so far that changed the picture (an idle frame changes nothing).
uint32_t Application_WebFramesSent(Application* app);
}
