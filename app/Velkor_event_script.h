// Velkor_event_script - the event scripts of the off-screen mode.
//
//   # comment
//   0 move 640 384             FRAME move|press|release|click X Y
//   1 rclick 858 65            FRAME rpress|rrelease|rclick X Y (right button)
//   3 click @ExecButton        the centre of where ExecButton was drawn
//   5 click @RegTextEditBox+10,5   10 right of and 5 up from its lower-left corner
//   7 wheel down 100 200       FRAME wheel up|down X Y
//   9 key Shift+Tab            FRAME key [Shift+][Ctrl+]NAME
//   9 key Ctrl+Z               a letter with Ctrl is its control character
//   9 key Undo                 Ctrl+Z, the panel's step back (Redo: Ctrl+Y)
//   9 type 0x1234              FRAME type TEXT (UTF-8, up to the end of the line)
//
// X Y are pixels of the 1280 x 768 snapshot with the origin at the top left;
// an event lands on the centre of that pixel. A widget is named as its
// instance in the layer context and is found where it was drawn in the
// previous frame, so it cannot be named in frame 0. "#" starts a comment
// where a word may start, except inside the text of "type".
//
// The whole script is read before anything runs; the first malformed line
// is refused with its number and what is wrong, quoting at most a short,
// escaped excerpt of it. Events come out ordered by frame, lines of one
// frame in script order.
//
// Bounds: a script file has at most kVelkorScriptMaxBytes, a line at most
// kVelkorScriptMaxLineChars characters. The events of a frame wait in the
// host's input queues, kVelkorScriptQueueEvents pointer and as many key
// events, and each frame takes one of each: a click, a key and a typed
// character are two events, a press, a release and a wheel notch one, a move
// none. A script that would fill a queue past its size is refused at the line
// that would, rather than lose the event.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum VelkorScriptEventKind {
  kScriptMove,
  kScriptPress,
  kScriptRelease,
  kScriptClick,
  kScriptRightPress,
  kScriptRightRelease,
  kScriptRightClick,
  kScriptWheelUp,
  kScriptWheelDown,
  kScriptKey,
  kScriptType,
};

struct VelkorScriptEvent {
  int line = 0;
  uint32_t frame = 0;
  VelkorScriptEventKind kind = kScriptMove;
  // Pointer events: a snapshot pixel, or a widget.
  int32_t pixel_x = 0;
  int32_t pixel_y = 0;
  std::string widget;  // "" for a pixel
  bool from_corner = false;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  // key: its code and modifier bits; type: the characters.
  uint32_t key = 0;
  uint32_t modifiers = 0;
  std::vector<uint32_t> text;
};

struct VelkorScriptError {
  int line = 0;
  std::string message;
};

constexpr size_t kVelkorScriptMaxBytes = 4u << 20;
constexpr size_t kVelkorScriptMaxLineChars = 4096;
constexpr int32_t kVelkorScriptQueueEvents = 1024;  // the host's queues

// The display size the pixels refer to.
constexpr int32_t kScriptWidth = 1280;
constexpr int32_t kScriptHeight = 768;

// Reads the script file at path whole into *text: a regular file, or a FIFO
// or terminal read to its end, of at most kVelkorScriptMaxBytes. False with
// the reason in *problem ("it is a folder", "larger than 4 MiB ...", the
// system's error).
bool Velkor_ReadEventScript(const std::string& path, std::string* text, std::string* problem);

// Reads a whole script for a run of `frames` frames; widget names are checked
// with is_widget. False with the first error.
bool Velkor_ParseEventScript(const std::string& script, uint32_t frames,
                             bool (*is_widget)(const char* name),
                             std::vector<VelkorScriptEvent>* events, VelkorScriptError* error);

// The key code of a key name ("Enter", "F5", "PageUp"); 0 for none.
uint32_t Velkor_ScriptKeyCode(const std::string& name);

// Display units (origin bottom left, y up) of the centre of a snapshot pixel.
void Velkor_ScriptPixelToDisplay(int32_t pixel_x, int32_t pixel_y, float* x, float* y);
