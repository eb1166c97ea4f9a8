// velkor-trace: the simulator core without the window.
//
//   velkor-trace [SLOTFILE] [--steps N]   trace N instructions (default 20)
//   velkor-trace [SLOTFILE] --list        list program memory, no execution
//
// It starts from the panel's initial state (the demonstration program) or,
// given SLOTFILE, from erased program memory (FFFF) with the file loaded by
// the same reader as the slot pop-up's; a file it cannot read whole is
// refused with its line, never traced in part. Then it runs
// each instruction as the panel's two clicks do: FETCH/DECODE (Disassemble
// at PC, a reset request answered by RESET, the decoded fields loaded into
// the selectors and their edit texts through HexConv), then the address
// unit, Assemble and EXECUTE. Teachers use it to check a student's slot
// file; the tests use it as the core's end-to-end bench.
//
// Both modes print the words as they lie in memory, never the assembler's
// re-encoding of what was decoded: a stored MOV #8,R7 with an extension
// word (4037 0008) must not show as the shorter 4237 the assembler would
// write.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/mycode.h"

namespace {

const char kUsage[] =
    "Usage: velkor-trace [SLOTFILE] [--steps N]\n"
    "       velkor-trace [SLOTFILE] --list\n"
    "\n"
    "Runs the Velkor simulator core without its window, on the demonstration\n"
    "program or on the program memory stored in SLOTFILE (a slot file such as\n"
    "slot1.csv; words it does not name read FFFF). A SLOTFILE that is not a\n"
    "regular file, holds no word or has a bad line is refused with the line's\n"
    "number (exit status 1); a bad command line gives exit status 2.\n"
    "\n"
    "  --steps N  RESET, then execute N instructions (default 20), one line each:\n"
    "             address, the words read, assembler text, R0..R15, V N Z C\n"
    "  --list     list program memory from 0xFF80 upwards without executing: each\n"
    "             instruction with its extension words as stored, its assembler\n"
    "             text, and a note where the simulator reads the words otherwise\n"
    "             than the hardware\n"
    "  --help     show this text\n";

const unsigned long kMaxSteps = 100000000ul;

// At most 40 characters of an argument for an error line: printable ASCII as
// it is, anything else escaped (\r, \n, \t, \\, \xHH), "..." where it is cut.
// A control sequence or a huge argument never reaches the terminal whole.
std::string excerpt(const char* text) {
  std::string out;
  size_t shown = 0;
  for (; *text != '\0' && shown < 40; ++text, ++shown) {
    const unsigned char c = static_cast<unsigned char>(*text);
    char escaped[8];
    if (c == '\r' || c == '\n' || c == '\t' || c == '\\') {
      snprintf(escaped, sizeof escaped, "\\%c",
               c == '\r'   ? 'r'
               : c == '\n' ? 'n'
               : c == '\t' ? 't'
                           : '\\');
    } else if (c < 0x20 || c >= 0x7F) {
      snprintf(escaped, sizeof escaped, "\\x%02x", c);
    } else {
      snprintf(escaped, sizeof escaped, "%c", c);
    }
    out += escaped;
  }
  if (*text != '\0') out += "...";
  return out;
}

struct Options {
  const char* slotFile = nullptr;
  unsigned long steps = 20;
  bool stepsGiven = false;
  bool list = false;
  bool help = false;
};

// The number after --steps; on a mistake writes one line to stderr.
bool parse_steps(const char* value, Options* o) {
  if (value == nullptr) {
    fprintf(stderr, "velkor-trace: --steps needs a number\n");
    return false;
  }
  char* end = nullptr;
  errno = 0;
  unsigned long n = strtoul(value, &end, 10);
  if (value[0] < '0' || value[0] > '9' || *end != 0 || errno != 0 || n > kMaxSteps) {
    fprintf(stderr, "velkor-trace: bad number of steps '%s' (0..%lu)\n", excerpt(value).c_str(),
            kMaxSteps);
    return false;
  }
  o->steps = n;
  o->stepsGiven = true;
  return true;
}

// Parses the command line; on a mistake writes one line to stderr.
bool parse_options(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
      o->help = true;
    } else if (strcmp(arg, "--list") == 0) {
      o->list = true;
    } else if (strcmp(arg, "--steps") == 0 || strncmp(arg, "--steps=", 8) == 0) {
      const char* value = arg[7] == '=' ? arg + 8 : (i + 1 < argc ? argv[++i] : nullptr);
      if (!parse_steps(value, o)) return false;
    } else if (arg[0] == '-' && arg[1] != 0) {
      fprintf(stderr, "velkor-trace: unknown option '%s' (see --help)\n", excerpt(arg).c_str());
      return false;
    } else if (o->slotFile != nullptr) {
      fprintf(stderr, "velkor-trace: more than one slot file given ('%s', '%s')\n",
              excerpt(o->slotFile).c_str(), excerpt(arg).c_str());
      return false;
    } else {
      o->slotFile = arg;
    }
  }
  if (o->list && o->stepsGiven && !o->help) {
    fprintf(stderr, "velkor-trace: --list executes nothing; drop --steps\n");
    return false;
  }
  return true;
}

