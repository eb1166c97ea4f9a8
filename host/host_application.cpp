// The application record: allocation, reset, release, accessors, and the frame
// (Application_Draw, DisplayScene, PerformDraw, InitializeGraphics).
#include "host/host_internal.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <malloc.h>

#include <algorithm>
#include <cfenv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Mesa's software renderer allocates and frees several megabytes of scene
// memory in every frame. With glibc's default trim threshold that memory goes
// back to the kernel after each frame and is faulted in, page by page, in the
// next one: half of an idle frame's time. Keeping up to 64 MB of freed heap
// costs nothing once the renderer has reached its working size.
// Setting it again for a second context changes nothing.
void keep_freed_heap_for_the_renderer() {
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

template <typename Queue>
void empty_queue(Queue* queue) {
  queue->count = 0;
  queue->read_index = 0;
  queue->write_index = kApplicationQueueSize - 1;
}

template <typename Event>
Event* find_context(Event* contexts, uint32_t count, uint32_t id) {
  for (uint32_t i = 0; i < count; ++i) {
    if (id == kApplicationAnyId || contexts[i].id == id) return &contexts[i];
  }
  return nullptr;
}

}  // namespace

void ReleaseRecordMemory(Application* app) {
  const ApplicationParams* params = app->params;
  if (app->layer_contexts != nullptr) {
    for (uint32_t i = 0; i < params->layer_count; ++i) {
      if (app->layer_contexts[i] != nullptr && params->layers[i].free != nullptr) {
        params->layers[i].free(app->layer_contexts[i]);
      }
    }
  }
  free(app->layer_contexts);
  free(app->keyboard_contexts);
  free(app->pointer_contexts);
  free(app->texture_slots);
  free(app->gradient_slots);
  free(app->texture_buffer);
  free(app->stream_buffer);
  free(app->pixel_cache);
  free(app->flipped_image);
  delete app;
}

// ---- Life cycle ------------------------------------------------------------------

Application* Application_Allocate(const ApplicationParams* params, const char* module_path) {
  if (params == nullptr) return nullptr;
  // Value-initialised: every plain field starts at zero.
  Application* app = new (std::nothrow) Application();
  if (app == nullptr) return nullptr;
  app->params = params;
  app->aspect_ratio = 1.0;
  empty_queue(&app->pointer_queue);
  empty_queue(&app->keyboard_queue);
  if (module_path != nullptr && strlen(module_path) < sizeof app->module_path) {
    memcpy(app->module_path, module_path, strlen(module_path) + 1);
  }
  bool ok = true;
  if (app->module_path[0] != '\0') {
    app->texture_buffer = static_cast<uint8_t*>(calloc(1, kApplicationTextureBufferBytes));
    ok = app->texture_buffer != nullptr;
  }
  if (ok && params->stream_bytes > 0) {
    app->stream_buffer = static_cast<uint8_t*>(malloc(params->stream_bytes));
    ok = app->stream_buffer != nullptr;
  }
  if (ok && params->layer_count > 0) {
    app->layer_contexts = static_cast<void**>(calloc(params->layer_count, sizeof(void*)));
    ok = app->layer_contexts != nullptr;
    for (uint32_t i = 0; ok && i < params->layer_count; ++i) {
      if (params->layers[i].alloc != nullptr) app->layer_contexts[i] = params->layers[i].alloc();
    }
  }
  if (ok && params->keyboard_count > 0) {
    app->keyboard_contexts =
        static_cast<KeyboardEvent*>(calloc(params->keyboard_count, sizeof(KeyboardEvent)));
    ok = app->keyboard_contexts != nullptr;
    for (uint32_t i = 0; ok && i < params->keyboard_count; ++i)
      app->keyboard_contexts[i].id = params->keyboards[i].id;
  }
  if (ok && params->pointer_count > 0) {
    app->pointer_contexts =
        static_cast<PointerEvent*>(calloc(params->pointer_count, sizeof(PointerEvent)));
    ok = app->pointer_contexts != nullptr;
    for (uint32_t i = 0; ok && i < params->pointer_count; ++i)
      app->pointer_contexts[i].id = params->pointers[i].id;
  }
  if (ok && params->texture_slot_count > 0) {
    app->texture_slots = static_cast<sgl_texture_slot*>(
        calloc(params->texture_slot_count, sizeof(sgl_texture_slot)));
    ok = app->texture_slots != nullptr;
  }
  if (ok && params->gradient_slot_count > 0) {
    app->gradient_slots = static_cast<sgl_texture_slot*>(
        calloc(params->gradient_slot_count, sizeof(sgl_texture_slot)));
    ok = app->gradient_slots != nullptr;
  }
  if (!ok) {
    ReleaseRecordMemory(app);
    return nullptr;
  }
  // Zero-filled slot ids would read as contacts with id 0; free slots are
  // marked as such.
  ReleaseContactSlots(app);
  return app;
}

