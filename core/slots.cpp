// Program slot files: the 64 words of program memory as "slot1.csv" ..
// "slot10.csv" in the current directory. One line per word from 0xFFFE
// down: "FFFE;FF80;\"\"" and CR LF (the files are shared with Windows
// installations, which write them in text mode).
#include <cstdio>

#include "core/mycode.h"
#include "core/mycode_internal.h"

using namespace core_detail;

namespace {

const uint32_t kSlotCount = 10;

// A slot line is 14 characters; only its first two fields are read.
const int kSlotLineSize = 64;

void slot_file_name(char* out, size_t size, uint32_t slot) {
  snprintf(out, size, "slot%u.csv", slot + 1);
}

// One line without its line feed (a CR stays; the field parse ignores it).
// A longer line keeps its beginning and the rest is skipped. False at the
// end of the file.
bool read_line(FILE* file, char* line, int size) {
  int c = fgetc(file);
  if (c == EOF) return false;
  int length = 0;
  for (; c != EOF && c != '\n'; c = fgetc(file)) {
    if (length < size - 1) line[length++] = static_cast<char>(c);
  }
  line[length] = 0;
  return true;
}

}  // namespace

void ROMSave(const MemoryRow* rom, uint32_t slot) {
  if (rom == nullptr || slot >= kSlotCount) return;
  if (!RowsTerminated(rom)) return;
  char name[16];
  char temporary[24];
  slot_file_name(name, sizeof name, slot);
  // Written beside the slot file and renamed over it: a write that fails
  // part-way leaves the previous program intact.
  snprintf(temporary, sizeof temporary, "%s.tmp", name);
  FILE* file = fopen(temporary, "wb");
  if (file == nullptr) return;
  bool ok = true;
  for (int r = 0; r < kMemoryRowCount && ok; ++r) {
    uint32_t address = 0xFFFE - 2u * static_cast<uint32_t>(r);
    uint32_t word = ReadWord(nullptr, rom, nullptr, address, kRadixHex);
    ok = fprintf(file, "%04X;%04X;\"\"\r\n", address, word) > 0;
  }
  if (fflush(file) != 0) ok = false;
  if (ferror(file)) ok = false;
  if (fclose(file) != 0) ok = false;
  if (!ok || rename(temporary, name) != 0) remove(temporary);
}

void ROMLoad(uint32_t slot, MemoryRow* rom) {
  if (rom == nullptr || slot >= kSlotCount) return;
  char name[16];
  slot_file_name(name, sizeof name, slot);
  FILE* file = fopen(name, "rb");
  if (file == nullptr) return;
  ROMLoadStream(file, rom);
  fclose(file);
}

int ROMLoadStream(FILE* file, MemoryRow* rom) {
  if (file == nullptr || rom == nullptr) return 0;
  // Lines are taken by position: line n fills row n whatever its address
  // field says. Each line is read on its own, so a line break can never
  // stand in for the blank before a number: a line that does not give both
  // numbers, a blank one included, ends the load.
  int n = 0;
  char line[kSlotLineSize];
  for (; n < kMemoryRowCount && read_line(file, line, sizeof line); ++n) {
    unsigned short address = 0;
    unsigned short word = 0;
    if (sscanf(line, "%4hX;%4hX", &address, &word) != 2) break;
    WriteWordToRow(&rom[n], word);
  }
  return n;
}
