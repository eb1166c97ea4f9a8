// The text format and the one-step editor: escapes and line breaks behave as
// one character everywhere, every index stays inside the 255-byte buffer and
// no edit leaves undefined or hidden bytes behind.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "widgets/interactivity_mapping.h"
#include "widgets/lib_strings.h"
#include "widgets/lib_unicode.h"

namespace {

// A full 255-byte text buffer holding s, zero-filled behind it.
struct Text {
  char bytes[TEXT_SIZE_Strings];
  explicit Text(const std::string& s) {
    std::memset(bytes, 0, sizeof bytes);
    std::memcpy(bytes, s.data(), s.size() < sizeof bytes ? s.size() : sizeof bytes);
  }
  std::string str() const { return std::string(bytes, strnlen(bytes, sizeof bytes)); }
};

const std::string CRLF = "\r\n";

// ---- Character access --------------------------------------------------------

struct CharCase {
  const char* name;
  std::string text;
  int32_t index;
  uint32_t code;
  int32_t next;
};

TEST(CharacterAccess, GetCharIdStepsOverWholeCharacters) {
  const CharCase cases[] = {
      {"plain byte", "AB", 1, 'B', 2},
      {"byte above 127", "\xE4", 0, 0xE4, 1},
      {"escape, capitals", "x\\u20AC", 1, 0x20AC, 7},
      {"escape, small letters", "\\u00e4", 0, 0xE4, 6},
      {"broken escape is bytes", "\\u12G4", 0, '\\', 1},
      {"line break", "a" + CRLF + "b", 1, 13, 3},
      {"terminator", "a", 1, 0, 2},
      {"index 255 is outside", "", 255, 0, 256},
      {"negative index", "a", -3, 0, -2},
  };
  for (const CharCase& c : cases) {
    Text text(c.text);
    int32_t next = -99;
    EXPECT_EQ(c.code, getCharId(text.bytes, c.index, &next)) << c.name;
    EXPECT_EQ(c.next, next) << c.name;
    EXPECT_EQ(c.next, getNextIndex(text.bytes, c.index)) << c.name;
  }
}

TEST(CharacterAccess, EscapesAndBreaksNearTheEndOfTheBuffer) {
  std::string s(249, 'x');
  Text fits(s + "\\u0041");
  EXPECT_EQ(1, isEscaped(fits.bytes, 249));
  EXPECT_EQ(0x41u, getCharId(fits.bytes, 249, nullptr));

  Text tooLate(std::string(250, 'x') + "\\u0041");  // cut at 255 bytes
  EXPECT_EQ(0, isEscaped(tooLate.bytes, 250));
  EXPECT_EQ(static_cast<uint32_t>('\\'), getCharId(tooLate.bytes, 250, nullptr));

  Text lastBreak(std::string(253, 'x') + CRLF);
  EXPECT_EQ(255, getNextIndex(lastBreak.bytes, 253));
  Text cutBreak(std::string(254, 'x') + "\r");
  EXPECT_EQ(255, getNextIndex(cutBreak.bytes, 254));
}

TEST(CharacterAccess, PreviousIndexStepsBackOverWholeCharacters) {
  struct Case {
    const char* name;
    std::string text;
    int32_t index;
    int32_t previous;
  } const cases[] = {
      {"plain", "abc", 2, 1},
      {"after an escape", "a\\u0041b", 7, 1},
      {"after an escape at the start", "\\u0041b", 6, 0},
      {"after a line break", "ab" + CRLF + "c", 4, 2},
      {"after a line break at the start", CRLF + "c", 2, 0},
      {"from the start", "abc", 0, -1},
      {"beyond the buffer", "abc", 300, 299},
  };
  for (const Case& c : cases) {
    Text text(c.text);
    EXPECT_EQ(c.previous, getPreviousIndex(text.bytes, c.index)) << c.name;
  }
}

TEST(CharacterAccess, HexDigits) {
  EXPECT_EQ(1, isHexa('f'));
  EXPECT_EQ(0, isHexa('g'));
  EXPECT_EQ(11u, getHexValue('B'));
  EXPECT_EQ(0u, getHexValue('z'));
  EXPECT_EQ('9', encodeHexValue(9));
  EXPECT_EQ('F', encodeHexValue(15));
  EXPECT_EQ('0', encodeHexValue(16));
}

TEST(CharacterAccess, SetCharAtWritesEscapesOnlyWhereTheyFit) {
  Text text("");
  int32_t next = 0;
  setCharAt(text.bytes, 0, &next, 0x1F600);  // low 16 bits only
  EXPECT_EQ("\\uF600", text.str());
  EXPECT_EQ(6, next);

  Text tail(std::string(250, 'x'));
  setCharAt(tail.bytes, 250, &next, 0x0141);  // no room for six bytes
  EXPECT_EQ(251, next);
  EXPECT_EQ(0x41, static_cast<uint8_t>(tail.bytes[250]));

  Text full(std::string(255, 'x'));
  setCharAt(full.bytes, 255, &next, 'A');
  EXPECT_EQ(255, next);
  setCharAt(full.bytes, -1, &next, 'A');
  EXPECT_EQ(-1, next);
  EXPECT_EQ(std::string(255, 'x'), full.str());
}

// ---- Edit_Strings ------------------------------------------------------------

struct EditCase {
  const char* name;
  std::string text;
  uint32_t key;
  int32_t cursor;
  int32_t maxLen;
  std::string expected;  // the text afterwards (unchanged when not changed)
  int32_t caret;
  uint8_t changed;
};

void runEditCases(const EditCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const EditCase& c = cases[i];
    Text text(c.text);
    Text out(c.text);
    int32_t caret = -77;
    uint8_t changed = 99;
    Edit_Strings(0, text.bytes, c.key, c.cursor, c.maxLen, &caret, out.bytes, &changed);
    EXPECT_EQ(c.expected, out.str()) << c.name;
    EXPECT_EQ(c.caret, caret) << c.name;
    EXPECT_EQ(c.changed, changed) << c.name;
  }
}

