// The state file of the off-screen mode.
#include "app/Velkor_state.h"

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "host/host_files.h"

namespace {

using nlohmann::json;

constexpr const char* kPortNames[] = {"P1IN", "P1OUT", "P1DIR", nullptr,
                                      "P2IN", "P2OUT", "P2DIR", nullptr};

// Windows-1252 characters 0x80 .. 0x9F (0 where the code page has none).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

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

std::string row_word(const Velkor_PanelRow& row) {
  return cell(row.high, kTextCellSize) + cell(row.low, kTextCellSize);
}

json address_unit(const Velkor_PanelAddress& a) {
  return json{{"shown", a.shown != 0},
              {"base", cell(a.base, kAddressTextSize)},
              {"index", cell(a.index, kAddressTextSize)},
              {"address", cell(a.address, kAddressTextSize)},
              {"register", a.registerName}};
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
  Velkor_PanelSnapshot shown{};
  Velkor_symbology_layer_snapshot(c, &shown);
  return Velkor_StateJson(shown, frames);
}

std::string Velkor_StateJson(const Velkor_PanelSnapshot& p, uint32_t frames) {
  json state;
  state["frame"] = frames;
  json registers = json::array();
  json frames_of_registers = json::array();
  for (int r = 0; r < kRegisterCount; ++r) {
    registers.push_back(cell(p.registers[r], kTextCellSize));
    frames_of_registers.push_back(p.registerFrames[r]);
  }
  state["registers"] = registers;
  state["register_frames"] = frames_of_registers;
  state["flags"] = {{"V", p.flags[kFlagV]},
                    {"N", p.flags[kFlagN]},
                    {"Z", p.flags[kFlagZ]},
                    {"C", p.flags[kFlagC]}};
  state["state_text"] = p.stateText;
  state["continuous"] = p.continuous != 0;
  state["speed"] = p.speed;
  json rom = json::object();
  json ram = json::object();
  for (int r = 0; r < kMemoryRowCount; ++r) {
    rom[cell(p.rom[r].address, kTextCellSize)] = row_word(p.rom[r]);
    ram[cell(p.ram[r].address, kTextCellSize)] = row_word(p.ram[r]);
  }
  state["rom"] = rom;
  state["ram"] = ram;
  json ports = json::object();
  for (int i = 0; i < kPortCellCount; ++i) {
    if (kPortNames[i] != nullptr) ports[kPortNames[i]] = cell(p.ports[i], kPortCellSize);
  }
  state["ports"] = ports;
  json segments = json::array();
  for (int bit = 0; bit < 8; ++bit) segments.push_back(p.segments[bit]);
  state["segments"] = segments;
  json switches = json::array();
  for (int bit = 0; bit < 8; ++bit) switches.push_back(p.switches[bit]);
  state["switches"] = switches;
  state["rom_marker"] = {{"row", p.romMarker.row}, {"on", p.romMarker.on != 0}};
  state["ram_marker"] = {{"row", p.ramMarker.row}, {"on", p.ramMarker.on != 0}};
  state["rom_view"] = {{"first", p.romFirstRow}, {"rows", p.romRowsShown}};
  state["ram_view"] = {{"first", p.ramFirstRow}, {"rows", p.ramRowsShown}};
  state["rom_selection"] = {{"row", p.romSelection.row}, {"column", p.romSelection.column}};
  state["ram_selection"] = {{"row", p.ramSelection.row}, {"column", p.ramSelection.column}};
  const Velkor_PanelSelection& s = p.selection;
  state["selection"] = {
      {"format", s.format},
      {"operation", s.operation},
      {"source_mode", s.sourceMode},
      {"source_register", s.sourceRegister},
      {"source_text", cell(s.sourceText, kTextCellSize)},
      {"source_valid", s.sourceValid != 0},
      {"destination_mode", s.destinationMode},
      {"destination_register", s.destinationRegister},
      {"destination_text", cell(s.destinationText, kTextCellSize)},
      {"destination_valid", s.destinationValid != 0},
      {"word", s.word != 0},
      {"pc_offset", s.pcOffset},
  };
  state["assembler_text"] = cell(p.assemblerText, kTextCellSize);
  state["machine_code"] = {cell(p.machineCode[0], kTextCellSize),
                           cell(p.machineCode[1], kTextCellSize),
                           cell(p.machineCode[2], kTextCellSize)};
  state["address_unit"] = {
      {"source", address_unit(p.sourceAddress)},
      {"destination", address_unit(p.destinationAddress)},
  };
  state["popups"] = {{"slots", p.popups.slots != 0}, {"instructions", p.popups.instructions != 0},
                     {"ram", p.popups.ram != 0},     {"machine_code", p.popups.machineCode != 0},
                     {"info", p.popups.info != 0},   {"register", p.popups.registers != 0}};
  state["zoom"] = {{"instructions", p.instructionZoom != 0},
                   {"machine_code", p.machineCodeZoom != 0}};
  state["message"] = cell(p.message, kSlotMessageSize);
  json breakpoints = json::array();
  for (int r = 0; r < kMemoryRowCount; ++r) {
    if (p.breakpoints[r]) breakpoints.push_back(cell(p.rom[r].address, kTextCellSize));
  }
  state["breakpoints"] = breakpoints;
  state["breakpoint_message"] = cell(p.breakpointMessage, kBreakpointMessageSize);
  state["help"] = p.helpOpen != 0;
  state["history"] = {{"undo", p.undoSteps}, {"redo", p.redoSteps}};
  return state.dump(2) + "\n";
}

bool Velkor_WriteTextFile(const std::string& path, const std::string& text) {
  return Application_WriteFile(path.c_str(), text.data(), text.size());
}
