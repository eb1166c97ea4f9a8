#include "panel/Velkor_line_width_table.h"

const float Velkor_line_width_table[kVelkorLineWidthCount][3] = {
    {1.2f, 1.5f, 3.0f}, {2.5f, 1.5f, 3.5f}, {3.5f, 2.5f, 4.2f}, {4.5f, 3.5f, 5.5f},
    {5.5f, 4.5f, 6.5f}, {6.5f, 5.5f, 7.5f}, {7.5f, 6.5f, 8.5f}, {8.5f, 7.5f, 9.5f},
};
