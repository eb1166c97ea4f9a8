// The application host: turns a window system into the fixed cycle the panel
// relies on.
//
// What it is
//   A static description of the application (ApplicationParams: name, native
//   size, the drawing library's tables, the display layers, the pointers and
//   keyboards, the entry points of the interactivity mapping) becomes an
//   Application record. The record owns the layer contexts, the input queues,
//   the drawing library's context, the window (GLFW on X11) or an off-screen
//   EGL buffer, and the drawing thread.
//
// How a program uses it (see target_configuration.h for the whole loop)
//   Application* app = Application_Allocate(&params, "/path/to/exe");
//   Application_UseSystemEvents(app, 1);
//   Application_CreateWindow(app, nullptr);      // starts the drawing thread
//   while (!Application_Cancelled(app)) {
//     Application_Draw(app);                     // one frame, on the drawing thread
//     ... sleep for the rest of the period ...
//   }
//   Application_Free(app);
//
// One frame (DisplayScene, PerformDraw): the IO mutex is taken (at most
// 500 ms, else the frame is skipped); the drawing library is reset and the
// buffers cleared; one keyboard and one pointer event leave the queues; the
// keyboard entry runs for every keyboard context, then the pointer entry for
// every pointer context; the cursor request entry gets the host's callback;
// every layer gets its orthographic projection, its predraw and its draw
// passes; the step entry closes the frame; the buffers are swapped. The
// acknowledge entry runs at the start of Application_Draw, so every behaviour
// event lasts exactly one frame.
//
// Off-screen (no display needed): Application_CreateBuffer makes an EGL
// pbuffer of the native size current on the calling thread, which then calls
// Application_Draw itself; Application_TakeSnapshot writes the last frame.
//
// Threads
//   Main thread: Application_Allocate, Reset, CreateWindow, Draw, Cancelled,
//   Free and the accessors. Drawing thread: the window, all GLFW calls (the
//   main thread only wakes it with glfwPostEmptyEvent), every frame, every
//   layer and behaviour call, the Record and Pop functions. They share the
//   draw-pending and cancelled flags and the two queues (one mutex).
#pragma once

#include <pthread.h>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "graphics/sgl.h"
#include "widgets/interactivity_mapping.h"

struct GLFWwindow;

// ---------------------------------------------------------------------------
// The static description
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
};

// ---------------------------------------------------------------------------
// The application record
// ---------------------------------------------------------------------------

enum {
  APPLICATION_QUEUE_SIZE = 1024,
  APPLICATION_TOUCH_SLOTS = 20,
  APPLICATION_PATH_SIZE = 4096,
  APPLICATION_TEXTURE_BUFFER_BYTES = 64 * 1024 * 1024,
};

constexpr uint32_t APPLICATION_NO_CONTACT = 0xFFFFFFFFu;
constexpr uint32_t APPLICATION_ANY_ID = 0xFFFFFFFFu;

// A bounded ring: a new entry goes to (write index + 1) mod size, popping
// takes the read index. The write index starts at size - 1 so that the first
// entry lands in slot 0.
struct PointerEventQueue {
  int32_t count;
  int32_t read_index;
  int32_t write_index;
  PointerEvent entries[APPLICATION_QUEUE_SIZE];
};

struct KeyboardEventQueue {
  int32_t count;
  int32_t read_index;
  int32_t write_index;
  KeyboardEvent entries[APPLICATION_QUEUE_SIZE];
};

// Window states, cycled by F11.
enum {
  WINDOW_STATE_WINDOWED = 0,
  WINDOW_STATE_BORDERLESS = 1,
  WINDOW_STATE_FULL_SCREEN_ASPECT = 2,
  WINDOW_STATE_FULL_SCREEN_STRETCHED = 3,
};

// Rectangles are {x, y, width, height} in screen pixels, the client area's
// top-left corner first.
struct Application {
  const ApplicationParams* params;          // not owned
  void** layer_contexts;                    // layer_count, from each layer's alloc
  KeyboardEvent* keyboard_contexts;         // keyboard_count
  PointerEvent* pointer_contexts;           // pointer_count
  char module_path[APPLICATION_PATH_SIZE];  // the executable; "" for none