// What a bad line of a slot file breaks, for the error line.
void describe_problem(const SlotLoadResult& r, char* out, size_t size) {
  switch (r.problem) {
    case kSlotLineAddressNotHex:
      snprintf(out, size, "the line does not start with a four-digit hex address and ';'");
      break;
    case kSlotLineAddressOdd:
      snprintf(out, size, "address %04X is odd", r.address);
      break;
    case kSlotLineAddressOutside:
      snprintf(out, size, "address %04X lies outside program memory (FF80..FFFE)", r.address);
      break;
    case kSlotLineAddressRepeated:
      snprintf(out, size, "address %04X comes a second time", r.address);
      break;
    case kSlotLineWordNotHex:
      snprintf(out, size, "the word is not four hex digits");
      break;
    case kSlotLineTooLong:
      snprintf(out, size, "the line is longer than %d characters or the file larger than %d KiB",
               kSlotLineMaxChars, kSlotFileMaxBytes >> 10);
      break;
    default:
      snprintf(out, size, "the file cannot be read on");
      break;
  }
}

// The slot file into program memory, which starts erased (FFFF in every
// word): what the trace shows comes from the file and nowhere else. A file
// that cannot be read whole, or holds no word, is refused with one line.
bool load_slot_file(const char* path, MachineState* m) {
  const std::string name = excerpt(path);
  struct stat info = {};
  if (stat(path, &info) != 0) {
    fprintf(stderr, "velkor-trace: cannot open '%s': %s\n", name.c_str(), strerror(errno));
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    fprintf(stderr, "velkor-trace: '%s' is not a regular file\n", name.c_str());
    return false;
  }
  for (MemoryRow& row : m->rom) {
    snprintf(row.cells[kRowHighCell], kTextCellSize, "FF");
    snprintf(row.cells[kRowLowCell], kTextCellSize, "FF");
  }
  SlotLoadResult result = {};
  ROMLoadFile(path, m->rom, &result);
  if (result.status == kSlotLoadUnreadable) {
    fprintf(stderr, "velkor-trace: cannot read '%s'\n", name.c_str());
    return false;
  }
  if (result.status == kSlotLoadStopped) {
    char problem[128];
    describe_problem(result, problem, sizeof problem);
    fprintf(stderr, "velkor-trace: %s:%d: %s\n", name.c_str(), result.line, problem);
    return false;
  }
  if (result.words == 0) {
    fprintf(stderr, "velkor-trace: '%s' holds no program word\n", name.c_str());
    return false;
  }
  return true;
}

unsigned parse16(const char* hex) {
  return static_cast<unsigned>(strtoul(hex, nullptr, 16)) & 0xFFFF;
}

unsigned memory_word(const MachineState* m, unsigned address) {
  return ReadMemoryWord(m->ram, m->rom, m->ports, address);
}

// The number of words the simulator reads for the instruction it decoded
// (its assembler stores exactly these), 0 when it decoded nothing.
unsigned simulator_word_count(const AssembledInstruction* a) {
  if (a->word[0] == 0) return 0;
  return 1 + (a->extension1[0] != 0) + (a->extension2[0] != 0);
}

// "FF80: 4031 0280  MOV  #0x0280,SP": the words the simulator read from
// memory and what it ran; "---" for a word it could not decode.
void print_traced(unsigned address, const MachineState* m, const AssembledInstruction* a) {
  unsigned words = simulator_word_count(a);
  printf("%04X:", address);
  for (unsigned i = 0; i < (words > 0 ? words : 1); ++i) {
    printf(" %04X", memory_word(m, address + 2 * i));
  }
  printf("  %s", words > 0 ? a->text : "---");
}

void print_state(const MachineState* m) {
  printf(" |");
  for (int r = 0; r < kRegisterCount; ++r) printf(" R%d=%s", r, m->registers[r]);
  printf(" | V=%d N=%d Z=%d C=%d\n", m->statusFlags[kFlagV], m->statusFlags[kFlagN],
         m->statusFlags[kFlagZ], m->statusFlags[kFlagC]);
}

