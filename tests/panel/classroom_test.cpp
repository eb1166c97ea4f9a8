// The classroom additions without a window: where the tables scroll to keep
// their markers in view, which key asks for what, and when a run stops at
// a breakpoint; over a real layer context.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "panel/Velkor_follow.h"
#include "panel/Velkor_symbology_layer.h"

namespace {

struct LayerDeleter {
  void operator()(Velkor_symbology_layer_context* c) const { Velkor_symbology_layer_free(c); }
};
using Layer = std::unique_ptr<Velkor_symbology_layer_context, LayerDeleter>;

Layer NewLayer() {
  Layer c(static_cast<Velkor_symbology_layer_context*>(Velkor_symbology_layer_alloc()));
  Velkor_symbology_layer_init(c.get());
  return c;
}

// ---- Markers in view -------------------------------------------------------------

TEST(FollowMarkers, ScrollsTheFewestRowsAndOnlyForAShownMarker) {
  struct Case {
    const char* name;
    uint32_t marked;
    uint8_t on;
    int32_t first;
    int32_t expected;
  };
  // A table of 64 rows that shows 10.
  const Case cases[] = {
      {"in view at the top", 20, 1, 20, 20},
      {"in view at the bottom", 29, 1, 20, 20},
      {"one below: one row down", 30, 1, 20, 21},
      {"one above: one row up", 19, 1, 20, 19},
      {"far below: marker on the bottom row", 63, 1, 0, 54},
      {"far above: marker on the top row", 0, 1, 54, 0},
      {"marker off: the view stays", 63, 0, 0, 0},
      {"no marked row: the view stays", kNoMarkedRow, 1, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Velkor_follow_first_row(c.marked, c.on, c.first, 10, 64)) << c.name;
  }
}

TEST(FollowMarkers, AskOnlyAfterAStep) {
  Layer c = NewLayer();
  c->MemoryMultiColumn.firstRow = 0;
  c->MemoryMultiColumn.visibleRows = 10;
  c->MemoryMultiColumn.followFirst = -1;
  c->romMarker.row = 63;
  c->romMarkerOn = 1;
  c->classroom.stepped = 0;
  Velkor_follow_markers(c.get());
  EXPECT_EQ(-1, c->MemoryMultiColumn.followFirst) << "the student's scrolling stays";
  c->classroom.stepped = 1;
  Velkor_follow_markers(c.get());
  EXPECT_EQ(54, c->MemoryMultiColumn.followFirst);
  EXPECT_EQ(0, c->classroom.stepped) << "answered once";
}

}  // namespace
