#include "display/Velkor_KeyEvent.h"

#include <cstdlib>

Velkor_KeyEvent* Velkor_KeyEvent_alloc() {
  return static_cast<Velkor_KeyEvent*>(std::calloc(1, sizeof(Velkor_KeyEvent)));
}

void Velkor_KeyEvent_free(Velkor_KeyEvent* keys) {
  std::free(keys);
}

void Velkor_KeyEvent_init(Velkor_KeyEvent* keys) {
  *keys = Velkor_KeyEvent{};
  keys->mode = 1;
  KeyEvent_init(&keys->keys);
}

void Velkor_KeyEvent_predraw(Velkor_KeyEvent* keys) {
  keys->output = 0;
  keys->key = 0;
  keys->pressedPulse = 0;
  keys->releasedPulse = 0;
}

void Velkor_KeyEvent_draw(Velkor_KeyEvent* keys, uint32_t pass) {
  if (pass != keys->pass) return;
  KeyEvent_step(&keys->keys, keys->mode, keys->enable);
  keys->output = keys->keys.output;
  keys->key = keys->keys.key;
  keys->pressedPulse = keys->keys.pressedPulse;
  keys->releasedPulse = keys->keys.releasedPulse;
}
