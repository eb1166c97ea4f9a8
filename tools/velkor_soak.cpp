// velkor-soak - the whole program off-screen under random input.
//
//   velkor-soak --frames 100000 --seed 1
//
// Every frame gets several random events through the host's posting calls
// (moves, presses, releases, clicks, wheel notches, keys, typed text); half
// of the pointer actions aim at a widget drawn in the last frame, so that
// pop-ups open and edits happen. Now and then a slot errand takes over the
// pointer for a few frames: it clicks its way (continuous execution off,
// the slot pop-up opened from the ROM table, sometimes another slot chosen)
// to the slot pop-up's "SAVE to Slot" or "LOAD from Slot", so that real
// saves and loads happen among the random input. After every frame the
// panel's state is checked: every text terminated and in its format,
// markers and selections in range, slot files in the slot directory (a
// fresh temporary directory, the current directory while the soak runs)
// complete or absent, after a save the file holding the ROM and after a
// load the ROM holding the file, the drawing library's error log not
// overflowing. The first broken rule is printed with its frame and the run
// stops. The last lines count the frames with a slot, RAM or register
// pop-up open, the saves and the loads.
//
// --dir DIR runs in an existing slot directory (kept afterwards) instead of
// a fresh one under $TMPDIR; --full-size draws into the whole 1280 x 768
// buffer instead of a quarter-size viewport (same input, same state, slower).
//
// Exit status: 0 every frame kept every rule; 1 a rule broke, no off-screen
// buffer, or stopped by SIGINT/SIGTERM; 2 bad command line. The fresh slot
// directory is removed on each of these ends. Same seed, same run.
#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Velkor_application.h"
#include "app/Velkor_excerpt.h"
#include "display/Velkor_ComboBox.h"
#include "graphics/sgl.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"

namespace {

constexpr uint32_t kDown = 1;
constexpr uint32_t kUp = 2;
constexpr float kWidth = 1280.0f;
constexpr float kHeight = 768.0f;

// Keys besides the typed characters: Escape, Enter, Tab, Backspace, Insert,
// Delete, the arrows, Page Up/Down, Home, End (GLFW's codes).
constexpr uint32_t kKeys[] = {256, 257, 258, 259, 260, 261, 262, 263, 264, 265, 266, 267, 268, 269};
constexpr char kTyped[] = "0123456789ABCDEFabcdefxX#@+-(),. R";

// xorshift64*: small, fast and the same everywhere.
struct Random {
  uint64_t state;
  uint32_t next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<uint32_t>((state * 0x2545F4914F6CDD1DULL) >> 32);
  }
  uint32_t below(uint32_t n) { return next() % n; }
  float between(float low, float high) {
    return low + (high - low) * static_cast<float>(next() & 0xFFFFFF) / 16777216.0f;
  }
};

// A slot errand: the pointer clicks its way to a save or a load. Each step
// takes three frames at a point chosen from the state the last frame left:
// the pointer rests there (a widget takes the focus from the hover of the
// frame before the press), presses, releases. A step that random keys or a
// late queued event undid is simply taken again.
enum class Goal : uint8_t { kNone, kSave, kLoad };
enum class Step : uint8_t { kAim, kPress, kRelease };

struct Errand {
  Goal goal;
  Step step;
  uint32_t frames;   // spent so far; the errand gives up at kErrandFrames
  bool choose_slot;  // open the slot list and take one of its rows first
  float x;           // the point of the current step
  float y;
};

// About one errand per 80 frames, each some fifteen frames long: several saves
// and loads per 1,000 frames, and still mostly random input.
constexpr uint32_t kErrandChance = 80;
constexpr uint32_t kErrandFrames = 60;
// Frames without a button at the start of an errand: the random clicks
// still queued (one pointer event reaches each frame) are delivered first.
constexpr uint32_t kErrandDrain = 3;

struct Soak {
  Application* app;
  float pixels;  // viewport pixels per display unit (drawn rectangles come in pixels)
  const Velkor_symbology_layer_context* c;
  Random random;
  Errand errand;
  uint64_t events;
  uint64_t popup_frames;  // frames with a slot, RAM or register pop-up open
  uint64_t saves;
  uint64_t loads;
  int slot_files;  // complete slot files seen after the last frame
  char problem[512];
};

