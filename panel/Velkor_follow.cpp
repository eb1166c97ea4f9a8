#include "panel/Velkor_follow.h"

namespace {

void follow(Velkor_MultiColumn* table, const TableMarker& marker, uint8_t on) {
  const int32_t want =
      Velkor_follow_first_row(marker.row, on, table->firstRow, table->visibleRows, kTableLineCount);
  if (want != table->firstRow) table->followFirst = want;
}

}  // namespace

int32_t Velkor_follow_first_row(uint32_t marked, uint8_t on, int32_t first, int32_t visible,
                                int32_t rows) {
  if (!on || visible < 1 || rows < 1 || marked >= static_cast<uint32_t>(rows)) return first;
  const int32_t row = static_cast<int32_t>(marked);
  if (row >= first && row < first + visible) return first;
  return Velkor_MultiColumn_follow(row, first, visible, rows);
}

void Velkor_follow_markers(Velkor_symbology_layer_context* c) {
  if (!c->classroom.stepped) return;
  c->classroom.stepped = 0;
  follow(&c->MemoryMultiColumn, c->romMarker, c->romMarkerOn);
  follow(&c->MemoryMultiColumn_1, c->ramMarker, c->ramMarkerOn);
}
