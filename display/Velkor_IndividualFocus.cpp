#include "display/Velkor_IndividualFocus.h"

#include <cstdlib>

Velkor_IndividualFocus* Velkor_IndividualFocus_alloc() {
  return static_cast<Velkor_IndividualFocus*>(std::calloc(1, sizeof(Velkor_IndividualFocus)));
}

void Velkor_IndividualFocus_free(Velkor_IndividualFocus* focus) {
  std::free(focus);
}

void Velkor_IndividualFocus_init(Velkor_IndividualFocus* focus) {
  *focus = Velkor_IndividualFocus{};
  Velkor_Init_init(&focus->init);
  IndividualFocus_init(&focus->focus);
}

void Velkor_IndividualFocus_predraw(Velkor_IndividualFocus* focus) {
  focus->pressedPulse = 0;
  focus->releasedPulse = 0;
  Velkor_Init_predraw(&focus->init);
}

void Velkor_IndividualFocus_draw(Velkor_IndividualFocus* focus, uint32_t pass) {
  if (pass != focus->pass) return;
  focus->init.pass = pass;
  Velkor_Init_draw(&focus->init, pass);
  // The widget registers in the focus order in its first drawn frame.
  focus->focus.firstCycle = focus->init.first;
  IndividualFocus_step(&focus->focus, focus->request, focus->release, focus->isContainer,
                       focus->focusId, focus->focusNext);
  focus->focusState = focus->focus.focusState;
  focus->pressedPulse = focus->focus.pressedPulse;
  focus->releasedPulse = focus->focus.releasedPulse;
  focus->lastButton = focus->focus.lastButton;
  focus->idInUse = focus->focus.idInUse;
}
