// mycode — the simulator core of Velkor.
//
// What it is
//   The target CPU (a 16-bit microcontroller) held only as the texts the panel
//   shows: sixteen register cells ("%04X"), 64 ROM rows (0xFFFE down to
//   0xFF80) and 64 RAM rows (0x027E down to 0x0200) of high/low byte cells
//   ("%02X"), eight port cells ("0x%02X"), the status flags V N Z C beside R2,
//   the register highlight colours and the two table markers. There is no
//   numeric copy of the machine: every operation re-parses the texts it needs
//   and writes its results back as text. The core allocates nothing, keeps no
//   state between calls and reports only through its output fields.
//
// How a frame uses it (the panel; the trace tool does the same headlessly)
//   every frame      Ports, then Assemble for the current selection,
//                    AddressCalc for each operand the address unit shows;
//   FETCH/DECODE     Disassemble at PC; answer a decoder reset request with
//                    Reset; load the decoded fields into the selection;
//   EXECUTE          Execute with the selection and the AddressCalc texts;
//   buttons/pop-ups  Save, Reset, NMI, HexConv, ChangeReg, ChangeRAM,
//                    ROMSave, ROMLoad.
//   The helpers at the end (InitMachine ... ExecuteSelected) bundle those
//   calls over the records below for the trace tool, tests and benchmark.
//
// Threads
//   Everything runs on the thread that draws the frames, one call at a time;
//   the core takes no locks.
//
// Memory map
//   0x0020..0x0022  P1IN P1OUT P1DIR  -> port cells 0..2
//   0x0028..0x002A  P2IN P2OUT P2DIR  -> port cells 4..6
//   0x0200..0x027F  RAM, 64 words     -> RAM rows, row = (0x027E - a) / 2
//   0xFF80..0xFFFF  ROM, 64 words     -> ROM rows, row = (0xFFFE - a) / 2
//   Everything else reads 0 and drops writes; instructions never write ROM.
//   Byte order is little-endian: the even address is a row's low-byte cell.
//
// Status register: SR keeps V (bit 8), N (bit 2), Z (bit 1), C (bit 0).
// The status flag bytes and SR's text are two copies: jumps test the bytes,
// ADDC, SUBC and RRC take their carry from SR's text.
//
// Flags as this machine teaches them (they differ from some real parts):
//   ADD/ADDC/SUB/SUBC/CMP  V: src and dst of one sign, result of the other
//                          (operands as they enter, also when subtracting);
//                          N bit 15; Z low 16 bits 0; C bit 16 of the 32-bit
//                          result, so a subtraction sets C when it BORROWS.
//   AND/BIT/XOR/SXT        C = result != 0; XOR's V = both operands negative.
//   Byte forms test the stored, masked result with the same bits 15 and 16;
//   CMP.B and BIT.B test the unmasked one.
//   MOV/BIC/BIS/SWPB leave the flags unless they write SR itself.
//
// Defensive rule: an index outside its vocabulary (format, the selected
// format's operation, mode, register, row, slot), a jump offset outside
// -512..511, or an input text without a terminator inside its buffer makes
// the operation do nothing at all: every text stays as it was.
#pragma once

#include <cstdint>
#include <cstdio>

// ---------------------------------------------------------------------------
// Machine-state types (the panel's layer context embeds these as they are)
// ---------------------------------------------------------------------------

enum {
  kTextCellSize = 255,    // one NUL-terminated text of the panel and the core
  kPortCellSize = 5,      // "0x%02X" and its terminator
  kAddressTextSize = 10,  // "0x%04X" texts of the address unit
  kRegisterCount = 16,
  kMemoryRowCount = 64,
  kMemoryRowCells = 8,  // [0] address, [1] high byte, [2] low byte, [3..7] "Cell"
  kPortCellCount = 8,   // P1IN P1OUT P1DIR spare P2IN P2OUT P2DIR spare
};
constexpr uint32_t kNoMarkedRow = 64;  // table marker row that highlights nothing

enum { kRowAddressCell = 0, kRowHighCell = 1, kRowLowCell = 2 };
enum { kFlagV = 0, kFlagN = 1, kFlagZ = 2, kFlagC = 3 };  // status flag bytes

