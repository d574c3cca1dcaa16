#include "engine/TempFolderItem.h"

#include <windows.h>

#include <vector>

std::string ReadEnvironmentVariable(const char* name)
{
    // The value may change between the two calls; ask again until it fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

int TempFolderPrepare(CModItem* pItem)
{
    if (pItem->m_pScanData) return 0;
    std::string folder = ReadEnvironmentVariable("TEMP");
    if (folder.empty()) folder = ReadEnvironmentVariable("TMP");
    auto* stored = new std::string(folder);
    pItem->m_pScanData = stored;
    return stored->empty() ? 0 : 1;
}
