// Input handed over by the program itself instead of a window system.
#include "host/host_application.h"
#include "host/host_internal.h"

void Application_PostMousePosition(Application* app, double x, double y) {
  if (app != nullptr) RecordMousePos(app, x, y);
}

bool Application_PostMouseButton(Application* app, uint32_t button, uint32_t state,
                                 uint32_t modifiers) {
  return app != nullptr && RecordMouseEvent(app, button, state, modifiers, 0);
}

bool Application_PostKey(Application* app, uint32_t key, uint32_t state, uint32_t modifiers) {
  return app != nullptr && RecordKeyboardEvent(app, key, state, modifiers);
}