TEST(EditStrings, RemovesEscapesAndLineBreaksAsOneCharacter) {
  const EditCase cases[] = {
      {"backspace plain", "abc", KEY_BACKSPACE, 2, 255, "ac", 1, 1},
      {"backspace escape", "a\\u20ACb", KEY_BACKSPACE, 7, 255, "ab", 1, 1},
      {"backspace escape at start", "\\u20ACb", KEY_BACKSPACE, 6, 255, "b", 0, 1},
      {"backspace line break", "a" + CRLF + "b", KEY_BACKSPACE, 3, 255, "ab", 1, 1},
      {"backspace at 0", "abc", KEY_BACKSPACE, 0, 255, "abc", 0, 0},
      {"delete escape", "a\\u20ACb", KEY_DELETE, 1, 255, "ab", 1, 1},
      {"delete line break", "a" + CRLF + "b", KEY_DELETE, 1, 255, "ab", 1, 1},
      {"delete at the end", "abc", KEY_DELETE, 3, 255, "abc", 3, 0},
      {"cursor -1 is the end", "abc", KEY_BACKSPACE, -1, 255, "ab", 2, 1},
  };
  runEditCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(EditStrings, InsertsCharactersEscapesAndLineBreaks) {
  const EditCase cases[] = {
      {"byte in the middle", "ac", 'b', 1, 255, "abc", 2, 1},
      {"byte above 127", "", 0xE4, 0, 255, "\xE4", 1, 1},
      {"wide character", "a", 0x20AC, 1, 255, "a\\u20AC", 7, 1},
      {"function key F1", "", KEY_F1, 0, 255, "\\u0001", 6, 1},
      {"insert key", "", KEY_INSERT, 0, 255, "\\u0015", 6, 1},
      {"enter", "ab", KEY_ENTER, 1, 255, "a" + CRLF + "b", 3, 1},
      {"caret beyond the end types at the end", "ab", 'c', 40, 255, "abc", 3, 1},
  };
  runEditCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(EditStrings, IgnoresKeysThatWouldWriteInvisibleBytes) {
  const uint32_t ignored[] = {0, 1, 7, 9, 10, 12, 14, 27, 31, 255};
  for (uint32_t key : ignored) {
    Text text("ab");
    Text out("untouched");
    int32_t caret = -1;
    uint8_t changed = 1;
    Edit_Strings(0, text.bytes, key, 1, 255, &caret, out.bytes, &changed);
    EXPECT_EQ(0, changed) << "key " << key;
    EXPECT_EQ(1, caret) << "key " << key;
    EXPECT_EQ("untouched", out.str()) << "key " << key;
  }
}

TEST(EditStrings, MovesTheCaretWithinTheText) {
  const std::string lines = "ab" + CRLF + "cd" + CRLF + "ef";  // breaks at 2 and 6
  const EditCase cases[] = {
      {"left over escape", "a\\u20AC", KEY_LEFT, 7, 255, "a\\u20AC", 1, 0},
      {"left at 0", "ab", KEY_LEFT, 0, 255, "ab", 0, 0},
      {"right over line break", lines, KEY_RIGHT, 2, 255, lines, 4, 0},
      {"right stops at the end", "ab", KEY_RIGHT, 2, 255, "ab", 2, 0},
      {"down to the next line", lines, KEY_DOWN, 1, 255, lines, 4, 0},
      {"down on the last line", lines, KEY_DOWN, 9, 255, lines, 9, 0},
      {"up to the end of the previous line", lines, KEY_UP, 9, 255, lines, 6, 0},
      {"up on the first line", lines, KEY_UP, 1, 255, lines, 1, 0},
      {"home", "abc", KEY_HOME, 2, 255, "abc", 0, 0},
      {"end", "abc", KEY_END, 1, 255, "abc", 3, 0},
      {"page keys insert escapes", "", KEY_PAGE_UP, 0, 255, "\\u000D", 6, 1},
  };
  runEditCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(EditStrings, NeverLosesCharactersAtTheEndOfAFullBuffer) {
  const std::string full254(254, 'x');
  const std::string full10 = "0123456789";
  const EditCase cases[] = {
      {"byte at the end of 254", full254, 'y', 254, 255, full254, 254, 0},
      {"byte in the middle of 254", full254, 'y', 10, 255, full254, 10, 0},
      {"escape without room", std::string(250, 'x'), 0x20AC, 250, 255, std::string(250, 'x'), 250, 0},
      {"line break without room", std::string(253, 'x'), KEY_ENTER, 0, 255, std::string(253, 'x'), 0, 0},
      {"last byte that fits", std::string(253, 'x'), 'y', 253, 255, std::string(253, 'x') + "y", 254, 1},
      {"max length 10 full", full10.substr(0, 9), 'y', 0, 10, full10.substr(0, 9), 0, 0},
      {"max length above 255 is 255", full254, 'y', 0, 1000, full254, 0, 0},
  };
  runEditCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(EditStrings, WritesAWholeDefinedBuffer) {
  Text text("ab");
  char out[TEXT_SIZE_Strings];
  std::memset(out, 'Z', sizeof out);
  int32_t caret = 0;
  uint8_t changed = 0;
  Edit_Strings(0, text.bytes, 'c', 2, 255, &caret, out, &changed);
  ASSERT_EQ(1, changed);
  EXPECT_EQ("abc", std::string(out));
  for (int i = 3; i < TEXT_SIZE_Strings; ++i) EXPECT_EQ(0, out[i]) << "byte " << i;
}

TEST(EditStrings, ReadsAShortStringOnlyUpToItsTerminator) {
  // A literal is shorter than a text buffer; the editor must not read past it
  // (the sanitizer build would report it).
  const char shortText[] = "hi";
  char out[TEXT_SIZE_Strings] = {};
  int32_t caret = 0;
  uint8_t changed = 0;
  Edit_Strings(0, shortText, '!', -1, 255, &caret, out, &changed);
  EXPECT_EQ("hi!", std::string(out));
  EXPECT_EQ(3, caret);
}

// ---- Rich-text escapes and small helpers --------------------------------------

TEST(RichText, InvertWrapsTheTextInEscapes) {
  Text text("abc");
  char out[TEXT_SIZE_Strings];
  InvertText_Strings(text.bytes, out);
  EXPECT_EQ(std::string("\x1B" "Dabc\x1B" "E"), std::string(out));

  Text longText(std::string(255, 'x'));
  InvertText_Strings(longText.bytes, out);
  EXPECT_EQ(std::string("\x1B" "D") + std::string(251, 'x') + "\x1B" "E",
            std::string(out, sizeof out));
}

TEST(RichText, ColourPrefixAndLongText) {
  char out[TEXT_SIZE_Strings];
  SetTextColor_Strings("hi", 5, 7, out);
  EXPECT_EQ(std::string("\x1B" "A\x05\x1B" "B\x07hi"), std::string(out));

  Text longText(std::string(255, 'y'));
  SetTextColor_Strings(longText.bytes, 1, 2, out);
  EXPECT_EQ(std::string(248, 'y'), std::string(out + 6));
}

TEST(Helpers, NumKeypadAppendAndRemove) {
  char out[TEXT_SIZE_Strings];
  AddCharAtEnd_NumKeypad("12", '3', out);
  EXPECT_EQ("123", std::string(out));
  Text nearlyFull(std::string(254, '1'));
  AddCharAtEnd_NumKeypad(nearlyFull.bytes, '2', out);
  EXPECT_EQ(std::string(254, '1'), std::string(out, strnlen(out, sizeof out)));

  RemoveCharAtEnd_NumKeypad("123", out);
  EXPECT_EQ("12", std::string(out));
  RemoveCharAtEnd_NumKeypad("", out);
  EXPECT_EQ("", std::string(out));
  Text full(std::string(255, '9'));
  RemoveCharAtEnd_NumKeypad(full.bytes, out);
  EXPECT_EQ(std::string(255, '9'), std::string(out, sizeof out));
}

TEST(Helpers, FloatOfStringGivesZeroForNoNumber) {
  struct Case {
    std::string text;
    float value;
  } const cases[] = {
      {"1.5", 1.5f}, {"-2e3", -2000.0f}, {"  7 apples", 7.0f},
      {"abc", 0.0f}, {"", 0.0f},         {"-", 0.0f},
  };
  for (const Case& c : cases) {
    Text text(c.text);
    EXPECT_EQ(c.value, Float_of_string_Strings(text.bytes)) << c.text;
  }
  Text digits(std::string(255, '1'));  // no terminator inside the buffer
  EXPECT_GT(Float_of_string_Strings(digits.bytes), 1e30f);
}

TEST(Helpers, CaseEmptinessAndWordSeparators) {
  EXPECT_EQ('Q', SetCharacterCase('q', 1));
  EXPECT_EQ('q', SetCharacterCase('Q', 0));
  EXPECT_EQ('5', SetCharacterCase('5', 1));

  uint8_t empty = 9;
  StringIsEmpty(NullString, &empty);
  EXPECT_EQ(1, empty);
  StringIsEmpty("a", &empty);
  EXPECT_EQ(0, empty);

  EXPECT_EQ(" ", std::string(wordSep));
  SetWordWrap(std::string(40, '-').c_str());
  EXPECT_EQ(std::string(20, '-'), std::string(wordSep));
  SetWordWrap(" ");
}

}  // namespace
