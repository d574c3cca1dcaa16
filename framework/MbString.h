// Multibyte (ANSI code page) string helpers. GBK trail bytes include '\\', '@', ':' and letters, so
// nothing here looks at a string byte by byte: characters are stepped with CharNextA and compared
// with CompareStringA. Every place that searches or compares texts "without regard to case" uses
// these functions.
#pragma once

#include <string>

namespace framework {

// Case-insensitive, multibyte-aware equality of two whole texts.
bool MbsEqualNoCase(const std::string& a, const std::string& b);

// Case-insensitive three-way comparison (<0, 0, >0), for sorting.
int MbsCompareNoCase(const std::string& a, const std::string& b);

// Byte offset of the first case-insensitive occurrence of needle in text, or npos. Matches start
// only on character boundaries.
size_t MbsFindNoCase(const std::string& text, const std::string& needle);

// Byte offset of the first case-sensitive occurrence of needle in text, or npos. Matches start only
// on character boundaries, so a trail byte never begins a match.
size_t MbsFind(const std::string& text, const std::string& needle);

// Byte offset of the first / last occurrence of an ASCII character that is a whole character (not a
// trail byte), or npos. The search for the first may start at a character boundary from.
size_t MbsFindChar(const std::string& text, char ch, size_t from = 0);
size_t MbsFindLastChar(const std::string& text, char ch);

bool MbsStartsWithNoCase(const std::string& text, const std::string& prefix);

// True when text ends with suffix and the suffix begins on a character boundary of text, so a
// trail byte 0x5C never counts as a closing backslash.
bool MbsEndsWith(const std::string& text, const std::string& suffix);

// Text without white space (space, tab, CR, LF, VT, FF) at either end. White-space bytes lie below
// 0x40 and are never trail bytes, so cutting them off cannot split a character.
std::string MbsTrim(const std::string& text);

// Text without the whole-character occurrences of an ASCII character at either end (for example
// the backslashes around a folder), leaving a trail byte of the same value in place.
std::string MbsTrimChar(const std::string& text, char ch);

// The same at one end only: leading or trailing whole-character occurrences of an ASCII character.
std::string MbsTrimLeftChar(const std::string& text, char ch);
std::string MbsTrimRightChar(const std::string& text, char ch);

// Cuts text to at most maxBytes bytes without splitting a double-byte character.
std::string MbsTruncate(const std::string& text, size_t maxBytes);

// Formats like printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// UTF-8 <-> ANSI code page; used by tools and tests that handle readable sources.
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);

}  // namespace framework
