#include "display/Velkor_GetCycleDuration.h"

#include <cstdlib>

Velkor_GetCycleDuration* Velkor_GetCycleDuration_alloc() {
  return static_cast<Velkor_GetCycleDuration*>(std::calloc(1, sizeof(Velkor_GetCycleDuration)));
}

void Velkor_GetCycleDuration_free(Velkor_GetCycleDuration* cycle) {
  std::free(cycle);
}

void Velkor_GetCycleDuration_init(Velkor_GetCycleDuration* cycle) {
  *cycle = Velkor_GetCycleDuration{};
  cycle->duration = kVelkorCycleDuration;
}

void Velkor_GetCycleDuration_predraw(Velkor_GetCycleDuration*) {}

void Velkor_GetCycleDuration_draw(Velkor_GetCycleDuration* cycle, uint32_t pass) {
  if (pass != cycle->pass) return;
  cycle->duration = kVelkorCycleDuration;
}
