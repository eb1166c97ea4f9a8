// The host's insides: the application record, the drawing thread, the frame,
// the window geometry as plain numbers and the input queues. Only host/ and
// its tests include this; programs use host_application.h.
//
// Threads
//   Main thread: StartDrawingThread, StopDrawingThread, ReadWindowPref and the
//   pure geometry functions. Drawing thread: every GLFW call (the main thread
//   only wakes it with glfwPostEmptyEvent), the frame (DisplayScene,
//   PerformDraw), window states, the GLFW callbacks' work, Record and Pop,
//   DrawEventCursors, WriteWindowPref. The two share the flags of the record
//   (atomics, each written by one side), the two queues (event_queue_mutex)
//   and the frame signal (signal_lock, signal).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "graphics/sgl_renderer.h"
#include "host/host_application.h"

constexpr int32_t kApplicationTouchSlots = 20;
constexpr size_t kApplicationPathSize = 4096;
constexpr size_t kApplicationTextureBufferBytes = 64 * 1024 * 1024;
constexpr uint32_t kApplicationNoContact = 0xFFFFFFFFu;
constexpr uint32_t kApplicationAnyId = 0xFFFFFFFFu;
// How long StartDrawingThread waits for the window before giving up.
constexpr int32_t kWindowReadyTimeoutMs = 10000;

// A bounded ring: a new entry goes to (write index + 1) mod size, popping
// takes the read index. The write index starts at size - 1 so that the first
// entry lands in slot 0.
struct PointerEventQueue {
  int32_t count;
  int32_t read_index;
  int32_t write_index;
  PointerEvent entries[kApplicationQueueSize];
};

struct KeyboardEventQueue {
  int32_t count;
  int32_t read_index;
  int32_t write_index;
  KeyboardEvent entries[kApplicationQueueSize];
};

// Window states, cycled by F11.
constexpr uint32_t kWindowStateWindowed = 0;
constexpr uint32_t kWindowStateBorderless = 1;
constexpr uint32_t kWindowStateFullScreenAspect = 2;
constexpr uint32_t kWindowStateFullScreenStretched = 3;

// Rectangles are {x, y, width, height} in screen pixels, the client area's
// top-left corner first.
struct Application {
  const ApplicationParams* params;         // not owned
  void** layer_contexts;                   // layer_count, from each layer's alloc
  KeyboardEvent* keyboard_contexts;        // keyboard_count
  PointerEvent* pointer_contexts;          // pointer_count
  char module_path[kApplicationPathSize];  // the executable; "" for none

  // Off-screen mode (EGL handles, void* to keep EGL out of this header).
  void* egl_display;
  void* egl_surface;
  void* egl_context;
  std::mutex buffer_mutex;

  // Window mode; the window and every GLFW call belong to the drawing thread,
  // which sets and clears the handle; the main thread only tests it.
  std::atomic<GLFWwindow*> window;
  // 1 in the browser: the page has one thread, so Application_Draw draws the
  // frame on the calling thread into the window's context, as off-screen.
  uint8_t caller_draws;
  uint32_t frames_sent;  // frames that changed the picture (sglEndFrame said so)
  void* parent;
  std::timed_mutex io_mutex;
  std::atomic<uint8_t> io_mutex_exists;
  std::thread drawing_thread;
  std::mutex ready_mutex;  // window-ready event: ready is set once SetupWindow is over
  std::condition_variable ready_signal;
  uint8_t ready;
  uint8_t window_opened;  // SetupWindow's outcome, with ready (the window may close soon after)
  // A drawing thread that never reported (stuck in a window system that does
  // not answer) is detached; whichever of it and Application_Free comes last
  // frees the record. thread_lock guards the two flags.
  uint8_t drawing_thread_stuck;  // main thread only
  std::mutex thread_lock;
  uint8_t drawing_thread_finished;
  uint8_t record_abandoned;
  // glfwPostEmptyEvent is legal only between glfwInit and glfwTerminate;
  // glfw_lock keeps the main thread's wake-up from racing either. It is never
  // held across glfwInit, which may block on a silent window system.
  std::mutex glfw_lock;
  uint8_t glfw_ready;
  std::atomic<uint32_t> stop_requested;  // main thread asks the drawing thread to close

