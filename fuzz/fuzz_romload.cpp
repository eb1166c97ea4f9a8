// ROMLoad on arbitrary slot-file bytes: the input becomes slot1.csv in a
// private temporary directory, which is the process's working directory
// while ROMLoad reads it (slot files live in the current directory).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/mycode.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

const char* fuzz_directory() {
  static char dir[] = "/tmp/velkor-fuzz-romload-XXXXXX";
  static bool made = false;
  if (!made) {
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) fuzz_fail(__LINE__);
    made = true;
  }
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_directory();
  FILE* file = fopen("slot1.csv", "wb");
  if (file == nullptr) fuzz_fail(__LINE__);
  if (size > 0 && fwrite(data, 1, size, file) != size) fuzz_fail(__LINE__);
  fclose(file);

  static MachineState machine;
  InitMachine(&machine);
  ROMLoad(1, machine.rom);
  // Every cell must stay a terminated text inside its buffer.
  for (const MemoryRow& row : machine.rom) {
    for (const TextCell& cell : row.cells) {
      if (memchr(cell, 0, sizeof cell) == nullptr) fuzz_fail(__LINE__);
    }
  }
  // An absent slot file and an out-of-range slot leave the ROM alone.
  ROMLoad(0, machine.rom);
  ROMLoad(11, machine.rom);
  return 0;
}
