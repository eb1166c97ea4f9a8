#include "display/Velkor_Init.h"

#include <cstdlib>

Velkor_Init* Velkor_Init_alloc() {
  return static_cast<Velkor_Init*>(std::calloc(1, sizeof(Velkor_Init)));
}

void Velkor_Init_free(Velkor_Init* init) {
  std::free(init);
}

void Velkor_Init_init(Velkor_Init* init) {
  *init = Velkor_Init{};
  init->first = 1;
}

void Velkor_Init_predraw(Velkor_Init*) {}

void Velkor_Init_draw(Velkor_Init* init, uint32_t pass) {
  if (pass != init->pass) return;
  init->first = init->drawn ? 0 : 1;
  init->drawn = 1;
}
