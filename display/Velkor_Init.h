// Velkor_Init - the first-frame flag of a widget.
//
// first is 1 in the first draw in the instance's pass after init, and 0 in
// every later one; IndividualFocus uses it to register its widget once.
//   Velkor_Init_init(&i);  ... i.pass = pass; Velkor_Init_draw(&i, pass); if (i.first) ...
#pragma once

#include <cstdint>

struct Velkor_Init {
  uint8_t first;  // output
  uint8_t drawn;  // a draw has happened since init
  uint32_t pass;
};

Velkor_Init* Velkor_Init_alloc();
void Velkor_Init_free(Velkor_Init* init);
void Velkor_Init_init(Velkor_Init* init);
void Velkor_Init_predraw(Velkor_Init* init);
void Velkor_Init_draw(Velkor_Init* init, uint32_t pass);
