// The selectors' texts.
#include "panel/Velkor_vocabulary.h"

#include "core/mycode.h"

namespace {

template <int32_t N>
constexpr Velkor_Words words(const char* const (&items)[N]) {
  return {items, N};
}

const char* const kFormatItems[] = {"Double Operand", "Single Operand", "Jump", "Emulated",
                                    "---no instruction---"};
const char* const kDualItems[] = {"MOV",  "ADD", "ADDC", "SUBC", "SUB", "CMP",
                                  "DADD", "BIT", "BIC",  "BIS",  "XOR", "AND"};
const char* const kSingleItems[] = {"RRC", "SWPB", "RRA", "SXT", "PUSH", "CALL", "RETI"};
const char* const kJumpItems[] = {"JNE / JNZ", "JEQ / JZ", "JNC / JLO", "JC / JHS",
                                  "JN",        "JGE",      "JL",        "JMP"};
const char* const kEmulatedItems[] = {"DEC", "INC", "NOP", "POP", "RET",
                                      "RLC", "RLA", "CLR", "TST"};
const char* const kModeItems[] = {"Register", "Indexed",           "Symbolic",
                                  "Absolute", "Indirect register", "Indirect autoincrement",
                                  "Immediate"};
const char* const kRegisterItems[] = {"R0 (PC)", "R1 (SP)", "R2 (SR)", "R3", "R4",  "R5",
                                      "R6",      "R7",      "R8",      "R9", "R10", "R11",
                                      "R12",     "R13",     "R14",     "R15"};
const char* const kRegisterFileItems[] = {"R0/PC", "R1/SP", "R2/SR/CG1", "R3/CG2", "R4",  "R5",
                                          "R6",    "R7",    "R8",        "R9",     "R10", "R11",
                                          "R12",   "R13",   "R14",       "R15"};
const char* const kSpeedItems[] = {"Slow", "Medium", "Fast"};
const char* const kSlotItems[] = {"Slot 1", "Slot 2", "Slot 3", "Slot 4", "Slot 5",
                                  "Slot 6", "Slot 7", "Slot 8", "Slot 9", "Slot 10"};

static_assert(sizeof kFormatItems / sizeof kFormatItems[0] == kFormatNone + 1, "formats");
static_assert(sizeof kDualItems / sizeof kDualItems[0] == kDualOperationCount, "dual");
static_assert(sizeof kSingleItems / sizeof kSingleItems[0] == kSingleOperationCount, "single");
static_assert(sizeof kJumpItems / sizeof kJumpItems[0] == kJumpOperationCount, "jumps");
static_assert(sizeof kEmulatedItems / sizeof kEmulatedItems[0] == kEmulatedOperationCount,
              "emulated");
static_assert(sizeof kModeItems / sizeof kModeItems[0] == kModeCount, "modes");
static_assert(sizeof kRegisterItems / sizeof kRegisterItems[0] == kRegisterCount, "registers");
static_assert(sizeof kRegisterFileItems / sizeof kRegisterFileItems[0] == kRegisterCount,
              "register file");
static_assert(sizeof kSlotItems / sizeof kSlotItems[0] == kSlotFileCount, "slots");

}  // namespace

const Velkor_Words kVelkorFormats = words(kFormatItems);
const Velkor_Words kVelkorDualOperations = words(kDualItems);
const Velkor_Words kVelkorSingleOperations = words(kSingleItems);
const Velkor_Words kVelkorJumpOperations = words(kJumpItems);
const Velkor_Words kVelkorEmulatedOperations = words(kEmulatedItems);
const Velkor_Words kVelkorModes = words(kModeItems);
const Velkor_Words kVelkorRegisters = words(kRegisterItems);
const Velkor_Words kVelkorRegisterFile = words(kRegisterFileItems);
const Velkor_Words kVelkorSpeeds = words(kSpeedItems);
const Velkor_Words kVelkorSlots = words(kSlotItems);

const char* Velkor_word(const Velkor_Words& words, uint32_t index) {
  return index < static_cast<uint32_t>(words.count) ? words.items[index] : "";
}

const Velkor_Words* Velkor_operation_words(uint32_t format) {
  switch (format) {
    case kFormatDoubleOperand:
      return &kVelkorDualOperations;
    case kFormatSingleOperand:
      return &kVelkorSingleOperations;
    case kFormatJump:
      return &kVelkorJumpOperations;
    case kFormatEmulated:
      return &kVelkorEmulatedOperations;
    default:
      return nullptr;
  }
}

const char* Velkor_operation_word(uint32_t format, uint32_t index) {
  const Velkor_Words* words = Velkor_operation_words(format);
  return words != nullptr ? Velkor_word(*words, index) : "";
}
