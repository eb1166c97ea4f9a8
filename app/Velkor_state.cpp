// The state file of the off-screen mode.
#include "app/Velkor_state.h"

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "host/host_files.h"

namespace {

using nlohmann::json;

constexpr const char* kFormats[] = {"Double Operand", "Single Operand", "Jump", "Emulated",
                                    "---no instruction---"};
constexpr const char* kDualOperations[] = {"MOV",  "ADD", "ADDC", "SUBC", "SUB", "CMP",
                                           "DADD", "BIT", "BIC",  "BIS",  "XOR", "AND"};
constexpr const char* kSingleOperations[] = {"RRC", "SWPB", "RRA", "SXT", "PUSH", "CALL", "RETI"};
constexpr const char* kJumpOperations[] = {"JNE / JNZ", "JEQ / JZ", "JNC / JLO", "JC / JHS",
                                           "JN",        "JGE",      "JL",        "JMP"};
constexpr const char* kEmulatedOperations[] = {"DEC", "INC", "NOP", "POP", "RET",
                                               "RLC", "RLA", "CLR", "TST"};
constexpr const char* kModes[] = {"Register", "Indexed",           "Symbolic",
                                  "Absolute", "Indirect register", "Indirect autoincrement",
                                  "Immediate"};
constexpr const char* kRegisterNames[] = {"R0 (PC)", "R1 (SP)", "R2 (SR)", "R3", "R4",  "R5",
                                          "R6",      "R7",      "R8",      "R9", "R10", "R11",
                                          "R12",     "R13",     "R14",     "R15"};
constexpr const char* kSpeeds[] = {"Slow", "Medium", "Fast"};
constexpr const char* kPortNames[] = {"P1IN", "P1OUT", "P1DIR", nullptr,
                                      "P2IN", "P2OUT", "P2DIR", nullptr};

// Windows-1252 characters 0x80 .. 0x9F (0 where the code page has none).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

template <size_t N>
std::string item(const char* const (&items)[N], uint32_t index) {
  return index < N ? items[index] : "";
}

void append_utf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A cell of at most `size` bytes; a cell without its terminator is cut there.
std::string cell(const char* text, size_t size) {
  return Velkor_PanelTextToUtf8(std::string(text, strnlen(text, size)).c_str());
}

std::string row_word(const MemoryRow& row) {
  return cell(row.cells[kRowHighCell], kTextCellSize) + cell(row.cells[kRowLowCell], kTextCellSize);
}

json address_unit(uint8_t shown, const char* base, const char* index, const char* address,
                  uint32_t reg) {
  return json{{"shown", shown != 0},
              {"base", cell(base, kAddressTextSize)},
              {"index", cell(index, kAddressTextSize)},
              {"address", cell(address, kAddressTextSize)},
              {"register", item(kRegisterNames, reg)}};
}

std::string operation_text(const Velkor_symbology_layer_context* c) {
  switch (c->instructionFormat) {
    case kFormatDoubleOperand:
      return item(kDualOperations, c->dualOperation);
    case kFormatSingleOperand:
      return item(kSingleOperations, c->singleOperation);
    case kFormatJump:
      return item(kJumpOperations, c->jumpOperation);
    case kFormatEmulated:
      return item(kEmulatedOperations, c->emulatedOperation);
    default:
      return "";
  }
}

}  // namespace

std::string Velkor_PanelTextToUtf8(const char* text) {
  std::string out;
  for (size_t i = 0; text[i] != '\0'; ++i) {
    const uint8_t byte = static_cast<uint8_t>(text[i]);
    if (byte == '\\' && text[i + 1] == 'u') {
      uint32_t code = 0;
      bool escape = true;
      for (int k = 0; k < 4 && escape; ++k) {
        const int digit = text[i + 2 + k] == '\0' ? -1 : hex_digit(text[i + 2 + k]);
        escape = digit >= 0;
        code = code * 16 + static_cast<uint32_t>(digit);
      }
      if (escape && !(code >= 0xD800 && code <= 0xDFFF)) {
        append_utf8(code, &out);
        i += 5;
        continue;
      }
    }
    if (byte >= 0x80 && byte < 0xA0) {
      append_utf8(kCp1252High[byte - 0x80] != 0 ? kCp1252High[byte - 0x80] : 0xFFFD, &out);
    } else {
      append_utf8(byte, &out);
    }
  }
  return out;
}

