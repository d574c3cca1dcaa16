// Scrambling of the plug-in data files: every byte XORed with one fixed key byte. The operation is
// its own inverse, so ScrambleBlock serves the reader, the custom-items writer and the build tool
// that produces the shipped files; all of them must use this one routine and key.
#pragma once

#include <cstddef>

// The key byte of every data file, shipped or written by the program.
constexpr unsigned char kScrambleKey = 0xA7;

// XORs `length` bytes in place with the key: the first length/4 32-bit words with the key in all
// four bytes, then the remaining bytes one by one. Answers 0 for a null buffer, else 1.
int ScrambleBlock(void* buffer, size_t length);
