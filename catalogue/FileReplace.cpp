#include "catalogue/FileReplace.h"

#include "app/SettingsStore.h"
#include "framework/MbString.h"
#include "framework/PathText.h"
#include "framework/ScopedHandle.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>


namespace {

// A transient file is named "~qln", 16 upper-case hex digits (process and sequence) and ".tmp", so
// a record that was altered never leads to a file of the user's.
const char kTransientPrefix[] = "~qln";
const char kTransientSuffix[] = ".tmp";
constexpr size_t kTransientDigits = 16;
// Names already taken (by a leftover the sweep could not remove) are passed over this often.
constexpr int kNameAttempts = 8;
// Each record is at most a path of MAX_PATH bytes: the list stays well inside what the settings
// store reads back.
constexpr size_t kMaxRecords = 8;
static_assert(kMaxRecords * (MAX_PATH + 1) + 1 < 4096, "the list must stay readable");

// The cleaning thread (cookies) and the items dialog (custom items) may both rewrite.
std::mutex g_recordsLock;

std::vector<std::string>::iterator FindRecord(std::vector<std::string>& records, const std::string& path)
{
    return std::find_if(records.begin(), records.end(),
                        [&](const std::string& r) { return framework::MbsEqualNoCase(r, path); });
}

// ERROR_ALREADY_EXISTS when the path is recorded already (its file may be a leftover).
LONG Record(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_recordsLock);
    std::vector<std::string> records;
    TheSettings().ReadStringList(kOptTransientFiles, records);
    if (FindRecord(records, path) != records.end()) return ERROR_ALREADY_EXISTS;
    if (records.size() >= kMaxRecords) return ERROR_TOO_MANY_OPEN_FILES;
    records.push_back(path);
    return TheSettings().WriteStringList(kOptTransientFiles, records);
}

void Forget(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_recordsLock);
    std::vector<std::string> records;
    TheSettings().ReadStringList(kOptTransientFiles, records);
    auto found = FindRecord(records, path);
    if (found == records.end()) return;
    records.erase(found);
    if (records.empty())
        TheSettings().DeleteValue(kOptTransientFiles);
    else
        TheSettings().WriteStringList(kOptTransientFiles, records);
}

// A fresh transient name in the folder of `path`.
std::string TransientNameBeside(const std::string& path)
{
    static std::atomic<unsigned long> sequence{GetTickCount()};
    // The folder with its backslash, or nothing for a bare name.
    const std::string folder = path.substr(0, path.size() - framework::NameOfPath(path).size());
    return folder + framework::Format("%s%08lX%08lX%s", kTransientPrefix, GetCurrentProcessId(), sequence++,
                                      kTransientSuffix);
}

// Records a fresh name beside `path` and lets `make` create the file under it; a name that is taken
// already is passed over. `make` answers false with the system's error set.
bool MakeTransient(const std::string& path, std::string& made, DWORD& error,
                   const std::function<bool(const std::string&)>& make)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = TransientNameBeside(path);
        const LONG recorded = Record(name);
        if (recorded == ERROR_ALREADY_EXISTS) continue;
        if (recorded != ERROR_SUCCESS) {
            error = static_cast<DWORD>(recorded);
            return false;
        }
        if (make(name)) {
            made = name;
            return true;
        }
        error = GetLastError();
        Forget(name);
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    error = ERROR_FILE_EXISTS;
    return false;
}

bool IsGone(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A hard link shares the content with every other name of the file: overwriting it through this
// name would destroy what the others hold.
bool IsOnlyNameOfItsFile(const std::string& path)
{
    framework::ScopedKernelHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    return file && GetFileInformationByHandle(file.Get(), &info) && info.nNumberOfLinks == 1;
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

bool IsTransientFileName(const std::string& path)
{
    const std::string name = framework::NameOfPath(path);
    const size_t prefix = sizeof kTransientPrefix - 1;
    if (name.size() != prefix + kTransientDigits + sizeof kTransientSuffix - 1) return false;
    if (name.compare(0, prefix, kTransientPrefix) != 0 || name.compare(prefix + kTransientDigits, std::string::npos, kTransientSuffix) != 0)
        return false;
    return std::all_of(name.begin() + prefix, name.begin() + prefix + kTransientDigits,
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

bool WriteNewFileBeside(const std::string& path, const std::string& bytes, std::string& newPath, DWORD& error)
{
    framework::ScopedKernelHandle file;
    std::string fresh;
    const bool made = MakeTransient(path, fresh, error, [&](const std::string& name) {
        // CREATE_NEW: a rename never overwrites a file that happens to carry the name.
        file.Reset(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.IsValid();
    });
    if (!made) return false;
    // Flushed before the old file is touched: after a crash the new content is on the disk.
    const bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
    if (!written) error = GetLastError();
    file.Close();
    if (!written) {
        DiscardTransientFile(fresh);
        return false;
    }
    newPath = fresh;
    return true;
}

bool LinkOldContent(const std::string& path, std::string& oldPath, DWORD& error)
{
    // The name is replaced (or deleted) through a handle with delete access. A file held open
    // without allowing that would keep the name and, sharing its content, the second name too.
    {
        framework::ScopedKernelHandle probe(CreateFileA(path.c_str(), DELETE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                        nullptr, OPEN_EXISTING, 0, nullptr));
        if (!probe) {
            error = GetLastError();
            return false;
        }
    }
    return MakeTransient(path, oldPath, error, [&](const std::string& name) {
        return CreateHardLinkA(name.c_str(), path.c_str(), nullptr) != FALSE;
    });
}

bool ReplaceWithNewFile(const std::string& path, const std::string& newPath, DWORD& error)
{
    if (!MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        return false;
    }
    Forget(newPath);
    return true;
}

void DiscardTransientFile(const std::string& path, const ShredFunction& shred)
{
    if (shred && IsOnlyNameOfItsFile(path)) shred(path);
    // A file that cannot go now stays recorded, for the sweep of the next start.
    if (DeleteFileA(path.c_str()) || IsGone(path)) Forget(path);
}

void SweepTransientFiles(const ShredFunction& shred)
{
    std::vector<std::string> records;
    TheSettings().ReadStringList(kOptTransientFiles, records);
    for (const std::string& path : records) {
        if (IsTransientFileName(path))
            DiscardTransientFile(path, shred);
        else
            Forget(path);
    }
}
