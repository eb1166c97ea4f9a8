// Input: the two event queues, the touch contact slots, the cursor callback and
// the translation of GLFW's callbacks into pointer and keyboard events.
#include "host/host_internal.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cmath>

#include "widgets/interactivity_mapping.h"

namespace {

bool recording(const Application* app) {
  return app != nullptr && app->use_system_events != 0;
}

template <typename Queue>
int32_t advance_write(Queue* queue) {
  queue->write_index = (queue->write_index + 1) % kApplicationQueueSize;
  ++queue->count;
  return queue->write_index;
}

// Hands the oldest entry to the context with its id (a context matched to no
// description loses it); false when the queue is empty.
template <typename Queue, typename Event>
bool deliver_oldest(Application* app, Queue* queue, Event* (*find)(Application*, uint32_t)) {
  if (queue->count < 1) return false;
  const Event& entry = queue->entries[queue->read_index];
  queue->read_index = (queue->read_index + 1) % kApplicationQueueSize;
  --queue->count;
  Event* context = find(app, entry.id);
  if (context != nullptr) *context = entry;
  return true;
}

template <typename Event>
void set_key_state(Event* entry, uint32_t state) {
  entry->pressed = state == kKeyStateDown ? 1 : 0;
  entry->released = state == kKeyStateUp ? 1 : 0;
}

bool touch_position_valid(const Application* app, uint32_t slot) {
  return slot < kApplicationTouchSlots && app->touch_positions[slot][0] > 0 &&
         app->touch_positions[slot][1] > 0;
}

uint32_t state_of_action(int glfw_action) {
  if (glfw_action == GLFW_PRESS) return kKeyStateDown;
  if (glfw_action == GLFW_RELEASE) return kKeyStateUp;
  return 0;
}

}  // namespace

// ---- Queues ------------------------------------------------------------------

bool RecordKeyboardEvent(Application* app, uint32_t key, uint32_t state, uint32_t modifiers) {
  if (!recording(app)) return false;
  std::lock_guard<std::mutex> lock(app->event_queue_mutex);
  KeyboardEventQueue* queue = &app->keyboard_queue;
  // A full queue drops the new event: the ones already waiting keep their order.
  if (queue->count >= kApplicationQueueSize || app->params->keyboard_count == 0) return false;
  KeyboardEvent* entry = &queue->entries[advance_write(queue)];
  entry->id = app->params->keyboards[0].id;
  entry->key = key;
  set_key_state(entry, state);
  entry->modifiers = modifiers;
  return true;
}

bool RecordMouseEvent(Application* app, uint32_t button, uint32_t state, uint32_t modifiers,
                      uint32_t slot) {
  if (!recording(app)) return false;
  std::lock_guard<std::mutex> lock(app->event_queue_mutex);
  PointerEventQueue* queue = &app->pointer_queue;
  if (queue->count >= kApplicationQueueSize || slot >= app->params->pointer_count) return false;
  PointerEvent* entry = &queue->entries[advance_write(queue)];
  entry->id = app->params->pointers[slot].id;
  entry->button = button;
  set_key_state(entry, state);
  entry->modifiers = modifiers;
  if (touch_position_valid(app, slot)) {
    entry->x = static_cast<float>(app->touch_positions[slot][0]);
    entry->y = static_cast<float>(app->touch_positions[slot][1]);
  } else {
    entry->x = static_cast<float>(app->mouse_x);
    entry->y = static_cast<float>(app->mouse_y);
  }
  return true;
}

void RecordMousePos(Application* app, double x, double y) {
  if (!recording(app)) return;
  app->mouse_x = x;
  app->mouse_y = y;
}

void RecordPointerPos(Application* app, uint32_t slot, int32_t screen_x, int32_t screen_y) {
  if (!recording(app) || slot >= kApplicationTouchSlots) return;
  const double native_width = app->params->width;
  const double native_height = app->params->height;
  const int32_t* client = app->client_rect;
  if (client[2] <= 0 || client[3] <= 0) return;
  app->touch_positions[slot][0] =
      static_cast<int32_t>((screen_x - client[0]) / (client[2] / native_width));
  app->touch_positions[slot][1] =
      static_cast<int32_t>((client[1] - screen_y + client[3]) / (client[3] / native_height));
}