  // Off-screen mode (EGL handles, void* to keep EGL out of this header).
  void* egl_display;
  void* egl_surface;
  void* egl_context;

  // Window mode; the window and every GLFW call belong to the drawing thread,
  // which sets and clears the handle; the main thread only tests it.
  std::atomic<GLFWwindow*> window;
  void* parent;
  std::timed_mutex io_mutex;
  uint8_t io_mutex_exists;
  std::mutex ready_mutex;  // window-ready event
  std::condition_variable ready_signal;
  uint8_t ready;
  pthread_t drawing_thread;
  uint8_t drawing_thread_exists;
  std::mutex buffer_mutex;
  uint8_t buffer_mutex_exists;
  // glfwPostEmptyEvent is legal only between glfwInit and glfwTerminate;
  // glfw_lock keeps the main thread's wake-up from racing the shutdown.
  std::mutex glfw_lock;
  uint8_t glfw_ready;
  std::atomic<uint32_t> stop_requested;  // main thread asks the drawing thread to close

  void (*refresh_callback)();
  std::atomic<uint32_t> cancelled;     // 1 once the window has gone
  std::atomic<uint32_t> window_state;  // written by the drawing thread
  std::atomic<uint32_t> draw_pending;  // a frame was requested and is not drawn yet
  uint32_t cursor_shown;
  uint32_t current_key;     // code of the key that is down, 0 none
  uint32_t key_modifiers;   // modifiers of the last key callback
  uint32_t window_style;    // 1 decorated, 0 borderless
  double aspect_ratio;      // native width / native height; 1.0 before a window
  int32_t frame_insets[4];  // left, top, right, bottom; left and top <= 0
  int32_t max_outer_size[2];
  int32_t client_rect[4];
  int32_t saved_rect[4];   // kept while in full screen
  int32_t screen_size[2];  // of the monitor the window is on
  uint8_t use_system_events;
  uint8_t show_event_cursors;
  double mouse_x;  // display units
  double mouse_y;
  PointerEventQueue pointer_queue;
  KeyboardEventQueue keyboard_queue;
  std::mutex event_queue_mutex;
  uint8_t* pixel_cache;      // last frame, BGRA, rows bottom-up
  uint8_t* flipped_image;    // the same, rows top-down (off-screen mode)
  size_t pixel_cache_bytes;  // room in each of the two
  int32_t pixel_cache_width;
  int32_t pixel_cache_height;
  float background_color[3];
  sgl_type_statemachine graphics;
  uint8_t* texture_buffer;  // 64 MiB, only with a module path
  sgl_texture_slot* texture_slots;
  sgl_texture_slot* gradient_slots;
  int32_t touch_positions[APPLICATION_TOUCH_SLOTS][2];  // display units
  uint32_t touch_ids[APPLICATION_TOUCH_SLOTS];          // APPLICATION_NO_CONTACT: free
};

// ---------------------------------------------------------------------------
// Life cycle and accessors (main thread)
// ---------------------------------------------------------------------------

// A zero-filled record for the description; module_path (the executable, may
// be null) locates the settings file and asks for the texture scratch buffer.
// Null for a null description or when memory runs out.
Application* Application_Allocate(const ApplicationParams* params, const char* module_path);
// Stops the drawing thread, closes the window or the off-screen buffer, frees
// the layers and everything the record owns. Null is ignored.
void Application_Free(Application* app);
// Layer init entries, contexts cleared, the reset entry, both queues emptied.
void Application_Reset(Application* app);
// Draws one frame (see above). Always 0.
int Application_Draw(Application* app);

uint32_t Application_Cancelled(Application* app);
void Application_UseSystemEvents(Application* app, uint8_t on);
void Application_ShowEventCursors(Application* app, uint8_t on);
// 1 for a null record, else 0.
int Application_RefreshCallback(Application* app, void (*callback)());
const ApplicationParams* Application_GetParams(Application* app);
GLFWwindow* Application_GetWindow(Application* app);
void* Application_GetLayerContext(Application* app, uint32_t index);
KeyboardEvent* Application_GetKeyboardContext(Application* app, uint32_t index);
PointerEvent* Application_GetPointerContext(Application* app, uint32_t index);
// First context with this id; APPLICATION_ANY_ID gives the first one.
KeyboardEvent* Application_FindKeyboardContext(Application* app, uint32_t id);
PointerEvent* Application_FindPointerContext(Application* app, uint32_t id);
double Application_GetMousePosX(Application* app);
double Application_GetMousePosY(Application* app);
void Application_DrawLayer(Application* app, uint32_t layer, uint32_t pass);
void Application_setBackgroundColorIndex(Application* app, const float* color_table,
                                         uint32_t index);