// The buttons that write: aimed at more often, so that saves, loads and
// edits really happen while the pop-ups holding them are open.
constexpr const char* kWriters[] = {"ROMSaveButton", "ROMLoadButton",     "SlotComboBox",
                                    "RAMPushButton", "RegPushButton",     "SaveButton",
                                    "ExecButton",    "MemoryMultiColumn", "MemoryMultiColumn_1"};

// Where the widget `name` was drawn in the last frame, in display units.
bool drawn(const Soak* s, const char* name, Velkor_DrawnRect* rect) {
  if (!Velkor_symbology_layer_find_widget(s->c, name, rect)) return false;
  rect->x /= s->pixels;
  rect->y /= s->pixels;
  rect->width /= s->pixels;
  rect->height /= s->pixels;
  return true;
}

// A point for the next pointer action: half the time inside a widget drawn
// in the last frame (a writer among them one time in four), else anywhere
// on the display.
void aim(Soak* s, float* x, float* y) {
  if (s->random.below(2) == 0) {
    const int32_t count = Velkor_symbology_layer_widget_count();
    Velkor_DrawnRect rect{};
    const char* name = s->random.below(4) == 0
                           ? kWriters[s->random.below(sizeof kWriters / sizeof kWriters[0])]
                           : Velkor_symbology_layer_widget_name(static_cast<int32_t>(
                                 s->random.below(static_cast<uint32_t>(count))));
    if (name != nullptr && drawn(s, name, &rect) && rect.width > 0 && rect.height > 0) {
      *x = s->random.between(rect.x, rect.x + rect.width);
      *y = s->random.between(rect.y, rect.y + rect.height);
      return;
    }
  }
  *x = s->random.between(0.0f, kWidth);
  *y = s->random.between(0.0f, kHeight);
}

void move(Soak* s, float x, float y) {
  Application_PostMousePosition(s->app, x, y);
  ++s->events;
}

void button(Soak* s, uint32_t which, uint32_t state) {
  Application_PostMouseButton(s->app, which, state, 0);
  ++s->events;
}

void key(Soak* s, uint32_t code, uint32_t modifiers) {
  Application_PostKey(s->app, code, kDown, modifiers);
  Application_PostKey(s->app, code, kUp, modifiers);
  s->events += 2;
}

// One frame's keys: a special key one time in five, a few typed characters
// one time in ten.
void post_keys(Soak* s) {
  const uint32_t keyboard = s->random.below(10);
  if (keyboard < 2) {
    key(s, kKeys[s->random.below(sizeof kKeys / sizeof kKeys[0])], s->random.below(8) == 0);
  } else if (keyboard < 3) {
    const uint32_t length = 1 + s->random.below(3);
    for (uint32_t i = 0; i < length; ++i) {
      key(s, static_cast<uint8_t>(kTyped[s->random.below(sizeof kTyped - 1)]), 0);
    }
  }
}

// A point inside the widget `name` as drawn in the last frame, kept off its
// edges by `margin` display units; false when it was not drawn.
bool point_in(Soak* s, const char* name, float margin, float* x, float* y) {
  Velkor_DrawnRect rect{};
  if (!drawn(s, name, &rect) || rect.width <= 2 * margin || rect.height <= 2 * margin) {
    return false;
  }
  *x = s->random.between(rect.x + margin, rect.x + rect.width - margin);
  *y = s->random.between(rect.y + margin, rect.y + rect.height - margin);
  return true;
}

