// The application host: turns a window system into the fixed cycle the panel
// relies on.
//
// What it is
//   A static description of the application (ApplicationParams: name, native
//   size, the drawing library's tables, the display layers, the pointers and
//   keyboards, the entry points of the interactivity mapping) becomes an
//   Application record. The record owns the layer contexts, the input queues,
//   the drawing library's context, the window (GLFW on X11) or an off-screen
//   EGL buffer, and the drawing thread. Its layout is the host's own business
//   (host_internal.h); callers hold a pointer.
//
// How a program uses it (RunApplication in target_configuration.h is this loop)
//   Application* app = Application_Allocate(&params, "/path/to/exe");
//   Application_UseSystemEvents(app, 1);
//   if (!Application_CreateWindow(app, nullptr)) ...   // starts the drawing thread
//   while (!Application_Cancelled(app)) {
//     Application_Draw(app);                           // one frame, drawn on the drawing thread
//     Application_SleepUnlessCancelled(app, rest_of_the_period_ms);
//   }
//   Application_Free(app);
//
// Off-screen (no display needed)
//   Application_CreateBuffer makes an EGL pbuffer of the native size current
//   on the calling thread, which then calls Application_Draw itself;
//   Application_TakeSnapshot writes the last frame as a BMP file.
//
// One frame: the IO mutex is taken (at most 500 ms, else the frame is
// skipped); the buffers are cleared and the drawing library reset; one keyboard
// and one pointer event leave the queues and go to the keyboard and pointer
// entries; the cursor request entry gets the host's callback; every layer gets
// its orthographic projection, its predraw and its draw passes; the step entry
// closes the frame. With stream_bytes set, a frame that drew exactly what the
// last one drew goes no further: the image, the pixel cache and the window
// keep the last frame, which is this one. The acknowledge entry runs at the
// start of Application_Draw, so every behaviour event lasts exactly one frame.
//
// Threads
//   "Main" below is the thread that allocated the record and opened the
//   window; "drawing" is the host's drawing thread, which owns the window, the
//   OpenGL context and every frame, so the layer, behaviour and cursor entries
//   are all called on it. In off-screen mode the thread that called
//   Application_CreateBuffer plays both parts.
#pragma once

#include <cstdint>

#include "graphics/sgl.h"
#include "widgets/interactivity_mapping.h"

struct GLFWwindow;
struct Application;

// ---------------------------------------------------------------------------
// The static description (read-only for the host)
// ---------------------------------------------------------------------------

struct LayerDesc {
  char name[1024];
  uint8_t centred;  // each draw pass runs translated to the layer's centre
  float x_scale;
  float y_scale;
  void* (*alloc)();
  void (*free)(void* context);
  void (*init)(void* context);
  void (*predraw)(void* context);
  void (*draw)(void* context, uint32_t pass);
};

struct PointerDesc {
  char name[128];
  uint32_t id;  // carried by the PointerEvent records of this device
};

struct KeyboardDesc {
  char name[128];
  uint32_t id;
};

