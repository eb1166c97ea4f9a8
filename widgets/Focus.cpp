#include "widgets/Focus.h"

#include <cstring>

#include "widgets/interactivity_mapping.h"

namespace {

FocusOrderEntry FocusOrder[FOCUS_ORDER_SIZE];
int NbWidgetsInList = 0;
uint32_t CurrentFocusedWidget = 0;
uint32_t RequestingFocus = 0;
uint8_t insideContainer = 0;
uint32_t override_mode = FOCUS_OVERRIDE_NONE;
// Refreshed to 2 whenever the focused widget is stepped and counted down by
// ManageGlobalFocus: a holder that stops being drawn eventually lets others in.
int32_t isAlive = 2;

void take_focus(uint32_t id, uint8_t* state) {
  *state = FOCUS_HELD;
  CurrentFocusedWidget = id;
  RequestingFocus = id;
}

int find_entry(uint32_t id) {
  for (int i = 0; i < NbWidgetsInList; ++i) {
    if (FocusOrder[i].id == id) return i;
  }
  return -1;
}

// Moves the focus to the linked neighbour of the focused entry when that
// neighbour is registered, else to the adjacent entry in table order. With no
// focused entry, "next" starts at the first entry and "previous" at the last.
void move_along_order(bool forward) {
  if (NbWidgetsInList <= 0) return;
  const int at = find_entry(CurrentFocusedWidget);
  if (at >= 0) {
    const uint32_t linked = forward ? FocusOrder[at].next : FocusOrder[at].prev;
    if (linked != 0 && find_entry(linked) >= 0) {
      CurrentFocusedWidget = linked;
      return;
    }
  }
  int target;
  if (forward) {
    target = (at + 1) % NbWidgetsInList;
  } else {
    target = (at <= 0) ? NbWidgetsInList - 1 : at - 1;
  }
  CurrentFocusedWidget = FocusOrder[target].id;
}

}  // namespace

void GetId(uint32_t* idField) {
  if (idField == nullptr) return;
  *idField = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(idField));
}

void InitialiseFocus(uint32_t id, uint32_t next) {
  bool found = false;
  uint32_t predecessor = 0;
  for (int i = 0; i < NbWidgetsInList; ++i) {
    FocusOrderEntry& entry = FocusOrder[i];
    if (entry.id == id) {
      found = true;
      if (entry.next == 0) entry.next = next;
    }
    if (entry.next == id) predecessor = entry.id;
    if (entry.id == next) entry.prev = id;
  }
  if (!found && NbWidgetsInList < FOCUS_ORDER_SIZE) {
    FocusOrder[NbWidgetsInList] = FocusOrderEntry{id, next, predecessor};
    ++NbWidgetsInList;
  }
}

// One widget's focus step.
//
//  override 1 -> state 2; override 2 -> state 0 (nothing else happens)
//  holder (Current = id)      -> state 1; release && next: hand on to next, state 0
//  not holder, no request     -> state 0
//  not holder, request        -> takes the focus if a container lets it in,
//                                nobody holds it, nobody else is requesting,
//                                or the holder is no longer alive; else state 0
//
//  cycle  A hovered  B hovered   stepping order A, B   focus after the cycle
//    1    yes        no          A takes               A
//    2    no         yes         A drops its request,  B
//                                B takes
//    3    no         no          nobody requests       B (kept)
void ManageIndividualFocus(uint8_t request, uint8_t release, uint32_t id, uint8_t isContainer,
                           uint32_t next, uint8_t init, uint8_t* state) {
  uint8_t scratch = 0;
  if (state == nullptr) state = &scratch;

  if (override_mode == FOCUS_OVERRIDE_FOCUSED) {
    *state = FOCUS_FORCED;
    return;
  }
  if (override_mode == FOCUS_OVERRIDE_UNFOCUSED) {
    *state = FOCUS_NONE;
    return;
  }
  if (init != 0) InitialiseFocus(id, next);
  if (CurrentFocusedWidget == id) isAlive = 2;
  if (RequestingFocus == id && request == 0) RequestingFocus = 0;

  if (CurrentFocusedWidget == id) {
    *state = FOCUS_HELD;
    if (release != 0 && next != 0) {
      CurrentFocusedWidget = next;
      *state = FOCUS_NONE;
      return;
    }
    if (isContainer != 0) insideContainer = 1;
    return;
  }
  if (request == 0) {
    *state = FOCUS_NONE;
    return;
  }
  if (insideContainer != 0) {
    take_focus(id, state);
    if (isContainer == 0) insideContainer = 0;
    return;
  }
  if (CurrentFocusedWidget == 0 || RequestingFocus == 0 || RequestingFocus == id || isAlive <= 0) {
    take_focus(id, state);
    if (isContainer != 0) insideContainer = 1;
    return;
  }
  *state = FOCUS_NONE;
}

