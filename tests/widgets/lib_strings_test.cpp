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
const std::string x250(250, 'x');

TEST(CharacterAccess, StepsOverWholeCharactersForwardsAndBackwards) {
  const struct {
    std::string text;
    int32_t index;
    uint32_t code;
    int32_t next, previous;  // from index
  } cases[] = {
      {"AB", 1, 'B', 2, 0},
      {"\xE4", 0, 0xE4, 1, -1},
      {"x\\u20AC", 1, 0x20AC, 7, 0},
      {"\\u00e4b", 6, 'b', 7, 0},  // escape with small letters, stepped back over
      {"\\u12G4", 0, '\\', 1, -1},  // a broken escape is bytes
      {"a" + CRLF + "b", 1, 13, 3, 0},
      {CRLF + "c", 2, 'c', 3, 0},
      {"a", 1, 0, 2, 0},
      {"", 255, 0, 256, 254},
      {"a", -3, 0, -2, -4},
      {x250 + "\\u0041", 249, 'x', 250, 248},
      {std::string(249, 'x') + "\\u0041", 249, 0x41, 255, 248},  // the last escape that fits
      {x250 + "\\u0041", 250, '\\', 251, 249},                    // cut at 255 bytes
      {std::string(254, 'x') + "\r", 254, 13, 255, 253},
  };
  for (const auto& c : cases) {
    Text text(c.text);
    int32_t next = -99;
    SCOPED_TRACE(c.text.substr(0, 12) + " at " + std::to_string(c.index));
    EXPECT_EQ(c.code, getCharId(text.bytes, c.index, &next));
    EXPECT_EQ(c.next, next);
    EXPECT_EQ(c.previous, getPreviousIndex(text.bytes, c.index));
  }
}

TEST(CharacterAccess, SetCharAtWritesEscapesOnlyWhereTheyFit) {
  Text text("");
  int32_t next = 0;
  setCharAt(text.bytes, 0, &next, 0x1F600);  // low 16 bits only
  EXPECT_EQ("\\uF600", text.str());
  EXPECT_EQ(6, next);
  Text tail(x250);
  setCharAt(tail.bytes, 250, &next, 0x0141);  // no room for six bytes: the low byte
  EXPECT_EQ(x250 + "A", tail.str());
  Text full(std::string(255, 'x'));
  setCharAt(full.bytes, 255, &next, 'A');
  setCharAt(full.bytes, -1, &next, 'A');
  EXPECT_EQ(std::string(255, 'x'), full.str());
}

TEST(EditStrings, EditsWholeCharactersAndMovesTheCaretWithinTheText) {
  const std::string lines = "ab" + CRLF + "cd" + CRLF + "ef";  // breaks at 2 and 6
  const struct {
    std::string text;
    uint32_t key;
    int32_t cursor, maxLen;
    std::string expected;  // the text afterwards
    int32_t caret;
    uint8_t changed;
  } cases[] = {
      {"a\\u20ACb", KEY_BACKSPACE, 7, 255, "ab", 1, 1},
      {"\\u20ACb", KEY_BACKSPACE, 6, 255, "b", 0, 1},
      {"a" + CRLF + "b", KEY_BACKSPACE, 3, 255, "ab", 1, 1},
      {"abc", KEY_BACKSPACE, 0, 255, "abc", 0, 0},
      {"abc", KEY_BACKSPACE, -1, 255, "ab", 2, 1},  // cursor -1 is the end
      {"a\\u20ACb", KEY_DELETE, 1, 255, "ab", 1, 1},
      {"a" + CRLF + "b", KEY_DELETE, 1, 255, "ab", 1, 1},
      {"abc", KEY_DELETE, 3, 255, "abc", 3, 0},
      {"ac", 'b', 1, 255, "abc", 2, 1},
      {"", 0xE4, 0, 255, "\xE4", 1, 1},
      {"a", 0x20AC, 1, 255, "a\\u20AC", 7, 1},
      {"", KEY_F1, 0, 255, "\\u0001", 6, 1},  // other keys: the escape of their low bits
      {"", KEY_PAGE_UP, 0, 255, "\\u000D", 6, 1},
      {"ab", KEY_ENTER, 1, 255, "a" + CRLF + "b", 3, 1},
      {"ab", 'c', 40, 255, "abc", 3, 1},  // a caret beyond the end types at the end
      {"a\\u20AC", KEY_LEFT, 7, 255, "a\\u20AC", 1, 0},
      {"ab", KEY_LEFT, 0, 255, "ab", 0, 0},
      {lines, KEY_RIGHT, 2, 255, lines, 4, 0},
      {"ab", KEY_RIGHT, 2, 255, "ab", 2, 0},
      {lines, KEY_DOWN, 1, 255, lines, 4, 0},
      {lines, KEY_DOWN, 9, 255, lines, 9, 0},
      {lines, KEY_UP, 9, 255, lines, 6, 0},
      {lines, KEY_UP, 1, 255, lines, 1, 0},
      {"abc", KEY_HOME, 2, 255, "abc", 0, 0},
      {"abc", KEY_END, 1, 255, "abc", 3, 0},
      // A full buffer never loses characters at its end.
      {std::string(254, 'x'), 'y', 254, 255, std::string(254, 'x'), 254, 0},
      {std::string(254, 'x'), 'y', 10, 255, std::string(254, 'x'), 10, 0},
      {x250, 0x20AC, 250, 255, x250, 250, 0},
      {std::string(253, 'x'), KEY_ENTER, 0, 255, std::string(253, 'x'), 0, 0},
      {std::string(253, 'x'), 'y', 253, 255, std::string(253, 'x') + "y", 254, 1},
      {"012345678", 'y', 0, 10, "012345678", 0, 0},
      {std::string(254, 'x'), 'y', 0, 1000, std::string(254, 'x'), 0, 0},
  };
  for (const auto& c : cases) {
    Text text(c.text);
    Text out(c.text);
    int32_t caret = -77;
    uint8_t changed = 99;
    Edit_Strings(0, text.bytes, c.key, c.cursor, c.maxLen, &caret, out.bytes, &changed);
    SCOPED_TRACE(c.text.substr(0, 12) + ", key " + std::to_string(c.key) + " at " +
                 std::to_string(c.cursor));
    EXPECT_EQ(c.expected, out.str());
    EXPECT_EQ(c.caret, caret);
    EXPECT_EQ(c.changed, changed);
  }
}