// Register highlight colours (colour-table indices the panel frames with).
enum {
  kHighlightIdle = 6,
  kHighlightPC = 2,
  kHighlightSource = 61,
  kHighlightWritten = 11,
};

typedef char TextCell[kTextCellSize];
typedef char PortCell[kPortCellSize];
typedef char AddressText[kAddressTextSize];

struct MemoryRow {
  TextCell cells[kMemoryRowCells];
};

// Row and column of a table's highlighted cell; the core writes column 0.
struct TableMarker {
  uint32_t row;
  uint32_t column;
};

// Instruction vocabularies: the item orders of the panel's selectors.
enum InstructionFormat {
  kFormatDoubleOperand = 0,
  kFormatSingleOperand = 1,
  kFormatJump = 2,
  kFormatEmulated = 3,
  kFormatNone = 4,  // "---no instruction---"
};
enum DualOperation {
  kOpMOV,
  kOpADD,
  kOpADDC,
  kOpSUBC,
  kOpSUB,
  kOpCMP,
  kOpDADD,
  kOpBIT,
  kOpBIC,
  kOpBIS,
  kOpXOR,
  kOpAND,
  kDualOperationCount
};
enum SingleOperation {
  kOpRRC,
  kOpSWPB,
  kOpRRA,
  kOpSXT,
  kOpPUSH,
  kOpCALL,
  kOpRETI,
  kSingleOperationCount,  // the assembler's vocabulary
  kOpSingleUnused = 7     // Format II 111: decodes, executes as no operation
};
enum JumpOperation {
  kJumpNE,
  kJumpEQ,
  kJumpNC,
  kJumpC,
  kJumpN,
  kJumpGE,
  kJumpL,
  kJumpMP,
  kJumpOperationCount
};
enum EmulatedOperation {
  kOpDEC,
  kOpINC,
  kOpNOP,
  kOpPOP,
  kOpRET,
  kOpRLC,
  kOpRLA,
  kOpCLR,
  kOpTST,
  kEmulatedOperationCount
};
enum AddressingMode {
  kModeRegister,
  kModeIndexed,
  kModeSymbolic,
  kModeAbsolute,
  kModeIndirect,
  kModeAutoincrement,
  kModeImmediate,
  kModeCount,
  kDestinationModeCount = 4  // a destination is Register..Absolute only
};

// The whole visible machine, as the panel holds it.
struct MachineState {
  TextCell registers[kRegisterCount];
  int32_t highlight[kRegisterCount];
  MemoryRow ram[kMemoryRowCount];
  MemoryRow rom[kMemoryRowCount];
  PortCell ports[kPortCellCount];
  uint8_t statusFlags[4];  // V, N, Z, C
  TableMarker ramMarker;
  uint8_t ramMarkerOn;
  TableMarker romMarker;
  uint8_t romMarkerOn;
  uint8_t p1Output[8];  // lamp per P1 bit, written by Ports
  uint8_t p2Input[8];   // switch per P2 bit, read by Ports
};

// The instruction selectors: what Execute runs and Assemble encodes.
struct InstructionSelection {
  uint32_t format;
  uint32_t dualOperation;
  uint32_t singleOperation;
  uint32_t jumpOperation;
  uint32_t emulatedOperation;
  uint32_t sourceMode;
  uint32_t sourceRegister;
  uint32_t destinationMode;
  uint32_t destinationRegister;
  float pcOffset;           // jump offset in words
  TextCell sourceEditText;  // what the source edit box holds ("0x0280")
  TextCell sourceText;      // its HexConv form ("0280")
  TextCell destinationEditText;
  TextCell destinationText;
  uint8_t sourceValid;
  uint8_t destinationValid;
  uint8_t wordOperation;  // 1 word, 0 byte
};

// Disassemble's outputs (the panel's decoded-instruction fields).
struct DecodedInstruction {
  uint32_t format;
  uint32_t dualOperation;
  uint32_t singleOperation;
  uint32_t jumpOperation;
  uint32_t emulatedOperation;
  uint32_t sourceMode;
  uint32_t sourceRegister;
  uint32_t destinationMode;
  uint32_t destinationRegister;
  float pcOffset;
  TextCell sourceText;       // "0x%04X"
  TextCell destinationText;  // "0x%04X"
  uint8_t resetRequest;
  uint8_t wordFlag;
};

