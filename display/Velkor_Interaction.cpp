#include "display/Velkor_Interaction.h"

#include "display/Velkor_display.h"

Velkor_Interaction Velkor_Interact(const Velkor_InteractionRequest& request,
                                   Velkor_IndividualFocus* focus, Velkor_KeyEvent* keys,
                                   uint32_t pass) {
  Velkor_Interaction out{};
  const bool enabled = request.enabled != 0;
  // A disabled widget is not hit-tested at all: it must not steal the focus
  // from the widget under it.
  out.hover =
      enabled && (Velkor_PointerHover(request.width, request.height) != 0 || request.alsoOver != 0)
          ? 1
          : 0;

  focus->request = enabled && (out.hover != 0 || request.keepAsking != 0) ? 1 : 0;
  focus->focusId = request.focusId;
  focus->focusNext = request.focusNext;
  focus->pass = pass;
  Velkor_IndividualFocus_draw(focus, pass);
  out.focusState = focus->focusState;
  out.focused = enabled && focus->focusState != FOCUS_NONE ? 1 : 0;
  out.pressed = enabled ? focus->pressedPulse : 0;
  out.released = enabled ? focus->releasedPulse : 0;

  if (keys != nullptr) {
    keys->enable = out.focused != 0 ? focus->focusState : 0;
    keys->pass = pass;
    Velkor_KeyEvent_draw(keys, pass);
  }
  return out;
}