// The next press of the errand, from the state the last frame left: each
// condition below is one that keeps the slot pop-up's buttons from working.
bool errand_target(Soak* s, float* x, float* y) {
  const Velkor_symbology_layer_context* c = s->c;
  Errand* e = &s->errand;
  if (c->continuousExecution) {
    // Continuous execution hides the table hover, so the slot pop-up cannot
    // open; its toggle is drawn only while the instruction set is unzoomed.
    return point_in(s,
                    c->instructionSetZoom ? "InstruktionenToggleButton" : "EnableExecToggleButton",
                    4.0f, x, y);
  }
  if (!c->PopUpPanel.isOpen || c->RAMPopUpPanel.isOpen || c->RegPopUpPanel.isOpen) {
    // A press on the ROM table's byte columns opens the slot pop-up and,
    // being outside them, closes the RAM and register pop-ups that could
    // lie over its buttons. The columns start 60 units into the table; the
    // band kept clear of its right part is where the RAM pop-up can lie.
    Velkor_DrawnRect table{};
    if (!drawn(s, "MemoryMultiColumn", &table)) return false;
    *x = s->random.between(table.x + 66.0f, table.x + 150.0f);
    *y = s->random.between(table.y + 12.0f, table.y + table.height - 50.0f);
    return true;
  }
  if (c->SlotComboBox.open) {
    // One of the rows of the open list below the box.
    Velkor_DrawnRect box{};
    if (!drawn(s, "SlotComboBox", &box)) return false;
    const float list = Velkor_ComboBox_listHeight(&c->SlotComboBox);
    *x = s->random.between(box.x + 4.0f, box.x + box.width - 4.0f);
    *y = s->random.between(box.y - list + 4.0f, box.y - 4.0f);
    e->choose_slot = false;
    return true;
  }
  if (e->choose_slot) return point_in(s, "SlotComboBox", 4.0f, x, y);
  return point_in(s, e->goal == Goal::kSave ? "ROMSaveButton" : "ROMLoadButton", 4.0f, x, y);
}

// The errand's pointer input for one frame: a few moves, then the current
// step's rest, press or release at its point.
void errand_frame(Soak* s) {
  Errand* e = &s->errand;
  const uint32_t moves = 2 + s->random.below(4);
  for (uint32_t i = 0; i < moves; ++i) {
    move(s, s->random.between(0.0f, kWidth), s->random.between(0.0f, kHeight));
  }
  if (++e->frames <= kErrandDrain) return;
  switch (e->step) {
    case Step::kAim:
      if (e->frames > kErrandFrames || !errand_target(s, &e->x, &e->y)) {
        e->goal = Goal::kNone;  // given up: the random input goes on
        return;
      }
      move(s, e->x, e->y);
      e->step = Step::kPress;
      return;
    case Step::kPress:
      move(s, e->x, e->y);
      button(s, 1, kDown);
      e->step = Step::kRelease;
      return;
    case Step::kRelease:
      move(s, e->x, e->y);
      button(s, 1, kUp);
      e->step = Step::kAim;
      return;
  }
}

// A load only where the current slot has a file (else a save): the slot
// list may still move it to a slot without one, which must load nothing.
void start_errand(Soak* s) {
  Errand* e = &s->errand;
  *e = Errand{};
  char name[16];
  snprintf(name, sizeof name, "slot%u.csv", s->c->slot + 1);
  const bool loadable = access(name, F_OK) == 0;
  e->goal = loadable && s->random.below(2) == 0 ? Goal::kLoad : Goal::kSave;
  e->choose_slot = s->random.below(3) == 0;
}

// One frame's input. The host hands one queued pointer and one queued key
// event to each frame, so queued events come at about one per frame each;
// moves only set the position and come many at a time.
void post_frame_events(Soak* s) {
  if (s->errand.goal == Goal::kNone && s->random.below(kErrandChance) == 0) start_errand(s);
  if (s->errand.goal != Goal::kNone) {
    errand_frame(s);
    post_keys(s);
    return;
  }
  float x = 0.0f;
  float y = 0.0f;
  aim(s, &x, &y);
  const uint32_t moves = 6 + s->random.below(9);
  for (uint32_t i = 0; i < moves; ++i) {
    move(s, s->random.between(0.0f, kWidth), s->random.between(0.0f, kHeight));
  }
  move(s, x, y);
  const uint32_t pointer = s->random.below(20);
  if (pointer < 5) {  // click
    button(s, 1, kDown);
    button(s, 1, kUp);
  } else if (pointer < 7) {
    button(s, 1, kDown);
  } else if (pointer < 9) {
    button(s, 1, kUp);
  } else if (pointer < 10) {
    button(s, 4 + s->random.below(2), kDown);  // a wheel notch has no release
  }
  post_keys(s);
}