// One operand's "Adresswerk" (AddressCalc's outputs).
struct AddressUnit {
  uint8_t shown;  // the panel shows (and computes) this operand's address
  uint32_t shownRegister;
  AddressText base;
  AddressText index;
  AddressText address;
};

// Assemble's outputs.
struct AssembledInstruction {
  TextCell text;        // "MOV  #0x0280,SP"
  TextCell bits;        // 16 characters '0'/'1', bit 15 first
  TextCell word;        // "%04X"
  TextCell extension1;  // hex digits or empty
  TextCell extension2;
};

// ---------------------------------------------------------------------------
// The core operations (parameter order as the panel calls them)
// ---------------------------------------------------------------------------

// The one register writer with masking: PC and SP even (and their table
// markers follow), SR & 0x107, R3 never written, R4..R15 as given. Null
// markers are skipped.
void SetRegister(TextCell* registers, uint8_t reg, uint16_t value, TableMarker* ramMarker,
                 uint8_t* ramMarkerOn, TableMarker* romMarker, uint8_t* romMarkerOn);

// What the user typed (decimal, 0x hex, 0 octal) -> "%04X" of the low 16
// bits; valid when -32768 <= value <= 65535. A null input gives "0000",
// number 0, valid 0. Any output may be null.
void HexConv(const char* input, char* outText, uint16_t* outNumber, uint8_t* outValid);

// Hand edit of one register from a hex text: R0/R1 & 0xFFFE, R2 & 0x107,
// R4..R15 & 0xFFFF, R3 untouched. Markers and status flags stay.
void ChangeReg(int32_t reg, const char* hexText, TextCell* registers);

// Hand edit of one RAM word from a four-hex-digit text (HexConv's output):
// characters 0-1 into the row's high cell, 2-3 into its low cell.
void ChangeRAM(const char* hexText, int32_t row, MemoryRow* ram);

// Executes the selected instruction (not the word in memory). Reads go
// through the *In pointers, writes through the *Out pointers; pass the same
// arrays for both (as the panel does) so that reads see the writes.
void Execute(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
             uint32_t jumpOperation, uint32_t emulatedOperation, int32_t sourceMode,
             int32_t sourceRegister, int32_t destinationMode, int32_t destinationRegister,
             float pcOffset, const char* sourceText, const TextCell* registersIn,
             const MemoryRow* ramIn, const MemoryRow* romIn, uint8_t wordOperation,
             const char* sourceAddressText, const char* destinationAddressText,
             const PortCell* portsIn, TextCell* registersOut, int32_t* highlight, MemoryRow* ramOut,
             TableMarker* ramMarker, uint8_t* ramMarkerOn, TableMarker* romMarker,
             uint8_t* romMarkerOn, uint8_t* statusFlags, PortCell* portsOut);

// The address unit for one operand (modes 1..6): base, offset and effective
// address as "0x%04X". `sourceExtensionFirst` says that a source extension
// word precedes this operand's extension word (destination only).
void AddressCalc(uint32_t mode, int32_t reg, const char* operandText, const TextCell* registers,
                 uint8_t sourceExtensionFirst, uint32_t* shownRegister, char* baseText,
                 char* indexText, char* addressText);

// FETCH/DECODE: decodes the ROM word at PC into selector indices and
// "0x%04X" operand texts. Does not move PC. An undecodable word sets format 4
// and the reset request. Outputs a word does not determine keep their values.
void Disassemble(const char* pcText, const MemoryRow* rom, uint32_t* format,
                 uint32_t* dualOperation, uint32_t* singleOperation, uint32_t* jumpOperation,
                 uint32_t* emulatedOperation, uint32_t* sourceMode, uint32_t* sourceRegister,
                 uint32_t* destinationMode, uint32_t* destinationRegister, float* pcOffset,
                 char* sourceText, char* destinationText, uint8_t* resetRequest, uint8_t* wordFlag);