  // The frame signal: notified (under signal_lock) when draw_pending goes
  // back to 0 and when cancelled becomes 1, so the main thread waits for a
  // frame or sleeps out its period without polling.
  std::mutex signal_lock;
  std::condition_variable signal;
  std::atomic<uint32_t> cancelled;     // 1 once the window has gone
  std::atomic<uint32_t> draw_pending;  // a frame was requested and is not drawn yet

  void (*refresh_callback)();
  std::atomic<uint32_t> window_state;  // written by the drawing thread
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
  sgl_renderer* es2_renderer;  // with params->renderer ES 2, from InitializeGraphics
  uint8_t* texture_buffer;     // 64 MiB, only with a module path
  uint8_t* stream_buffer;      // params->stream_bytes for recording frames, or null
  // Partial frames need a framebuffer that still holds the last frame: the
  // pbuffer does; a window does when its back buffer is shown by copying
  // (copy_sub_buffer, GLX's glXCopySubBufferMESA) rather than swapped.
  uint8_t keeps_last_image;
  void* present_display;  // the window's X display and GLX drawable
  unsigned long present_drawable;
  void* copy_sub_buffer;
  // What FillPixelCache read: the damage of a partial frame, null for all.
  const sgl_frame_damage* read_damage;
  sgl_texture_slot* texture_slots;
  sgl_texture_slot* gradient_slots;
  int32_t touch_positions[kApplicationTouchSlots][2];  // display units
  uint32_t touch_ids[kApplicationTouchSlots];          // kApplicationNoContact: free
};

// ---------------------------------------------------------------------------
// Record, drawing thread and frame (host_application.cpp, host_window.cpp)
// ---------------------------------------------------------------------------

// Frees the layers and everything the record owns, then the record; safe on
// a half-built record. No thread may use the record any more.
void ReleaseRecordMemory(Application* app);

// The native display's aspect ratio and size as the largest client area, and
// a client area of that size at (0, 0): what a child window and the
// off-screen buffer use, and where a top-level window starts before its
// preferences are read.
void Application_UseNativeGeometry(Application* app);

void StartDrawingThread(Application* app);
// Asks the drawing thread to close the window (which writes the preferences)
// and joins it; a thread that never reported is detached instead (see
// Application_Free). cancelled is 1 after.
void StopDrawingThread(Application* app);
// Sets cancelled or clears draw pending and wakes whoever waits on the frame
// signal.
void SignalCancelled(Application* app);
void SignalFrameDrawn(Application* app);
// Asks the drawing thread for a frame; the only host call that may reach
// GLFW from another thread.
void Application_WakeDrawingThread(Application* app);
// Applies a window state (drawing thread); F11 cycles 0 -> 1 -> 2 -> 3 -> 0.
void SetWindowState(Application* app, uint32_t state);
void ToggleFullScreen(Application* app);
// The window preferences: "Position" and "State" in section "Window" of the
// settings file of the record's executable. Reading sets the client
// rectangle and the window state from what is stored and valid, the size
// corrected as a resize would correct it.
void WriteWindowPref(Application* app);
void ReadWindowPref(Application* app);
// Initialises the drawing library on the current context; false when the
// ES 2 renderer asked for cannot work on it.
bool InitializeGraphics(Application* app);
// Frees the ES 2 renderer, if any, while its context is still current.
void ReleaseGraphics(Application* app);
void DisplayScene(Application* app);
void PerformDraw(Application* app);
// Ends the off-screen mode (called by Application_Free, on the same thread).
void Application_ReleaseBuffer(Application* app);
// The pixel cache and the flipped image, each width x height x 4 bytes.
bool AllocatePixelCache(Application* app, int32_t width, int32_t height);
void FillPixelCache(Application* app);
void FlipPixelCache(Application* app);
// Stretches the cached frame over the client area and shows it (window mode,
// drawing thread); nothing without a pixel cache.
void DrawPixelCache(Application* app);
// Window mode, drawing thread, with the window's context current: looks for
// a way to show part of the back buffer (GLX_MESA_copy_sub_buffer); true
// when there is one, and then every frame is shown through it.
bool SetupPartialPresent(Application* app);
// Shows the frame just drawn: the rectangles it changed (sglGetFrameDamage)
// copied from the back buffer, or the buffers swapped without the copy.
void PresentFrame(Application* app, GLFWwindow* window);

