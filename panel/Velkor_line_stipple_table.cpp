#include "panel/Velkor_line_stipple_table.h"

namespace {
constexpr sgl_line_stipple kSolid = {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, 1, 0};
}  // namespace

const sgl_line_stipple Velkor_line_stipple_table[kVelkorLineStippleCount] = {
    kSolid,
    {{12, 12, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{8, 8, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{1, 6, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{1, 8, 8, 8, 0, 0}, {1, 0, 1, 0, 0, 0}, 0, 4},
    {{1, 2, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    kSolid,
    kSolid,
    kSolid,
    kSolid,
    kSolid,
    kSolid,
    kSolid,
    kSolid,
    kSolid,
    kSolid,
};