void Application_Reset(Application* app) {
  if (app == nullptr) return;
  const ApplicationParams* params = app->params;
  for (uint32_t i = 0; i < params->layer_count; ++i) {
    if (params->layers[i].init != nullptr) params->layers[i].init(app->layer_contexts[i]);
  }
  for (uint32_t i = 0; i < params->keyboard_count; ++i) {
    app->keyboard_contexts[i] = KeyboardEvent{};
    app->keyboard_contexts[i].id = params->keyboards[i].id;
  }
  for (uint32_t i = 0; i < params->pointer_count; ++i) {
    app->pointer_contexts[i] = PointerEvent{};
    app->pointer_contexts[i].id = params->pointers[i].id;
  }
  if (params->reset != nullptr) params->reset();
  std::lock_guard<std::mutex> lock(app->event_queue_mutex);
  empty_queue(&app->keyboard_queue);
  empty_queue(&app->pointer_queue);
}

void Application_Free(Application* app) {
  if (app == nullptr) return;
  StopDrawingThread(app);
  Application_ReleaseBuffer(app);
  if (app->drawing_thread_stuck != 0) {
    // The detached thread may still return from the window system and touch
    // the record: the last of the two frees it.
    std::lock_guard<std::mutex> lock(app->thread_lock);
    if (app->drawing_thread_finished == 0) {
      app->record_abandoned = 1;
      return;
    }
  }
  ReleaseRecordMemory(app);
}

// ---- Accessors ------------------------------------------------------------------

uint32_t Application_Cancelled(Application* app) {
  return app == nullptr ? 0 : app->cancelled.load();
}

uint32_t Application_SleepUnlessCancelled(Application* app, uint32_t milliseconds) {
  if (app == nullptr) return 0;
  std::unique_lock<std::mutex> lock(app->signal_lock);
  app->signal.wait_for(lock, std::chrono::milliseconds(milliseconds),
                       [app] { return app->cancelled.load() != 0; });
  return app->cancelled.load();
}

void SignalCancelled(Application* app) {
  {
    std::lock_guard<std::mutex> lock(app->signal_lock);
    app->cancelled.store(1);
  }
  app->signal.notify_all();
}

void SignalFrameDrawn(Application* app) {
  {
    std::lock_guard<std::mutex> lock(app->signal_lock);
    app->draw_pending.store(0);
  }
  app->signal.notify_all();
}

void Application_UseSystemEvents(Application* app, uint8_t on) {
  // GLFW cannot disable a window for input; with the flag off the Record
  // functions drop everything, which is what a disabled window amounts to.
  if (app != nullptr) app->use_system_events = on;
}

void Application_ShowEventCursors(Application* app, uint8_t on) {
  if (app != nullptr) app->show_event_cursors = on;
}

int Application_RefreshCallback(Application* app, void (*callback)()) {
  if (app == nullptr) return 1;
  app->refresh_callback = callback;
  return 0;
}

const ApplicationParams* Application_GetParams(Application* app) {
  return app == nullptr ? nullptr : app->params;
}

GLFWwindow* Application_GetWindow(Application* app) {
  return app == nullptr ? nullptr : app->window.load();
}

void* Application_GetLayerContext(Application* app, uint32_t index) {
  if (app == nullptr || index >= app->params->layer_count) return nullptr;
  return app->layer_contexts[index];
}

KeyboardEvent* Application_GetKeyboardContext(Application* app, uint32_t index) {
  if (app == nullptr || index >= app->params->keyboard_count) return nullptr;
  return &app->keyboard_contexts[index];
}

PointerEvent* Application_GetPointerContext(Application* app, uint32_t index) {
  if (app == nullptr || index >= app->params->pointer_count) return nullptr;
  return &app->pointer_contexts[index];
}

KeyboardEvent* Application_FindKeyboardContext(Application* app, uint32_t id) {
  return app == nullptr ? nullptr
                        : find_context(app->keyboard_contexts, app->params->keyboard_count, id);
}