void FocusOverride(uint32_t mode) {
  override_mode = mode;
}

void ReleaseOverride() {
  override_mode = FOCUS_OVERRIDE_NONE;
}

void ResetInteractivityStatus(uint32_t id) {
  if (CurrentFocusedWidget == id) insideContainer = 0;
}

void ManageGlobalFocus(uint8_t next, uint8_t previous, uint32_t id, uint8_t reset,
                       uint32_t* current, uint32_t* requesting) {
  if (reset != 0) {
    // The count stays: registered widgets keep their places, only the links go.
    std::memset(FocusOrder, 0, sizeof FocusOrder);
  }
  if (isAlive > 0) --isAlive;
  if (next != 0) move_along_order(true);
  if (previous != 0) move_along_order(false);
  if (id != 0 && find_entry(id) >= 0) CurrentFocusedWidget = id;
  if (current != nullptr) *current = CurrentFocusedWidget;
  if (requesting != nullptr) *requesting = RequestingFocus;
}

// ---- IndividualFocus --------------------------------------------------------------
//
// cycle  pointer record   focus  pressedPulse  releasedPulse  lastButton
//   1    (nothing)        1      0             0              0
//   2    press left       1      1             0              1
//   3    (nothing)        1      0             0              1   previous press, but no new edge
//   4    release left     1      0             1              1
//   5    press right      0      0             0              1   no focus, no pulse
//
// A widget takes the focus in the cycle it is first hovered and the press
// often arrives in that same cycle or just before, so the previous cycle's
// press also counts; the previous pulse keeps it to one cycle.

void IndividualFocus_init(IndividualFocus* focus) {
  *focus = IndividualFocus{};
  focus->firstCycle = 1;
}

void IndividualFocus_step(IndividualFocus* focus, uint8_t request, uint8_t release,
                          uint8_t isContainer, uint32_t explicitId, uint32_t nextId) {
  GetId(&focus->ownId);
  focus->idInUse = (explicitId != 0) ? explicitId : focus->ownId;

  focus->previousRawPressed = focus->rawPressed;
  focus->previousRawButton = focus->rawButton;
  focus->previousPressedPulse = focus->pressedPulse;

  ManageIndividualFocus(request, release, focus->idInUse, isContainer, nextId, focus->firstCycle,
                        &focus->focusState);
  focus->firstCycle = 0;

  focus->rawPressed = 0;
  focus->rawReleased = 0;
  focus->rawButton = 0;
  Velkor_pointer(0, &focus->rawPressed, &focus->rawReleased, &focus->rawButton, nullptr, nullptr,
                 nullptr);

  const bool focused = focus->focusState != FOCUS_NONE;
  focus->pressedPulse = (focused && (focus->rawPressed != 0 || focus->previousRawPressed != 0) &&
                         focus->previousPressedPulse == 0)
                            ? 1
                            : 0;
  focus->releasedPulse = (focus->rawReleased != 0 && focused) ? 1 : 0;
  // A pulse that stands for the previous cycle's press carries that press's
  // button: this cycle's record is empty then, and a stale button from an
  // older click would make a left click look like a right one.
  uint32_t button = focus->rawButton;
  if (focus->pressedPulse != 0 && focus->rawPressed == 0) button = focus->previousRawButton;
  if (button != 0 && (focus->pressedPulse != 0 || focus->releasedPulse != 0)) {
    focus->lastButton = button;
  }
}

uint32_t GetCurrentFocusedWidget() {
  return CurrentFocusedWidget;
}

uint32_t GetRequestingFocus() {
  return RequestingFocus;
}

int GetFocusOrderCount() {
  return NbWidgetsInList;
}

FocusOrderEntry GetFocusOrderEntry(int index) {
  if (index < 0 || index >= FOCUS_ORDER_SIZE) return FocusOrderEntry{0, 0, 0};
  return FocusOrder[index];
}

void ClearFocus() {
  std::memset(FocusOrder, 0, sizeof FocusOrder);
  NbWidgetsInList = 0;
  CurrentFocusedWidget = 0;
  RequestingFocus = 0;
  insideContainer = 0;
  override_mode = FOCUS_OVERRIDE_NONE;
  isAlive = 2;
}
