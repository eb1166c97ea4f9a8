// Velkor_script_input - one event of an event script handed to the host.
//
//   for each event of frame F: Velkor_RecordScriptEvent(app, layer, event, &problem);
//   Application_Draw(app);   // frame F
//
// Events go into the host's input queues exactly as a window's callbacks
// would put them there; the off-screen run and the browser page play
// scripts so, and therefore alike.
#pragma once

#include <string>

#include "app/Velkor_event_script.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"

// Puts one script event into the application's queues (and the mouse
// position), a widget found in the layer context c. False, with the reason,
// when the widget was not drawn in the last frame.
bool Velkor_RecordScriptEvent(Application* app, const Velkor_symbology_layer_context* c,
                              const VelkorScriptEvent& event, std::string* problem);
