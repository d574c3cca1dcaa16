#include "engine/RecycleBinItem.h"

#include <shellapi.h>

#include "engine/OneStepItem.h"
#include "engine/RunReport.h"
#include "framework/MbString.h"

const char* const kRecycleBinFormat = "Windows 回收站中的所有文件 (%ld 个文件)";
const char* const kRecycleBinRoot = "C:\\";

namespace {

EmptyRecycleBinFn g_emptyRecycleBin = nullptr;

HRESULT EmptyRecycleBin(HWND hwnd, LPCSTR pszRootPath, DWORD dwFlags)
{
    return g_emptyRecycleBin ? g_emptyRecycleBin(hwnd, pszRootPath, dwFlags)
                             : SHEmptyRecycleBinA(hwnd, pszRootPath, dwFlags);
}

}  // namespace

void SetEmptyRecycleBinForTesting(EmptyRecycleBinFn fn) { g_emptyRecycleBin = fn; }

CRecycleBinContents QueryRecycleBin()
{
    // The record is 20 bytes in 32-bit builds and padded to 24 in 64-bit ones; the shell checks
    // cbSize against its own layout, so it must be the size of the record we really pass.
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    CRecycleBinContents contents;
    if (SHQueryRecycleBinA(kRecycleBinRoot, &info) != S_OK) return contents;
    contents.m_qwBytes = static_cast<ULONGLONG>(info.i64Size);
    contents.m_nItems = info.i64NumItems;
    return contents;
}

int ScanRecycleBin(CModItem* pItem)
{
    CRunContext* context = pItem->m_pScanContext;
    CRecycleBinContents contents = QueryRecycleBin();
    if (contents.m_nItems != 0 && HasWindow(context)) {
        CFoundObject object;
        object.m_strPath = framework::Format(kRecycleBinFormat, static_cast<long>(contents.m_nItems));
        object.m_dwSize = static_cast<DWORD>(contents.m_qwBytes);
        object.m_nParam = static_cast<int>(contents.m_nItems);
        object.m_pfnClean = EmptyRecycleBinObject;
        // One row for the whole bin, but every file in it counts as found.
        ReportFound(context, &object, contents.m_qwBytes, object.m_nParam);
    }
    CompleteOneStep(context);
    return OneStepResult(context);
}

int EmptyRecycleBinObject(CFoundObject* pObject, CRunContext* pContext, int, int)
{
    HRESULT result =
        EmptyRecycleBin(nullptr, kRecycleBinRoot, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    if (!HasWindow(pContext)) return result == S_OK ? 1 : 0;
    if (result != S_OK) {
        ReportNotDeleted(pContext, pObject->m_nParam);
        return 0;
    }
    ReportDeleted(pContext, pObject->m_dwSize, pObject->m_nParam);
    return 1;
}