void trace(Simulator* s, unsigned long steps) {
  MachineState* m = &s->machine;
  ResetMachine(m, nullptr, &s->decoded);
  for (unsigned long i = 0; i < steps; ++i) {
    Ports(m->ports, m->p2Input, m->ports, m->p1Output);
    unsigned pc = parse16(m->registers[0]);
    if (!FetchDecode(s)) {
      printf("RESET\n");
      ResetMachine(m, nullptr, &s->decoded);
      continue;
    }
    // The words are printed before EXECUTE: none of them is ever written
    // (program memory takes no writes), but the line reads in that order.
    print_traced(pc, m, &s->assembled);
    ExecuteSelected(s);
    print_state(m);
  }
}

// --- The listing ----------------------------------------------------------
//
// The listing walks program memory the way the hardware reads it: an
// instruction word, then one extension word for a source in indexed,
// symbolic or absolute form or an immediate (@PC+), then one for a memory
// destination. Where the simulator reads a stored word otherwise, the line
// says so: it takes the immediates 0, 1, 2, 4, 8 and -1 from the constant
// generator and never steps over a word stored for them, it reads ADD and
// ADDC of two memory operands on one base register as RLA and RLC with a
// single extension word, and it cannot decode RRC, SWPB, RRA and SXT of
// @Rn or @Rn+.

const char* const kRegisterNames[kRegisterCount] = {"PC",  "SP",  "SR",  "R3", "R4",  "R5",
                                                    "R6",  "R7",  "R8",  "R9", "R10", "R11",
                                                    "R12", "R13", "R14", "R15"};

// The fields of an instruction word that decide its extension words.
struct Encoding {
  bool formatI;
  bool formatII;
  unsigned sourceRegister;  // Format II: its single register
  unsigned as;
  unsigned destinationRegister;
  bool destinationInMemory;  // Ad = 1 (Format I)
};

Encoding encoding_of(unsigned word) {
  Encoding e = {};
  bool jump = (word >> 13) == 1;
  e.formatI = !jump && (word >> 14) != 0;
  e.formatII = (word >> 10) == 0x04;
  e.sourceRegister = e.formatII ? word & 0xF : (word >> 8) & 0xF;
  e.as = (word >> 4) & 3;
  e.destinationRegister = word & 0xF;
  e.destinationInMemory = e.formatI && ((word >> 7) & 1) != 0;
  return e;
}

// X(Rn), ADDR and &ADDR take a word; #N is @PC+ and takes one too; R3
// (and R2 with As = 10 or 11) are the constant generator and take none.
bool source_has_word(const Encoding& e) {
  if (!e.formatI && !e.formatII) return false;
  return (e.as == 1 && e.sourceRegister != 3) || (e.as == 3 && e.sourceRegister == 0);
}

unsigned hardware_word_count(const Encoding& e) {
  return 1 + source_has_word(e) + e.destinationInMemory;
}

// One operand in memory form as the hardware reads it; `word` is its
// extension word, found at `wordAddress`.
void memory_operand_text(char* out, size_t size, unsigned reg, unsigned word,
                         unsigned wordAddress) {
  if (reg == 0) {
    snprintf(out, size, "0x%04X", (word + wordAddress) & 0xFFFF);  // relative to its word
  } else if (reg == 2) {
    snprintf(out, size, "&0x%04X", word);
  } else {
    snprintf(out, size, "0x%04X(%s)", word, kRegisterNames[reg]);
  }
}

// RRC, SWPB, RRA or SXT of @Rn or @Rn+: a hardware instruction that the
// simulator cannot show in its destination selectors, so its decoder
// rejects it and the panel answers with RESET.
bool indirect_rotate_note(char* out, size_t size, const Encoding& e, unsigned word) {
  static const char* const kMnemonics[4] = {"RRC", "SWPB", "RRA", "SXT"};
  const unsigned op = (word >> 7) & 7;
  const bool byte = (word & 0x40) != 0;
  const unsigned reg = e.sourceRegister;
  if (!e.formatII || op > 3 || e.as < 2 || reg == 0 || reg == 2 || reg == 3) return false;
  if (byte && (op == 1 || op == 3)) return false;  // SWPB.B and SXT.B do not exist
  snprintf(out, size,
           "on hardware %s%s  @%s%s; the simulator cannot decode it and answers with RESET",
           kMnemonics[op], byte ? ".B" : "", kRegisterNames[reg], e.as == 3 ? "+" : "");
  return true;
}

// ADD or ADDC with As = 01, Ad = 1 and one register for both operands: the
// simulator decodes it as RLA or RLC of the destination.
bool read_as_rotate(const Encoding& e, unsigned word) {
  unsigned opcode = word >> 12;
  return e.formatI && (opcode == 5 || opcode == 6) && e.as == 1 && e.destinationInMemory &&
         e.sourceRegister == e.destinationRegister;
}

