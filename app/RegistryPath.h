// Registry paths written as "ROOT\sub-key" (plug-in detection keys and registry rules, the key
// test of the settings store): where the root name ends and which root key it names. Part of the
// settings-store layer, whose key test is the lowest user.
#pragma once

#include <windows.h>

#include <string>

// Splits at the first backslash that is a whole character; without one the whole text is the root
// name and the sub-key is empty. Neither part is trimmed.
void SplitRegistryPath(const std::string& path, std::string& rootName, std::string& subKey);

// HKEY_LOCAL_MACHINE for "HKLM" (without regard to case); "HKCU" and every other name are
// HKEY_CURRENT_USER.
HKEY RootKeyOfName(const std::string& rootName);