std::string Velkor_StateJson(const Velkor_symbology_layer_context* c, uint32_t frames) {
  json state;
  state["frame"] = frames;
  json registers = json::array();
  json frames_of_registers = json::array();
  for (int r = 0; r < kRegisterCount; ++r) {
    registers.push_back(cell(c->registers[r], kTextCellSize));
    frames_of_registers.push_back(c->registerHighlight[r]);
  }
  state["registers"] = registers;
  state["register_frames"] = frames_of_registers;
  state["flags"] = {{"V", c->statusFlags[kFlagV]},
                    {"N", c->statusFlags[kFlagN]},
                    {"Z", c->statusFlags[kFlagZ]},
                    {"C", c->statusFlags[kFlagC]}};
  state["state_text"] = Velkor_symbology_layer_state_text(c);
  state["continuous"] = c->continuousExecution != 0;
  state["speed"] = item(kSpeeds, c->speed);
  json rom = json::object();
  json ram = json::object();
  for (int r = 0; r < kMemoryRowCount; ++r) {
    rom[cell(c->romRows[r].cells[kRowAddressCell], kTextCellSize)] = row_word(c->romRows[r]);
    ram[cell(c->ramRows[r].cells[kRowAddressCell], kTextCellSize)] = row_word(c->ramRows[r]);
  }
  state["rom"] = rom;
  state["ram"] = ram;
  json ports = json::object();
  for (int p = 0; p < kPortCellCount; ++p) {
    if (kPortNames[p] != nullptr) ports[kPortNames[p]] = cell(c->ports[p], kPortCellSize);
  }
  state["ports"] = ports;
  json segments = json::array();
  for (int bit = 0; bit < 8; ++bit) segments.push_back(c->p1Output[bit] != 0 ? 1 : 0);
  state["segments"] = segments;
  json switches = json::array();
  for (int bit = 0; bit < 8; ++bit) switches.push_back(c->p2Input[bit] != 0 ? 1 : 0);
  state["switches"] = switches;
  state["rom_marker"] = {{"row", c->romMarker.row}, {"on", c->romMarkerOn != 0}};
  state["ram_marker"] = {{"row", c->ramMarker.row}, {"on", c->ramMarkerOn != 0}};
  state["rom_view"] = {{"first", c->MemoryMultiColumn.firstRow},
                       {"rows", c->MemoryMultiColumn.visibleRows}};
  state["ram_view"] = {{"first", c->MemoryMultiColumn_1.firstRow},
                       {"rows", c->MemoryMultiColumn_1.visibleRows}};
  state["rom_selection"] = {{"row", c->romSelection[0]}, {"column", c->romSelection[1]}};
  state["ram_selection"] = {{"row", c->ramSelection[0]}, {"column", c->ramSelection[1]}};
  state["selection"] = {
      {"format", item(kFormats, c->instructionFormat)},
      {"operation", operation_text(c)},
      {"source_mode", item(kModes, c->sourceMode)},
      {"source_register", item(kRegisterNames, c->sourceRegister)},
      {"source_text", cell(c->sourceEditText, kTextCellSize)},
      {"source_valid", c->sourceValid != 0},
      {"destination_mode", item(kModes, c->destinationMode)},
      {"destination_register", item(kRegisterNames, c->destinationRegister)},
      {"destination_text", cell(c->destinationEditText, kTextCellSize)},
      {"destination_valid", c->destinationValid != 0},
      {"word", c->wordOperation != 0},
      {"pc_offset", c->pcOffset},
  };
  state["assembler_text"] = cell(c->assemblerText, kTextCellSize);
  state["machine_code"] = {cell(c->machineWordText, kTextCellSize),
                           cell(c->extension1Text, kTextCellSize),
                           cell(c->extension2Text, kTextCellSize)};
  state["address_unit"] = {
      {"source", address_unit(c->showSourceAddress, c->sourceBaseText, c->sourceIndexText,
                              c->sourceAddressText, c->sourceAddressRegister)},
      {"destination",
       address_unit(c->showDestinationAddress, c->destinationBaseText, c->destinationIndexText,
                    c->destinationAddressText, c->destinationAddressRegister)},
  };
  state["popups"] = {{"slots", c->PopUpPanel.isOpen != 0},
                     {"instructions", c->InstruktionenPopUpPanel.isOpen != 0},
                     {"ram", c->RAMPopUpPanel.isOpen != 0},
                     {"machine_code", c->MaschinencodePopUpPanel.isOpen != 0},
                     {"info", c->InfoPopUpPanel.isOpen != 0},
                     {"register", c->RegPopUpPanel.isOpen != 0}};
  state["zoom"] = {{"instructions", c->instructionSetZoom != 0},
                   {"machine_code", c->machineCodeZoom != 0}};
  state["message"] = cell(c->slotMessage, kSlotMessageSize);
  json breakpoints = json::array();
  for (int r = 0; r < kMemoryRowCount; ++r) {
    if (c->classroom.breakpoints[r]) {
      breakpoints.push_back(cell(c->romRows[r].cells[kRowAddressCell], kTextCellSize));
    }
  }
  state["breakpoints"] = breakpoints;
  state["breakpoint_message"] = cell(c->classroom.breakpointMessage, kBreakpointMessageSize);
  state["help"] = c->classroom.helpOpen != 0;
  return state.dump(2) + "\n";
}

bool Velkor_WriteTextFile(const std::string& path, const std::string& text) {
  return Application_WriteFile(path.c_str(), text.data(), text.size());
}
