// Velkor_GaugeHorizontal - a bar gauge that fills from the left; a labelled scale stands below the bar.
//
// The bar gauge of Velkor_GaugeBar.h set to this orientation by its init;
// every field and the drawing are the bar's:
//   g->width = 162; g->height = 10; g->value = progress; g->minimum = 0;
//   g->maximum = 1; g->pass = pass; Velkor_GaugeHorizontal_draw(g, pass);
//   ... g->fraction
#pragma once

#include <cstdlib>

#include "display/Velkor_GaugeBar.h"

struct Velkor_GaugeHorizontal : Velkor_GaugeBar {};

inline Velkor_GaugeHorizontal* Velkor_GaugeHorizontal_alloc() {
  return static_cast<Velkor_GaugeHorizontal*>(std::calloc(1, sizeof(Velkor_GaugeHorizontal)));
}
inline void Velkor_GaugeHorizontal_free(Velkor_GaugeHorizontal* gauge) {
  std::free(gauge);
}
inline void Velkor_GaugeHorizontal_init(Velkor_GaugeHorizontal* gauge) {
  Velkor_GaugeBar_init(gauge, kVelkorGaugeHorizontal);
}
inline void Velkor_GaugeHorizontal_predraw(Velkor_GaugeHorizontal* gauge) {
  Velkor_GaugeBar_predraw(gauge);
}
inline void Velkor_GaugeHorizontal_draw(Velkor_GaugeHorizontal* gauge, uint32_t pass) {
  Velkor_GaugeBar_draw(gauge, pass);
}