// Keep frames from being drawn while outside code works on shared data.
void Application_EnterIOMutex(Application* app);
void Application_EndIOMutex(Application* app);
void Application_Enable_OpenGL();
void Application_Disable_OpenGL();

// ---------------------------------------------------------------------------
// Window, off-screen buffer, frames (host_window.cpp, host_application.cpp)
// ---------------------------------------------------------------------------

// Resets the application, reads the window preferences (top-level windows)
// and starts the drawing thread, which opens the window. True when a window
// exists. parent is recorded only: GLFW makes top-level windows.
bool Application_CreateWindow(Application* app, void* parent);
// Off-screen mode on the calling thread; the flipped image, or null.
uint8_t* Application_CreateBuffer(Application* app);
// Ends the off-screen mode (called by Application_Free, on the same thread).
void Application_ReleaseBuffer(Application* app);
// Asks the drawing thread for a frame; the only host call that may reach
// GLFW from another thread.
void Application_WakeDrawingThread(Application* app);
// 24-bit BMP of the pixel cache; 1 written, 0 not (no cache, no file).
int Application_TakeSnapshot(Application* app, const char* path);
void Application_DeletePixelCache(Application* app);

// The native display's aspect ratio and size as the largest client area, and
// a client area of that size at (0, 0): what a child window and the
// off-screen buffer use, and where a top-level window starts before its
// preferences are read.
void Application_UseNativeGeometry(Application* app);

void StartDrawingThread(Application* app);
// From the main thread: asks the drawing thread to close the window (which
// writes the preferences) and waits for it to end; cancelled is 1 after.
void StopDrawingThread(Application* app);
// Applies a window state (drawing thread); F11 cycles 0 -> 1 -> 2 -> 3 -> 0.
void SetWindowState(Application* app, uint32_t state);
void ToggleFullScreen(Application* app);
// The window preferences: "Position" and "State" in section "Window" of the
// settings file of the record's executable. Reading sets the client
// rectangle and the window state from what is stored and valid.
void WriteWindowPref(Application* app);
void ReadWindowPref(Application* app);
void InitializeGraphics(Application* app);
void DisplayScene(Application* app);
void PerformDraw(Application* app);
// The pixel cache and the flipped image, each width x height x 4 bytes.
bool AllocatePixelCache(Application* app, int32_t width, int32_t height);
void FillPixelCache(Application* app);
void FlipPixelCache(Application* app);
// Stretches the cached frame over the client area and shows it (window mode,
// drawing thread); nothing without a pixel cache.
void DrawPixelCache(Application* app);

// 24-bit BMP of a BGRA image with rows bottom-up; true when written whole.
bool Application_WriteBmp(const char* path, const uint8_t* bgra, int32_t width, int32_t height);
// The same image as an 8-bit RGB PNG (libpng); a file not written whole is
// removed.
bool Application_WritePng(const char* path, const uint8_t* bgra, int32_t width, int32_t height);

// ---------------------------------------------------------------------------
// Window geometry as plain numbers (host_window.cpp)
// ---------------------------------------------------------------------------

// Edges of a rectangle being dragged, numbered as the window system does.
enum {
  SIZING_LEFT = 1,
  SIZING_RIGHT = 2,
  SIZING_TOP = 3,
  SIZING_TOP_LEFT = 4,
  SIZING_TOP_RIGHT = 5,
  SIZING_BOTTOM = 6,
  SIZING_BOTTOM_LEFT = 7,
  SIZING_BOTTOM_RIGHT = 8,
};

