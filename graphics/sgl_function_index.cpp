// Numbered entry points of the drawing library. Generated display code calls
// the library through these numbers; each forwards its arguments unchanged
// (bytes stay bytes) to one operation.
#include "graphics/sgl.h"

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
void f036(uint32_t alpha) { sglTransparency8(alpha); }
void f059(float x, float y, float* sx, float* sy) { sglConvertPointToScreen(x, y, sx, sy); }
void f064() { sglRestoreStates(); }
void f068(uint32_t caps) { sglSetLineCaps(caps); }
void f073(float x, float y) { sglPushMatrixAndTranslate(x, y); }
void f074() { sglPopMatrixAndTranslate(); }
void f079(float sx, float sy, float* x, float* y) { sglConvertScreenToPoint(sx, sy, x, y); }
void f085(int32_t index) { sglIndexHaloColori(index); }
void f121(int32_t index) { sglIndexGradienti(index); }
