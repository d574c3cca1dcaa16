// A stored string list (REG_MULTI_SZ) as the settings store reads it: entries are non-empty
// strings of the stored bytes, in order, without repeats; what is read is written back unchanged.
#include "Shim.h"

#include "app/SettingsStore.h"
#include "framework/MbString.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    shim::Reset();
    const char* begin = reinterpret_cast<const char*>(data);
    HKEY key;
    FUZZ_CHECK(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Venmoor\\Quillon\\Settings", 0, KEY_WRITE, &key) == 0);
    RegSetValueExA(key, kOptFilesKeepList, 0, REG_MULTI_SZ, data, static_cast<DWORD>(size));
    RegCloseKey(key);

    std::vector<std::string> list{"sentinel"};
    if (!TheSettings().ReadStringList(kOptFilesKeepList, list)) {
        FUZZ_CHECK(list.empty());
        FUZZ_CHECK(size < 2 || size >= kStringListLimit);
        return 0;
    }
    // The stored strings: every zero-terminated one before the first empty one.
    std::vector<std::string> stored;
    for (const char* p = begin; const void* zero = memchr(p, '\0', begin + size - p);) {
        if (zero == p) break;
        stored.emplace_back(p, static_cast<const char*>(zero));
        p = static_cast<const char*>(zero) + 1;
    }
    size_t k = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        FUZZ_CHECK(!list[i].empty());
        for (size_t j = 0; j < i; ++j) FUZZ_CHECK(!framework::MbsEqualNoCase(list[i], list[j]));
        while (k < stored.size() && stored[k] != list[i]) ++k;
        FUZZ_CHECK(k++ < stored.size());
    }

    FUZZ_CHECK(TheSettings().WriteStringList(kOptFilesKeepList, list) == ERROR_SUCCESS);
    std::vector<std::string> again;
    TheSettings().ReadStringList(kOptFilesKeepList, again);
    FUZZ_CHECK(again == list);
    return 0;
}
