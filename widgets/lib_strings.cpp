#include "widgets/lib_strings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "widgets/interactivity_mapping.h"

const char NullString[TEXT_SIZE_Strings + 1] = {};
char wordSep[WORD_SEP_SIZE_Strings + 1] = " ";

namespace {

// Length of text up to its first 0 byte, at most limit bytes.
int32_t bounded_length(const char* text, int32_t limit) {
  int32_t length = 0;
  while (length < limit && text[length] != 0) ++length;
  return length;
}

// A working copy of a text limited to maxLen bytes, zero beyond them, so
// every index below TEXT_SIZE_Strings + 1 can be read and every byte is
// defined when the copy is handed out.
struct EditBuffer {
  char bytes[TEXT_SIZE_Strings + 1];
  int32_t maxLen;
  int32_t end;  // first 0 byte, or maxLen
};

void load_buffer(EditBuffer* buffer, const char* text, int32_t maxLen) {
  std::memset(buffer->bytes, 0, sizeof buffer->bytes);
  buffer->maxLen = maxLen;
  buffer->end = bounded_length(text, maxLen);
  std::memcpy(buffer->bytes, text, static_cast<size_t>(buffer->end));
}

// Inserts width bytes at cursor; refuses when the text would lose its
// terminating 0 within maxLen (characters would drop off its end).
bool insert_bytes(EditBuffer* buffer, int32_t cursor, const char* bytes, int32_t width) {
  if (buffer->end + width >= buffer->maxLen) return false;
  std::memmove(buffer->bytes + cursor + width, buffer->bytes + cursor,
               static_cast<size_t>(buffer->end - cursor));
  std::memcpy(buffer->bytes + cursor, bytes, static_cast<size_t>(width));
  buffer->end += width;
  return true;
}

void remove_bytes(EditBuffer* buffer, int32_t at, int32_t width) {
  std::memmove(buffer->bytes + at, buffer->bytes + at + width,
               static_cast<size_t>(buffer->maxLen - at - width));
  std::memset(buffer->bytes + buffer->maxLen - width, 0, static_cast<size_t>(width));
  buffer->end = bounded_length(buffer->bytes, buffer->maxLen);
}

// Width of the character that ends at cursor.
int32_t width_before(const EditBuffer* buffer, int32_t cursor) {
  if (isPreviousEscaped(buffer->bytes, cursor)) return ESCAPE_SIZE_Strings;
  if (cursor >= 2 && static_cast<uint8_t>(buffer->bytes[cursor - 2]) == CR_char_Strings) return 2;
  return 1;
}

// Width of the character that starts at cursor, within maxLen.
int32_t width_at(const EditBuffer* buffer, int32_t cursor) {
  if (isEscaped(buffer->bytes, cursor) && cursor + ESCAPE_SIZE_Strings <= buffer->maxLen) {
    return ESCAPE_SIZE_Strings;
  }
  if (static_cast<uint8_t>(buffer->bytes[cursor]) == CR_char_Strings &&
      cursor + 2 <= buffer->maxLen) {
    return 2;
  }
  return 1;
}

}  // namespace

void Edit_Strings(uint32_t /*unused*/, const char* text, uint32_t key, int32_t cursor,
                  int32_t maxLen, int32_t* newCursor, char* newText, uint8_t* changed) {
  EditBuffer buffer;
  load_buffer(&buffer, text, std::clamp(maxLen, 0, TEXT_SIZE_Strings));

  // A caret beyond the end of the text would type behind the terminator,
  // where nothing is shown and nothing is kept: it stands at the end instead.
  int32_t at = (cursor == -1) ? buffer.end : std::clamp(cursor, 0, buffer.end);
  int32_t caret = at;
  bool edited = false;

  if (key == KEY_BACKSPACE) {
    if (at > 0) {
      const int32_t width = width_before(&buffer, at);
      remove_bytes(&buffer, at - width, width);
      caret = at - width;
      edited = true;
    }
  } else if (key == KEY_DELETE) {
    if (at + 1 < buffer.maxLen && at < buffer.end) {
      remove_bytes(&buffer, at, width_at(&buffer, at));
      edited = true;
    }
  } else if (key == KEY_ENTER) {
    const char pair[2] = {static_cast<char>(CR_char_Strings), static_cast<char>(LF_char_Strings)};
    if (insert_bytes(&buffer, at, pair, 2)) {
      caret = at + 2;
      edited = true;
    }
  } else if (key == KEY_LEFT) {
    caret = std::clamp(getPreviousIndex(buffer.bytes, at), 0, buffer.end);
  } else if (key == KEY_RIGHT) {
    caret = std::clamp(getNextIndex(buffer.bytes, at), 0, buffer.end);
  } else if (key == KEY_DOWN) {
    for (int32_t j = at; j < buffer.end; ++j) {
      if (static_cast<uint8_t>(buffer.bytes[j]) == CR_char_Strings) {
        caret = std::clamp(j + 2, 0, buffer.end);
        break;
      }
    }
  } else if (key == KEY_UP) {
    for (int32_t j = at - 1; j >= 1; --j) {
      if (static_cast<uint8_t>(buffer.bytes[j]) == LF_char_Strings) {
        caret = j - 1;
        break;
      }
    }
  } else if (key == KEY_HOME) {
    caret = 0;
  } else if (key == KEY_END) {
    if (buffer.end < buffer.maxLen) caret = buffer.end;
  } else if (key >= 32 && key <= 254) {
    const char byte = static_cast<char>(key);
    if (insert_bytes(&buffer, at, &byte, 1)) {
      caret = at + 1;
      edited = true;
    }
  } else if (key >= 256) {
    char escape[ESCAPE_SIZE_Strings + 1] = {};
    setCharAt(escape, 0, nullptr, key);
    if (insert_bytes(&buffer, at, escape, ESCAPE_SIZE_Strings)) {
      caret = at + ESCAPE_SIZE_Strings;
      edited = true;
    }
  }
  // Tab, Escape, the other control bytes and 255 fall through unchanged: a
  // control byte would be drawn as nothing and could never be seen to delete.

  if (newCursor) *newCursor = caret;
  if (changed) *changed = edited ? 1 : 0;
  if (edited && newText) std::memcpy(newText, buffer.bytes, TEXT_SIZE_Strings);
}

