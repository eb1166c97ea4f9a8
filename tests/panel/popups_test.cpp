// The pop-up panels: their rules without a window (selector loads, register
// and slot edits), then stories through the real children, off-screen.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/mycode.h"
#include "panel/Velkor_symbology_layer_cycle_internal.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_symbology_layer_parts_internal.h"
#include "panel/Velkor_symbology_layer_popups_internal.h"
#include "tests/display/display_fixture.h"
#include "tests/panel/layer_fixture.h"

namespace {

uint16_t Word(const MemoryRow& row) {
  return static_cast<uint16_t>(strtoul(row.cells[kRowHighCell], nullptr, 16) << 8 |
                               strtoul(row.cells[kRowLowCell], nullptr, 16));
}

// A shortcut's instruction assembled as the panel does it; the outside truth
// is the machine code of the same instruction.
TEST(SelectorLoad, EachShortcutLoadsItsInstruction) {
  struct Row {
    int32_t shortcut;
    const char* assembler_word;
    const char* extension;
  };
  // MOV #0x280,SP is the demonstration program's first instruction (FF80:
  // 4031 0280); PUSH R0 is 1200; POP R4 is MOV @SP+,R4, 4134.
  const Row rows[] = {
      {kShortcutInitSp, "4031", "0280"}, {kShortcutPush, "1200", ""}, {kShortcutPop, "4134", ""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.shortcut);
    Layer c = NewLayer();
    // Leftovers of an earlier selection that the shortcut must replace.
    c->sourceMode = kModeIndexed;
    c->destinationMode = kModeAbsolute;
    c->wordOperation = 0;
    c->shortcutHover[r.shortcut] = 1;
    Velkor_SelectorLoad load;
    Velkor_popups_selector_load(c.get(), 1, &load);
    Velkor_popups_apply_load(c.get(), &load);
    Velkor_popups_convert_operands(c.get());
    Velkor_cycle_assemble(c.get());
    EXPECT_STREQ(r.assembler_word, c->machineWordText);
    EXPECT_STREQ(r.extension, c->extension1Text);
    EXPECT_EQ(1, c->wordOperation);
    EXPECT_TRUE(Velkor_cycle_selection_runnable(c.get()));
  }
}

TEST(Edits, RegisterIsWrittenOnSaveWithAValidValueNeverR3) {
  struct Row {
    const char* name;
    uint32_t reg;
    const char* typed;
    uint8_t save;
    const char* expected;
  };
  const Row rows[] = {{"R5 saved", 5, "0x1234", 1, "1234"},
                      {"SP kept even", 1, "0x0281", 1, "0280"},
                      {"not a number", 5, "abc", 1, "0000"},
                      {"R3 is the constant generator", 3, "0x1234", 1, "0000"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Layer c = NewLayer();
    c->registerIndex = r.reg;
    snprintf(c->registerEditText, kTextCellSize, "%s", r.typed);
    Velkor_popups_convert(c->registerEditText, c->registerValueText, &c->registerValid);
    c->saveToRegister = r.save;
    Velkor_popups_change_register(c.get());
    EXPECT_STREQ(r.expected, c->registers[r.reg]);
  }
}

class SlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, getcwd(old_, sizeof old_));
    snprintf(dir_, sizeof dir_, "/tmp/velkor_popups_slots_XXXXXX");
    ASSERT_NE(nullptr, mkdtemp(dir_));
    ASSERT_EQ(0, chdir(dir_));
  }
  void TearDown() override {
    ASSERT_EQ(0, chdir(old_));
    const std::string rm = std::string("rm -rf ") + dir_;
    ASSERT_EQ(0, system(rm.c_str()));
  }
  char old_[4096];
  char dir_[64];
};

