// sgl_stream_internal.h - the one way from the drawing library to OpenGL.
//
// What it is
//   Every OpenGL call of the library goes through one of the functions
//   below (sgliGl + the OpenGL name, same arguments). Outside a frame, and
//   in a frame without a stream buffer, each goes at once to the context's
//   renderer (graphics/sgl_renderer_internal.h: OpenGL 1.x unless the
//   context was given another), as a plain call would. Between sglBeginFrame and sglEndFrame (sgl.h) the
//   recordable ones append a small record (operation and arguments) to the
//   frame's stream instead; a draw copies the vertex and texture coordinate
//   arrays it reads, since the library refills its buffers within a frame.
//   sglEndFrame sends the stream only when it differs from the last one sent.
//
//   The calls that hand something back or change an object OpenGL keeps
//   (queries, texture names and images, display list compilation) cannot
//   wait: in a frame they first send what is recorded and the rest of the
//   frame is drawn directly (the frame counts as sent). Any call between
//   frames changes what OpenGL shows or holds, so the next frame is sent in
//   full.
//
//   The array pointers are not records: the recorder keeps what the library
//   gave and every recorded draw points OpenGL at its own copy; after a
//   replay OpenGL's pointers are given back.
//
// A lint test keeps every graphics source but the renderers free of direct
// OpenGL calls.
//
// Threads: the drawing thread, like the rest of the library.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "graphics/sgl.h"

// Buffer and counters of a fresh context (sglInit): the caller's buffer is
// split into the current and the last frame; null or too small for two
// words a half means no recording.
void sgli_stream_initialize(sgl_type_statemachine* context, uint8_t* buffer, uint32_t bytes);

// ---------------------------------------------------------------------------
// Recordable calls
// ---------------------------------------------------------------------------
void sgliGlEnable(GLenum capability);
void sgliGlDisable(GLenum capability);
void sgliGlEnableClientState(GLenum array);
void sgliGlDisableClientState(GLenum array);
void sgliGlAlphaFunc(GLenum function, GLfloat reference);
void sgliGlBlendFunc(GLenum source, GLenum destination);
void sgliGlDepthFunc(GLenum function);
void sgliGlBindTexture(GLenum target, GLuint name);
void sgliGlTexEnvi(GLenum target, GLenum name, GLint value);
void sgliGlColor4fv(const GLfloat* rgba);
void sgliGlLineWidth(GLfloat width);
void sgliGlPointSize(GLfloat size);
void sgliGlMatrixMode(GLenum mode);
void sgliGlLoadIdentity();
void sgliGlLoadMatrixf(const GLfloat* matrix);
void sgliGlPushMatrix();
void sgliGlPopMatrix();
void sgliGlTranslatef(GLfloat x, GLfloat y, GLfloat z);
void sgliGlRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z);
void sgliGlScalef(GLfloat x, GLfloat y, GLfloat z);
void sgliGlViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void sgliGlClear(GLbitfield mask);
void sgliGlClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void sgliGlClearStencil(GLint value);
void sgliGlStencilMask(GLuint mask);
void sgliGlStencilFunc(GLenum function, GLint reference, GLuint mask);
void sgliGlStencilOp(GLenum fail, GLenum depth_fail, GLenum pass);
void sgliGlColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha);
void sgliGlScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void sgliGlClipPlane(GLenum plane, const GLdouble* equation);
// A list's contents never change once compiled, so calling one records.
void sgliGlCallList(GLuint list);
void sgliGlBegin(GLenum mode);
void sgliGlEnd();
void sgliGlVertex2f(GLfloat x, GLfloat y);
void sgliGlTexCoord2f(GLfloat s, GLfloat t);
// Two floats per point, tightly packed: the only layout the library uses.
void sgliGlVertexPointer(const GLfloat* pointer);
void sgliGlTexCoordPointer(const GLfloat* pointer);
void sgliGlDrawArrays(GLenum mode, GLint first, GLsizei count);

// ---------------------------------------------------------------------------
// Calls that cannot wait
// ---------------------------------------------------------------------------
void sgliGlGetIntegerv(GLenum name, GLint* out_values);
void sgliGlGenTextures(GLsizei count, GLuint* out_names);
void sgliGlDeleteTextures(GLsizei count, const GLuint* names);
void sgliGlTexParameteri(GLenum target, GLenum name, GLint value);
void sgliGlPixelStorei(GLenum name, GLint value);
void sgliGlTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width,
                      GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels);
GLuint sgliGlGenLists(GLsizei range);
void sgliGlNewList(GLuint list, GLenum mode);
void sgliGlEndList();