void PopKeyboardEvent(Application* app) {
  if (!recording(app)) return;
  std::lock_guard<std::mutex> lock(app->event_queue_mutex);
  if (deliver_oldest(app, &app->keyboard_queue, Application_FindKeyboardContext)) return;
  if (app->params->keyboard_count > 0) {
    KeyboardEvent* context = Application_FindKeyboardContext(app, app->params->keyboards[0].id);
    if (context != nullptr) {
      context->key = 0;
      context->pressed = 0;
      context->released = 0;
      context->modifiers = 0;
    }
  }
}

void PopMouseEvent(Application* app) {
  if (!recording(app)) return;
  std::lock_guard<std::mutex> lock(app->event_queue_mutex);
  if (deliver_oldest(app, &app->pointer_queue, Application_FindPointerContext)) return;
  if (app->params->pointer_count > 0) {
    // Only the first pointer idles at the mouse position: GLFW reports no
    // touch digitiser, so touch mode, which would idle every contact, never
    // holds on this platform.
    PointerEvent* context = Application_FindPointerContext(app, app->params->pointers[0].id);
    if (context != nullptr) {
      context->button = 0;
      context->modifiers = 0;
      if (touch_position_valid(app, 0)) {
        // A contact still down keeps its press until its release arrives.
        context->x = static_cast<float>(app->touch_positions[0][0]);
        context->y = static_cast<float>(app->touch_positions[0][1]);
      } else {
        context->pressed = 0;
        context->released = 0;
        context->x = static_cast<float>(app->mouse_x);
        context->y = static_cast<float>(app->mouse_y);
      }
    }
  }
}

// ---- Touch contacts ------------------------------------------------------------

uint32_t RegisterContactIndex(Application* app, uint32_t touch_id) {
  if (app == nullptr) return kApplicationNoContact;
  for (uint32_t slot = 0; slot < kApplicationTouchSlots; ++slot) {
    if (app->touch_ids[slot] == kApplicationNoContact) {
      app->touch_ids[slot] = touch_id;
      return slot;
    }
    if (app->touch_ids[slot] == touch_id) return slot;
  }
  return kApplicationNoContact;
}

uint32_t GetContactIndex(Application* app, uint32_t touch_id) {
  if (app == nullptr) return kApplicationNoContact;
  for (uint32_t slot = 0; slot < kApplicationTouchSlots; ++slot) {
    if (app->touch_ids[slot] == touch_id) return slot;
  }
  return kApplicationNoContact;
}

void ReleaseContactSlots(Application* app) {
  if (app == nullptr) return;
  for (uint32_t slot = 0; slot < kApplicationTouchSlots; ++slot) {
    app->touch_ids[slot] = kApplicationNoContact;
    app->touch_positions[slot][0] = -1;
    app->touch_positions[slot][1] = -1;
  }
}

void OnTouch(Application* app, const TouchPoint* points, uint32_t count, uint32_t modifiers) {
  if (app == nullptr || points == nullptr) return;
  for (uint32_t i = 0; i < count; ++i) {
    const TouchPoint& point = points[i];
    // Points that are ignored anyway take no slot, so a slot is never held
    // by a contact that can never be released.
    if (point.id == 0 || i >= kApplicationTouchSlots) continue;
    uint32_t slot = GetContactIndex(app, point.id);
    if (slot == kApplicationNoContact) slot = RegisterContactIndex(app, point.id);
    if (slot == kApplicationNoContact) continue;
    RecordPointerPos(app, slot, point.x_hundredths / 100, point.y_hundredths / 100);
    if ((point.flags & kTouchPointUp) != 0) {
      RecordMouseEvent(app, 1, kKeyStateUp, modifiers, slot);
      // A neutral event after the release, so the contact's pointer context
      // does not keep showing the release once the slot is gone.
      RecordMouseEvent(app, 0, 0, modifiers, slot);
      app->touch_positions[slot][0] = -1;
      app->touch_positions[slot][1] = -1;
      app->touch_ids[slot] = kApplicationNoContact;
    } else if ((point.flags & kTouchPointDown) != 0) {
      RecordMouseEvent(app, 1, kKeyStateDown, modifiers, slot);
      RecordMouseEvent(app, 1, 0, modifiers, slot);
    }
  }
}

// ---- Cursor requests -------------------------------------------------------------

