// Focus: which single widget receives the pointer pulses and the keys.
//
// Focus follows the pointer. Every interactive widget steps its own
// IndividualFocus record once per cycle with request = "the pointer is over
// me and I am visible"; the widget under the pointer takes the focus unless
// another widget still holds an active request, and keeps it after the
// pointer has left until another widget takes it. Only a focused widget gets
// the pressed-with-focus and released-with-focus pulses and its keys
// (KeyEvent, interactivity_mapping.h).
//
// A frame of one widget:
//   IndividualFocus_step(&w->focus, hover && visible, 0, 0, w->focusId, w->nextId);
//   KeyEvent_step(&w->keys, w->keyMode, w->focus.focusState);
//   wrapper_X(..., w->focus.pressedPulse, w->focus.releasedPulse, ...);
//
// When two widgets request the focus in one cycle, the stepping order decides:
// the one stepped after the holder has dropped its request wins at once, the
// one stepped before it wins one cycle later.
//
// Containers (a scroll panel) step with isContainer = 1 before their children
// and call ResetInteractivityStatus(ownId) after them; while a container is
// focused, a child that requests the focus takes it at once. A widget showing
// a group of sub-widgets (an open list, radio items) wraps their steps in
// FocusOverride(1 if it is focused, else 2) ... ReleaseOverride(), so the
// sub-widgets report the group's focus and never take it themselves.
//
// Threads: the drawing thread only; the module state is process-wide and
// unlocked.
#pragma once

#include <cstdint>

// Number of widgets the focus order can register; later ones still get the
// focus by pointer but take no part in ManageGlobalFocus navigation.
constexpr int FOCUS_ORDER_SIZE = 1024;

// Focus state reported to a widget.
constexpr uint8_t FOCUS_NONE = 0;
constexpr uint8_t FOCUS_HELD = 1;
constexpr uint8_t FOCUS_FORCED = 2;  // inherited from a group through FocusOverride(1)

// Override modes.
constexpr uint32_t FOCUS_OVERRIDE_NONE = 0;
constexpr uint32_t FOCUS_OVERRIDE_FOCUSED = 1;    // every widget reports FOCUS_FORCED
constexpr uint32_t FOCUS_OVERRIDE_UNFOCUSED = 2;  // every widget reports FOCUS_NONE

struct FocusOrderEntry {
  uint32_t id;
  uint32_t next;  // successor id, 0 none
  uint32_t prev;  // predecessor id, 0 none
};

// Stores into *idField the low 32 bits of idField's own address: a distinct,
// stable id for every widget instance for the life of the process.
void GetId(uint32_t* idField);

// Registers a widget in the focus order (links it to its successor and
// predecessor). A widget already registered only gains a successor if it had
// none; the 1025th widget is not registered.
void InitialiseFocus(uint32_t id, uint32_t next);

// One focus step of one widget; *state receives FOCUS_NONE, FOCUS_HELD or
// FOCUS_FORCED. release with next != 0 hands the focus on to next; init
// registers the widget first.
void ManageIndividualFocus(uint8_t request, uint8_t release, uint32_t id, uint8_t isContainer,
                           uint32_t next, uint8_t init, uint8_t* state);

void FocusOverride(uint32_t mode);
void ReleaseOverride();

// Ends a container's scope: if the container `id` holds the focus, its
// children no longer take the focus at once.
void ResetInteractivityStatus(uint32_t id);

// Keyboard-style navigation along the focus order: next / previous move the
// focus to the successor / predecessor (or the following / preceding entry,
// wrapping); a non-zero registered id moves it there; reset zeroes the order.
// Also counts down the liveness of the focused widget, so that a holder that
// is no longer drawn stops blocking others. current and requesting may be
// null.
void ManageGlobalFocus(uint8_t next, uint8_t previous, uint32_t id, uint8_t reset,
                       uint32_t* current, uint32_t* requesting);

// ---- Per-widget focus record ---------------------------------------------------
//
// Steps ManageIndividualFocus and forms the widget's pointer pulses from the
// pointer record (Velkor_pointer, device 0).
struct IndividualFocus {
  // outputs
  uint8_t focusState;     // FOCUS_NONE, FOCUS_HELD, FOCUS_FORCED
  uint32_t idInUse;       // explicit id, or the instance's own id
  uint8_t pressedPulse;   // pressed with focus: one cycle per press
  uint8_t releasedPulse;  // released with focus
  uint32_t lastButton;    // button of the last pulse, kept between pulses
  // memories
  uint32_t ownId;      // the GetId field of this instance
  uint8_t firstCycle;  // 1 until the first step has registered the widget
  uint8_t rawPressed;
  uint8_t rawReleased;
  uint32_t rawButton;
  uint8_t previousRawPressed;
  uint32_t previousRawButton;
  uint8_t previousPressedPulse;
};

// Clears the record and arms the first-cycle registration.
void IndividualFocus_init(IndividualFocus* focus);
void IndividualFocus_step(IndividualFocus* focus, uint8_t request, uint8_t release,
                          uint8_t isContainer, uint32_t explicitId, uint32_t nextId);

// ---- Inspection and restart ------------------------------------------------------

uint32_t GetCurrentFocusedWidget();
uint32_t GetRequestingFocus();
int GetFocusOrderCount();
// Entry `index` of the focus order; an index outside the table gives a zero entry.
FocusOrderEntry GetFocusOrderEntry(int index);
// Back to the state of process start: empty order, nobody focused, no
// override, liveness 2. For tests and a host that rebuilds its panel.
void ClearFocus();
