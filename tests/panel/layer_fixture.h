// A panel layer for a test without a window: allocated and initialised as
// the program does, freed when the handle goes.
#pragma once

#include <memory>

#include "panel/Velkor_symbology_layer.h"

struct LayerDeleter {
  void operator()(Velkor_symbology_layer_context* c) const { Velkor_symbology_layer_free(c); }
};
using Layer = std::unique_ptr<Velkor_symbology_layer_context, LayerDeleter>;

inline Layer NewLayer() {
  Layer c(static_cast<Velkor_symbology_layer_context*>(Velkor_symbology_layer_alloc()));
  Velkor_symbology_layer_init(c.get());
  return c;
}
