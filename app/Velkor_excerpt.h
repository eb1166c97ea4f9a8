// Velkor_excerpt - what an error line may quote of a text that came from
// outside (a command-line word, a word of an event script, a file name).
//
//   fprintf(stderr, "velkor: unknown option %s\n", Velkor_Excerpt(arg).c_str());
//
// At most `limit` characters of the text: printable ASCII as it is, a
// backslash doubled, CR, LF and TAB as \r \n \t, every other byte as \xHH,
// and "..." where the text was cut. So an error line stays one short line,
// and a control sequence in a script never reaches the terminal.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t kVelkorExcerptChars = 40;

std::string Velkor_Excerpt(const std::string& text, size_t limit = kVelkorExcerptChars);