void CursorPosRequestCallback(void* context, uint32_t id, float x, float y) {
  Application* app = static_cast<Application*>(context);
  if (app == nullptr || app->params == nullptr) return;
  for (uint32_t i = 0; i < app->params->pointer_count; ++i) {
    if (app->pointer_contexts[i].id == id || id == kApplicationAnyId) {
      app->pointer_contexts[i].x = x;
      app->pointer_contexts[i].y = y;
    }
    if (app->use_system_events != 0)
      Application_SetMousePos(app, x, y, id, static_cast<int32_t>(i));
  }
}

void Application_SetMousePos(Application* app, double x, double y, uint32_t id, int32_t index) {
  if (app == nullptr || app->window == nullptr) return;
  if (glfwGetWindowAttrib(app->window, GLFW_FOCUSED) == 0) return;
  if (id != kApplicationAnyId) {
    if (index < 0 || static_cast<uint32_t>(index) >= app->params->pointer_count) return;
    if (app->params->pointers[index].id != id) return;
  }
  double client_x = 0.0;
  double client_y = 0.0;
  if (!Application_DisplayToClient(app, x, y, &client_x, &client_y)) return;
  glfwSetCursorPos(app->window, std::trunc(client_x), std::trunc(client_y));
}

// ---- GLFW callbacks as events ------------------------------------------------------

uint32_t Application_ModifiersFromGlfw(int glfw_mods) {
  uint32_t modifiers = 0;
  if ((glfw_mods & GLFW_MOD_SHIFT) != 0) modifiers |= MODIFIER_SHIFT;
  if ((glfw_mods & GLFW_MOD_CONTROL) != 0) modifiers |= MODIFIER_CONTROL;
  return modifiers;
}

uint32_t Application_KeyCodeFromGlfw(int glfw_key, int glfw_mods) {
  if (glfw_key >= GLFW_KEY_F1 && glfw_key <= GLFW_KEY_F12) {
    return KEY_F1 + static_cast<uint32_t>(glfw_key - GLFW_KEY_F1);
  }
  switch (glfw_key) {
    case GLFW_KEY_PAGE_UP:
      return KEY_PAGE_UP;
    case GLFW_KEY_PAGE_DOWN:
      return KEY_PAGE_DOWN;
    case GLFW_KEY_END:
      return KEY_END;
    case GLFW_KEY_HOME:
      return KEY_HOME;
    case GLFW_KEY_LEFT:
      return KEY_LEFT;
    case GLFW_KEY_UP:
      return KEY_UP;
    case GLFW_KEY_RIGHT:
      return KEY_RIGHT;
    case GLFW_KEY_DOWN:
      return KEY_DOWN;
    case GLFW_KEY_INSERT:
      return KEY_INSERT;
    case GLFW_KEY_DELETE:
      return KEY_DELETE;
    // GLFW's character callback leaves out control characters; these keys
    // type them, so they are produced here.
    case GLFW_KEY_ENTER:
    case GLFW_KEY_KP_ENTER:
      return KEY_ENTER;
    case GLFW_KEY_BACKSPACE:
      return KEY_BACKSPACE;
    case GLFW_KEY_TAB:
      return KEY_TAB;
    case GLFW_KEY_ESCAPE:
      return KEY_ESCAPE;
    default:
      break;
  }
  // Control with a letter types the control character of that letter
  // (Control+A is 1), which the character callback does not deliver either.
  if ((glfw_mods & GLFW_MOD_CONTROL) != 0 && glfw_key >= GLFW_KEY_A && glfw_key <= GLFW_KEY_Z) {
    return static_cast<uint32_t>(glfw_key - GLFW_KEY_A + 1);
  }
  return 0;
}

uint32_t Application_ButtonFromGlfw(int glfw_button) {
  switch (glfw_button) {
    case GLFW_MOUSE_BUTTON_LEFT:
      return 1;
    case GLFW_MOUSE_BUTTON_RIGHT:
      return 2;
    case GLFW_MOUSE_BUTTON_MIDDLE:
      return 3;
    default:
      return 0;
  }
}

