// velkor-trace: the simulator core without the window.
//
//   velkor-trace [SLOTFILE] [--steps N]   trace N instructions (default 20)
//   velkor-trace [SLOTFILE] --list        list program memory, no execution
//
// It starts from the panel's initial state (the demonstration program),
// loads SLOTFILE into program memory the way the slot pop-up does, and runs
// each instruction as the panel's two clicks do: FETCH/DECODE (Disassemble
// at PC, a reset request answered by RESET, the decoded fields loaded into
// the selectors and their edit texts through HexConv), then the address
// unit, Assemble and EXECUTE. Teachers use it to check a student's slot
// file; the tests use it as the core's end-to-end bench.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/mycode.h"

namespace {

const char kUsage[] =
    "Usage: velkor-trace [SLOTFILE] [--steps N]\n"
    "       velkor-trace [SLOTFILE] --list\n"
    "\n"
    "Runs the Velkor simulator core without its window, on the demonstration\n"
    "program or on the program memory stored in SLOTFILE (a slot file such as\n"
    "slot1.csv).\n"
    "\n"
    "  --steps N  RESET, then execute N instructions (default 20), one line each:\n"
    "             address, machine code, assembler text, R0..R15, V N Z C\n"
    "  --list     decode program memory from 0xFF80 upwards without executing\n"
    "  --help     show this text\n";

const unsigned long kMaxSteps = 100000000ul;

struct Options {
  const char* slotFile = nullptr;
  unsigned long steps = 20;
  bool stepsGiven = false;
  bool list = false;
  bool help = false;
};

// Parses the command line; on a mistake writes one line to stderr.
bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
      o->help = true;
    } else if (strcmp(arg, "--list") == 0) {
      o->list = true;
    } else if (strcmp(arg, "--steps") == 0 || strncmp(arg, "--steps=", 8) == 0) {
      const char* value = nullptr;
      if (arg[7] == '=') {
        value = arg + 8;
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        fprintf(stderr, "velkor-trace: --steps needs a number\n");
        return false;
      }
      char* end = nullptr;
      errno = 0;
      unsigned long n = strtoul(value, &end, 10);
      if (value[0] < '0' || value[0] > '9' || *end != 0 || errno != 0 || n > kMaxSteps) {
        fprintf(stderr, "velkor-trace: bad number of steps '%s' (0..%lu)\n", value, kMaxSteps);
        return false;
      }
      o->steps = n;
      o->stepsGiven = true;
    } else if (arg[0] == '-' && arg[1] != 0) {
      fprintf(stderr, "velkor-trace: unknown option '%s' (see --help)\n", arg);
      return false;
    } else if (o->slotFile != nullptr) {
      fprintf(stderr, "velkor-trace: more than one slot file given ('%s', '%s')\n", o->slotFile,
              arg);
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

bool LoadSlotFile(const char* path, MachineState* m) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) {
    fprintf(stderr, "velkor-trace: cannot open '%s': %s\n", path, strerror(errno));
    return false;
  }
  ROMLoadStream(file, m->rom);
  bool failed = ferror(file) != 0;
  int error = errno;
  fclose(file);
  if (failed) {
    fprintf(stderr, "velkor-trace: cannot read '%s': %s\n", path, strerror(error));
    return false;
  }
  return true;
}

unsigned Parse16(const char* hex) {
  return static_cast<unsigned>(strtoul(hex, nullptr, 16)) & 0xFFFF;
}

// "FF80: 4031 0280  MOV  #0x0280,SP", or "FF80: 0000  ---" for a word
// the assembler produced nothing for.
void PrintInstruction(unsigned address, const MachineState* m, const AssembledInstruction* a) {
  if (a->word[0] == 0) {
    printf("%04X: %04X  ---", address, ReadMemoryWord(m->ram, m->rom, m->ports, address));
    return;
  }
  printf("%04X: %s", address, a->word);
  if (a->extension1[0] != 0) printf(" %s", a->extension1);
  if (a->extension2[0] != 0) printf(" %s", a->extension2);
  printf("  %s", a->text);
}

void PrintState(const MachineState* m) {
  printf(" |");
  for (int r = 0; r < kRegisterCount; ++r) printf(" R%d=%s", r, m->registers[r]);
  printf(" | V=%d N=%d Z=%d C=%d\n", m->statusFlags[kFlagV], m->statusFlags[kFlagN],
         m->statusFlags[kFlagZ], m->statusFlags[kFlagC]);
}

void Trace(Simulator* s, unsigned long steps) {
  MachineState* m = &s->machine;
  ResetMachine(m, nullptr, &s->decoded);
  for (unsigned long i = 0; i < steps; ++i) {
    Ports(m->ports, m->p2Input, m->ports, m->p1Output);
    unsigned pc = Parse16(m->registers[0]);
    if (!FetchDecode(s)) {
      printf("RESET\n");
      ResetMachine(m, nullptr, &s->decoded);
      continue;
    }
    ExecuteSelected(s);
    PrintInstruction(pc, m, &s->assembled);
    PrintState(m);
  }
}

void List(Simulator* s) {
  MachineState* m = &s->machine;
  unsigned address = 0xFF80;
  while (address <= 0xFFFE) {
    SetRegister(m->registers, 0, static_cast<uint16_t>(address), &m->ramMarker, &m->ramMarkerOn,
                &m->romMarker, &m->romMarkerOn);
    FetchDecode(s);
    const AssembledInstruction* a = &s->assembled;
    unsigned words = 1 + (a->extension1[0] != 0) + (a->extension2[0] != 0);
    PrintInstruction(address, m, a);
    printf("\n");
    address += 2 * words;
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) return 2;
  if (options.help) {
    fputs(kUsage, stdout);
    return 0;
  }
  // The machine record is large (its texts are the panel's cells): keep it
  // off the stack.
  static Simulator simulator;
  InitSimulator(&simulator);
  if (options.slotFile != nullptr && !LoadSlotFile(options.slotFile, &simulator.machine)) {
    return 1;
  }
  if (options.list) {
    List(&simulator);
  } else {
    Trace(&simulator, options.steps);
  }
  if (fflush(stdout) != 0 || ferror(stdout)) {
    fprintf(stderr, "velkor-trace: cannot write the output\n");
    return 1;
  }
  return 0;
}