PointerEvent* Application_FindPointerContext(Application* app, uint32_t id) {
  return app == nullptr ? nullptr
                        : find_context(app->pointer_contexts, app->params->pointer_count, id);
}

double Application_GetMousePosX(Application* app) {
  return app == nullptr ? 0.0 : app->mouse_x;
}

double Application_GetMousePosY(Application* app) {
  return app == nullptr ? 0.0 : app->mouse_y;
}

void Application_DrawLayer(Application* app, uint32_t layer, uint32_t pass) {
  if (app == nullptr || layer >= app->params->layer_count) return;
  const LayerDesc& desc = app->params->layers[layer];
  if (desc.draw != nullptr) desc.draw(app->layer_contexts[layer], pass);
}

void Application_setBackgroundColorIndex(Application* app, const float* color_table,
                                         uint32_t index) {
  if (app == nullptr || color_table == nullptr) return;
  app->background_color[0] = color_table[4 * index + 0];
  app->background_color[1] = color_table[4 * index + 1];
  app->background_color[2] = color_table[4 * index + 2];
}

void Application_EnterIOMutex(Application* app) {
  if (app != nullptr && app->io_mutex_exists != 0) app->io_mutex.lock();
}

void Application_EndIOMutex(Application* app) {
  if (app != nullptr && app->io_mutex_exists != 0) app->io_mutex.unlock();
}

void Application_Enable_OpenGL() {}

void Application_Disable_OpenGL() {}

// ---- The frame ------------------------------------------------------------------

int Application_Draw(Application* app) {
  if (app == nullptr) return 0;
  const ApplicationParams* params = app->params;
  if (params->acknowledge != nullptr) params->acknowledge();
  if (app->window.load() == nullptr || app->caller_draws != 0) {
    if (app->egl_surface != nullptr || app->caller_draws != 0) {
      // Off-screen and in the browser: the calling thread holds the OpenGL
      // context and draws.
      std::lock_guard<std::mutex> lock(app->buffer_mutex);
      DisplayScene(app);
    }
  } else if (params->paint_driven == 0) {
    app->draw_pending.store(1);
    Application_WakeDrawingThread(app);
    // The drawing thread clears draw pending after the frame, or sets
    // cancelled when the window goes meanwhile; both wake this wait.
    std::unique_lock<std::mutex> lock(app->signal_lock);
    app->signal.wait(lock,
                     [app] { return app->draw_pending.load() == 0 || app->cancelled.load() != 0; });
  } else if (app->draw_pending.load() == 0) {
    app->draw_pending.store(1);
    Application_WakeDrawingThread(app);
  }
  if (app->refresh_callback != nullptr) app->refresh_callback();
  return 0;
}

void ReleaseGraphics(Application* app) {
  if (app == nullptr || app->es2_renderer == nullptr) return;
  sglDestroyRendererEs2(app->es2_renderer);
  app->es2_renderer = nullptr;
  // Whatever the library is still asked goes nowhere harmful.
  app->graphics.renderer = nullptr;
}

bool InitializeGraphics(Application* app) {
  keep_freed_heap_for_the_renderer();
  const ApplicationParams* params = app->params;
  sgl_parameters init = {};
  init.width = params->width;
  init.height = params->height;
  init.texture_buffer = app->texture_buffer;
  // Without a scratch buffer the library takes no maximum texture size.
  init.max_texture_width = app->texture_buffer != nullptr ? params->max_texture_width : 0;
  init.max_texture_height = app->texture_buffer != nullptr ? params->max_texture_height : 0;
  init.texture_table = app->texture_slots;
  init.texture_count = app->texture_slots != nullptr ? params->texture_slot_count : 0;
  init.gradient_table = app->gradient_slots;
  init.gradient_count = app->gradient_slots != nullptr ? params->gradient_slot_count : 0;
  init.stream_buffer = app->stream_buffer;
  init.stream_bytes = app->stream_buffer != nullptr ? params->stream_bytes : 0;
  init.partial_frames = params->partial_frames != 0 && app->keeps_last_image != 0 ? 1 : 0;
  if (params->renderer == kApplicationRendererEs2) {
    ReleaseGraphics(app);
    // Read-backs and repaints go up to the native size or the screen's.
    const int32_t width = std::max(static_cast<int32_t>(params->width), app->screen_size[0]);
    const int32_t height = std::max(static_cast<int32_t>(params->height), app->screen_size[1]);
    app->es2_renderer = sglCreateRendererEs2(width, height);
    if (app->es2_renderer == nullptr) return false;
    init.renderer = app->es2_renderer;
  }
  sglInit(&app->graphics, &init);
  sglViewport(0, 0, params->width, static_cast<int32_t>(params->height));
  if (params->color_table != nullptr) {
    sglColorPointerf(params->color_table, params->color_count);
    if (params->background_color_index < params->color_count) {
      Application_setBackgroundColorIndex(app, params->color_table, params->background_color_index);
    }
  }
  if (params->line_width_table != nullptr)
    sglLineWidthPointerf(params->line_width_table, params->line_width_count);
  if (params->line_stipple_table != nullptr) {
    sglLineStipplePointer(params->line_stipple_table, params->line_stipple_count);
  }
  if (params->texture_loader != nullptr) params->texture_loader();
  if (params->second_loader != nullptr) params->second_loader();
  sgluLoadFonts(params->font_table);
  sglSetRenderMode(params->render_mode != 0 ? 1 : 0);
  if (params->pixel_aligned_text != 0) {
    sglEnable(SGL_PIXEL_ALIGNED_TEXT);
  } else {
    sglDisable(SGL_PIXEL_ALIGNED_TEXT);
  }
  return true;
}