TEST_F(SlotTest, SlotThreeSavedAndLoadedBack) {
  Layer c = NewLayer();
  c->slot = 2;
  ASSERT_TRUE(Velkor_popups_slot_save(c.get()));
  EXPECT_STREQ("ROM gespeichert in slot3.csv.", c->slotMessage);
  std::ifstream in("slot3.csv", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(64u * strlen("FFFE;FF80;\"\"\r\n"), file.size());
  EXPECT_EQ(0u, file.find("FFFE;FF80;\"\"\r\n"));
  EXPECT_NE(std::string::npos, file.find("FF80;4031;\"\"\r\n"));

  snprintf(c->romRows[63].cells[kRowHighCell], kTextCellSize, "12");
  snprintf(c->romRows[0].cells[kRowLowCell], kTextCellSize, "00");
  ASSERT_TRUE(Velkor_popups_slot_load(c.get()));
  EXPECT_STREQ("ROM geladen aus slot3.csv.", c->slotMessage);
  EXPECT_EQ(0x4031, Word(c->romRows[63]));
  EXPECT_EQ(0xFF80, Word(c->romRows[0]));
}

TEST_F(SlotTest, FailuresAreSaidAndLeaveTheRomAlone) {
  struct Row {
    const char* name;
    uint32_t slot;
    bool save;
    const char* message;
  };
  // slot5.csv is a directory: it can be neither written nor read.
  ASSERT_EQ(0, mkdir("slot5.csv", 0755));
  ASSERT_EQ(0, mkfifo("slot3.csv", 0600));
  std::ofstream("slot6.csv", std::ios::binary) << "XYZ\r\n";
  std::ofstream("slot7.csv", std::ios::binary) << "";
  std::ofstream("slot8.csv", std::ios::binary) << "FFFE;1234;\"\"\r\n";
  ASSERT_EQ(0, chmod("slot8.csv", 0444));  // a protected exercise
  const Row rows[] = {
      {"missing file", 0, false, "slot1.csv konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"directory", 4, false, "slot5.csv konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"FIFO", 2, false, "slot3.csv konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"no word in it", 5, false, "slot6.csv: Zeile 1 fehlerhaft, ROM unver\xe4ndert."},
      {"empty", 6, false, "slot7.csv ist leer, ROM unver\xe4ndert."},
      {"slot outside", 10, false, "Slot konnte nicht gelesen werden, ROM unver\xe4ndert."},
      {"save over a directory", 4, true, "slot5.csv konnte nicht geschrieben werden."},
      {"save over a protected file", 7, true, "slot8.csv konnte nicht geschrieben werden."},
      {"save outside", 10, true, "Slot konnte nicht geschrieben werden."}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Layer c = NewLayer();
    Layer before = NewLayer();
    c->slot = r.slot;
    EXPECT_FALSE(r.save ? Velkor_popups_slot_save(c.get()) : Velkor_popups_slot_load(c.get()));
    EXPECT_STREQ(r.message, c->slotMessage);
    EXPECT_EQ(0, memcmp(before->romRows, c->romRows, sizeof c->romRows));
  }
  std::ifstream protected_file("slot8.csv", std::ios::binary);
  EXPECT_EQ("FFFE;1234;\"\"\r\n", std::string(std::istreambuf_iterator<char>(protected_file),
                                              std::istreambuf_iterator<char>()));
}

// A load cut short by a bad line keeps the words before it and says so: how many, and which line.
TEST_F(SlotTest, APartialLoadSaysHowFarItGot) {
  const struct {
    const char* content;
    const char* message;
    uint16_t ff80;
    uint16_t fffe;
  } cases[] = {
      {"FFFE;FF82\r\nXYZ\r\nFF80;1111\r\n", "slot2.csv: Zeile 2 fehlerhaft, nur 1 Wort geladen.",
       0x4031, 0xFF82},
      {"FFFE;FF82\r\nFF80;1111\r\nFF80;2222\r\n",
       "slot2.csv: Zeile 3 fehlerhaft, nur 2 W\xf6rter geladen.", 0x1111, 0xFF82},
      {"FF80;1111\nFFFE;FF82\n\n", "ROM geladen aus slot2.csv.", 0x1111, 0xFF82},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.content);
    std::ofstream("slot2.csv", std::ios::binary) << k.content;
    Layer c = NewLayer();
    c->slot = 1;
    EXPECT_TRUE(Velkor_popups_slot_load(c.get()));
    EXPECT_STREQ(k.message, c->slotMessage);
    EXPECT_EQ(k.ff80, Word(c->romRows[63]));
    EXPECT_EQ(k.fffe, Word(c->romRows[0]));
  }
}

// The rules' steps after the drawing act on what the children recorded, with
// no drawing at all, and only for pop-ups whose children were drawn.
TEST_F(SlotTest, TheStepsAfterTheDrawingActOnRecordedChoicesOnly) {
  for (const uint8_t drawn : {0, 1}) {
    SCOPED_TRACE(drawn ? "children drawn" : "children not drawn");
    Layer c = NewLayer();
    c->popupChildrenDrawn[kPopUpSlots] = drawn;
    c->popupChildrenDrawn[kPopUpRam] = drawn;
    c->popupChildrenDrawn[kPopUpRegister] = drawn;
    // The choices as the children record them.
    c->slot = 3;
    c->saveToSlot = 1;
    c->ramEditRow = 63;  // 0x0200
    snprintf(c->ramEditText, kTextCellSize, "0x0C");
    c->saveToRam = 1;
    c->registerIndex = 5;
    snprintf(c->registerEditText, kTextCellSize, "0x1234");
    c->saveToRegister = 1;
    Velkor_popups_after_drawing(c.get());
    struct stat st;
    EXPECT_EQ(drawn == 1, stat("slot4.csv", &st) == 0);
    EXPECT_STREQ(drawn ? "ROM gespeichert in slot4.csv." : "", c->slotMessage);
    EXPECT_EQ(drawn ? 0x000C : 0x0000, Word(c->ramRows[63]));
    EXPECT_STREQ(drawn ? "1234" : "0000", c->registers[5]);
    EXPECT_EQ(drawn, c->registerValid);
  }
  // A value that is refused is converted and said so, but written nowhere.
  Layer c = NewLayer();
  c->popupChildrenDrawn[kPopUpRegister] = 1;
  c->registerIndex = 6;
  snprintf(c->registerEditText, kTextCellSize, "70000");
  c->saveToRegister = 1;
  Velkor_popups_after_drawing(c.get());
  EXPECT_EQ(0, c->registerValid);
  EXPECT_STREQ("0000", c->registers[6]);
  // Before the next drawing: the record is cleared, and a click that opens
  // the slot pop-up starts it without the old message.
  snprintf(c->slotMessage, sizeof c->slotMessage, "alt");
  c->romByteHover = 1;
  c->clickFlag = 1;
  Velkor_popups_before_drawing(c.get());
  EXPECT_STREQ("", c->slotMessage);
  for (int p = 0; p < kPopUpCount; ++p) EXPECT_EQ(0, c->popupChildrenDrawn[p]);
}

using velkor_test::DisplayTest;

class PopUpStory : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    c_ = NewLayer();
    c_->resetRequest = 0;  // pass 0, which clears it, is not drawn here
  }
  // Frames of a pop-up's children at (x, y), as pass 2 draws them between
  // the rules' steps, until the queued input is used up.
  void Draw(Velkor_ChildrenCallback children, float x, float y) {
    do {
      Frame([&] {
        Velkor_symbology_layer_predraw(c_.get());
        Velkor_popups_before_drawing(c_.get());
        DrawAt(x, y, 1, 0, [&] { children(c_.get(), 2, -1, 2); });
        Velkor_popups_after_drawing(c_.get());
      });
    } while (InputPending());
  }
  // A click at (px, py) on the children drawn at (x, y).
  void Click(Velkor_ChildrenCallback children, float px, float py, float x, float y) {
    MoveTo(px, py);
    Draw(children, x, y);
    Press();
    Release();
    Draw(children, x, y);
  }
  // Into the value box of the RAM or register pop-up (at (90, 104), 76.25 x
  // 30.25): a click at its right end, the old text erased, the value typed
  // and confirmed with Enter.
  void TypeValue(Velkor_ChildrenCallback children, float x, float y, const char* value) {
    Click(children, x + 163.0f, y + 119.0f, x, y);
    for (const char* k : {"\b\b\b\b\b\b\b\b", value, "\r"}) {
      for (; *k != '\0'; ++k) Type(static_cast<uint8_t>(*k));
    }
    Draw(children, x, y);
  }
  Layer c_;
};

