// Velkor_display.h - what every widget display class shares.
//
// What a display class is
//   One plain record (the instance) and five free functions named after the
//   class: Velkor_<Class>_alloc / _free / _init / _predraw / _draw. The owner
//   (the layer context or an enclosing instance) embeds the record, calls
//   init once, then every frame sets the parameters, calls predraw once and
//   draw once per pass, and reads the outputs afterwards:
//       Velkor_PushButton_init(&b);
//       every frame:  b.width = 150; b.label = text;     // parameters
//                     Velkor_PushButton_predraw(&b);     // per-frame outputs cleared
//                     Velkor_PushButton_draw(&b, pass);  // for pass 0, 1, 2
//                     if (b.activated) ...               // outputs
//
// Fields of an instance, in this order where a class has them
//    1. focusId, focusNext (u32)  handed to IndividualFocus (0: own id, none)
//    2. width, height (f32)       the rectangle; its lower-left corner is the
//                                 current origin
//    3. enabled (u8, 1)           0: drawn greyed, ignores pointer and keys
//    4. frameStyle (u32, 2)       corner style handed to FrameShape
//    5. colorScheme (u32, 0)      colours are 1000 + 20 x scheme + offset
//    6. label, label2             texts (255 characters); label2 for the
//                                 second state of two-state widgets
//    7. faceColor (i32, -1 = scheme), font (u32, 21), labelColor (i32,
//       -1 = scheme), labelAlignment (u32, 1 = centred)
//    8. drawnRect                 where the last draw put the widget, in
//                                 window pixels (see Velkor_DrawnRect)
//    9. class parameters
//   10. outputs; per-frame events are cleared by predraw
//   11. computed colour indices, recomputed by every draw
//   12. pass (u32)                the only pass in which the instance acts
//   13. embedded sub-instances, then the behaviour's state record
//
// The pass rule
//   draw(instance, pass) does nothing at all unless pass == instance->pass:
//   it neither draws nor touches an output. An owner copies its own pass into
//   the pass field of each sub-instance before drawing it, so sub-instances
//   always act together with their owner.
//
// Drawing
//   A draw works in the current coordinate frame with the widget's lower-left
//   corner at the origin. It saves the active masks at entry and sets them
//   back before every sub-element, places sub-elements with
//   sglPushMatrixAndTranslate / sglPopMatrixAndTranslate, and names colours,
//   line widths, fonts and textures by index only. Nothing is allocated.
//
// Pointer and keys (each interactive class, first in its draw, through the
// one step Velkor_Interact of display/Velkor_Interaction.h)
//   hover  = Velkor_PointerHover(width, height) when enabled, else 0: the
//            pointer of the interactivity mapping hit-tested against
//            (0, 0)-(width, height) in the instance's own frame, so a
//            translated, scaled or rotated widget is hit where it is drawn;
//   focus  = Velkor_IndividualFocus with request = hover (and enabled);
//   keys   = Velkor_KeyEvent with enable = focus state and enabled;
//   then the widget draws itself and steps its behaviour once.
//
// Threads: the drawing thread only, like the behaviours.
#pragma once

#include <cstdint>

// Where a widget was drawn in the current frame: the bounding box of its
// rectangle (0, 0)-(width, height) under the transformation in force, in
// window pixels with the origin at the bottom left. All zero when the
// widget was not drawn since the last predraw. Scripted input and tests use
// it to find a widget by name instead of by coordinates.
struct Velkor_DrawnRect {
  float x;
  float y;
  float width;
  float height;
};

// Defaults of the common fields.
constexpr uint32_t kVelkorDefaultFrameStyle = 2;
constexpr uint32_t kVelkorDefaultFont = 21;
constexpr uint32_t kVelkorAlignCentre = 1;
constexpr int32_t kVelkorFromScheme = -1;  // colour override: take it from the scheme
constexpr int32_t kVelkorNoTexture = -1;
constexpr int32_t kVelkorColorNone = -1;  // a colour field that draws nothing
// Capacity of every label text, its terminating 0 excluded.
constexpr uint32_t kVelkorTextLength = 255;

// Children of a container class (Panel, ScrollPanel, PopUpPanel): the
// container draws its background, clips, then calls back its owner with
// (argument, the pass being drawn, -1, the children's pass); the owner draws
// the children there, in the container's frame (origin at its lower-left
// corner).
typedef void (*Velkor_ChildrenCallback)(void* argument, uint32_t pass, int32_t index,
                                        uint32_t childrenPass);

// Records the bounding box of (0, 0)-(width, height) in window pixels.
void Velkor_RecordDrawnRect(float width, float height, Velkor_DrawnRect* rect);
// Marks the widget as not drawn (predraw).
void Velkor_ClearDrawnRect(Velkor_DrawnRect* rect);
// The centre of a drawn rectangle, in window pixels.
void Velkor_DrawnRectCentre(const Velkor_DrawnRect* rect, float* x, float* y);

// 1 when the pointer of the interactivity mapping lies on (0, 0)-(width,
// height) in the current frame (and inside the scissor in force). Before
// any pointer record has arrived the pointer counts as (0, 0).
uint8_t Velkor_PointerHover(float width, float height);

// Raw pointer state of this frame (device 0): every output may be null and
// reads 0 when no record has arrived.
void Velkor_PointerState(uint8_t* pressed, uint8_t* released, uint32_t* button);
