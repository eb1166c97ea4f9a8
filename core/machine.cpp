// The initial machine with its demonstration program, and the helpers that
// run the core operations over the machine and selection records the way
// the panel wires them.
#include <cstring>

#include "core/mycode.h"
#include "core/mycode_internal.h"

using namespace core_detail;

namespace {

// A single bit moving right through R4: each pass of the delay loop ends
// with DEC R5 reaching 0 (C = 0), so RRC shifts a 0 in; when the bit falls
// out into C, JC reloads 0x8000.
const struct {
  uint32_t address;
  uint32_t word;
} kDemonstrationProgram[] = {
    {0xFF80, 0x4031}, {0xFF82, 0x0280},  // MOV  #0x0280,SP
    {0xFF84, 0x4034}, {0xFF86, 0x8000},  // MOV  #0x8000,R4
    {0xFF88, 0x12B0}, {0xFF8A, 0xFF92},  // CALL #0xFF92
    {0xFF8C, 0x1004},                    // RRC  R4
    {0xFF8E, 0x2FFA},                    // JHS  -6 (0xFF84)
    {0xFF90, 0x3FFB},                    // JMP  -5 (0xFF88)
    {0xFF92, 0x4035}, {0xFF94, 0x0003},  // MOV  #0x0003,R5
    {0xFF96, 0x8315},                    // DEC  R5
    {0xFF98, 0x23FE},                    // JNE  -2 (0xFF96)
    {0xFF9A, 0x4130},                    // RET
    {0xFFD0, 0x1300},                    // RETI: the NMI handler
    {0xFFFC, 0xFFD0},                    // NMI vector
    {0xFFFE, 0xFF80},                    // reset vector
};

void init_rows(MemoryRow* rows, uint32_t topAddress, uint32_t fill) {
  for (int r = 0; r < kMemoryRowCount; ++r) {
    WriteHex4(rows[r].cells[kRowAddressCell], topAddress - 2u * static_cast<uint32_t>(r));
    WriteWordToRow(&rows[r], fill);
    for (int c = kRowLowCell + 1; c < kMemoryRowCells; ++c) {
      memcpy(rows[r].cells[c], "Cell", 5);
    }
  }
}

bool has_source_operand(const InstructionSelection* s) {
  return s->format == kFormatDoubleOperand ||
         (s->format == kFormatSingleOperand &&
          (s->singleOperation == kOpPUSH || s->singleOperation == kOpCALL));
}

bool has_destination_operand(const InstructionSelection* s) {
  return s->format == kFormatDoubleOperand ||
         (s->format == kFormatSingleOperand && s->singleOperation < kOpPUSH) ||
         (s->format == kFormatEmulated && s->emulatedOperation != kOpNOP &&
          s->emulatedOperation != kOpRET);
}

// A selection the assembler refuses (or a word that did not decode) leaves
// no machine word rather than the previous one.
void forget_words(AssembledInstruction* a) {
  a->word[0] = a->extension1[0] = a->extension2[0] = 0;
}

}  // namespace

void InitMachine(MachineState* m) {
  memset(m, 0, sizeof *m);
  WriteHex4(m->registers[0], 0xFF80);
  for (int i = 1; i < kRegisterCount; ++i) WriteHex4(m->registers[i], 0);
  for (int i = 0; i < kRegisterCount; ++i) m->highlight[i] = kHighlightIdle;
  init_rows(m->ram, 0x027E, 0x0000);
  init_rows(m->rom, 0xFFFE, 0xFFFF);
  for (const auto& entry : kDemonstrationProgram) {
    WriteWordToRow(&m->rom[RomRow(entry.address)], entry.word);
  }
  for (int i = 0; i < kPortCellCount; ++i) memcpy(m->ports[i], "0x00", 5);
  m->ramMarker = {0, 3};
  m->romMarker = {63, 0};
}

void InitSelection(InstructionSelection* s) {
  memset(s, 0, sizeof *s);
  s->format = kFormatNone;
  s->wordOperation = 1;
}

void InitDecoded(DecodedInstruction* d) {
  memset(d, 0, sizeof *d);
  d->format = kFormatNone;
}

uint16_t ReadMemoryWord(const MemoryRow* ram, const MemoryRow* rom, const PortCell* ports,
                        uint32_t address) {
  return static_cast<uint16_t>(ReadWord(ram, rom, ports, address, kRadixHex));
}

uint8_t SourceHasExtensionWord(uint32_t sourceMode, const char* sourceText) {
  if (sourceMode >= kModeIndexed && sourceMode <= kModeAbsolute) return 1;
  if (sourceMode != kModeImmediate) return 0;
  if (sourceText != nullptr && !Terminated(sourceText, kTextCellSize)) return 0;
  return FindConstantGenerator(ParseHex(sourceText, kTextCellSize) & 0xFFFF) == nullptr;
}

