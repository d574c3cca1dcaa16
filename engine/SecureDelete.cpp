#include "engine/SecureDelete.h"

#include <algorithm>

#include "app/SettingsStore.h"
#include "engine/RunReport.h"
#include "engine/ScannedPath.h"
#include "framework/PathText.h"
#include "framework/ScopedHandle.h"

namespace {

// Every pass writes whole 128-byte blocks, so the file's last block is overwritten entirely even
// where the length is not a multiple of it (the file grows to the next multiple).
constexpr ULONGLONG kShredUnit = 128;
// The passes are written in large blocks: the same bytes reach the disk as with 128-byte writes,
// at a fraction of the system calls. A multiple of kShredUnit.
constexpr DWORD kWriteBlock = 1u << 20;
static_assert(kWriteBlock % kShredUnit == 0, "write blocks must be whole shred units");

// Never written: zero-initialised storage, so it costs nothing in the program file.
char g_zeroBlock[kWriteBlock];

// Overwriting through a link would destroy whatever it points to, which the scan never listed.
// Windows refuses to open a read-only file for writing; Wine running as root would open it, and
// the file would then be zeroed but, being read-only, not deleted.
bool MustNotOverwrite(const std::string& path)
{
    DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES &&
           (attrs & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY));
}

// One pass of zeros over `length` bytes from the start, then to disk.
bool WriteZeroPass(HANDLE file, ULONGLONG length)
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    for (ULONGLONG done = 0; done < length;) {
        DWORD block = static_cast<DWORD>(std::min<ULONGLONG>(kWriteBlock, length - done));
        DWORD written = 0;
        if (!WriteFile(file, g_zeroBlock, block, &written, nullptr) || written != block) return false;
        done += written;
    }
    // Without the flush the passes would only overwrite the system's cache, and the last pass
    // alone (if any) would reach the disk.
    return FlushFileBuffers(file) != FALSE;
}


// The owner holds the file without sharing it: ask the system to remove it once its last handle
// closes, and, since the owner's lock also refuses that request, at the next start of Windows.
void DeleteWhenFree(const std::string& path)
{
    framework::ScopedKernelHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING,
                                                FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
    if (!h && GetLastError() == ERROR_SHARING_VIOLATION)
        MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// ShredFile with the run's number of passes while status-bar part 0 reads "正在粉碎...".
void ShredShowingStatus(const std::string& path, CRunContext* context, bool* overwritten)
{
    const CWndRef* wnd = HasWindow(context) ? context->m_pWnd : nullptr;
    std::string saved;
    bool haveSaved = wnd && wnd->GetStatusText(0, saved);
    if (wnd) wnd->SetStatusText(0, "正在粉碎...");
    const bool done = ShredFile(path, OptionsOf(context).m_nOverwritePasses) == 1;
    if (overwritten) *overwritten = done;
    if (haveSaved) wnd->SetStatusText(0, saved);
}

}  // namespace

int ShredFile(const std::string& path, int passes)
{
    if (passes > kMaxShredPasses) return 0;
    if (MustNotOverwrite(path)) return 0;
    framework::ScopedKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                                   nullptr));
    if (!file) return 0;
    // A link put in place between the test above and the open is opened as itself, not followed.
    // A file with a second name (a hard link) keeps its content under that name, which the user
    // never ticked: only the chosen name is deleted.
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks > 1)
        return 0;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return 0;
    ULONGLONG length = (static_cast<ULONGLONG>(size.QuadPart) + kShredUnit - 1) / kShredUnit * kShredUnit;
    for (int pass = 0; pass < passes; ++pass) {
        if (!WriteZeroPass(file.Get(), length)) return 0;
    }
    return 1;
}

int ShredWithStatus(const std::string& path, CRunContext* context)
{
    ShredShowingStatus(path, context, nullptr);
    return 1;
}

DWORD ShredAndDelete(const std::string& path, DWORD attributes, CRunContext* context, bool* overwritten)
{
    const CRunOptions& options = OptionsOf(context);
    // The scan leaves read-only files as they are; the ticked one loses the attribute only now, and
    // gets it back if it stays (unless the system is to remove it later).
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (overwritten) *overwritten = false;
    if (options.m_bShred) ShredShowingStatus(path, context, overwritten);
    if (DeleteFileA(path.c_str())) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION && options.m_bDeleteAfterWinRestart)
        DeleteWhenFree(path);
    else if (readOnly)
        SetFileAttributesA(path.c_str(), attributes);
    return error;
}

int DeleteFoundFile(CFoundObject* pObject, CRunContext* pContext, int, int)
{
    const std::string& path = pObject->m_strPath;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (!IsStillAsScanned(pContext, path, attributes, pObject->m_nWalkRootLength)) {
        ReportNotDeleted(pContext);
        return 1;
    }
    if (ShredAndDelete(path, attributes, pContext) == ERROR_SUCCESS)
        ReportDeleted(pContext, pObject->m_dwSize);
    else
        ReportNotDeleted(pContext);
    return 1;
}

CFoundObject MakeFileObject(const std::string& path, const CFileStatus& status)
{
    CFoundObject object;
    object.m_strPath = path;
    object.m_strName = framework::NameOfPath(path);
    object.m_dwSize = static_cast<DWORD>(status.m_qwSize);  // the record keeps the low 32 bits
    object.m_nKind = kObjFile;
    object.m_pStatus = &status;
    object.m_pfnClean = DeleteFoundFile;
    return object;
}
