#include "catalogue/FileReplace.h"

#include "framework/MbString.h"
#include "framework/ScopedHandle.h"

#include <algorithm>

namespace {

// Prefix of the files that only ever exist for the moment of a rewrite.
const char kTransientPrefix[] = "qln";

// Creates an empty file with a unique name in the folder (GetTempFileNameA), so that no file of
// the user's is ever overwritten by a rename.
bool MakeUniqueFile(const std::string& folder, std::string& uniquePath, DWORD& error)
{
    char buffer[MAX_PATH] = "";
    if (GetTempFileNameA(folder.c_str(), kTransientPrefix, 0, buffer) == 0) {
        error = GetLastError();
        return false;
    }
    uniquePath = buffer;
    return true;
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written != chunk) return false;
        done += written;
    }
    return true;
}

}  // namespace

std::string FolderOfPath(const std::string& path)
{
    const size_t slash = framework::MbsFindLastChar(path, '\\');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "\\";
    // "C:\file" lives in "C:\", not in the drive's current folder "C:".
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

bool WriteNewFileBeside(const std::string& path, const std::string& bytes, std::string& newPath, DWORD& error)
{
    std::string fresh;
    if (!MakeUniqueFile(FolderOfPath(path), fresh, error)) return false;
    bool written = false;
    {
        framework::ScopedKernelHandle file(CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        // Flushed before the old file is touched: after a crash the new content is on the disk.
        written = file && WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
        if (!written) error = GetLastError();
    }
    if (!written) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    newPath = fresh;
    return true;
}

bool MoveFileAside(const std::string& path, std::string& asidePath, DWORD& error)
{
    std::string aside;
    if (!MakeUniqueFile(FolderOfPath(path), aside, error)) return false;
    if (!MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileA(aside.c_str());
        return false;
    }
    asidePath = aside;
    return true;
}

bool ReplaceWithNewFile(const std::string& path, const std::string& newPath, DWORD& error)
{
    if (MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    error = GetLastError();
    return false;
}