bool Application_ClientToDisplay(const Application* app, double client_x, double client_y,
                                 double* out_x, double* out_y) {
  if (app == nullptr || app->params == nullptr || out_x == nullptr || out_y == nullptr)
    return false;
  const double client_width = app->client_rect[2];
  const double client_height = app->client_rect[3];
  if (client_width <= 0.0 || client_height <= 0.0) return false;
  const double native_width = app->params->width;
  const double native_height = app->params->height;
  *out_x = client_x / (client_width / native_width);
  *out_y = native_height - client_y / (client_height / native_height);
  return true;
}

bool Application_DisplayToClient(const Application* app, double x, double y, double* out_client_x,
                                 double* out_client_y) {
  if (app == nullptr || app->params == nullptr || out_client_x == nullptr ||
      out_client_y == nullptr)
    return false;
  const double client_width = app->client_rect[2];
  const double client_height = app->client_rect[3];
  if (client_width <= 0.0 || client_height <= 0.0) return false;
  *out_client_x = x * (client_width / app->params->width);
  *out_client_y = client_height - y * (client_height / app->params->height);
  return true;
}

void Application_OnKey(Application* app, int glfw_key, int glfw_action, int glfw_mods) {
  if (app == nullptr) return;
  const uint32_t modifiers = Application_ModifiersFromGlfw(glfw_mods);
  app->key_modifiers = modifiers;
  if (glfw_action == GLFW_PRESS || glfw_action == GLFW_REPEAT) {
    // A character key leaves the current key at 0 here; its character
    // arrives through the character callback right after and becomes the
    // current key, so the release carries the character too.
    const uint32_t code = Application_KeyCodeFromGlfw(glfw_key, glfw_mods);
    app->current_key = code;
    if (code != 0) RecordKeyboardEvent(app, code, kKeyStateDown, modifiers);
  } else if (glfw_action == GLFW_RELEASE) {
    if (app->current_key != 0) {
      RecordKeyboardEvent(app, app->current_key, kKeyStateUp, modifiers);
      app->current_key = 0;
    }
  }
}

void Application_OnCharacter(Application* app, uint32_t codepoint) {
  if (app == nullptr || codepoint > 0x10FFFF || (codepoint >= 0xD800 && codepoint <= 0xDFFF))
    return;
  // The widgets take UTF-16 code units: a character beyond the basic plane
  // arrives as its two surrogates, the second being the key that is down.
  if (codepoint > 0xFFFF) {
    const uint32_t offset = codepoint - 0x10000;
    const uint32_t high = 0xD800 + (offset >> 10);
    const uint32_t low = 0xDC00 + (offset & 0x3FF);
    RecordKeyboardEvent(app, high, kKeyStateDown, app->key_modifiers);
    app->current_key = low;
    RecordKeyboardEvent(app, low, kKeyStateDown, app->key_modifiers);
    return;
  }
  app->current_key = codepoint;
  RecordKeyboardEvent(app, codepoint, kKeyStateDown, app->key_modifiers);
}

void Application_OnMouseButton(Application* app, int glfw_button, int glfw_action, int glfw_mods) {
  const uint32_t button = Application_ButtonFromGlfw(glfw_button);
  const uint32_t state = state_of_action(glfw_action);
  if (button == 0 || state == 0) return;
  RecordMouseEvent(app, button, state, Application_ModifiersFromGlfw(glfw_mods), 0);
}

void Application_OnScroll(Application* app, double y_offset, int glfw_mods) {
  // A wheel notch is a press without a release, away from the user for a
  // positive offset. Sideways scrolling has no button.
  if (y_offset == 0.0) return;
  RecordMouseEvent(app, y_offset > 0.0 ? BHVR_WHEEL_AWAY : BHVR_WHEEL_TOWARDS, kKeyStateDown,
                   Application_ModifiersFromGlfw(glfw_mods), 0);
}

void Application_OnCursorPos(Application* app, double client_x, double client_y) {
  if (app == nullptr) return;
  app->cursor_shown = 1;
  double x = 0.0;
  double y = 0.0;
  if (Application_ClientToDisplay(app, client_x, client_y, &x, &y)) RecordMousePos(app, x, y);
}

// ---- Event cursors ---------------------------------------------------------------------

