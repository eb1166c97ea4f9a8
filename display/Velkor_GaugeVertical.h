// Velkor_GaugeVertical - a bar gauge that fills from the bottom; a labelled scale stands right of the bar.
//
// The bar gauge of Velkor_GaugeBar.h set to this orientation by its init;
// every field and the drawing are the bar's:
//   g->width = 14; g->height = 120; g->value = progress; g->minimum = 0;
//   g->maximum = 1; g->pass = pass; Velkor_GaugeVertical_draw(g, pass);
//   ... g->fraction
#pragma once

#include <cstdlib>

#include "display/Velkor_GaugeBar.h"

struct Velkor_GaugeVertical : Velkor_GaugeBar {};

inline Velkor_GaugeVertical* Velkor_GaugeVertical_alloc() {
  return static_cast<Velkor_GaugeVertical*>(std::calloc(1, sizeof(Velkor_GaugeVertical)));
}
inline void Velkor_GaugeVertical_free(Velkor_GaugeVertical* gauge) {
  std::free(gauge);
}
inline void Velkor_GaugeVertical_init(Velkor_GaugeVertical* gauge) {
  Velkor_GaugeBar_init(gauge, kVelkorGaugeVertical);
}
inline void Velkor_GaugeVertical_predraw(Velkor_GaugeVertical* gauge) {
  Velkor_GaugeBar_predraw(gauge);
}
inline void Velkor_GaugeVertical_draw(Velkor_GaugeVertical* gauge, uint32_t pass) {
  Velkor_GaugeBar_draw(gauge, pass);
}
