// The classroom additions' own drawing: the F1 hint beside the version
// line, the breakpoint message, and the F1 help pop-up over the panel.
#include "panel/Velkor_classroom_draw.h"

#include <cstring>

#include "graphics/sgl.h"
#include "panel/Velkor_palette_internal.h"

namespace {

// Right above the version line (its text stands on y -367), in the free
// strip under the P2 block and below where the info pop-up opens (y -336),
// so that the pop-up never cuts it.
constexpr float kHintX = 617.0f;
constexpr float kHintY = -351.0f;
const char kHintText[] = "F1: Hilfe";

// Between the speed selector and the ROM table, level with the state text.
constexpr float kMessageX = 88.0f;
constexpr float kMessageY = 48.0f;

// The help pop-up: a plate over the middle of the panel.
constexpr float kHelpX = -330.0f;
constexpr float kHelpY = -241.0f;
constexpr float kHelpWidth = 660.0f;
constexpr float kHelpHeight = 452.0f;
constexpr float kHelpLine = 26.0f;
constexpr float kHelpKeyX = 24.0f;
constexpr float kHelpTextX = 250.0f;

struct HelpLine {
  const char* keys;
  const char* meaning;
};
const HelpLine kHelpLines[] = {
    {"F5", "FETCH Instruction & DECODE Instruction"},
    {"F6", "EXECUTE Instruction"},
    {"F7", "eine ganze Instruktion (FETCH/DECODE und EXECUTE)"},
    {"F8", "Continous Execution ein / aus"},
    {"F9", "Haltepunkt in der ausgew\xe4hlten ROM-Zeile ein / aus"},
    {"Rechtsklick auf Adresse", "Haltepunkt in dieser ROM-Zeile ein / aus"},
    {"Strg+Z",
     "Schritt zur\xfc"
     "ck: die letzte Aktion zur\xfc"
     "cknehmen"},
    {"Strg+Y, Strg+Umschalt+Z",
     "Schritt vor: die zur\xfc"
     "ckgenommene Aktion wiederholen"},
    {"Mausrad", "ROM, RAM, Register und Listen bl\xe4ttern"},
    {"Pfeiltasten", "Sprung-Offset (Slider) um einen Schritt"},
    {"Enter",
     "Wert im Eingabefeld \xfc"
     "bernehmen"},
    {"F11", "Fenster / Vollbild"},
    {"F1, Esc oder Klick",
     "diese Hilfe schlie\xdf"
     "en"},
};
const char kHelpTitle[] = "Tastatur und Maus";
const char kHelpFooter[] =
    "Ein laufendes Programm h\xe4lt vor dem FETCH an einer Adresse mit Haltepunkt an.";

void fill(float x, float y, float w, float h, int32_t color) {
  sglIndexColori(color);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(x, y);
  sglVertex2f(x + w, y);
  sglVertex2f(x + w, y + h);
  sglVertex2f(x, y + h);
  sglEnd();
}

void text(float x, float y, const char* t, int32_t font, int32_t color, uint32_t align) {
  sglIndexColori(color);
  sglIndexFonti(font);
  sglSetTextAlignment(align, kAlignBottom);
  sgluWriteText(x, y, t, static_cast<int32_t>(strlen(t)));
}

}  // namespace

void Velkor_classroom_init(Velkor_classroom* k) {
  // Cleared in place: the record holds the history's ring (over a megabyte),
  // which must never pass through the stack.
  memset(k, 0, sizeof *k);
  k->resumeRow = -1;
  Velkor_history_init(&k->history);
}

void Velkor_classroom_draw_main(const Velkor_symbology_layer_context* c) {
  text(kHintX, kHintY, kHintText, kFontSmall, kColorCream, kAlignRight);
  if (c->classroom.breakpointMessage[0] != '\0') {
    text(kMessageX, kMessageY, c->classroom.breakpointMessage, kFontSmall, kColorBreakpointMessage,
         kAlignCentre);
  }
}

bool Velkor_classroom_help_takes_press(Velkor_symbology_layer_context* c, uint8_t pressed) {
  if (!c->classroom.helpOpen || !pressed) return false;
  c->classroom.helpOpen = 0;
  return true;
}

void Velkor_classroom_draw_help(const Velkor_symbology_layer_context* c) {
  if (!c->classroom.helpOpen) return;
  fill(kHelpX - 2.0f, kHelpY - 2.0f, kHelpWidth + 4.0f, kHelpHeight + 4.0f, kColorGrey);
  fill(kHelpX, kHelpY, kHelpWidth, kHelpHeight, kColorPopUpFill);
  const float top = kHelpY + kHelpHeight;
  text(kHelpX + kHelpWidth / 2.0f, top - 36.0f, kHelpTitle, kFontCode, kColorWhite, kAlignCentre);
  float y = top - 76.0f;
  for (const HelpLine& line : kHelpLines) {
    text(kHelpX + kHelpKeyX, y, line.keys, kFontLabel, kColorLit, kAlignLeft);
    text(kHelpX + kHelpTextX, y, line.meaning, kFontSmall, kColorCream, kAlignLeft);
    y -= kHelpLine;
  }
  text(kHelpX + kHelpKeyX, y - 8.0f, kHelpFooter, kFontSmall, kColorCream, kAlignLeft);
}