struct ApplicationParams {
  char name[1024];  // the window title
  uint8_t touch_disabled;
  uint8_t paint_driven;        // Application_Draw only requests a frame and does not wait
  uint8_t transparent_window;  // clear colour with alpha 0
  uint8_t render_mode;         // sglSetRenderMode(render_mode != 0)
  uint8_t pixel_aligned_text;  // sglEnable / sglDisable(SGL_PIXEL_ALIGNED_TEXT)
  uint32_t width;              // native display size in pixels
  uint32_t height;
  uint32_t max_texture_width;
  uint32_t max_texture_height;
  uint32_t period;  // default cycle period in milliseconds
  // Entry points of the interactivity mapping; each may be null.
  void (*reset)();
  void (*step)();
  void (*acknowledge)();
  void (*pointer)(const PointerEvent* event);
  void (*keyboard)(const KeyboardEvent* event);
  void (*cursor_request)(BHVR_CursorPosCallback callback, void* context);
  // The drawing library's tables.
  const float* color_table;  // RGBA quadruples
  uint32_t color_count;
  uint32_t background_color_index;
  const float* line_width_table;  // triples
  uint32_t line_width_count;
  const sgl_line_stipple* line_stipple_table;
  uint32_t line_stipple_count;
  const void* font_table;  // handed to sgluLoadFonts
  void (*texture_loader)();
  uint32_t texture_slot_count;
  void (*second_loader)();
  uint32_t gradient_slot_count;
  uint32_t layer_count;
  const LayerDesc* layers;
  uint32_t pointer_count;
  const PointerDesc* pointers;
  uint32_t keyboard_count;
  const KeyboardDesc* keyboards;
  uint32_t draw_passes;
  // Bytes the host sets aside once for recording frames: a frame whose
  // drawing equals the last one's is then not drawn, read back or swapped
  // again (sglBeginFrame in graphics/sgl.h). 0: every frame is drawn. With
  // recording the layers must draw through the drawing library only: direct
  // OpenGL calls would land before the frame's recorded clear.
  uint32_t stream_bytes = 0;
  // Who draws: kApplicationRendererGl1 (fixed-function OpenGL 1.x, the
  // default) or kApplicationRendererEs2 (an OpenGL ES 2 context and the
  // drawing library's ES 2 renderer, graphics/sgl_renderer.h), for the
  // window and the off-screen buffer alike.
  uint8_t renderer = 0;
};

constexpr uint8_t kApplicationRendererGl1 = 0;
constexpr uint8_t kApplicationRendererEs2 = 1;

// ---------------------------------------------------------------------------
// Life cycle (main thread)
// ---------------------------------------------------------------------------

// A zero-filled record for the description, which must outlive it;
// module_path (the executable, may be null) locates the settings file and asks
// for the texture scratch buffer. Null for a null description or when memory
// runs out.
Application* Application_Allocate(const ApplicationParams* params, const char* module_path);
// Stops the drawing thread, closes the window or the off-screen buffer, frees
// the layers and everything the record owns. Null is ignored. A drawing thread
// that never answered (a window system that accepts the connection and then
// stays silent) cannot be joined: it is left the record and frees it if it
// ever returns, so this call never waits for it.
void Application_Free(Application* app);
// Layer init entries, contexts cleared, the reset entry, both queues emptied.
void Application_Reset(Application* app);
// Resets the application, reads the window preferences and starts the drawing
// thread, which opens the window. True when the window came up (the user may
// have closed it already: see Application_Cancelled). False (with one line on
// stderr) when none could be made or the window system did not answer within
// 10 s; Application_Cancelled is 1 then. parent is recorded only: GLFW
// makes top-level windows.
bool Application_CreateWindow(Application* app, void* parent);
// Off-screen mode on the calling thread, which must then draw the frames; the
// frame as rows top-down (4 bytes per pixel, BGRA), or null.
uint8_t* Application_CreateBuffer(Application* app);
// Off-screen mode: later frames fill only the lower-left width x height
// pixels of the buffer, as a window of that client size would (the display
// units, the pointer and the hit tests stay those of the native size; only
// fewer pixels are filled), and the frame holds that many pixels. False,
// nothing changed, without a buffer or for a size outside 1..native.
bool Application_SetBufferViewport(Application* app, int32_t width, int32_t height);

// ---------------------------------------------------------------------------
// The cycle (main thread)
// ---------------------------------------------------------------------------

// Draws one frame: with a window, asks the drawing thread for it and waits
// until it is drawn (paint-driven: only asks); off-screen, draws it on the
// calling thread. Always 0.
int Application_Draw(Application* app);
// 1 once the window has gone (or never came), else 0; 0 for null.
uint32_t Application_Cancelled(Application* app);
// Waits up to milliseconds, returning early when the window goes; the
// cancelled flag afterwards.
uint32_t Application_SleepUnlessCancelled(Application* app, uint32_t milliseconds);
// Called at the end of every Application_Draw. 0, or 1 for a null record.
int Application_RefreshCallback(Application* app, void (*callback)());

// ---------------------------------------------------------------------------
// Settings and accessors (main thread, or the drawing thread inside a frame)
// ---------------------------------------------------------------------------

