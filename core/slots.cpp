// Program slot files: the 64 words of program memory as "slot1.csv" ..
// "slot10.csv" in the current directory. One line per word from 0xFFFE
// down: "FFFE;FF80;\"\"" and CR LF (the files are shared with Windows
// installations, which write them in text mode).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
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

// All of text to descriptor, through short writes and interruptions.
bool write_all(int descriptor, const char* text, size_t length) {
  while (length > 0) {
    ssize_t n = write(descriptor, text, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

// Makes a rename in the current directory survive a power cut.
void sync_current_directory() {
  int directory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0) return;
  fsync(directory);
  close(directory);
}

}  // namespace

void ROMSave(const MemoryRow* rom, uint32_t slot) {
  if (rom == nullptr || slot >= kSlotCount) return;
  if (!RowsTerminated(rom)) return;
  char name[16];
  char temporary[24];
  slot_file_name(name, sizeof name, slot);
  // Written in full beside the slot file, flushed to the disk, and only then
  // renamed over it: a save cut short at any point (a failed write, a killed
  // process, a power cut) leaves either the previous program or the new one,
  // never a mix. The fixed temporary name is truncated on the next save, so a
  // leftover from a killed save never piles up nor blocks one.
  snprintf(temporary, sizeof temporary, "%s.tmp", name);
  char text[kMemoryRowCount * 14 + 1];
  size_t length = 0;
  for (int r = 0; r < kMemoryRowCount; ++r) {
    uint32_t address = 0xFFFE - 2u * static_cast<uint32_t>(r);
    uint32_t word = ReadWord(nullptr, rom, nullptr, address, kRadixHex);
    length += static_cast<size_t>(snprintf(text + length, sizeof text - length,
                                           "%04X;%04X;\"\"\r\n", address & 0xFFFF, word & 0xFFFF));
  }
  int file = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (file < 0) return;
  bool ok = write_all(file, text, length);
  ok = ok && fsync(file) == 0;
  ok = close(file) == 0 && ok;
  if (!ok || rename(temporary, name) != 0) {
    unlink(temporary);
    return;
  }
  sync_current_directory();
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
