// Reading the event scripts of the off-screen mode.
#include "app/Velkor_event_script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "app/Velkor_excerpt.h"
#include "widgets/interactivity_mapping.h"

namespace {

struct KeyName {
  const char* name;
  uint32_t code;
};

// Keys with a character arrive as that character, as the window delivers them.
constexpr KeyName kKeyNames[] = {
    {"Enter", KEY_ENTER},
    {"Escape", KEY_ESCAPE},
    {"Tab", KEY_TAB},
    {"Backspace", KEY_BACKSPACE},
    {"Space", 32},
    {"Delete", KEY_DELETE},
    {"Insert", KEY_INSERT},
    {"Left", KEY_LEFT},
    {"Right", KEY_RIGHT},
    {"Up", KEY_UP},
    {"Down", KEY_DOWN},
    {"Home", KEY_HOME},
    {"End", KEY_END},
    {"PageUp", KEY_PAGE_UP},
    {"PageDown", KEY_PAGE_DOWN},
};

std::string quoted(const std::string& word) {
  return "\"" + Velkor_Excerpt(word) + "\"";
}

bool fail(VelkorScriptError* error, int line, const std::string& message) {
  error->line = line;
  error->message = message;
  return false;
}

// A whole signed decimal integer.
bool read_integer(const std::string& text, int32_t* value) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  if (!(*begin == '-' || *begin == '+' || (*begin >= '0' && *begin <= '9'))) return false;
  errno = 0;
  char* end = nullptr;
  const long long number = strtoll(begin, &end, 10);
  if (errno != 0 || end == begin || *end != '\0' || number < -1000000 || number > 1000000)
    return false;
  *value = static_cast<int32_t>(number);
  return true;
}

// UTF-8 to UTF-16 code units, one per character; characters beyond the
// 16-bit plane have no key code.
bool decode_utf8(const std::string& text, std::vector<uint32_t>* out, std::string* problem) {
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    uint32_t code = 0;
    int more = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F;
      more = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F;
      more = 2;
    } else {
      *problem = lead >= 0xF0 && lead < 0xF8 ? "a character beyond U+FFFF cannot be typed"
                                             : "the text is not UTF-8";
      return false;
    }
    if (i + static_cast<size_t>(more) >= text.size() && more > 0) {
      *problem = "the text is not UTF-8";
      return false;
    }
    for (int k = 1; k <= more; ++k) {
      const uint8_t next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        *problem = "the text is not UTF-8";
        return false;
      }
      code = (code << 6) | (next & 0x3F);
    }
    const uint32_t smallest = more == 0 ? 0 : (more == 1 ? 0x80 : 0x800);
    if (code < smallest || (code >= 0xD800 && code <= 0xDFFF)) {
      *problem = "the text is not UTF-8";
      return false;
    }
    if (code < 32 || code == 127) {
      *problem = "control characters are typed with \"key\"";
      return false;
    }
    out->push_back(code);
    i += static_cast<size_t>(more) + 1;
  }
  return true;
}

// "[Shift+][Ctrl+]NAME" in any order of the prefixes.
bool read_key(std::string name, uint32_t* key, uint32_t* modifiers) {
  *modifiers = 0;
  for (;;) {
    if (name.compare(0, 6, "Shift+") == 0 && name.size() > 6) {
      *modifiers |= MODIFIER_SHIFT;
      name.erase(0, 6);
    } else if (name.compare(0, 5, "Ctrl+") == 0 && name.size() > 5) {
      *modifiers |= MODIFIER_CONTROL;
      name.erase(0, 5);
    } else {
      break;
    }
  }
  // The panel's step back and forward by name: Ctrl+Z and Ctrl+Y.
  if (name == "Undo" || name == "Redo") {
    *modifiers |= MODIFIER_CONTROL;
    name = name == "Undo" ? "Z" : "Y";
  }
  // A letter types itself (upper case with Shift); with Ctrl it is the
  // control character of that letter, as the window delivers Ctrl+Z.
  if (name.size() == 1 &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
    const uint32_t upper = static_cast<uint32_t>(name[0] & ~0x20);
    if ((*modifiers & MODIFIER_CONTROL) != 0) {
      *key = upper - 'A' + 1;
    } else {
      *key = (*modifiers & MODIFIER_SHIFT) != 0 ? upper : upper | 0x20;
    }
    return true;
  }
  *key = Velkor_ScriptKeyCode(name);
  return *key != 0;
}

