// The application description of the velkor program.
#include "app/Velkor_application.h"

#include "panel/Velkor_color_table.h"
#include "panel/Velkor_font_table.h"
#include "panel/Velkor_line_stipple_table.h"
#include "panel/Velkor_line_width_table.h"
#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_texture_table.h"
#include "widgets/Focus.h"
#include "widgets/interactivity_mapping.h"

namespace {

// The focus order is process-wide and keyed by the addresses of the widgets'
// fields. A panel started again in the same process (a second record) would
// otherwise keep the ids of the freed one's widgets, and the table, once
// full, would refuse the new widgets: focus would stop working. The widgets
// register again in their first frame.
void reset_behaviours() {
  ClearFocus();
  BHVR_Reset();
}

}  // namespace

LayerDesc g_layers_data[1] = {{
    "symbology_layer",
    0,  // not centred: the layer's draw moves the origin to the centre itself
    1.0f,
    1.0f,
    Velkor_symbology_layer_alloc,
    Velkor_symbology_layer_free,
    Velkor_symbology_layer_init,
    Velkor_symbology_layer_predraw,
    Velkor_symbology_layer_draw,
}};

PointerDesc g_pointers_data[1] = {{"_ptr0", 0}};
KeyboardDesc g_keyboards_data[1] = {{"_kbd0", 0}};

ApplicationParams g_application_data = {
    "Velkor",
    1,  // touch disabled: mouse input only
    0,  // Application_Draw waits for each frame
    0,  // opaque window
    1,  // wide lines drawn as strands
    1,  // pixel-aligned text
    1280,
    768,
    1024,
    1024,
    kVelkorDefaultPeriod,
    reset_behaviours,
    BHVR_Step,
    BHVR_SetAsynchronousACK,
    BHVR_Pointer,
    BHVR_Keyboard,
    BHVR_CursorPosRequest,
    Velkor_color_table.rgba[0],
    kVelkorColorCount,
    1,  // background colour index
    Velkor_line_width_table[0],
    kVelkorLineWidthCount,
    Velkor_line_stipple_table,
    kVelkorLineStippleCount,
    &Velkor_font_table,
    Velkor_texture_table,
    254,
    nullptr,
    0,
    1,
    g_layers_data,
    1,
    g_pointers_data,
    1,
    g_keyboards_data,
    3,
    kVelkorStreamBytes,
    1,  // partial frames
};
