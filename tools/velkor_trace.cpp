// velkor-trace: the simulator core without the window.
//
//   velkor-trace [SLOTFILE...] [--steps N] [--until-idle] [--json]
//   velkor-trace [SLOTFILE...] --list
//
// It starts from the panel's initial state (the demonstration program) or,
// for each SLOTFILE, from erased program memory (FFFF) with the file loaded
// by the same reader as the slot pop-up's; a file it cannot read whole is
// refused with its line, never traced in part, and the other files are
// still run. Then it runs each instruction as the panel's two clicks do:
// FETCH/DECODE (Disassemble at PC, a reset request answered by RESET, the
// decoded fields loaded into the selectors and their edit texts through
// HexConv), then the address unit, Assemble and EXECUTE. Teachers use it to
// check and grade students' slot files (--json, one record per file); the
// tests use it as the core's end-to-end bench.
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
#include <vector>

#include "core/mycode.h"
#include "tools/velkor_trace_run.h"

namespace {

const char kUsage[] =
    "Usage: velkor-trace [SLOTFILE...] [--steps N] [--until-idle] [--json]\n"
    "       velkor-trace [SLOTFILE...] --list\n"
    "\n"
    "Runs the Velkor simulator core without its window, on the demonstration\n"
    "program or on the program memory stored in each SLOTFILE (a slot file such\n"
    "as slot1.csv; words it does not name read FFFF), one after the other. A\n"
    "SLOTFILE that is not a regular file, holds no word or has a bad line is\n"
    "refused with the file and the line's number on stderr and the next file\n"
    "is run: the exit status is 0 when every file was read, 1 when any could\n"
    "not be, 2 for a bad command line.\n"
    "\n"
    "  --steps N     RESET, then execute at most N instructions (default 20, or\n"
    "                10000 with --until-idle), one line each: address, the words\n"
    "                read, assembler text (a jump with its target), R0..R15,\n"
    "                V N Z C, and the RAM words and port registers it changed\n"
    "  --until-idle  stop at a jump to itself (the usual end of a program), at a\n"
    "                word that does not decode or when PC leaves program memory\n"
    "                (both answered with RESET by the panel), or after N steps\n"
    "  --json        instead of the trace, one JSON object per file and line:\n"
    "                file, steps, stop (reason step-limit, jump-to-itself,\n"
    "                undecodable-word or reset, with address and word),\n"
    "                registers, flags, the RAM words that are not 0, ports and\n"
    "                the seven-segment display (lit segments a..g, point, digit);\n"
    "                a run stops at the first word the panel answers with RESET\n"
    "  --list        list program memory from 0xFF80 upwards without executing: each\n"
    "                instruction with its extension words as stored, its assembler\n"
    "                text (a jump with its target), a note where the simulator\n"
    "                reads the words otherwise than the hardware, erased words\n"
    "                (FFFF) as erased and the two vectors as vectors\n"
    "  --help        show this text\n";

const unsigned long kMaxSteps = 100000000ul;
const unsigned long kIdleSteps = 10000ul;  // the default limit of --until-idle

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
  std::vector<const char*> slotFiles;
  unsigned long steps = 20;
  bool stepsGiven = false;
  bool list = false;
  bool untilIdle = false;
  bool json = false;
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
    } else if (strcmp(arg, "--until-idle") == 0) {
      o->untilIdle = true;
    } else if (strcmp(arg, "--json") == 0) {
      o->json = true;
    } else if (strcmp(arg, "--steps") == 0 || strncmp(arg, "--steps=", 8) == 0) {
      const char* value = arg[7] == '=' ? arg + 8 : (i + 1 < argc ? argv[++i] : nullptr);
      if (!parse_steps(value, o)) return false;
    } else if (arg[0] == '-' && arg[1] != 0) {
      fprintf(stderr, "velkor-trace: unknown option '%s' (see --help)\n", excerpt(arg).c_str());
      return false;
    } else {
      o->slotFiles.push_back(arg);
    }
  }
  if (o->help) return true;
  if (o->list && (o->stepsGiven || o->untilIdle || o->json)) {
    fprintf(stderr, "velkor-trace: --list executes nothing; drop %s\n",
            o->stepsGiven ? "--steps" : (o->untilIdle ? "--until-idle" : "--json"));
    return false;
  }
  if (o->untilIdle && !o->stepsGiven) o->steps = kIdleSteps;
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
// that cannot be read whole, or holds no word, is refused with one line
// (`error`, without the program's name).
bool load_slot_file(const char* path, MachineState* m, std::string* error) {
  const std::string name = excerpt(path);
  char line[256];
  struct stat info = {};
  if (stat(path, &info) != 0) {
    snprintf(line, sizeof line, "cannot open '%s': %s", name.c_str(), strerror(errno));
    *error = line;
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    *error = "'" + name + "' is not a regular file";
    return false;
  }
  for (MemoryRow& row : m->rom) {
    snprintf(row.cells[kRowHighCell], kTextCellSize, "FF");
    snprintf(row.cells[kRowLowCell], kTextCellSize, "FF");
  }
  SlotLoadResult result = {};
  ROMLoadFile(path, m->rom, &result);
  if (result.status == kSlotLoadUnreadable) {
    *error = "cannot read '" + name + "'";
    return false;
  }
  if (result.status == kSlotLoadStopped) {
    char problem[128];
    describe_problem(result, problem, sizeof problem);
    snprintf(line, sizeof line, "%s:%d: %s", name.c_str(), result.line, problem);
    *error = line;
    return false;
  }
  if (result.words == 0) {
    *error = "'" + name + "' holds no program word";
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

// The assembler text, a jump with the address it goes to: "JNE  -2  -> FF90".
std::string instruction_text(const AssembledInstruction* a, const DecodedInstruction* d,
                             unsigned address) {
  std::string text = a->text;
  if (d->format == kFormatJump) {
    const int offset = static_cast<int>(d->pcOffset);
    text += "  -> " + Hex4(static_cast<unsigned>(static_cast<int>(address) + 2 + 2 * offset));
  }
  return text;
}

// "FF80: 4031 0280  MOV  #0x0280,SP": the words the simulator read from
// memory and what it ran.
void print_traced(unsigned address, const MachineState* m, const Simulator* s) {
  unsigned words = simulator_word_count(&s->assembled);
  printf("%04X:", address);
  for (unsigned i = 0; i < (words > 0 ? words : 1); ++i) {
    printf(" %04X", memory_word(m, address + 2 * i));
  }
  printf("  %s", instruction_text(&s->assembled, &s->decoded, address).c_str());
}

void print_state(const MachineState* m, const TraceStep& step) {
  printf(" |");
  for (int r = 0; r < kRegisterCount; ++r) printf(" R%d=%s", r, m->registers[r]);
  printf(" | V=%d N=%d Z=%d C=%d", m->statusFlags[kFlagV], m->statusFlags[kFlagN],
         m->statusFlags[kFlagZ], m->statusFlags[kFlagC]);
  // What the instruction changed in RAM and in the port registers.
  static const char* const kPortNames[] = {"P1IN", "P1OUT", "P1DIR", "",      "",     "",
                                           "",     "",      "P2IN",  "P2OUT", "P2DIR"};
  const char* separator = " | wrote ";
  for (int i = 0; i < step.writeCount; ++i) {
    const TraceWrite& w = step.writes[i];
    if (w.port) {
      printf("%s%s=%02X", separator, kPortNames[w.address - 0x20], w.value);
    } else {
      printf("%s%04X=%04X", separator, w.address, w.value);
    }
    separator = " ";
  }
  printf("\n");
}

// RESET, then at most `steps` steps. The plain trace answers a word that
// does not decode with RESET and goes on, as the panel does; grading and
// --until-idle stop there, since a RESET clears what the program computed.
TraceStop run(Simulator* s, unsigned long steps, bool untilIdle, bool stopAtReset, bool print) {
  MachineState* m = &s->machine;
  ResetMachine(m, nullptr, &s->decoded);
  TraceStop stop = {kStopStepLimit, 0, 0, 0};
  for (; stop.steps < steps; ++stop.steps) {
    TraceStep step;
    RunTraceStep(s, &step);
    if (step.kind != kStepExecuted) {
      if (stopAtReset) {
        stop.reason = step.kind == kStepOutside ? kStopReset : kStopUndecodableWord;
        stop.address = step.address;
        stop.word = step.word;
        break;
      }
      if (print) printf("RESET\n");
      ResetMachine(m, nullptr, &s->decoded);
      continue;
    }
    if (print) {
      // The words are printed before EXECUTE in the record's order: none of
      // them is ever written (program memory takes no writes).
      print_traced(step.address, m, s);
      print_state(m, step);
    }
    if (untilIdle && step.idle) {
      stop.reason = kStopJumpToItself;
      stop.address = step.address;
      stop.word = step.word;
      ++stop.steps;
      break;
    }
  }
  SettlePorts(m);
  return stop;
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
  unsigned present = (0xFFFC - address) / 2;  // words before the vectors
  printf("%04X:", address);
  for (unsigned i = 0; i < words && i < present; ++i)
    printf(" %04X", memory_word(m, address + 2 * i));
  unsigned simulatorWords = decoded ? simulator_word_count(&s->assembled) : 0;
  if (simulatorWords == 0) {
    char note[128];
    bool hardware = indirect_rotate_note(note, sizeof note, e, word);
    printf("  ---%s%s\n", hardware ? "  ; " : "", hardware ? note : "");
    return words < present ? words : present;
  }
  printf("  %s", instruction_text(&s->assembled, &s->decoded, address).c_str());
  char notes[2][160] = {"", ""};
  bool rotate = read_as_rotate(e, word);
  if (rotate) rotate_note(notes[0], sizeof notes[0], m, address, word, e);
  if (words > present) {
    snprintf(notes[1], sizeof notes[1], "its extension word%s would be the vector%s at FFFC",
             words - present > 1 ? "s" : "", words - present > 1 ? "s" : "");
    words = present;
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

// FFFC and FFFE hold where NMI and RESET start, not instructions.
bool list_vector(const MachineState* m, unsigned address) {
  if (address != 0xFFFC && address != 0xFFFE) return false;
  const unsigned word = memory_word(m, address);
  const char* name = address == 0xFFFE ? "reset vector" : "NMI vector";
  if (word == 0xFFFF) {
    printf("%04X: FFFF  %s (erased)\n", address, name);
  } else {
    printf("%04X: %04X  %s -> %04X\n", address, word, name, word & 0xFFFE);
  }
  return true;
}

// A run of erased words (FFFF) where an instruction would start: one line,
// "FF96: FFFF  erased" or "FF96: FFFF  erased (52 words to FFFA)". The
// words are not instructions for the student; the vectors end a run.
unsigned list_erased(const MachineState* m, unsigned address) {
  unsigned last = address;
  while (last + 2 < 0xFFFC && memory_word(m, last + 2) == 0xFFFF) last += 2;
  const unsigned count = (last - address) / 2 + 1;
  if (count == 1) {
    printf("%04X: FFFF  erased\n", address);
  } else {
    printf("%04X: FFFF  erased (%u words to %04X)\n", address, count, last);
  }
  return count;
}

void list(Simulator* s) {
  const MachineState* m = &s->machine;
  for (unsigned address = 0xFF80; address <= 0xFFFE;) {
    if (list_vector(m, address)) {
      address += 2;
    } else if (memory_word(m, address) == 0xFFFF) {
      address += 2 * list_erased(m, address);
    } else {
      address += 2 * list_instruction(s, address);
    }
  }
}

// A record on one line. A file name need not be UTF-8 (a Latin-1 name from
// an old share): bytes JSON cannot carry become U+FFFD instead of ending the
// program.
std::string json_line(const nlohmann::ordered_json& record) {
  return record.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// One file (or the demonstration program for a null name): its listing, its
// trace or its grading record. False when the file could not be read.
bool run_file(const Options& options, const char* file, bool heading) {
  // The machine record is large (its texts are the panel's cells): keep it
  // off the stack.
  static Simulator simulator;
  InitSimulator(&simulator);
  std::string error;
  if (file != nullptr && !load_slot_file(file, &simulator.machine, &error)) {
    fprintf(stderr, "velkor-trace: %s\n", error.c_str());
    if (options.json) {
      const nlohmann::ordered_json record = {{"file", file}, {"error", error}};
      printf("%s\n", json_line(record).c_str());
    }
    return false;
  }
  if (heading && !options.json) printf("==> %s <==\n", file);
  if (options.list) {
    list(&simulator);
    return true;
  }
  const bool stopAtReset = options.json || options.untilIdle;
  const TraceStop stop =
      run(&simulator, options.steps, options.untilIdle, stopAtReset, !options.json);
  if (options.json) {
    printf("%s\n", json_line(GradingRecord(file, simulator.machine, stop)).c_str());
  } else if (options.untilIdle) {
    printf("stopped after %lu step%s: %s", stop.steps, stop.steps == 1 ? "" : "s",
           TraceStopName(stop.reason));
    if (stop.reason != kStopStepLimit) printf(" at %04X (%04X)", stop.address, stop.word);
    printf("\n");
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, &options)) return 2;
  if (options.help) {
    fputs(kUsage, stdout);
    return 0;
  }
  bool everyFileRead = true;
  if (options.slotFiles.empty()) {
    run_file(options, nullptr, false);
  }
  for (const char* file : options.slotFiles) {
    if (!run_file(options, file, options.slotFiles.size() > 1)) everyFileRead = false;
    // A file that fails halfway through the output would leave the lines
    // of the next one mixed with it on a pipe that stderr shares.
    fflush(stdout);
  }
  if (fflush(stdout) != 0 || ferror(stdout)) {
    fprintf(stderr, "velkor-trace: cannot write the output\n");
    return 1;
  }
  return everyFileRead ? 0 : 1;
}
