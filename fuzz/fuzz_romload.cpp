// The slot file reader on arbitrary bytes, through the code the slot pop-up
// (ROMLoadSlot) and velkor-trace (ROMLoadFile) both use: the input becomes
// slot2.csv in a private temporary directory, the process's working
// directory while it runs (slot files live in the current directory).
//
// What must hold for every input: every cell stays a terminated text; the
// report agrees with the rows (as many rows changed as words reported, a
// stopping line and its problem named exactly when the load stopped); every
// word loaded is a line of the input at its own address; loading by slot
// and by path does the same; and what a save writes loads back exactly.
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "core/mycode.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

#define FUZZ_EXPECT(condition)             \
  do {                                     \
    if (!(condition)) fuzz_fail(__LINE__); \
  } while (0)

namespace {

std::string g_directory;

// The slot files and the directory go when the run ends.
void remove_private_directory() {
  for (const char* name : {"slot2.csv", "slot3.csv"}) remove((g_directory + "/" + name).c_str());
  rmdir(g_directory.c_str());
}

void enter_private_directory() {
  if (!g_directory.empty()) return;
  const char* base = getenv("TMPDIR");
  g_directory = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") +
                "/velkor-fuzz-romload-XXXXXX";
  FUZZ_EXPECT(mkdtemp(&g_directory[0]) != nullptr && chdir(g_directory.c_str()) == 0);
  atexit(remove_private_directory);
}

// Rows marked "ZZ" (no hex text) show which rows a load wrote.
void mark_rows(MemoryRow* rom) {
  for (int r = 0; r < kMemoryRowCount; ++r) {
    snprintf(rom[r].cells[kRowHighCell], kTextCellSize, "ZZ");
    snprintf(rom[r].cells[kRowLowCell], kTextCellSize, "ZZ");
  }
}

bool written(const MemoryRow& row) {
  return strcmp(row.cells[kRowHighCell], "ZZ") != 0;
}

// Whether the input has a line "AAAA;WWWW" (either case) for this row's word,
// at a line's start (after a byte order mark on the first line).
bool input_has_line(const std::string& upper, int row, const MemoryRow& cells) {
  char line[16];
  snprintf(line, sizeof line, "%04X;%s%s", 0xFFFE - 2 * row, cells.cells[kRowHighCell],
           cells.cells[kRowLowCell]);
  for (size_t at = upper.find(line); at != std::string::npos; at = upper.find(line, at + 1)) {
    if (at == 0 || upper[at - 1] == '\n' || (at == 3 && upper.compare(0, 3, "\xEF\xBB\xBF") == 0))
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_private_directory();
  FILE* file = fopen("slot2.csv", "wb");
  FUZZ_EXPECT(file != nullptr);
  FUZZ_EXPECT(size == 0 || fwrite(data, 1, size, file) == size);
  FUZZ_EXPECT(fclose(file) == 0);

  static MachineState by_slot;
  static MachineState by_path;
  InitMachine(&by_slot);
  InitMachine(&by_path);
  mark_rows(by_slot.rom);
  mark_rows(by_path.rom);
  SlotLoadResult slot_result = {};
  SlotLoadResult path_result = {};
  ROMLoadSlot(1, by_slot.rom, &slot_result);
  ROMLoadFile("slot2.csv", by_path.rom, &path_result);
  FUZZ_EXPECT(memcmp(&slot_result, &path_result, sizeof slot_result) == 0);
  FUZZ_EXPECT(memcmp(by_slot.rom, by_path.rom, sizeof by_slot.rom) == 0);

  const SlotLoadResult& r = slot_result;
  FUZZ_EXPECT(r.status == kSlotLoadComplete || r.status == kSlotLoadStopped);
  FUZZ_EXPECT(r.words >= 0 && r.words <= kMemoryRowCount);
  FUZZ_EXPECT((r.status == kSlotLoadStopped) == (r.line > 0));
  FUZZ_EXPECT((r.status == kSlotLoadStopped) == (r.problem != kSlotLineFine));
  FUZZ_EXPECT(r.problem >= kSlotLineFine && r.problem <= kSlotLineReadError);
  FUZZ_EXPECT(r.status != kSlotLoadStopped || r.words < r.line);

  std::string upper(reinterpret_cast<const char*>(data), size);
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  int changed = 0;
  for (int row = 0; row < kMemoryRowCount; ++row) {
    for (const TextCell& cell : by_slot.rom[row].cells) FUZZ_EXPECT(memchr(cell, 0, sizeof cell));
    if (!written(by_slot.rom[row])) continue;
    ++changed;
    FUZZ_EXPECT(input_has_line(upper, row, by_slot.rom[row]));
  }
  FUZZ_EXPECT(changed == r.words);

  // What a save writes loads back exactly, whatever the load left.
  for (int row = 0; row < kMemoryRowCount; ++row) {
    if (!written(by_slot.rom[row])) {
      snprintf(by_slot.rom[row].cells[kRowHighCell], kTextCellSize, "%02X", row);
      snprintf(by_slot.rom[row].cells[kRowLowCell], kTextCellSize, "%02X", 255 - row);
    }
  }
  FUZZ_EXPECT(ROMSaveSlot(by_slot.rom, 2) == 1);
  mark_rows(by_path.rom);
  ROMLoadSlot(2, by_path.rom, &path_result);
  FUZZ_EXPECT(path_result.status == kSlotLoadComplete && path_result.words == kMemoryRowCount);
  FUZZ_EXPECT(memcmp(by_slot.rom, by_path.rom, sizeof by_slot.rom) == 0);
  // An absent slot file and an out-of-range slot leave the ROM alone.
  ROMLoadSlot(0, by_path.rom, &path_result);
  FUZZ_EXPECT(path_result.status == kSlotLoadUnreadable && path_result.words == 0);
  ROMLoad(11, by_path.rom);
  FUZZ_EXPECT(memcmp(by_slot.rom, by_path.rom, sizeof by_slot.rom) == 0);
  return 0;
}
