#include "catalogue/PathVars.h"

#include "framework/MbString.h"

#include <windows.h>
#include <shlobj.h>

namespace {

const char kSystemDrive[] = "%SystemDrive%";

// The shell folders behind the other variables, in the order they are tried.
const struct {
    const char* pszName;
    int nCsidl;
} kShellFolderVars[] = {
    {"%ProgramFiles%", CSIDL_PROGRAM_FILES},       {"%AppData%", CSIDL_APPDATA},
    {"%AllUsersAppData%", CSIDL_COMMON_APPDATA},   {"%LocalAppData%", CSIDL_LOCAL_APPDATA},
    {"%PersonalData%", CSIDL_PERSONAL},            {"%WindowsDir%", CSIDL_WINDOWS},
    {"%CurUsrDesktop%", CSIDL_DESKTOPDIRECTORY},   {"%CurUsrProfile%", CSIDL_PROFILE},
};

// The folder a variable stands for; false for an unknown variable or when the system has none.
bool ResolveVariable(const std::string& variable, std::string& folder)
{
    char buffer[MAX_PATH] = "";
    if (framework::MbsEqualNoCase(variable, kSystemDrive)) {
        // A longer expansion than the buffer would come back cut short: treat it as a failure.
        DWORD length = ExpandEnvironmentStringsA(variable.c_str(), buffer, MAX_PATH);
        if (length == 0 || length > MAX_PATH) return false;
        folder = buffer;
        return true;
    }
    for (const auto& var : kShellFolderVars) {
        if (!framework::MbsEqualNoCase(variable, var.pszName)) continue;
        if (!SHGetSpecialFolderPathA(nullptr, buffer, var.nCsidl, FALSE)) return false;
        folder = buffer;
        return true;
    }
    return false;
}

}  // namespace

int ResolvePathVar(const std::string& path, std::string& result, const std::string& separator, bool split)
{
    result = path;
    const bool splitForm = split && !separator.empty();

    std::string component = path;
    std::string remainder;
    if (splitForm) {
        size_t at = framework::MbsFind(path, separator);
        component = framework::MbsTrim(path.substr(0, at));
        if (at != std::string::npos) remainder = framework::MbsTrim(path.substr(at + separator.size()));
    }
    if (component.empty()) return 0;

    std::string folder;
    if (!ResolveVariable(component, folder)) return 0;

    if (!splitForm) {
        result = folder;
        return 1;
    }
    result = folder;
    if (!framework::MbsEndsWith(result, separator)) result += separator;
    result += remainder;
    return 1;
}
