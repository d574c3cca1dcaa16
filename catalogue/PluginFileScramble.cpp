#include "catalogue/PluginFileScramble.h"

#include <cstdint>
#include <cstring>

int ScrambleBlock(void* buffer, size_t length)
{
    if (!buffer) return 0;
    unsigned char* bytes = static_cast<unsigned char*>(buffer);
    const uint32_t wordKey = kScrambleKey * 0x01010101u;

    const size_t words = length / 4;
    for (size_t i = 0; i < words; ++i) {
        // The buffer need not be aligned for 32-bit access.
        uint32_t word;
        memcpy(&word, bytes + 4 * i, sizeof word);
        word ^= wordKey;
        memcpy(bytes + 4 * i, &word, sizeof word);
    }
    for (size_t i = 4 * words; i < length; ++i) bytes[i] ^= kScrambleKey;
    return 1;
}
