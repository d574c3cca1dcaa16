#include "engine/ScannedPath.h"

#include "engine/RunContext.h"
#include "framework/MbString.h"

namespace {

bool IsLink(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The folders on the way to path below the first rootLength bytes, nearest first. A clean of many
// files in one folder asks the disk once per folder, not once per file and folder.
bool FoldersStillOrdinary(std::unordered_map<std::string, bool>& verdicts, const std::string& path,
                          size_t rootLength)
{
    const size_t slash = framework::MbsFindLastChar(path, '\\');
    if (slash == std::string::npos || slash <= rootLength) return true;
    const std::string folder = path.substr(0, slash);
    auto known = verdicts.find(folder);
    if (known != verdicts.end()) return known->second;
    const bool ordinary =
        !IsLink(GetFileAttributesA(folder.c_str())) && FoldersStillOrdinary(verdicts, folder, rootLength);
    verdicts.emplace(folder, ordinary);
    return ordinary;
}

}  // namespace

bool IsStillAsScanned(CRunContext* context, const std::string& path, DWORD attributes, int walkRootLength)
{
    if (IsLink(attributes)) return false;
    if (walkRootLength < 0) return true;
    std::unordered_map<std::string, bool> local;
    return FoldersStillOrdinary(context ? context->m_folderVerdicts : local, path,
                                static_cast<size_t>(walkRootLength));
}
