#include "app/RegistryPath.h"

#include "framework/MbString.h"

void SplitRegistryPath(const std::string& path, std::string& rootName, std::string& subKey)
{
    const size_t slash = framework::MbsFindChar(path, '\\');
    rootName = path.substr(0, slash);
    subKey = slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

HKEY RootKeyOfName(const std::string& rootName)
{
    return framework::MbsEqualNoCase(rootName, "HKLM") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}