namespace {

// The host's own attribute tables, so the crosses look the same whatever
// tables the application installed: 0 pink, 1 black, 2 red, 3 green, 4 blue,
// 5 white.
const float loc_colors[] = {
    1.0f, 0.501961f, 0.741176f, 1.0f,  //
    0.0f, 0.0f,      0.0f,      1.0f,  //
    1.0f, 0.0f,      0.0f,      1.0f,  //
    0.0f, 1.0f,      0.0f,      1.0f,  //
    0.0f, 0.0f,      1.0f,      1.0f,  //
    1.0f, 1.0f,      1.0f,      1.0f,
};
// Width without smoothing, core and outer width with smoothing, in pixels.
const float loc_line_widths[] = {
    1.2f, 1.5f, 3.0f, 2.5f, 1.5f, 3.5f, 3.5f, 2.5f, 4.2f, 4.5f, 3.5f, 5.5f,
    5.5f, 4.5f, 6.5f, 6.5f, 5.5f, 7.5f, 7.5f, 6.5f, 8.5f, 8.5f, 7.5f, 9.5f,
};
// 0 solid; 1 on 12 and off 12 pixels.
const sgl_line_stipple loc_line_stipples[] = {
    {{1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 1, 1},
    {{12, 12, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
};
constexpr int32_t kCursorColorPressed = 2;
constexpr int32_t kCursorColorReleased = 3;
constexpr int32_t kCursorColorIdle = 5;
constexpr int32_t kCursorLineWidth = 4;

// Tells several pointers apart: the id beside the cross, both pieces of the
// number in the application's font slot 0 (an empty slot writes in the
// table's first font), the text attributes put back afterwards.
void write_pointer_id(sgl_text_state* text, uint32_t id, float x, float y) {
  const sgl_text_state saved = *text;
  sglIndexFonti(0);
  sglIndexFontLineWidthi(0);
  sglSetSecondFontAttributes(0, 0, -1);
  // Whole digits only, a sign only when negative.
  const sgl_float_format format = {9, 0, 1, 2, '.', 0};
  sgluWriteFloat(x, y, static_cast<float>(id), &format);
  *text = saved;
}

}  // namespace

void DrawEventCursors(Application* app) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (app == nullptr || context == nullptr) return;
  const float* colors = context->color_table;
  const uint32_t color_count = context->color_count;
  const float* widths = context->line_width_table;
  const uint32_t width_count = context->line_width_count;
  const sgl_line_stipple* stipples = context->stipple_table;
  const uint32_t stipple_count = context->stipple_count;
  sglColorPointerf(loc_colors, sizeof loc_colors / sizeof(float) / 4);
  sglLineWidthPointerf(loc_line_widths, sizeof loc_line_widths / sizeof(float) / 3);
  sglLineStipplePointer(loc_line_stipples, sizeof loc_line_stipples / sizeof loc_line_stipples[0]);
  // A mask a layer left active must not hide the crosses.
  const uint32_t masks = sglGetActiveMasks();
  sglSetActiveMasks(0);
  const sgl_transformation& t = context->transform;
  const float h = 10.0f * t.units_x;
  const float v = 10.0f * t.units_y;
  for (uint32_t i = 0; i < app->params->pointer_count; ++i) {
    const PointerEvent& pointer = app->pointer_contexts[i];
    // The contexts hold display units; the window's pixels are those scaled
    // by the viewport's ratio to the native size.
    float x = 0.0f;
    float y = 0.0f;
    sglConvertPixelToPoint(pointer.x * t.ratio_x, pointer.y * t.ratio_y, &x, &y);
    const int32_t color = pointer.pressed != 0
                              ? kCursorColorPressed
                              : (pointer.released != 0 ? kCursorColorReleased : kCursorColorIdle);
    sglIndexHaloColori(-1);
    sglIndexLineStipplei(0);
    sglEnable(SGL_LINE_SMOOTH);
    sglSetLineCaps(1);
    sglTransparency8(255);
    sglIndexColori(color);
    sglIndexLineWidthi(kCursorLineWidth);
    sglBegin(SGL_PRIMITIVE_SEGMENTS);
    sglVertex2f(x, y - v);
    sglVertex2f(x, y + v);
    sglVertex2f(x - h, y);
    sglVertex2f(x + h, y);
    sglEnd();
    if (app->params->pointer_count > 1) write_pointer_id(&context->text, pointer.id, x + h, y + v);
  }
  sglSetActiveMasks(masks);
  sglColorPointerf(colors, color_count);
  sglLineWidthPointerf(widths, width_count);
  sglLineStipplePointer(stipples, stipple_count);
  sglFlush();
}