// "X Y", "@Name" or "@Name+DX,DY" from the words at `first`.
bool read_position(const std::vector<std::string>& words, size_t first,
                   bool (*is_widget)(const char*), VelkorScriptEvent* event, std::string* problem) {
  const size_t count = words.size() - first;
  if (count >= 1 && words[first][0] == '@') {
    if (count != 1) {
      *problem = "a widget position is one word, @Name or @Name+DX,DY";
      return false;
    }
    std::string name = words[first].substr(1);
    const size_t plus = name.find('+');
    if (plus != std::string::npos) {
      const std::string offsets = name.substr(plus + 1);
      name.erase(plus);
      const size_t comma = offsets.find(',');
      if (comma == std::string::npos || !read_integer(offsets.substr(0, comma), &event->offset_x) ||
          !read_integer(offsets.substr(comma + 1), &event->offset_y)) {
        // Shorter excerpts where a message quotes more than the word
        // itself: an escaped byte takes four characters, and an error stays
        // one short line.
        *problem = "the offset after @" + Velkor_Excerpt(name, 30) + " is not +DX,DY";
        return false;
      }
      event->from_corner = true;
    }
    if (name.empty() || is_widget == nullptr || !is_widget(name.c_str())) {
      *problem = "no widget named " + quoted(name);
      return false;
    }
    if (event->frame == 0) {
      *problem = "a widget is found where it was drawn in the previous frame; frame 0 has none";
      return false;
    }
    event->widget = name;
    return true;
  }
  if (count != 2 || !read_integer(words[first], &event->pixel_x) ||
      !read_integer(words[first + 1], &event->pixel_y)) {
    *problem = "needs a position: X Y (whole pixels) or @Widget";
    return false;
  }
  if (event->pixel_x < 0 || event->pixel_x >= kScriptWidth || event->pixel_y < 0 ||
      event->pixel_y >= kScriptHeight) {
    *problem = "position " + Velkor_Excerpt(words[first], 16) + " " +
               Velkor_Excerpt(words[first + 1], 16) + " lies outside 0..1279 x 0..767";
    return false;
  }
  return true;
}

bool parse_line(const std::string& raw, int line, uint32_t frames, bool (*is_widget)(const char*),
                std::vector<VelkorScriptEvent>* events, VelkorScriptError* error) {
  const std::string& text = raw;
  // Words up to a comment; "type" keeps the rest of its line as it is.
  std::vector<std::string> words;
  size_t i = 0;
  std::string rest;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size() || text[i] == '#') break;
    if (words.size() == 2 && words[1] == "type") {
      rest = text.substr(i);
      break;
    }
    const size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    words.push_back(text.substr(start, i - start));
  }
  if (words.empty()) return true;

  VelkorScriptEvent event;
  event.line = line;
  int32_t frame = 0;
  if (!read_integer(words[0], &frame) || frame < 0 || words[0][0] == '+' || words[0][0] == '-') {
    return fail(error, line, quoted(words[0]) + " is not a frame number");
  }
  if (static_cast<uint32_t>(frame) >= frames) {
    return fail(error, line,
                "frame " + std::to_string(frame) + " is never drawn (frames 0 .. " +
                    std::to_string(frames - 1) + ")");
  }
  event.frame = static_cast<uint32_t>(frame);
  if (words.size() < 2) return fail(error, line, "no event after the frame number");
  const std::string& verb = words[1];
  std::string problem;
  if (verb == "move" || verb == "press" || verb == "release" || verb == "click" ||
      verb == "rpress" || verb == "rrelease" || verb == "rclick") {
    event.kind = verb == "move"       ? kScriptMove
                 : verb == "press"    ? kScriptPress
                 : verb == "release"  ? kScriptRelease
                 : verb == "click"    ? kScriptClick
                 : verb == "rpress"   ? kScriptRightPress
                 : verb == "rrelease" ? kScriptRightRelease
                                      : kScriptRightClick;
    if (!read_position(words, 2, is_widget, &event, &problem))
      return fail(error, line, verb + ": " + problem);
  } else if (verb == "wheel") {
    if (words.size() < 3 || (words[2] != "up" && words[2] != "down"))
      return fail(error, line, "wheel needs up or down");
    event.kind = words[2] == "up" ? kScriptWheelUp : kScriptWheelDown;
    if (!read_position(words, 3, is_widget, &event, &problem))
      return fail(error, line, "wheel: " + problem);
  } else if (verb == "key") {
    if (words.size() != 3) return fail(error, line, "key needs one key name");
    event.kind = kScriptKey;
    if (!read_key(words[2], &event.key, &event.modifiers))
      return fail(error, line, "unknown key " + quoted(words[2]));
  } else if (verb == "type") {
    event.kind = kScriptType;
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.pop_back();
    if (rest.empty()) return fail(error, line, "type needs a text");
    if (!decode_utf8(rest, &event.text, &problem)) return fail(error, line, "type: " + problem);
  } else {
    return fail(error, line, "unknown event " + quoted(verb));
  }
  events->push_back(event);
  return true;
}