void DisassembleAtPC(const MachineState* m, DecodedInstruction* d) {
  Disassemble(m->registers[0], m->rom, &d->format, &d->dualOperation, &d->singleOperation,
              &d->jumpOperation, &d->emulatedOperation, &d->sourceMode, &d->sourceRegister,
              &d->destinationMode, &d->destinationRegister, &d->pcOffset, d->sourceText,
              d->destinationText, &d->resetRequest, &d->wordFlag);
}

void LoadDecodedSelection(const DecodedInstruction* d, InstructionSelection* s) {
  s->format = d->format;
  s->dualOperation = d->dualOperation;
  s->singleOperation = d->singleOperation;
  s->jumpOperation = d->jumpOperation;
  s->emulatedOperation = d->emulatedOperation;
  s->sourceMode = d->sourceMode;
  s->sourceRegister = d->sourceRegister;
  s->destinationMode = d->destinationMode;
  s->destinationRegister = d->destinationRegister;
  s->pcOffset = d->pcOffset;
  s->wordOperation = d->wordFlag;
  memcpy(s->sourceEditText, d->sourceText, kTextCellSize);
  memcpy(s->destinationEditText, d->destinationText, kTextCellSize);
  HexConv(s->sourceEditText, s->sourceText, nullptr, &s->sourceValid);
  HexConv(s->destinationEditText, s->destinationText, nullptr, &s->destinationValid);
}

void UpdateAddressUnits(const InstructionSelection* s, const TextCell* registers,
                        AddressUnit* source, AddressUnit* destination) {
  source->shown = has_source_operand(s) && s->sourceMode != kModeRegister;
  destination->shown = has_destination_operand(s) && s->destinationMode != kModeRegister;
  if (source->shown) {
    AddressCalc(s->sourceMode, static_cast<int32_t>(s->sourceRegister), s->sourceText, registers, 0,
                &source->shownRegister, source->base, source->index, source->address);
  }
  if (destination->shown) {
    // The destination's extension word comes second only when the source
    // really occupies one; an address unit shown for @Rn, @Rn+ or a
    // constant does not.
    uint8_t after = source->shown && SourceHasExtensionWord(s->sourceMode, s->sourceText);
    AddressCalc(s->destinationMode, static_cast<int32_t>(s->destinationRegister),
                s->destinationText, registers, after, &destination->shownRegister,
                destination->base, destination->index, destination->address);
  }
}

void AssembleSelection(const InstructionSelection* s, const AddressUnit* source,
                       const AddressUnit* destination, AssembledInstruction* out) {
  Assemble(s->format, s->dualOperation, s->singleOperation, s->jumpOperation, s->emulatedOperation,
           s->sourceMode, s->sourceRegister, static_cast<int32_t>(s->destinationMode),
           s->destinationRegister, s->pcOffset, s->sourceText, s->destinationText, s->wordOperation,
           source->index, destination->index, out->text, out->bits, out->word, out->extension1,
           out->extension2);
}

void ExecuteSelection(const InstructionSelection* s, const AddressUnit* source,
                      const AddressUnit* destination, MachineState* m) {
  Execute(s->format, s->dualOperation, s->singleOperation, s->jumpOperation, s->emulatedOperation,
          static_cast<int32_t>(s->sourceMode), static_cast<int32_t>(s->sourceRegister),
          static_cast<int32_t>(s->destinationMode), static_cast<int32_t>(s->destinationRegister),
          s->pcOffset, s->sourceText, m->registers, m->ram, m->rom, s->wordOperation,
          source->address, destination->address, m->ports, m->registers, m->highlight, m->ram,
          &m->ramMarker, &m->ramMarkerOn, &m->romMarker, &m->romMarkerOn, m->statusFlags, m->ports);
}

void InitSimulator(Simulator* s) {
  memset(s, 0, sizeof *s);
  InitMachine(&s->machine);
  InitSelection(&s->selection);
  InitDecoded(&s->decoded);
}

bool FetchDecode(Simulator* s) {
  DisassembleAtPC(&s->machine, &s->decoded);
  if (s->decoded.resetRequest) {
    forget_words(&s->assembled);
    return false;
  }
  LoadDecodedSelection(&s->decoded, &s->selection);
  AssembleSelected(s);
  return true;
}

void AssembleSelected(Simulator* s) {
  UpdateAddressUnits(&s->selection, s->machine.registers, &s->source, &s->destination);
  forget_words(&s->assembled);
  AssembleSelection(&s->selection, &s->source, &s->destination, &s->assembled);
}

void ExecuteSelected(Simulator* s) {
  ExecuteSelection(&s->selection, &s->source, &s->destination, &s->machine);
}

void ResetMachine(MachineState* m, uint8_t* phase, DecodedInstruction* decoded) {
  uint8_t ignoredPhase = 0;
  Reset(m->rom, m->registers, m->ram, &m->ramMarker, &m->ramMarkerOn, &m->romMarker,
        &m->romMarkerOn, m->statusFlags, phase != nullptr ? phase : &ignoredPhase,
        decoded != nullptr ? &decoded->format : nullptr);
}