// Builds the assembler text, bit string, machine word and up to two
// extension words for the selection. The index texts are AddressCalc's
// "0x%04X" offsets (used for symbolic operands).
void Assemble(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
              uint32_t jumpOperation, uint32_t emulatedOperation, uint32_t sourceMode,
              uint32_t sourceRegister, int32_t destinationMode, uint32_t destinationRegister,
              float pcOffset, const char* sourceText, const char* destinationText,
              uint8_t wordOperation, const char* sourceIndexText, const char* destinationIndexText,
              char* outText, char* outBits, char* outWord, char* outExtension1,
              char* outExtension2);

// Stores the machine word at ROM row *row and the extension words in the
// rows above it (row - 1, row - 2); words beyond 0xFFFE are dropped.
void Save(const char* wordText, const char* extension1Text, const char* extension2Text,
          const int32_t* row, MemoryRow* rom);

// RESET (INT31): flags and registers cleared, RAM "00", PC := reset vector,
// phase := FETCH/DECODE, decoded format := 4. ROM and ports untouched.
void Reset(const MemoryRow* rom, TextCell* registers, MemoryRow* ram, TableMarker* ramMarker,
           uint8_t* ramMarkerOn, TableMarker* romMarker, uint8_t* romMarkerOn, uint8_t* statusFlags,
           uint8_t* phase, uint32_t* decodedFormat);

// NMI (INT30): push PC, push SR, SR := 0, PC := NMI vector (0xFFFC).
void NMI(const MemoryRow* rom, const TextCell* registersIn, TextCell* registersOut, MemoryRow* ram,
         TableMarker* ramMarker, uint8_t* ramMarkerOn, TableMarker* romMarker,
         uint8_t* romMarkerOn);

// The fixed port wiring, once per frame: P1 lamps from P1OUT where P1DIR
// says output; P2IN from the switches where P2DIR says input.
void Ports(const PortCell* portsIn, const uint8_t* p2Input, PortCell* portsOut, uint8_t* p1Output);

// Slot files "slot1.csv" .. "slot10.csv" in the current directory, 64 lines
// "%04X;%04X;\"\"" + CR LF from 0xFFFE down: address, word, an empty field.
//
// Saving writes the whole file under a temporary name of its own beside the
// slot file (unique, created exclusively, so never through a link planted
// there), puts it on the disk and only then renames it over the slot file: a
// save that fails or is killed leaves the previous file whole, and two saves
// of one slot never write into the same file. The slot file keeps its
// permissions; one that nobody may write (a teacher's protected exercise) is
// left alone and the save fails. A link at the slot's own name is replaced by
// the saved file, so a save never writes outside the slot directory.
//
// Loading reads regular files only, opened without waiting (a FIFO, a device
// or a folder loads nothing), at most kSlotFileMaxBytes of them. Each line
// "AAAA;WWWW", optionally followed by ";" and anything up to the line's end,
// puts word WWWW at address AAAA: both exactly four hex digits of either
// case, the address even, within 0xFF80..0xFFFE and named once. Lines may
// come in any order and end in CR LF or LF; empty lines and a UTF-8 byte
// order mark before the first line are skipped. The first line that breaks a
// rule ends the load: the words before it stay loaded, and addresses the file
// does not name keep their word. After the 64th word nothing more is read.
enum {
  kSlotFileCount = 10,
  kSlotLineMaxChars = 256,      // a longer line is a bad line
  kSlotFileMaxBytes = 64 << 10  // what a load reads at most
};

enum SlotLoadStatus {
  kSlotLoadComplete,    // read to the end of the file (or to the 64th word)
  kSlotLoadStopped,     // ended by a bad line: `line` and `problem` say which and why
  kSlotLoadUnreadable,  // missing, not a regular file or not readable: nothing loaded
};

enum SlotLineProblem {
  kSlotLineFine,
  kSlotLineAddressNotHex,    // no four hex digits and a ";" at the start
  kSlotLineAddressOdd,       // an odd address
  kSlotLineAddressOutside,   // outside 0xFF80..0xFFFE
  kSlotLineAddressRepeated,  // an address named on an earlier line
  kSlotLineWordNotHex,       // no four hex digits ending the line or followed by ";"
  kSlotLineTooLong,          // longer than kSlotLineMaxChars, or beyond kSlotFileMaxBytes
  kSlotLineReadError,        // the file could not be read on
};