// Off: the window's input is dropped instead of queued.
void Application_UseSystemEvents(Application* app, uint8_t on);
// On: a cross at every pointer over each frame (not in snapshots).
void Application_ShowEventCursors(Application* app, uint8_t on);
const ApplicationParams* Application_GetParams(Application* app);
// The open window, null when there is none. Only the drawing thread may call
// GLFW with it.
GLFWwindow* Application_GetWindow(Application* app);
// Null when the index is out of range.
void* Application_GetLayerContext(Application* app, uint32_t index);
KeyboardEvent* Application_GetKeyboardContext(Application* app, uint32_t index);
PointerEvent* Application_GetPointerContext(Application* app, uint32_t index);
// First context with this id (0xFFFFFFFF: the first one); null when none.
KeyboardEvent* Application_FindKeyboardContext(Application* app, uint32_t id);
PointerEvent* Application_FindPointerContext(Application* app, uint32_t id);
// The mouse in display units (origin bottom-left, y upwards); 0.0 for null.
double Application_GetMousePosX(Application* app);
double Application_GetMousePosY(Application* app);
// Drawing thread: moves the system cursor to display position (x, y) when the
// window has the focus; for pointer description index, unless id is
// 0xFFFFFFFF, only when that description has this id.
void Application_SetMousePos(Application* app, double x, double y, uint32_t id, int32_t index);
// Drawing thread: the layer's draw entry with its context and the pass.
void Application_DrawLayer(Application* app, uint32_t layer, uint32_t pass);
// The clear colour: red, green, blue of entry index of an RGBA table.
void Application_setBackgroundColorIndex(Application* app, const float* color_table,
                                         uint32_t index);
// Any thread: keep frames from being drawn while outside code works on data
// the layers read. A frame waits at most 500 ms for it, then is skipped.
void Application_EnterIOMutex(Application* app);
void Application_EndIOMutex(Application* app);
// Drawing thread (or the off-screen thread): the last frame as a 24-bit BMP.
// 1 written, 0 not (no frame kept, or the file could not be written whole).
// A window keeps its frames only when it takes no input or is paint-driven.
int Application_TakeSnapshot(Application* app, const char* path);
// Any thread: write a bottom-up BGRA image (as glReadPixels gives it) as a
// 24-bit BMP, whole or not at all (host_files.h: an old file stays as it was
// when the new one cannot be written, a FIFO or /dev/stdout is written
// into). False when the file did not reach its target.
bool Application_WriteBmp(const char* path, const uint8_t* bgra, int32_t width, int32_t height);
// The same image as an 8-bit RGB PNG (libpng), by the same rules.
bool Application_WritePng(const char* path, const uint8_t* bgra, int32_t width, int32_t height);
void Application_DeletePixelCache(Application* app);

// ---------------------------------------------------------------------------
// Input without a window system (host_posted_input.cpp)
// ---------------------------------------------------------------------------
// A program that drives the application itself (an off-screen run playing a
// script) hands over input exactly as the window's callbacks would: into the
// same queues, one pointer and one keyboard event per frame. Nothing happens
// unless system events are on (Application_UseSystemEvents). state: 1 down,
// 2 up; modifiers MODIFIER_SHIFT, MODIFIER_CONTROL.

// Each queue holds this many events; each frame takes one pointer and one
// keyboard event out, and a full queue drops a new event.
constexpr int32_t kApplicationQueueSize = 1024;

// The mouse position in display units (origin bottom-left, y upwards).
void Application_PostMousePosition(Application* app, double x, double y);
// A button (1 left, 2 right, 3 middle, 4 wheel forward, 5 wheel backward) at
// the mouse position, for the first pointer. False when it was not queued
// (system events off, or the queue full).
bool Application_PostMouseButton(Application* app, uint32_t button, uint32_t state,
                                 uint32_t modifiers);
// A key: a UTF-16 character or a KEY_ code, for the first keyboard. False
// when it was not queued.
bool Application_PostKey(Application* app, uint32_t key, uint32_t state, uint32_t modifiers);
// Nothing to do with GLFW; kept for callers written against other hosts.
void Application_Enable_OpenGL();
void Application_Disable_OpenGL();
