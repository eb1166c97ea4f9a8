// Numbered entry points of the drawing library. Generated display code calls
// the library through these numbers; each forwards its arguments unchanged
// (bytes stay bytes) to one operation.
#include "graphics/sgl.h"

void f001(uint8_t mode) { sglBegin(mode); }
void f002() { sglEnd(); }
void f008(uint8_t capability) { sglEnable(capability); }
void f009(uint8_t capability) { sglDisable(capability); }
void f013(int32_t index) { sglIndexColori(index); }
void f014(int32_t index) { sglIndexLineStipplei(index); }
void f015(int32_t index) { sglIndexLineWidthi(index); }
void f016() { sglLoadIdentity(); }
void f019() { sglPushMatrix(); }
void f020() { sglPopMatrix(); }
void f022(float degrees) { sglRotatef(degrees); }
void f023(float sx, float sy) { sglScalef(sx, sy); }
void f027(float x, float y) { sglTranslatef(x, y); }
void f030(float cx, float cy, float radius, float start_angle, float end_angle, uint32_t clockwise,
          uint32_t mode) {
    sgluArcSector2f(cx, cy, radius, start_angle, end_angle, clockwise, mode);
}
void f035(float x, float y) { sglVertex2f(x, y); }
void f036(uint32_t alpha) { sglTransparency8(alpha); }
void f051(uint32_t clockwise, float angle) { sgluArcSegment(clockwise, angle); }
void f059(float x, float y, float* sx, float* sy) { sglConvertPointToScreen(x, y, sx, sy); }
void f064() { sglRestoreStates(); }
void f068(uint32_t caps) { sglSetLineCaps(caps); }
void f072(float cx, float cy, float rx, float ry, float start_angle, float end_angle, uint32_t clockwise,
          uint32_t outline) {
    sgluArcEllipse2f(cx, cy, rx, ry, start_angle, end_angle, clockwise, outline);
}
void f073(float x, float y) { sglPushMatrixAndTranslate(x, y); }
void f074() { sglPopMatrixAndTranslate(); }
void f079(float sx, float sy, float* x, float* y) { sglConvertScreenToPoint(sx, sy, x, y); }
void f085(int32_t index) { sglIndexHaloColori(index); }
void f086(float x, float y) { sglMoveTo(x, y); }
void f087(float x, float y) { sglLineTo(x, y); }
void f094() { sglClosePath(); }
void f095(uint8_t kind) { sglBeginPath(kind); }
void f096() { sglEndPath(); }
void f121(int32_t index) { sglIndexGradienti(index); }
void f124(float x) { sglHorizontalLineTo(x); }
void f125(float y) { sglVerticalLineTo(y); }