struct SlotLoadResult {
  int32_t status;    // SlotLoadStatus
  int32_t words;     // words loaded
  int32_t line;      // the line that ended the load (from 1); 0 when none did
  int32_t problem;   // SlotLineProblem of that line
  uint32_t address;  // the address of that line, when it has one
};

// The panel's two slot buttons. ROMSave and ROMLoad say nothing;
// ROMSaveSlot returns 1 when the file now holds the program (0 otherwise),
// ROMLoadSlot reports what it loaded in *result (may be null).
void ROMSave(const MemoryRow* rom, uint32_t slot);
void ROMLoad(uint32_t slot, MemoryRow* rom);
int32_t ROMSaveSlot(const MemoryRow* rom, uint32_t slot);
void ROMLoadSlot(uint32_t slot, MemoryRow* rom, SlotLoadResult* result);

// The same load from a slot file of any name (the trace tool's argument).
void ROMLoadFile(const char* path, MemoryRow* rom, SlotLoadResult* result);

// ---------------------------------------------------------------------------
// Helpers over the records above (trace tool, tests, benchmark, panel)
// ---------------------------------------------------------------------------

// The state at start: R0 "FF80", other registers "0000", RAM "00", ports
// "0x00", ROM "FF" except the demonstration program, its NMI handler at
// 0xFFD0 and both vectors; markers on row 63 (ROM) and row 0 (RAM), off.
void InitMachine(MachineState* machine);

// The selectors at start: "---no instruction---", word operation.
void InitSelection(InstructionSelection* selection);

// Clears a decoded-instruction record (format 4, all texts empty).
void InitDecoded(DecodedInstruction* decoded);

// The word the memory map gives at `address` (0 outside it).
uint16_t ReadMemoryWord(const MemoryRow* ram, const MemoryRow* rom, const PortCell* ports,
                        uint32_t address);

// 1 when the selected source occupies an extension word (Indexed, Symbolic,
// Absolute, or an immediate the constant generator cannot supply).
uint8_t SourceHasExtensionWord(uint32_t sourceMode, const char* sourceText);

// Disassemble at the machine's PC into `decoded`.
void DisassembleAtPC(const MachineState* machine, DecodedInstruction* decoded);

// What a FETCH/DECODE click does to the selectors: every selector takes its
// decoded value and both edit texts pass through HexConv.
void LoadDecodedSelection(const DecodedInstruction* decoded, InstructionSelection* selection);

// The address unit: which operands it shows and AddressCalc for them. The
// destination's flag is "a source extension word comes first", so a
// PC-relative destination after @Rn, @Rn+ or #constant is offset correctly.
void UpdateAddressUnits(const InstructionSelection* selection, const TextCell* registers,
                        AddressUnit* source, AddressUnit* destination);

void AssembleSelection(const InstructionSelection* selection, const AddressUnit* source,
                       const AddressUnit* destination, AssembledInstruction* out);

void ExecuteSelection(const InstructionSelection* selection, const AddressUnit* source,
                      const AddressUnit* destination, MachineState* machine);

// Reset of the whole machine record (phase and decoded format may be null).
void ResetMachine(MachineState* machine, uint8_t* phase, DecodedInstruction* decoded);

// The records of the panel's instruction cycle, for running the core
// without the window (trace tool, benchmark, tests). Large: keep it off the
// stack.
struct Simulator {
  MachineState machine;
  InstructionSelection selection;
  DecodedInstruction decoded;
  AddressUnit source;
  AddressUnit destination;
  AssembledInstruction assembled;
};

// Initial machine and selectors, empty address units and assembler texts.
void InitSimulator(Simulator* simulator);

// A FETCH/DECODE click: Disassemble at PC, the decoded fields into the
// selectors, then AssembleSelected. Returns false, with no machine word,
// when the word does not decode; the caller answers with a RESET.
bool FetchDecode(Simulator* simulator);

// The frame's address unit and Assemble for the current selection. A
// selection the assembler refuses leaves the machine word empty.
void AssembleSelected(Simulator* simulator);

// An EXECUTE click on the current selection (after AssembleSelected).
void ExecuteSelected(Simulator* simulator);
