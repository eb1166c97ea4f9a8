// Numbered entry points of the drawing library. Generated display code calls
// the library through these numbers; each forwards its arguments unchanged
// (bytes stay bytes) to one operation.
#include "graphics/sgl.h"

void f001(uint8_t mode) {
  sglBegin(mode);
}
void f002() {
  sglEnd();
}
void f003(uint8_t target, uint32_t slot) {
  sglBindTexture(target, slot);
}
void f005(uint32_t id, uint8_t inverted, float x1, float y1, float x2, float y2) {
  sglClipBox(id, inverted, x1, y1, x2, y2);
}
void f006(uint32_t id, float x, float y, float angle, uint8_t side) {
  sglClipPlane(id, x, y, angle, side);
}
void f008(uint8_t capability) {
  sglEnable(capability);
}
void f009(uint8_t capability) {
  sglDisable(capability);
}
void f013(int32_t index) {
  sglIndexColori(index);
}
void f014(int32_t index) {
  sglIndexLineStipplei(index);
}
void f015(int32_t index) {
  sglIndexLineWidthi(index);
}
void f016() {
  sglLoadIdentity();
}
void f019() {
  sglPushMatrix();
}
void f020() {
  sglPopMatrix();
}
void f022(float degrees) {
  sglRotatef(degrees);
}
void f023(float sx, float sy) {
  sglScalef(sx, sy);
}
void f027(float x, float y) {
  sglTranslatef(x, y);
}
void f030(float cx, float cy, float radius, float start_angle, float end_angle, uint32_t clockwise,
          uint32_t mode) {
  sgluArcSector2f(cx, cy, radius, start_angle, end_angle, clockwise, mode);
}
void f031(float cx, float cy, float inner_radius, float outer_radius, float start_angle,
          float end_angle, uint32_t clockwise, uint32_t mode) {
  sgluCrown2f(cx, cy, inner_radius, outer_radius, start_angle, end_angle, clockwise, mode);
}
void f034(float x, float y, const char* text, int32_t length) {
  sgluWriteTextWithBBox(x, y, text, length);
}
void f035(float x, float y) {
  sglVertex2f(x, y);
}
void f036(uint32_t alpha) {
  sglTransparency8(alpha);
}
void f037(int32_t slot, uint8_t format, uint32_t width, uint32_t height, const uint8_t* data,
          uint8_t scaled) {
  sglTexImage2Dubv(slot, format, width, height, data, scaled);
}
void f039(uint32_t slot, uint8_t format, uint32_t width, uint32_t height, uint32_t count,
          const uint32_t* words, uint8_t scaled) {
  sglCompressedTexImage2D(slot, format, width, height, count, words, scaled);
}
bool f041(float px, float py, float cx, float cy, float r) {
  return sglCircleActiveAreaGetStatus(px, py, cx, cy, r);
}
float f042(float px, float py, float cx, float cy, float r) {
  return sglCircleActiveAreaGetRate(px, py, cx, cy, r);
}
float f043(float px, float py, float cx, float cy) {
  return sglCircleActiveAreaGetAngle(px, py, cx, cy);
}
bool f044(float px, float py, float x1, float y1, float x2, float y2) {
  return sglRectangleActiveAreaGetStatus(px, py, x1, y1, x2, y2);
}
float f045(float px, float py, float x1, float y1, float x2, float y2) {
  return sglRectangleActiveAreaGetWidthRate(px, py, x1, y1, x2, y2);
}
float f046(float px, float py, float x1, float y1, float x2, float y2) {
  return sglRectangleActiveAreaGetHeightRate(px, py, x1, y1, x2, y2);
}
bool f047(float px, float py, uint32_t n, const float* points) {
  return sglShapeActiveAreaGetStatus(px, py, n, points);
}
void f048(int32_t index) {
  sglIndexFonti(index);
}
void f049(int32_t font, int32_t line_width, int32_t color) {
  sglSetSecondFontAttributes(font, line_width, color);
}
void f050(uint32_t horizontal, uint32_t vertical) {
  sglSetTextAlignment(horizontal, vertical);
}
void f051(uint32_t clockwise, float angle) {
  sgluArcSegment(clockwise, angle);
}
void f052(uint32_t n, const float* xs, const float* ys, float nx, float ny, uint32_t align_x,
          uint32_t align_y) {
  sglFormatTexture(n, xs, ys, nx, ny, align_x, align_y);
}
void f053(float x1, float y1, float x2, float y2, const char* text, int32_t length) {
  sgluWriteTextAreaWithBBox(x1, y1, x2, y2, text, length);
}
void f054(float x, float y, float value, const sgl_float_format* format) {
  sgluWriteFloatWithBBox(x, y, value, format);
}
void f055(int32_t slot, float x, float y) {
  sgluDrawBitmap(slot, x, y);
}
void f056(uint32_t set) {
  sglSetActiveMasks(set);
}
void f057(float width, float height) {
  sglBeginScissor(width, height);
}
void f058() {
  sglEndScissor();
}
void f059(float x, float y, float* sx, float* sy) {
  sglConvertPointToScreen(x, y, sx, sy);
}
uint32_t f060(uint8_t kind) {
  return sglAllocateMaskID(kind);
}
void f061(uint32_t id) {
  sglFreeMaskID(id);
}
void f062(float x, float y, const uint16_t* text, int32_t length) {
  sgluWriteTextUnicodeWithBBox(x, y, text, length);
}
void f063(float x1, float y1, float x2, float y2, const uint16_t* text, int32_t length) {
  sgluWriteTextAreaUnicodeWithBBox(x1, y1, x2, y2, text, length);
}
void f064() {
  sglRestoreStates();
}
uint32_t f065() {
  return sglGetActiveMasks();
}
void f066(float x, float y, const char* text, int32_t length) {
  sgluWriteRichTextWithBBox(x, y, text, length);
}
void f067(float x, float y, float s, float t) {
  sglTexVertex4f(x, y, s, t);
}
void f068(uint32_t caps) {
  sglSetLineCaps(caps);
}
void f069(float x, float y, const char* text, int32_t length) {
  sgluWriteTextWithBBox(x, y, text, length);
}
void f070(float x, float y, const uint16_t* text, int32_t length) {
  sgluWriteTextUnicodeWithBBox(x, y, text, length);
}
bool f071(float x0, float y0, float x1, float y1, uint32_t clockwise, float angle, float* out_x1,
          float* out_y1, float* out_x2, float* out_y2) {
  return sglGetArcSegmentBounds(x0, y0, x1, y1, clockwise, angle, out_x1, out_y1, out_x2, out_y2);
}
void f072(float cx, float cy, float rx, float ry, float start_angle, float end_angle,
          uint32_t clockwise, uint32_t outline) {
  sgluArcEllipse2f(cx, cy, rx, ry, start_angle, end_angle, clockwise, outline);
}
void f073(float x, float y) {
  sglPushMatrixAndTranslate(x, y);
}
void f074() {
  sglPopMatrixAndTranslate();
}
void f075(int32_t index) {
  sglIndexFontLineWidthi(index);
}
uint32_t f076(float x0, float y0, float x1, float y1) {
  return sglBeginStaticSequence(x0, y0, x1, y1);
}
void f077() {
  sglEndStaticSequence();
}
void f078(uint32_t id) {
  sglCallStaticSequence(id);
}
void f079(float sx, float sy, float* x, float* y) {
  sglConvertScreenToPoint(sx, sy, x, y);
}
uint32_t f080(float x, float y, int32_t width, int32_t height, uint32_t size, const void* data,
              uint8_t compressed) {
  return sglCreateStaticBitmap(x, y, width, height, size, data, compressed);
}
void f081(uint32_t id) {
  sglDrawStaticBitmap(id);
}
void f083(float x, float y, const wchar_t* text, int32_t length) {
  sgluWriteWideTextWithBBox(x, y, text, length);
}
void f084(float x1, float y1, float x2, float y2, const wchar_t* text, int32_t length) {
  sgluWriteWideTextAreaWithBBox(x1, y1, x2, y2, text, length);
}
void f085(int32_t index) {
  sglIndexHaloColori(index);
}
void f086(float x, float y) {
  sglMoveTo(x, y);
}
void f087(float x, float y) {
  sglLineTo(x, y);
}
void f089(float x1, float y1, float x2, float y2, float x, float y) {
  sglCubicBezier(x1, y1, x2, y2, x, y);
}
void f090(float x2, float y2, float x, float y) {
  sglSmoothCubicBezier(x2, y2, x, y);
}
void f091(float x1, float y1, float x, float y) {
  sglQuadraticBezier(x1, y1, x, y);
}
void f092(float x, float y) {
  sglSmoothQuadraticBezier(x, y);
}
void f093(float rx, float ry, float rotation, uint32_t large_arc, uint32_t clockwise, float x,
          float y) {
  sglEllipticalArc(rx, ry, rotation, large_arc, clockwise, x, y);
}
void f094() {
  sglClosePath();
}
void f095(uint8_t kind) {
  sglBeginPath(kind);
}
void f096() {
  sglEndPath();
}
bool f097(float x1, float y1, float x2, float y2, float x, float y, float* out_x1, float* out_y1,
          float* out_x2, float* out_y2) {
  return sglCubicBezierBounds(x1, y1, x2, y2, x, y, out_x1, out_y1, out_x2, out_y2);
}
bool f098(float x2, float y2, float x, float y, float* out_x1, float* out_y1, float* out_x2,
          float* out_y2) {
  return sglSmoothCubicBezierBounds(x2, y2, x, y, out_x1, out_y1, out_x2, out_y2);
}
bool f099(float x1, float y1, float x, float y, float* out_x1, float* out_y1, float* out_x2,
          float* out_y2) {
  return sglQuadraticBezierBounds(x1, y1, x, y, out_x1, out_y1, out_x2, out_y2);
}
bool f100(float x, float y, float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  return sglSmoothQuadraticBezierBounds(x, y, out_x1, out_y1, out_x2, out_y2);
}
bool f120(float rx, float ry, float rotation, uint32_t large_arc, uint32_t clockwise, float x,
          float y, float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  return sglEllipticalArcBounds(rx, ry, rotation, large_arc, clockwise, x, y, out_x1, out_y1,
                                out_x2, out_y2);
}
void f121(int32_t index) {
  sglIndexGradienti(index);
}
void f122(uint32_t n, const float* xs, const float* ys) {
  sglFormatGradient(n, xs, ys);
}
void f123(int32_t slot, int32_t width, uint32_t height, uint32_t size, const void* data,
          uint8_t compressed) {
  sglGradientTexture(slot, width, height, size, data, compressed);
}
void f124(float x) {
  sglHorizontalLineTo(x);
}
void f125(float y) {
  sglVerticalLineTo(y);
}
uint32_t f126(uint8_t inverted) {
  return sglBeginMaskDefinition(inverted);
}
void f127() {
  sglEndMaskDefinition();
}