// "on hardware ADD  0x0002(R5),0x4303(R5)"
void rotate_note(char* out, size_t size, const MachineState* m, unsigned address, unsigned word,
                 const Encoding& e) {
  unsigned xAddress = address + 2;
  unsigned yAddress = source_has_word(e) ? address + 4 : address + 2;
  char source[32];
  char destination[32];
  snprintf(source, sizeof source, "#1");  // R3 with As = 01: the constant generator
  if (e.sourceRegister != 3) {
    memory_operand_text(source, sizeof source, e.sourceRegister, memory_word(m, xAddress),
                        xAddress);
  }
  memory_operand_text(destination, sizeof destination, e.destinationRegister,
                      memory_word(m, yAddress), yAddress);
  snprintf(out, size, "on hardware %s%s  %s,%s", (word >> 12) == 5 ? "ADD" : "ADDC",
           (word & 0x40) ? ".B" : "", source, destination);
}

// Why the simulator reads fewer words than the hardware, and what it
// fetches next.
void short_read_note(char* out, size_t size, const MachineState* m, const DecodedInstruction* d,
                     bool rotate, unsigned nextAddress) {
  char reason[64];
  unsigned value = parse16(d->sourceText);  // "0x0008"
  if (rotate) {
    snprintf(reason, sizeof reason, "the simulator reads one extension word");
  } else if (d->sourceMode == kModeImmediate) {
    char constant[8] = "-1";
    if (value != 0xFFFF) snprintf(constant, sizeof constant, "%u", value);
    snprintf(reason, sizeof reason, "the simulator takes #%s from the constant generator",
             constant);
  } else {
    snprintf(reason, sizeof reason, "the simulator reads fewer words");
  }
  snprintf(out, size, "%s and fetches %04X at %04X as the next instruction", reason,
           memory_word(m, nextAddress), nextAddress);
}

// One line of the listing; returns the number of words it took.
unsigned list_instruction(Simulator* s, unsigned address) {
  MachineState* m = &s->machine;
  SetRegister(m->registers, 0, static_cast<uint16_t>(address), &m->ramMarker, &m->ramMarkerOn,
              &m->romMarker, &m->romMarkerOn);
  bool decoded = FetchDecode(s);
  unsigned word = memory_word(m, address);
  Encoding e = encoding_of(word);
  unsigned words = hardware_word_count(e);
  unsigned present = (0xFFFE - address) / 2 + 1;  // words up to the end of memory
  printf("%04X:", address);
  for (unsigned i = 0; i < words && i < present; ++i)
    printf(" %04X", memory_word(m, address + 2 * i));
  unsigned simulatorWords = decoded ? simulator_word_count(&s->assembled) : 0;
  if (simulatorWords == 0) {
    char note[128];
    bool hardware = indirect_rotate_note(note, sizeof note, e, word);
    printf("  ---%s%s\n", hardware ? "  ; " : "", hardware ? note : "");
    return words;
  }
  printf("  %s", s->assembled.text);
  char notes[2][160] = {"", ""};
  bool rotate = read_as_rotate(e, word);
  if (rotate) rotate_note(notes[0], sizeof notes[0], m, address, word, e);
  if (words > present) {
    snprintf(notes[1], sizeof notes[1], "its extension word%s would lie beyond FFFE",
             words - present > 1 ? "s" : "");
  } else if (simulatorWords < words) {
    short_read_note(notes[1], sizeof notes[1], m, &s->decoded, rotate,
                    address + 2 * simulatorWords);
  }
  const char* separator = "  ; ";
  for (const char* note : notes) {
    if (note[0] == 0) continue;
    printf("%s%s", separator, note);
    separator = "; ";
  }
  printf("\n");
  return words;
}

void list(Simulator* s) {
  for (unsigned address = 0xFF80; address <= 0xFFFE;) address += 2 * list_instruction(s, address);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, &options)) return 2;
  if (options.help) {
    fputs(kUsage, stdout);
    return 0;
  }
  // The machine record is large (its texts are the panel's cells): keep it
  // off the stack.
  static Simulator simulator;
  InitSimulator(&simulator);
  if (options.slotFile != nullptr && !load_slot_file(options.slotFile, &simulator.machine)) {
    return 1;
  }
  if (options.list) {
    list(&simulator);
  } else {
    trace(&simulator, options.steps);
  }
  if (fflush(stdout) != 0 || ferror(stdout)) {
    fprintf(stderr, "velkor-trace: cannot write the output\n");
    return 1;
  }
  return 0;
}