// ---------------------------------------------------------------------------
// Window geometry as plain numbers (host_window.cpp)
// ---------------------------------------------------------------------------

// Edges of a rectangle being dragged, numbered as the window system does.
constexpr int32_t kSizingLeft = 1;
constexpr int32_t kSizingRight = 2;
constexpr int32_t kSizingTop = 3;
constexpr int32_t kSizingTopLeft = 4;
constexpr int32_t kSizingTopRight = 5;
constexpr int32_t kSizingBottom = 6;
constexpr int32_t kSizingBottomLeft = 7;
constexpr int32_t kSizingBottomRight = 8;

// Keeps the aspect ratio while an edge is dragged: rect is {left, top, right,
// bottom} of the outer window, insets the frame insets, the result bounded by
// the maximum outer size.
void Application_KeepAspectWhileSizing(int32_t edge, int32_t rect[4], const int32_t insets[4],
                                       double aspect, int32_t max_width, int32_t max_height);

// The client size a window settles on after a resize from old_width x
// old_height to width x height: the dragged side decides (the width when it
// changed) and the other follows the aspect by the rule of an edge being
// dragged, bounded by max_width x max_height. A size within one rounding step
// of the aspect and within the bound stays. True when the size changed.
bool Application_CorrectClientSize(int32_t width, int32_t height, int32_t old_width,
                                   int32_t old_height, double aspect, int32_t max_width,
                                   int32_t max_height, int32_t* out_width, int32_t* out_height);

// Where a client rectangle {x, y, width, height} goes so that it can be seen:
// it stays when at least kMinimumVisiblePixels square of it (or all of it, when
// smaller) lies on one of the areas (monitor work areas {x, y, width,
// height}); otherwise it moves onto the area nearest its top-left corner
// (the first of equals), as far inside as its size allows. No areas: stays.
constexpr int32_t kMinimumVisiblePixels = 64;
void Application_PlaceOnMonitors(const int32_t client_rect[4], const int32_t (*areas)[4],
                                 int32_t area_count, int32_t out_rect[4]);

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

constexpr uint32_t kKeyStateDown = 1;
constexpr uint32_t kKeyStateUp = 2;

bool RecordKeyboardEvent(Application* app, uint32_t key, uint32_t state, uint32_t modifiers);
bool RecordMouseEvent(Application* app, uint32_t button, uint32_t state, uint32_t modifiers,
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
  uint32_t flags;        // kTouchPointDown, kTouchPointUp, neither for a move
  int32_t x_hundredths;  // screen pixels x 100
  int32_t y_hundredths;
};
constexpr uint32_t kTouchPointDown = 2;
constexpr uint32_t kTouchPointUp = 4;
// Turns the touch points of one report into pointer events and positions.
void OnTouch(Application* app, const TouchPoint* points, uint32_t count, uint32_t modifiers);

// Given to the cursor request entry: moves every pointer context with this id
// (kApplicationAnyId: all) to (x, y) and, with system input, the system
// cursor too. context is the Application.
void CursorPosRequestCallback(void* context, uint32_t id, float x, float y);
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
// Client pixels to display units (origin bottom-left, y upwards) and back;
// false while the client area is empty (a minimised window).
bool Application_ClientToDisplay(const Application* app, double client_x, double client_y,
                                 double* out_x, double* out_y);
bool Application_DisplayToClient(const Application* app, double x, double y, double* out_client_x,
                                 double* out_client_y);

// The GLFW callbacks' work, on the drawing thread.
void Application_OnKey(Application* app, int glfw_key, int glfw_action, int glfw_mods);
void Application_OnCharacter(Application* app, uint32_t codepoint);
void Application_OnMouseButton(Application* app, int glfw_button, int glfw_action, int glfw_mods);
void Application_OnScroll(Application* app, double y_offset, int glfw_mods);
void Application_OnCursorPos(Application* app, double client_x, double client_y);