// Keeps the aspect ratio while an edge is dragged: rect is {left, top, right,
// bottom} of the outer window, insets the frame insets, the result bounded by
// the maximum outer size.
void Application_KeepAspectWhileSizing(int32_t edge, int32_t rect[4], const int32_t insets[4],
                                       double aspect, int32_t max_width, int32_t max_height);

// The client rectangle of a window state on a screen of screen_width x
// screen_height; the state actually applied is returned (2 becomes 3 when
// the screen has exactly the display's aspect).
uint32_t Application_WindowStateRect(uint32_t state, const int32_t client_rect[4],
                                     int32_t screen_width, int32_t screen_height, double aspect,
                                     int32_t out_rect[4]);

// ---------------------------------------------------------------------------
// Input (host_input.cpp); Record and Pop do nothing unless use-system-events
// is set.
// ---------------------------------------------------------------------------

enum { KEY_STATE_DOWN = 1, KEY_STATE_UP = 2 };

void RecordKeyboardEvent(Application* app, uint32_t key, uint32_t state, uint32_t modifiers);
void RecordMouseEvent(Application* app, uint32_t button, uint32_t state, uint32_t modifiers,
                      uint32_t slot);
void RecordMousePos(Application* app, double x, double y);
void RecordPointerPos(Application* app, uint32_t slot, int32_t screen_x, int32_t screen_y);
void PopKeyboardEvent(Application* app);
void PopMouseEvent(Application* app);

// Touch contact slots: the slot of a touch id, registering it when new.
uint32_t RegisterContactIndex(Application* app, uint32_t touch_id);
uint32_t GetContactIndex(Application* app, uint32_t touch_id);
void ReleaseContactSlots(Application* app);

// One touch point as a touch digitiser reports it.
struct TouchPoint {
  uint32_t id;
  uint32_t flags;        // TOUCH_POINT_DOWN, TOUCH_POINT_UP, neither for a move
  int32_t x_hundredths;  // screen pixels x 100
  int32_t y_hundredths;
};
enum { TOUCH_POINT_DOWN = 2, TOUCH_POINT_UP = 4 };
// Turns the touch points of one report into pointer events and positions.
void OnTouch(Application* app, const TouchPoint* points, uint32_t count, uint32_t modifiers);

// Given to the cursor request entry: moves every pointer context with this id
// (APPLICATION_ANY_ID: all) to (x, y). context is the Application.
void CursorPosRequestCallback(void* context, uint32_t id, float x, float y);
// Moves the system cursor when the window has the focus (drawing thread).
void Application_SetMousePos(Application* app, double x, double y, uint32_t id, int32_t index);
// Draws a cross at every pointer context (red pressed, green released, white
// otherwise) over the frame, with the host's own colour, line width and
// stipple tables and no mask active, and the pointer's id beside it when
// there are several pointers; the application's tables, active masks and text
// attributes are put back afterwards. Called by DisplayScene after the pixel
// cache is filled, so snapshots do not show it.
void DrawEventCursors(Application* app);

// The translation of GLFW callbacks into events, as plain functions. The
// glfw_* arguments are GLFW's own constants.
uint32_t Application_ModifiersFromGlfw(int glfw_mods);
// Special key code (KEY_F1 ...) of a GLFW key, or the character a key types
// that GLFW's character callback does not deliver (Enter 13, Backspace 8,
// Tab 9, Escape 27, Control+letter 1..26); 0 otherwise.
uint32_t Application_KeyCodeFromGlfw(int glfw_key, int glfw_mods);
// Button number 1 left, 2 right, 3 middle; 0 for other buttons.
uint32_t Application_ButtonFromGlfw(int glfw_button);
// Client pixels to display units (origin bottom-left, y upwards); false
// while the client area is empty (a minimised window).
bool Application_ClientToDisplay(const Application* app, double client_x, double client_y,
                                 double* out_x, double* out_y);

// The GLFW callbacks' work, on the drawing thread.
void Application_OnKey(Application* app, int glfw_key, int glfw_action, int glfw_mods);
void Application_OnCharacter(Application* app, uint32_t codepoint);
void Application_OnMouseButton(Application* app, int glfw_button, int glfw_action, int glfw_mods);
void Application_OnScroll(Application* app, double y_offset, int glfw_mods);
void Application_OnCursorPos(Application* app, double client_x, double client_y);
