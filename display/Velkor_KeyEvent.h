// Velkor_KeyEvent - the keys of the focused widget.
//
// Stepped once per frame with enable = the widget's focus state: a widget
// sees keys only while it holds the focus, and a key held down over two
// frames gives one pressed pulse.
//   k->mode = 1; k->enable = focusState; k->pass = pass;
//   Velkor_KeyEvent_draw(k, pass);
//   ... k->output (pressed pulse in mode 1, else released), k->key
#pragma once

#include <cstdint>

#include "widgets/interactivity_mapping.h"

struct Velkor_KeyEvent {
  uint32_t mode;   // 1: output is the pressed pulse, else the released pulse
  uint8_t enable;  // focus state of the widget
  uint8_t output;
  uint32_t key;  // key code while a pulse is set, else 0
  uint8_t pressedPulse;
  uint8_t releasedPulse;
  uint32_t pass;
  KeyEvent keys;
};

Velkor_KeyEvent* Velkor_KeyEvent_alloc();
void Velkor_KeyEvent_free(Velkor_KeyEvent* keys);
void Velkor_KeyEvent_init(Velkor_KeyEvent* keys);
void Velkor_KeyEvent_predraw(Velkor_KeyEvent* keys);
void Velkor_KeyEvent_draw(Velkor_KeyEvent* keys, uint32_t pass);