// The RAM pop-up at (352.75, -146.25): its origin at (992.75, 237.75).
constexpr float kRamX = 992.75f;
constexpr float kRamY = 237.75f;
const Velkor_ChildrenCallback kRam = Velkor_symbology_layer_drawChildren_RAMPopUpPanel;

// The register pop-up at (-56.25, -327.25): its origin at (583.75, 56.75).
constexpr float kRegX = 583.75f;
constexpr float kRegY = 56.75f;
const Velkor_ChildrenCallback kReg = Velkor_symbology_layer_drawChildren_RegPopUpPanel;

// A typed value that is refused says why (no number at all, or out of
// range), its preview shows no number ("= 0x????", not what a conversion
// made of it), and SAVE writes nothing; a valid one is previewed and saved.
TEST_F(PopUpStory, ARefusedValueSaysWhyShowsNoNumberAndIsNotSaved) {
  const velkor_test::Rgba red = velkor_test::TableColor(velkor_test::kRed);
  const struct {
    const char* name;
    Velkor_ChildrenCallback children;
    float x, y;
    int message_width;
  } popups[] = {{"RAM", kRam, kRamX, kRamY, 262}, {"register", kReg, kRegX, kRegY, 136}};
  enum Kind { kValid, kNoNumber, kOutOfRange };
  const struct {
    const char* typed;
    Kind kind;
  } rows[] = {{"abc", kNoNumber},
              {"12xyz", kNoNumber},
              {"70000", kOutOfRange},
              {"0x0C", kValid},
              {"", kValid}};
  for (const auto& p : popups) {
    SCOPED_TRACE(p.name);
    ClearFocus();         // the other pop-up's box, no longer drawn, still holds it
    c_->ramEditRow = 63;  // 0x0200
    c_->registerIndex = 5;
    std::vector<uint32_t> message[3];
    std::vector<uint32_t> preview[3];
    for (const auto& r : rows) {
      SCOPED_TRACE(r.typed);
      snprintf(c_->ramRows[63].cells[kRowLowCell], kTextCellSize, "77");
      snprintf(c_->registers[5], kTextCellSize, "7777");
      TypeValue(p.children, p.x, p.y, r.typed);
      EXPECT_EQ(r.kind == kValid ? 1 : 0, p.children == kRam ? c_->ramValid : c_->registerValid);
      // The message area at (8, 4), 62 high; the preview right of the box.
      const int mx = static_cast<int>(p.x) + 9;
      const int my = static_cast<int>(p.y) + 5;
      const int reds = velkor_test::CountPixelsNear(mx, my, p.message_width, 60, red, 8);
      const std::vector<uint32_t> m = velkor_test::PixelBlock(mx, my, p.message_width, 60);
      const std::vector<uint32_t> v = velkor_test::PixelBlock(static_cast<int>(p.x) + 170,
                                                              static_cast<int>(p.y) + 108, 100, 28);
      if (r.kind == kValid) {
        EXPECT_EQ(0, reds);
      } else {
        EXPECT_GT(reds, 50);
        if (message[r.kind].empty()) message[r.kind] = m;
        EXPECT_TRUE(message[r.kind] == m) << "one wording per reason";
        // Every refused value previews alike: no number.
        if (preview[kNoNumber].empty()) preview[kNoNumber] = v;
        EXPECT_TRUE(preview[kNoNumber] == v) << "previewed as no number";
      }
      if (r.kind == kValid && preview[kValid].empty()) preview[kValid] = v;
      // "SAVE to RAM" / "SAVE to Register:" at (8, 70), 138 x 34.
      Click(p.children, p.x + 77.0f, p.y + 87.0f, p.x, p.y);
      const std::string saved = p.children == kRam
                                    ? std::string(c_->ramRows[63].cells[kRowHighCell]) +
                                          c_->ramRows[63].cells[kRowLowCell]
                                    : std::string(c_->registers[5]);
      EXPECT_EQ(r.kind == kValid ? (r.typed[0] ? "000C" : "0000")
                                 : (p.children == kRam ? "0077" : "7777"),
                saved);
    }
    EXPECT_TRUE(message[kNoNumber] != message[kOutOfRange]) << "the two reasons read differently";
    EXPECT_TRUE(preview[kNoNumber] != preview[kValid]) << "a number is previewed as one";
  }
}

}  // namespace
