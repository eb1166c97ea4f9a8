// Velkor_vocabulary - the texts of the panel's selectors, once: the
// instruction formats, the operations of each format, the addressing
// modes, the registers, the speeds and the slots. The combo boxes and the
// radio box list them, and the state file names a selection by them, so a
// text changed here changes both alike.
//
//   const Velkor_Words& w = kVelkorDualOperations;
//   w.items[8]                                  // "BIC"
//   Velkor_word(kVelkorDualOperations, 8)       // "BIC"; "" beyond the list
//   Velkor_operation_word(kFormatJump, 7)       // "JMP"
//
// Constant data: any thread.
#pragma once

#include <cstdint>

// A selector's items in their order (the item's index is the field's value).
struct Velkor_Words {
  const char* const* items;
  int32_t count;
};

// "Double Operand" .. "Emulated", "---no instruction---" (kFormat...).
extern const Velkor_Words kVelkorFormats;
// The operations of each format (kOpDual..., kOpSingle..., kOpJump..., kOpEmulated...).
extern const Velkor_Words kVelkorDualOperations;
extern const Velkor_Words kVelkorSingleOperations;
extern const Velkor_Words kVelkorJumpOperations;
extern const Velkor_Words kVelkorEmulatedOperations;
// "Register" .. "Immediate" (kMode...); a destination lists the first four.
extern const Velkor_Words kVelkorModes;
// "R0 (PC)" .. "R15": the operand registers of the instruction pop-up.
extern const Velkor_Words kVelkorRegisters;
// "R0/PC" .. "R15": the registers of the register pop-up, with the
// constant generators named.
extern const Velkor_Words kVelkorRegisterFile;
// "Slow", "Medium", "Fast" (kSpeed...).
extern const Velkor_Words kVelkorSpeeds;
// "Slot 1" .. "Slot 10".
extern const Velkor_Words kVelkorSlots;

// Item `index` of `words`; "" for an index outside the list (a decoded word
// outside the selectors' vocabulary is no item at all, not some other one).
const char* Velkor_word(const Velkor_Words& words, uint32_t index);

// The operation selector of a format (null for "---no instruction---" or an
// unknown format), and the name of operation `index` in it ("" outside).
const Velkor_Words* Velkor_operation_words(uint32_t format);
const char* Velkor_operation_word(uint32_t format, uint32_t index);