void PerformDraw(Application* app) {
  const ApplicationParams* params = app->params;
  PopKeyboardEvent(app);
  PopMouseEvent(app);
  if (params->keyboard != nullptr) {
    for (uint32_t i = 0; i < params->keyboard_count; ++i)
      params->keyboard(&app->keyboard_contexts[i]);
  }
  if (params->pointer != nullptr) {
    for (uint32_t i = 0; i < params->pointer_count; ++i) params->pointer(&app->pointer_contexts[i]);
  }
  if (params->cursor_request != nullptr) params->cursor_request(CursorPosRequestCallback, app);
  for (uint32_t layer = 0; layer < params->layer_count; ++layer) {
    const LayerDesc& desc = params->layers[layer];
    void* context = app->layer_contexts[layer];
    const float width = static_cast<float>(params->width) * desc.x_scale;
    const float height = static_cast<float>(params->height) * desc.y_scale;
    sglOrtho(0.0f, width, 0.0f, height);
    if (desc.predraw != nullptr) desc.predraw(context);
    for (uint32_t pass = 0; pass < params->draw_passes; ++pass) {
      if (desc.centred != 0) sglPushMatrixAndTranslate(width / 2.0f, height / 2.0f);
      if (desc.draw != nullptr) desc.draw(context, pass);
      if (desc.centred != 0) sglPopMatrixAndTranslate();
    }
  }
  if (params->step != nullptr) params->step();
}

void DisplayScene(Application* app) {
  if (app == nullptr) return;
  // A frame waits at most 500 ms for outside users of the IO mutex; after
  // that it is skipped rather than stalling the cycle.
  if (app->io_mutex_exists != 0 && !app->io_mutex.try_lock_for(std::chrono::milliseconds(500)))
    return;
  float clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  if (app->params->transparent_window == 0) {
    clear[0] = app->background_color[0];
    clear[1] = app->background_color[1];
    clear[2] = app->background_color[2];
  }
  sglBeginFrame(clear);
  sglReset();
  sglViewport(0, 0, static_cast<uint32_t>(app->client_rect[2]), app->client_rect[3]);
  // No arithmetic in the display code may trap: every floating-point
  // exception is masked for the frame and the caller's state restored after.
  fenv_t saved_environment;
  feholdexcept(&saved_environment);
  PerformDraw(app);
  // The cursors are drawn over the frame after it is read back: the frame
  // under them must be a fresh one.
  if (app->show_event_cursors != 0) sglInvalidateFrame();
  // A frame equal to the last one sent drew nothing: the pixel cache, the
  // flipped image and the window still hold this very image.
  const bool sent = sglEndFrame() != 0;
  if (sent) {
    ++app->frames_sent;
    sglFlush();
    FillPixelCache(app);
    if (app->show_event_cursors != 0) DrawEventCursors(app);
    FlipPixelCache(app);
  }
  feclearexcept(FE_ALL_EXCEPT);
  fesetenv(&saved_environment);
  GLFWwindow* window = app->window.load();
  if (sent && window != nullptr) PresentFrame(app, window);
  if (app->io_mutex_exists != 0) app->io_mutex.unlock();
}
