// Character classes, number parsing and the line and word readers of the text parsers.
// Ranges are [begin, end) of wide text; functions return the position where they stopped.
#pragma once

#include <string>

namespace liba {

// White space: the Unicode white-space characters (tab, line breaks, blank, no-break
// space and the other space separators).
bool is_space(char16_t c);
// '0' to '9' only: every digit counted here is worth (c - '0').
bool is_digit(char16_t c);

// The first position that is not white space, or end.
const char16_t* skip_spaces(const char16_t* begin, const char16_t* end);

// White space, an optional '-' or '+', then decimal digits. Writes the value (0 when no
// digit follows the sign) and returns the position after the last digit; null when no
// digit was read. Null without writing for an empty range, white space only, or a range
// ending right after the sign. Values beyond 32 bits wrap around.
const char16_t* parse_int(int& value, const char16_t* begin, const char16_t* end);

// As parse_int, then an optional fraction ".digits" and an optional exponent "e" or "E"
// followed by an integer. Writes the value only on success; null when no digit was read
// or an exponent mark is not followed by a number.
const char16_t* parse_double(double& value, const char16_t* begin, const char16_t* end);

// value * 10^exponent.
double scale_by_power_of_ten(double value, int exponent);

// Appends to out up to the first first_break or second_break, consumes that break and,
// when the next character is the other break character, that one too.
const char16_t* read_until_line_break(std::u16string& out, const char16_t* begin, const char16_t* end,
                                      char16_t first_break, char16_t second_break);
// One line into out (cleared first): CR LF and LF CR end a line together, CR CR are two breaks.
const char16_t* read_line(std::u16string& out, const char16_t* begin, const char16_t* end);
// The characters up to the first white space (which stays unread) into out (cleared first).
const char16_t* read_word(std::u16string& out, const char16_t* begin, const char16_t* end);

}  // namespace liba