TEST(EditStrings, IgnoresKeysThatWouldWriteInvisibleBytes) {
  for (uint32_t key : {0u, 1u, 7u, 9u, 10u, 12u, 14u, 27u, 31u, 255u}) {
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

TEST(EditStrings, WritesAWholeDefinedBufferFromAShortString) {
  // A literal is shorter than a text buffer: the editor must not read past
  // its terminator (the sanitizer build would report it).
  char out[TEXT_SIZE_Strings];
  std::memset(out, 'Z', sizeof out);
  int32_t caret = 0;
  uint8_t changed = 0;
  Edit_Strings(0, "hi", '!', -1, 255, &caret, out, &changed);
  EXPECT_EQ(std::string("hi!") + std::string(TEXT_SIZE_Strings - 3, '\0'),
            std::string(out, sizeof out));
  EXPECT_EQ(3, caret);
}

TEST(StringHelpers, RichTextEscapesAndKeypadEditsStayInTheBuffer) {
  char out[TEXT_SIZE_Strings];
  InvertText_Strings(Text("abc").bytes, out);
  EXPECT_EQ("\x1B" "Dabc\x1B" "E", std::string(out));
  InvertText_Strings(Text(std::string(255, 'x')).bytes, out);
  EXPECT_EQ("\x1B" "D" + std::string(251, 'x') + "\x1B" "E", std::string(out, sizeof out));

  SetTextColor_Strings("hi", 5, 7, out);
  EXPECT_EQ("\x1B" "A\x05\x1B" "B\x07hi", std::string(out));
  SetTextColor_Strings(Text(std::string(255, 'y')).bytes, 1, 2, out);
  EXPECT_EQ(std::string(248, 'y'), std::string(out + 6));

  AddCharAtEnd_NumKeypad("12", '3', out);
  EXPECT_EQ("123", std::string(out));
  AddCharAtEnd_NumKeypad(Text(std::string(254, '1')).bytes, '2', out);
  EXPECT_EQ(std::string(254, '1'), std::string(out));
  RemoveCharAtEnd_NumKeypad("123", out);
  EXPECT_EQ("12", std::string(out));
  RemoveCharAtEnd_NumKeypad("", out);
  EXPECT_EQ("", std::string(out));
  RemoveCharAtEnd_NumKeypad(Text(std::string(255, '9')).bytes, out);
  EXPECT_EQ(std::string(255, '9'), std::string(out, sizeof out));

  SetWordWrap(std::string(40, '-').c_str());
  EXPECT_EQ(std::string(WORD_SEP_SIZE_Strings, '-'), std::string(wordSep));
  SetWordWrap(" ");
}

TEST(StringHelpers, FloatOfStringGivesZeroForNoNumber) {
  const struct {
    std::string text;
    float value;
  } cases[] = {{"1.5", 1.5f}, {"-2e3", -2000.0f}, {"  7 apples", 7.0f},
               {"abc", 0.0f}, {"", 0.0f},         {"-", 0.0f}};
  for (const auto& c : cases) EXPECT_EQ(c.value, Float_of_string_Strings(Text(c.text).bytes)) << c.text;
  // 255 digits without a terminator inside the buffer: read no further.
  EXPECT_GT(Float_of_string_Strings(Text(std::string(255, '1')).bytes), 1e30f);
}

}  // namespace