void InvertText_Strings(const char* text, char* display) {
  constexpr int32_t MAX_INVERTED = TEXT_SIZE_Strings - 4;
  std::memset(display, 0, TEXT_SIZE_Strings);
  const int32_t length = bounded_length(text, MAX_INVERTED);
  display[0] = static_cast<char>(Escape_char_Strings);
  display[1] = 'D';
  std::memcpy(display + 2, text, static_cast<size_t>(length));
  display[2 + length] = static_cast<char>(Escape_char_Strings);
  display[3 + length] = 'E';
}

void StringIsEmpty(const char* text, uint8_t* empty) {
  if (empty) *empty = text[0] == 0 ? 1 : 0;
}

void SetWordWrap(const char* separators) {
  const int32_t length = bounded_length(separators, WORD_SEP_SIZE_Strings);
  std::memset(wordSep, 0, sizeof wordSep);
  std::memcpy(wordSep, separators, static_cast<size_t>(length));
}

void SetTextColor_Strings(const char* text, uint8_t colour1, uint8_t colour2, char* out) {
  constexpr int32_t PREFIX = 6;
  constexpr int32_t MAX_COLOURED = TEXT_SIZE_Strings - PREFIX - 1;
  std::memset(out, 0, TEXT_SIZE_Strings);
  out[0] = static_cast<char>(Escape_char_Strings);
  out[1] = 'A';
  out[2] = static_cast<char>(colour1);
  out[3] = static_cast<char>(Escape_char_Strings);
  out[4] = 'B';
  out[5] = static_cast<char>(colour2);
  std::memcpy(out + PREFIX, text, static_cast<size_t>(bounded_length(text, MAX_COLOURED)));
}

char SetCharacterCase(char character, uint8_t upper) {
  if (upper && character >= 'a' && character <= 'z')
    return static_cast<char>(character - 'a' + 'A');
  if (!upper && character >= 'A' && character <= 'Z')
    return static_cast<char>(character - 'A' + 'a');
  return character;
}

void AddCharAtEnd_NumKeypad(const char* text, char character, char* out) {
  constexpr int32_t LAST_APPEND = TEXT_SIZE_Strings - 2;
  std::memset(out, 0, TEXT_SIZE_Strings);
  const int32_t length = bounded_length(text, TEXT_SIZE_Strings);
  std::memcpy(out, text, static_cast<size_t>(length));
  if (length <= LAST_APPEND) out[length] = character;
}

void RemoveCharAtEnd_NumKeypad(const char* text, char* out) {
  std::memset(out, 0, TEXT_SIZE_Strings);
  const int32_t length = bounded_length(text, TEXT_SIZE_Strings);
  std::memcpy(out, text, static_cast<size_t>(length));
  if (length > 0 && length < TEXT_SIZE_Strings) out[length - 1] = 0;
}

float Float_of_string_Strings(const char* text) {
  char terminated[TEXT_SIZE_Strings + 1] = {};
  std::memcpy(terminated, text, static_cast<size_t>(bounded_length(text, TEXT_SIZE_Strings)));
  // strtof rather than a scanf conversion: a number too large for a float
  // is defined there (infinity), and a text that is no number gives 0.
  return std::strtof(terminated, nullptr);
}