// The host's queue entries an event makes: pointer and key events.
void queue_entries(const VelkorScriptEvent& e, int64_t* pointer, int64_t* keys) {
  switch (e.kind) {
    case kScriptMove:
      break;
    case kScriptClick:
    case kScriptRightClick:
      *pointer += 2;
      break;
    case kScriptKey:
      *keys += 2;
      break;
    case kScriptType:
      *keys += 2 * static_cast<int64_t>(e.text.size());
      break;
    default:  // press, release, a wheel notch
      *pointer += 1;
      break;
  }
}

// Replays how full the queues get, frame by frame (events ordered by frame):
// each frame's events go in before it is drawn, and each frame takes one
// pointer and one key event out.
bool check_queues(const std::vector<VelkorScriptEvent>& events, VelkorScriptError* error) {
  int64_t pointer = 0;
  int64_t keys = 0;
  uint32_t frame = 0;
  for (const VelkorScriptEvent& e : events) {
    const int64_t drawn = e.frame - frame;
    pointer = std::max<int64_t>(0, pointer - drawn);
    keys = std::max<int64_t>(0, keys - drawn);
    frame = e.frame;
    queue_entries(e, &pointer, &keys);
    const char* queue = pointer > kVelkorScriptQueueEvents ? "pointer"
                        : keys > kVelkorScriptQueueEvents  ? "key"
                                                           : nullptr;
    if (queue != nullptr) {
      return fail(error, e.line,
                  "frame " + std::to_string(e.frame) + " would queue more than " +
                      std::to_string(kVelkorScriptQueueEvents) + " " + queue +
                      " events (each frame takes one; spread them over more frames)");
    }
  }
  return true;
}

}  // namespace

bool Velkor_ReadEventScript(const std::string& path, std::string* text, std::string* problem) {
  text->clear();
  const int file = open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
  if (file < 0) {
    *problem = strerror(errno);
    return false;
  }
  struct stat info = {};
  bool ok = fstat(file, &info) == 0;
  if (!ok) {
    *problem = strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    *problem = "it is a folder";
    ok = false;
  }
  // One byte beyond the limit tells a file that is too large; a device that
  // never ends (/dev/zero) stops there too.
  char buffer[65536];
  while (ok) {
    const ssize_t n = read(file, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *problem = strerror(errno);
      ok = false;
    } else if (n == 0) {
      break;
    } else if (text->size() + static_cast<size_t>(n) > kVelkorScriptMaxBytes) {
      *problem = "larger than 4 MiB, the most an event script may have";
      ok = false;
    } else {
      text->append(buffer, static_cast<size_t>(n));
    }
  }
  close(file);
  if (!ok) text->clear();
  return ok;
}

uint32_t Velkor_ScriptKeyCode(const std::string& name) {
  for (const KeyName& k : kKeyNames) {
    if (name == k.name) return k.code;
  }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
    int32_t n = 0;
    if (read_integer(name.substr(1), &n) && name[1] != '0' && n >= 1 && n <= 12)
      return KEY_F1 + static_cast<uint32_t>(n - 1);
  }
  return 0;
}

void Velkor_ScriptPixelToDisplay(int32_t pixel_x, int32_t pixel_y, float* x, float* y) {
  *x = static_cast<float>(pixel_x) + 0.5f;
  *y = static_cast<float>(kScriptHeight - pixel_y) - 0.5f;
}

bool Velkor_ParseEventScript(const std::string& script, uint32_t frames,
                             bool (*is_widget)(const char* name),
                             std::vector<VelkorScriptEvent>* events, VelkorScriptError* error) {
  events->clear();
  std::istringstream lines(script);
  std::string text;
  int line = 0;
  while (std::getline(lines, text)) {
    ++line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.size() > kVelkorScriptMaxLineChars) {
      return fail(
          error, line,
          "the line is longer than " + std::to_string(kVelkorScriptMaxLineChars) + " characters");
    }
    if (text.find('\0') != std::string::npos)
      return fail(error, line, "the line holds a NUL character");
    if (!parse_line(text, line, frames, is_widget, events, error)) return false;
  }
  std::stable_sort(
      events->begin(), events->end(),
      [](const VelkorScriptEvent& a, const VelkorScriptEvent& b) { return a.frame < b.frame; });
  return check_queues(*events, error);
}
