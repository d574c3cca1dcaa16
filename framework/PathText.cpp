#include "framework/PathText.h"

#include "framework/MbString.h"

namespace framework {

std::string NameOfPath(const std::string& path)
{
    const size_t slash = MbsFindLastChar(path, '\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOfPath(const std::string& path)
{
    const size_t slash = MbsFindLastChar(path, '\\');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "\\";
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

bool EndsWithSeparator(const std::string& path) { return MbsEndsWith(path, "\\"); }

std::string WithoutTrailingSeparators(const std::string& path) { return MbsTrimRightChar(path, '\\'); }

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty()) return name;
    return EndsWithSeparator(folder) ? folder + name : folder + '\\' + name;
}

}  // namespace framework
