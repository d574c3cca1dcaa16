#include "engine/NetscapeProfile.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <vector>

#include "framework/MbString.h"
#include "framework/ScopedHandle.h"

namespace {

const char kRegistryFile[] = "\\Mozilla\\registry.dat";
const char kDirectoryMarker[] = "directory";
// Ends the folder text of a "directory" entry.
constexpr char kValueEnd = static_cast<char>(0xC9);

// The folder that the first "directory" entry of one chunk names, trimmed; false when the chunk has
// no entry or the entry is not closed by the end byte within the chunk.
bool FolderOfChunk(const char* chunk, std::string& folder)
{
    // The chunk is binary data up to its first zero byte: the marker is searched byte by byte,
    // since a length byte before it could pass for the lead byte of a double-byte character.
    const std::string text(chunk);
    size_t marker = text.find(kDirectoryMarker);
    if (marker == std::string::npos) return false;
    // The folder text itself is text of the code page, where 0xC9 can also be a trail byte.
    const std::string rest = text.substr(marker + sizeof kDirectoryMarker - 1);
    size_t end = framework::MbsFindChar(rest, kValueEnd);
    if (end == std::string::npos) return false;
    folder = framework::MbsTrim(rest.substr(0, end));
    return true;
}

bool AppDataFolder(std::string& folder)
{
    char path[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE)) return false;
    folder = path;
    return true;
}

}  // namespace

bool FindProfileInRegistryFile(const std::string& path, std::string& folder)
{
    framework::ScopedKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const DWORD chunkSize = GetFileSize(file.Get(), nullptr) / 2;
    // A file of one byte (or none) would give empty chunks, and reading those never ends.
    if (chunkSize == 0 || chunkSize == INVALID_FILE_SIZE / 2) return false;

    std::vector<char> chunk(static_cast<size_t>(chunkSize) + 1);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk.data(), chunkSize, &read, nullptr)) return false;
        chunk[read] = '\0';
        std::string candidate;
        // A folder that no longer exists lets the search go on in the next chunk.
        if (FolderOfChunk(chunk.data(), candidate) && PathFileExistsA(candidate.c_str())) {
            folder = candidate;
            return true;
        }
        if (read < chunkSize) return false;
    }
}

bool FindNetscapeProfile(std::string& folder)
{
    std::string appData;
    if (!AppDataFolder(appData)) return false;
    return FindProfileInRegistryFile(appData + kRegistryFile, folder);
}
