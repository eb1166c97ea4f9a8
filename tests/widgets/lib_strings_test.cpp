// The text format and the one-step editor: escapes and line breaks are one character.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>

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

const std::string kX250(250, 'x');

TEST(CharacterAccess, StepsOverWholeCharactersForwardsAndBackwards) {
  // Text, index; the code there, the next and the previous index from it.
  const std::tuple<std::string, int32_t, uint32_t, int32_t, int32_t> cases[] = {
      {"\xE4", 0, 0xE4, 1, -1},
      {"\\u00e4b", 6, 'b', 7, 0},
      {"\\u12G4", 0, '\\', 1, -1},  // a broken escape
      {"a\r\nb", 1, 13, 3, 0},
      {"a", 1, 0, 2, 0},
      {"", 255, 0, 256, 254},                                    // outside the buffer
      {std::string(249, 'x') + "\\u0041", 249, 0x41, 255, 248},  // the last escape that fits
      {kX250 + "\\u0041", 250, '\\', 251, 249},                  // cut at 255 bytes
      {std::string(254, 'x') + "\r", 254, 13, 255, 253},
      {"a", INT32_MAX, 0, INT32_MAX, INT32_MAX - 1},  // the integer range holds the walk
      {"a", INT32_MIN, 0, INT32_MIN + 1, INT32_MIN},
  };
  for (const auto& [text, index, code, next, previous] : cases) {
    Text t(text);
    int32_t after = -99;
    const uint32_t read = getCharId(t.bytes, index, &after);
    EXPECT_EQ(std::make_tuple(code, next, next, previous),
              std::make_tuple(read, after, getNextIndex(t.bytes, index),
                              getPreviousIndex(t.bytes, index)))
        << text.substr(0, 12) << " at " << index;
  }
  int32_t at = 0;
  Text written(kX250);
  setCharAt(written.bytes, 0, &at, 0x1F600);   // the escape of the low 16 bits
  setCharAt(written.bytes, 250, &at, 0x0141);  // no room for six bytes: the low byte
  setCharAt(written.bytes, 255, &at, 'B');     // outside: nothing
  setCharAt(written.bytes, -1, &at, 'B');
  EXPECT_EQ("\\uF600" + std::string(244, 'x') + "A", written.str());
}

// One editing step; the caret is written as '|' in the text before and after.
void expect_edit(const std::string& before, uint32_t key, const std::string& after,
                 int32_t maxLen = 255) {
  const size_t at = before.find('|');
  const std::string text = before.substr(0, at) + before.substr(at + 1);
  Text in(text), out(text);
  int32_t caret = -77;
  uint8_t changed = 99;
  Edit_Strings(0, in.bytes, key, int32_t(at), maxLen, &caret, out.bytes, &changed);
  std::string result = out.str();
  EXPECT_EQ(result != text, changed == 1) << before.substr(0, 20) << ", key " << key;
  result.insert(std::min<size_t>(size_t(caret), result.size()), "|");
  EXPECT_EQ(after, result) << "key " << key;
}

TEST(EditStrings, EditsWholeCharactersWithinTheBufferAndIgnoresKeysThatWouldHideThem) {
  expect_edit("a\\u20AC|b", KEY_BACKSPACE, "a|b");
  expect_edit("a\r\n|b", KEY_BACKSPACE, "a|b");
  expect_edit("|abc", KEY_BACKSPACE, "|abc");
  expect_edit("a|\\u20ACb", KEY_DELETE, "a|b");
  expect_edit("a|\r\nb", KEY_DELETE, "a|b");
  expect_edit("a|c", 'b', "ab|c");
  expect_edit("|", 0xE4, "\xE4|");
  expect_edit("a|", 0x20AC, "a\\u20AC|");
  expect_edit("|", KEY_F1, "\\u0001|");  // other keys: the escape of their low bits
  expect_edit("a|b", KEY_ENTER, "a\r\n|b");
  expect_edit("a\\u20AC|", KEY_LEFT, "a|\\u20AC");
  expect_edit("ab|\r\ncd", KEY_RIGHT, "ab\r\n|cd");
  expect_edit("a|b\r\ncd\r\nef", KEY_DOWN, "ab\r\n|cd\r\nef");
  expect_edit("ab\r\ncd\r\ne|f", KEY_DOWN, "ab\r\ncd\r\ne|f");
  expect_edit("ab\r\ncd\r\ne|f", KEY_UP, "ab\r\ncd|\r\nef");
  expect_edit("ab|c", KEY_HOME, "|abc");
  // A full buffer never loses characters at its end.
  const std::string x253(253, 'x'), x254(254, 'x');
  expect_edit(x254 + "|", 'y', x254 + "|");
  expect_edit("x|" + x253, 'y', "x|" + x253);
  expect_edit(kX250 + "|", 0x20AC, kX250 + "|");
  expect_edit(x253 + "|", 'y', x253 + "y|");
  expect_edit("|012345678", 'y', "|012345678", 10);
  expect_edit("|" + x254, 'y', "|" + x254, 1000);  // taken as 255
  // A literal shorter than a buffer is not read past its end; a caret of -1 or beyond: the end.
  char out[TEXT_SIZE_Strings];
  std::memset(out, 'Z', sizeof out);
  int32_t caret = 0;
  uint8_t changed = 0;
  Edit_Strings(0, "hi", '!', -1, 255, &caret, out, &changed);
  EXPECT_EQ("hi!" + std::string(TEXT_SIZE_Strings - 3, '\0'), std::string(out, sizeof out));
  Edit_Strings(0, "hi", '?', 40, 255, &caret, out, &changed);
  EXPECT_EQ("hi?", std::string(out));
  EXPECT_EQ(3, caret);
  for (uint32_t key : {0u, 1u, 7u, 9u, 10u, 12u, 14u, 27u, 31u, 255u}) {
    expect_edit("a|b", key, "a|b");
  }
}

TEST(StringHelpers, RichTextEscapesAndKeypadEditsStayInTheBuffer) {
  const std::string esc = "\x1B";
  char out[TEXT_SIZE_Strings];
  InvertText_Strings(Text("abc").bytes, out);
  EXPECT_EQ(esc + "Dabc" + esc + "E", std::string(out));
  InvertText_Strings(Text(std::string(255, 'x')).bytes, out);
  EXPECT_EQ(esc + "D" + std::string(251, 'x') + esc + "E", std::string(out, sizeof out));
  SetTextColor_Strings(Text(std::string(255, 'y')).bytes, 1, 2, out);
  EXPECT_EQ(std::string(248, 'y'), std::string(out + 6));

  AddCharAtEnd_NumKeypad(Text(std::string(254, '1')).bytes, '2', out);
  EXPECT_EQ(std::string(254, '1'), std::string(out));
  RemoveCharAtEnd_NumKeypad(Text(std::string(255, '9')).bytes, out);
  EXPECT_EQ(std::string(255, '9'), std::string(out, sizeof out)) << "a full text stays whole";

  SetWordWrap(std::string(40, '-').c_str());
  EXPECT_EQ(std::string(WORD_SEP_SIZE_Strings, '-'), std::string(wordSep));
  SetWordWrap(" ");
}

}  // namespace