bool fail(Soak* s, const char* what, const char* text) {
  snprintf(s->problem, sizeof s->problem, "%s: \"%.40s\"", what, text);
  return false;
}

bool terminated(const char* text, size_t size) {
  return memchr(text, '\0', size) != nullptr;
}

bool hex_digits(const char* text, size_t digits) {
  for (size_t i = 0; i < digits; ++i) {
    const char ch = text[i];
    if (!((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'))) return false;
  }
  return text[digits] == '\0';
}

bool cells_terminated(Soak* s) {
  const Velkor_symbology_layer_context* c = s->c;
  const TextCell* texts[] = {&c->sourceEditText,
                             &c->sourceOperandText,
                             &c->assemblerText,
                             &c->bitString,
                             &c->machineWordText,
                             &c->decodedSourceText,
                             &c->extension1Text,
                             &c->destinationEditText,
                             &c->destinationOperandText,
                             &c->decodedDestinationText,
                             &c->extension2Text,
                             &c->registerEditText,
                             &c->registerValueText,
                             &c->ramEditText,
                             &c->ramValueText};
  for (const TextCell* text : texts) {
    if (!terminated(*text, sizeof *text)) return fail(s, "text not terminated", "");
  }
  const AddressText* addresses[] = {&c->sourceBaseText,       &c->sourceIndexText,
                                    &c->sourceAddressText,    &c->destinationAddressText,
                                    &c->destinationIndexText, &c->destinationBaseText};
  for (const AddressText* text : addresses) {
    if (!terminated(*text, sizeof *text)) return fail(s, "address text not terminated", "");
  }
  if (!terminated(c->slotMessage, sizeof c->slotMessage)) {
    return fail(s, "slot message not terminated", "");
  }
  return true;
}

bool texts_in_format(Soak* s) {
  const Velkor_symbology_layer_context* c = s->c;
  if (!cells_terminated(s)) return false;
  for (const TextCell& r : c->registers) {
    if (!terminated(r, sizeof r) || !hex_digits(r, 4)) return fail(s, "register not 4 hex", r);
  }
  for (const MemoryRow* table : {c->romRows, c->ramRows}) {
    for (int32_t row = 0; row < kMemoryRowCount; ++row) {
      for (const TextCell& cell : table[row].cells) {
        if (!terminated(cell, sizeof cell)) return fail(s, "table cell not terminated", "");
      }
      if (!hex_digits(table[row].cells[0], 4))
        return fail(s, "address not 4 hex", table[row].cells[0]);
      for (int32_t col = 1; col <= 2; ++col) {
        if (!hex_digits(table[row].cells[col], 2)) {
          return fail(s, "table cell not 2 hex", table[row].cells[col]);
        }
      }
    }
  }
  for (const PortCell& p : c->ports) {
    if (!terminated(p, sizeof p)) return fail(s, "port not terminated", "");
    if (p[0] != '\0' && (p[0] != '0' || p[1] != 'x' || !hex_digits(p + 2, 2))) {
      return fail(s, "port not 0x%02X", p);
    }
  }
  return true;
}

bool selections_in_range(Soak* s) {
  const Velkor_symbology_layer_context* c = s->c;
  struct Rule {
    const char* name;
    uint32_t value;
    uint32_t count;
  };
  const Rule rules[] = {
      {"instructionFormat", c->instructionFormat, kFormatNone + 1},
      {"dualOperation", c->dualOperation, kDualOperationCount},
      {"singleOperation", c->singleOperation, kSingleOperationCount},
      {"jumpOperation", c->jumpOperation, kJumpOperationCount},
      {"emulatedOperation", c->emulatedOperation, kEmulatedOperationCount},
      {"sourceMode", c->sourceMode, kModeCount},
      {"destinationMode", c->destinationMode, kDestinationModeCount},
      {"sourceRegister", c->sourceRegister, kRegisterCount},
      {"destinationRegister", c->destinationRegister, kRegisterCount},
      {"sourceAddressRegister", c->sourceAddressRegister, kRegisterCount},
      {"destinationAddressRegister", c->destinationAddressRegister, kRegisterCount},
      {"registerIndex", c->registerIndex, kRegisterCount},
      {"speed", c->speed, kSpeedFast + 1},
      {"slot", c->slot, 10},
      {"decodedFormat", c->decodedFormat, kFormatNone + 1},
      {"decodedDualOperation", c->decodedDualOperation, kDualOperationCount},
      {"decodedSingleOperation", c->decodedSingleOperation, kOpSingleUnused + 1},
      {"decodedJumpOperation", c->decodedJumpOperation, kJumpOperationCount},
      {"decodedEmulatedOperation", c->decodedEmulatedOperation, kEmulatedOperationCount},
      {"decodedSourceMode", c->decodedSourceMode, kModeCount},
      {"decodedDestinationMode", c->decodedDestinationMode, kModeCount},
      {"decodedSourceRegister", c->decodedSourceRegister, kRegisterCount},
      {"decodedDestinationRegister", c->decodedDestinationRegister, kRegisterCount},
      {"romMarker.row", c->romMarker.row, kTableLineCount + 1},
      {"ramMarker.row", c->ramMarker.row, kTableLineCount + 1},
      {"romSelection row", static_cast<uint32_t>(c->romSelection[0] + 1), kTableLineCount + 2},
      {"ramSelection row", static_cast<uint32_t>(c->ramSelection[0] + 1), kTableLineCount + 2},
  };
  for (const Rule& rule : rules) {
    if (rule.value >= rule.count) {
      snprintf(s->problem, sizeof s->problem, "%s = %u out of range", rule.name, rule.value);
      return false;
    }
  }
  return true;
}

// Every slotN.csv in the slot directory has its 64 lines.
bool slot_files_complete(Soak* s) {
  s->slot_files = 0;
  DIR* dir = opendir(".");
  if (dir == nullptr) return fail(s, "slot directory unreadable", "");
  bool ok = true;
  while (const dirent* entry = readdir(dir)) {
    unsigned number = 0;
    char tail[8] = "";
    if (sscanf(entry->d_name, "slot%u.%7s", &number, tail) != 2 || strcmp(tail, "csv") != 0) {
      continue;
    }
    FILE* file = fopen(entry->d_name, "rb");
    int lines = 0;
    if (file != nullptr) {
      for (int ch = fgetc(file); ch != EOF; ch = fgetc(file)) lines += ch == '\n';
      fclose(file);
    }
    ++s->slot_files;
    if (lines != kTableLineCount) {
      ok = fail(s, "slot file incomplete", entry->d_name);
      break;
    }
  }
  closedir(dir);
  return ok;
}

// The word of ROM row `row` as the panel keeps it (high and low cell).
uint16_t rom_word(const Velkor_symbology_layer_context* c, int32_t row) {
  const unsigned long high = strtoul(c->romRows[row].cells[1], nullptr, 16);
  const unsigned long low = strtoul(c->romRows[row].cells[2], nullptr, 16);
  return static_cast<uint16_t>(((high << 8) | (low & 0xFF)) & 0xFFFF);
}

// Whether the slot file `name` holds exactly the ROM rows, line by line
// ("%04X;%04X;\"\"" from FFFE down).
bool file_holds_rom(Soak* s, const char* name) {
  FILE* file = fopen(name, "rb");
  if (file == nullptr) return fail(s, "slot file missing", name);
  char line[64];
  char want[64];
  int32_t row = 0;
  bool ok = true;
  for (; ok && row < kMemoryRowCount; ++row) {
    if (fgets(line, sizeof line, file) == nullptr) break;
    line[strcspn(line, "\r\n")] = '\0';
    snprintf(want, sizeof want, "%04X;%04X;\"\"", 0xFFFE - 2 * row, rom_word(s->c, row));
    if (strcmp(line, want) != 0) {
      snprintf(s->problem, sizeof s->problem, "%s line %d \"%s\", ROM row \"%s\"", name, row + 1,
               line, want);
      ok = false;
    }
  }
  fclose(file);
  if (ok && row != kMemoryRowCount) return fail(s, "slot file short", name);
  return ok;
}

// A save or a load ran in this frame: the slot pop-up was open, so its
// children ran, and its button fired. Afterwards the chosen slot's file and
// the ROM rows must agree: the save wrote the whole ROM, the load read the
// whole file (written by an earlier save of this run).
bool slot_work_fine(Soak* s) {
  const Velkor_symbology_layer_context* c = s->c;
  if (!c->PopUpPanel.isOpen || !(c->saveToSlot || c->loadFromSlot)) return true;
  s->errand.goal = Goal::kNone;  // the button fired: the errand is done
  char name[16];
  snprintf(name, sizeof name, "slot%u.csv", c->slot + 1);
  if (c->saveToSlot) {
    ++s->saves;
    return file_holds_rom(s, name);
  }
  if (access(name, F_OK) != 0) return true;  // nothing to load: the ROM stays
  ++s->loads;
  return file_holds_rom(s, name);
}

bool error_log_fine(Soak* s) {
  const sgl_error_log& log = sglGetCurrentContext()->errors;
  if (!log.overflow) return true;
  snprintf(s->problem, sizeof s->problem, "graphics error log overflowed (first code %u)",
           log.count > 0 ? static_cast<unsigned>(log.entries[0].code) : 0u);
  return false;
}

bool frame_fine(Soak* s) {
  return texts_in_format(s) && selections_in_range(s) && slot_files_complete(s) &&
         slot_work_fine(s) && error_log_fine(s);
}

constexpr const char kUsage[] =
    "usage: velkor-soak [--frames N] [--seed S] [--full-size] [--keep-dir] [--dir DIR]\n"
    "\n"
    "The whole velkor program off-screen under random input, every frame's\n"
    "invariants checked.\n"
    "  --frames N   frames to run, 1 to 10000000 (default 3000)\n"
    "  --seed S     the random input's seed, a whole number (default 1)\n"
    "  --full-size  draw into the whole 1280 x 768 buffer (same state, slower)\n"
    "  --dir DIR    run in the existing slot folder DIR and keep it\n"
    "  --keep-dir   keep the fresh slot folder (under $TMPDIR, else /tmp)\n"
    "  --help       this text\n"
    "Exit status: 0 every rule kept, 1 a rule broke, no OpenGL buffer or stopped\n"
    "by SIGINT/SIGTERM, 2 a bad command line. The fresh slot folder is removed\n"
    "on every one of these ends unless --keep-dir is given.\n";

constexpr unsigned long long kMaxFrames = 10000000ull;

// A whole decimal number: digits only, no sign, no blanks, within max.
bool read_number(const char* text, unsigned long long max, unsigned long long* out) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || value > max) return false;
  *out = value;
  return true;
}

int refuse(const std::string& what) {
  fprintf(stderr, "velkor-soak: %s (velkor-soak --help)\n", what.c_str());
  return 2;
}

// Set by SIGINT and SIGTERM: the frame loop ends and the run cleans up.
volatile sig_atomic_t g_stop = 0;

void stop_soon(int) {
  g_stop = 1;
}

int remove_entry(const char* path, const struct stat*, int, FTW*) {
  return remove(path);
}

// The fresh slot folder and everything the run left in it.
void remove_folder(const char* dir) {
  if (nftw(dir, remove_entry, 16, FTW_DEPTH | FTW_PHYS) != 0) {
    fprintf(stderr, "velkor-soak: %s left behind\n", dir);
  }
}

// The run itself, in the slot folder (the current directory); its exit status.
int soak(unsigned long frames, unsigned long long seed, bool small, const char* program,
         const char* dir) {
  Soak s{};
  s.random.state = seed * 0x9E3779B97F4A7C15ULL + 1;
  ApplicationParams params = g_application_data;
  s.app = Application_Allocate(&params, program);
  if (s.app == nullptr) return 1;
  Application_UseSystemEvents(s.app, 1);
  if (Application_CreateBuffer(s.app) == nullptr) {
    fprintf(stderr, "velkor-soak: no off-screen OpenGL buffer\n");
    Application_Free(s.app);
    return 1;
  }
  // A small viewport keeps the frames cheap: the panel is drawn scaled down
  // as into a small window, and lays out, clips and hit-tests in its 1280 x
  // 768 display units exactly as at full size.
  s.pixels = small ? 0.25f : 1.0f;
  if (small && !Application_SetBufferViewport(s.app, static_cast<int32_t>(params.width / 4),
                                              static_cast<int32_t>(params.height / 4))) {
    fprintf(stderr, "velkor-soak: no small viewport\n");
    Application_Free(s.app);
    return 1;
  }
  Application_Reset(s.app);
  s.c = static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(s.app, 0));
  Application_Draw(s.app);  // the first frame places the widgets
  int status = 0;
  unsigned long frame = 0;
  for (; frame < frames; ++frame) {
    if (g_stop) {
      fprintf(stderr, "velkor-soak: stopped by a signal after %lu frames\n", frame);
      status = 1;
      break;
    }
    post_frame_events(&s);
    Application_Draw(s.app);
    // The instruction and machine-code pop-ups are always shown; these three
    // open only when a click reaches the table or register under them.
    const Velkor_symbology_layer_context* c = s.c;
    s.popup_frames += c->PopUpPanel.isOpen | c->RAMPopUpPanel.isOpen | c->RegPopUpPanel.isOpen;
    if (!frame_fine(&s)) {
      fprintf(stderr, "velkor-soak: seed %llu frame %lu: %s\n", seed, frame, s.problem);
      status = 1;
      break;
    }
  }
  // A digest of the panel's state fields: equal seeds give equal digests,
  // whatever the buffer's size.
  uint64_t digest = 1469598103934665603ULL;
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.c);
  for (size_t i = 0; i < offsetof(Velkor_symbology_layer_context, ExecutionAnimation); ++i) {
    digest = (digest ^ bytes[i]) * 1099511628211ULL;
  }
  Application_Free(s.app);
  printf(
      "velkor-soak: state digest %016llx, %llu frames with a pop-up open, %llu saves, %llu loads, "
      "%d slot files\n",
      static_cast<unsigned long long>(digest), static_cast<unsigned long long>(s.popup_frames),
      static_cast<unsigned long long>(s.saves), static_cast<unsigned long long>(s.loads),
      s.slot_files);
  printf("velkor-soak: seed %llu, %lu frames, %llu events, %s (slot directory %s)\n", seed, frame,
         static_cast<unsigned long long>(s.events), status == 0 ? "all rules kept" : "FAILED", dir);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long long frames = 3000;
  unsigned long long seed = 1;
  bool keep_dir = false;
  bool small = true;
  const char* given_dir = nullptr;  // an existing slot directory, left as it is
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--help" || arg == "-h") {
      fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--frames") {
      if (!read_number(value, kMaxFrames, &frames) || frames == 0) {
        return refuse("--frames needs a whole number from 1 to 10000000");
      }
      ++i;
    } else if (arg == "--seed") {
      if (!read_number(value, ~0ull, &seed)) return refuse("--seed needs a whole number");
      ++i;
    } else if (arg == "--full-size") {
      small = false;
    } else if (arg == "--keep-dir") {
      keep_dir = true;
    } else if (arg == "--dir") {
      if (value == nullptr || value[0] == '\0') return refuse("--dir needs a folder");
      given_dir = argv[++i];
    } else {
      return refuse("unknown argument \"" + Velkor_Excerpt(arg) + "\"");
    }
  }
  // From the folder's making on, every end goes through the clean-up below,
  // a signal's too.
  signal(SIGINT, stop_soon);
  signal(SIGTERM, stop_soon);
  const char* tmp = getenv("TMPDIR");
  std::string made =
      std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/velkor-soak-XXXXXX";
  const char* dir = given_dir != nullptr ? given_dir : mkdtemp(&made[0]);
  keep_dir = keep_dir || given_dir != nullptr;
  if (dir == nullptr || chdir(dir) != 0) {
    fprintf(stderr, "velkor-soak: cannot make a slot directory\n");
    if (dir != nullptr && !keep_dir) remove_folder(dir);
    return 1;
  }
  const int status = soak(static_cast<unsigned long>(frames), seed, small, argv[0], dir);
  if (!keep_dir && chdir("/") == 0) remove_folder(dir);
  return status;
}
