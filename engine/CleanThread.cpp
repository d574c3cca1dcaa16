#include "engine/CleanThread.h"

#include <shlwapi.h>

#include <cstring>
#include <iterator>
#include <unordered_set>
#include <vector>

#include "app/DateText.h"
#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "engine/CleaningParam.h"
#include "engine/RunContext.h"
#include "engine/RunReport.h"
#include "engine/WorkerMessages.h"
#include "framework/WorkerThread.h"
#include "framework/MbString.h"
#include "resource.h"

namespace {

constexpr int kSecondsPerMinute = 60;
const char kNoWindowText[] = "出现错误。\n原因: cpCleaningParam->m_rUniversalParam.m_hwnd==NULL";
const char kMissingObjectFormat[] =
    "执行了非法操作!\n\r\n信息: 尝试移除不存在的列表元素。\nAllObjsLinkedListElemCount=%d\n"
    "iCurObjIndex=%d\npCurItemData->m_uiListCurIndex=%d\n\r\n请将该报告发送到 ";
const char kStartTimeFormat[] = "%A，%B %d，%Y，在 %X";

std::string MissingObjectText(size_t objectCount, const CRowToClean& row)
{
    std::string text = framework::Format(kMissingObjectFormat, static_cast<int>(objectCount),
                                         row.m_iObjIndex, static_cast<int>(row.m_uiListCurIndex));
    return text + kSupportAddress;
}

// The folders that hold, at any depth, a file this clean deleted. Only these may be removed once
// empty: a folder that was empty before, or whose files all stayed, is the user's and stays.
using CFolderSet = std::unordered_set<std::string>;

void MarkFoldersAbove(CFolderSet& emptied, const std::string& path)
{
    std::string folder = path;
    for (;;) {
        const size_t slash = framework::MbsFindLastChar(folder, '\\');
        if (slash == std::string::npos) return;
        folder.erase(slash);
        if (!emptied.insert(folder).second) return;  // its parents are marked already
    }
}

// The stop test between objects. Under Wine every look at the event is a round trip to the server,
// a sizeable part of what removing a small file costs: it is asked after the first object and then
// at most once per interval, so a stop is noticed within the interval; a stop that came during the
// last objects still ends the run as stopped.
constexpr DWORD kCleanStopPollMs = 5;

class CStopPoll {
public:
    explicit CStopPoll(HANDLE stop) : m_hStop(stop) {}
    bool Due() const { return !m_bAsked || GetTickCount() - m_dwLast >= kCleanStopPollMs; }
    bool Requested()
    {
        m_bAsked = true;
        m_dwLast = GetTickCount();
        return WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0;
    }

private:
    HANDLE m_hStop;
    bool m_bAsked = false;
    DWORD m_dwLast = 0;
};

// Cleans the rows in order; false when a stop request ended the loop.
bool CleanRows(CCleaningParam& param, CRunContext& context, HWND main, CFolderSet& emptied)
{
    CFoundObjectList& objects = *param.m_pAllObjs;
    CRowsToCleanList& rows = *param.m_pRowsToClean;
    CStopPoll stop(param.m_rUniversalParam.m_evStop);
    int n = 1;
    for (auto it = rows.begin(); it != rows.end();) {
        auto next = std::next(it);
        if (CFoundObject* object = FindObjectAt(objects, it->m_iObjIndex)) {
            SetLine(&context, object->m_strName);
            const int deletedBefore = context.m_nFoundOrDeleted;
            int result = object->m_pfnClean ? object->m_pfnClean(object, &context, 0, 0) : 0;
            if (object->m_nKind == kObjFile && context.m_nFoundOrDeleted > deletedBefore)
                MarkFoldersAbove(emptied, object->m_strPath);
            // The row goes whether the deletion succeeded or not.
            SendMessageA(main, UWM_REMOVE_ROW, static_cast<WPARAM>(result),
                         static_cast<LPARAM>(it->m_uiListCurIndex));
            rows.erase(it);
            SetProgressPos(&context, context.m_pItemBar, 0);
            SetProgressPos(&context, context.m_pItemBar, 100);
            SetProgressPos(&context, context.m_pTotalBar, n);
            ++n;
        } else {
            context.m_pWnd->ShowMessage(MissingObjectText(objects.size(), *it));
        }
        if (stop.Due() && stop.Requested()) return false;
        it = next;
    }
    return !stop.Requested();
}

bool IsEmptyOrdinaryFolder(const std::string& path, DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && PathIsDirectoryEmptyA(path.c_str());
}

// Folders were collected inner first, so one pass removes a nest of emptied folders bottom-up. A
// folder is removed when this clean emptied it; a read-only one loses the attribute right before.
void RemoveEmptiedFolders(CFolderList& folders, const CFolderSet& emptied)
{
    for (auto it = folders.begin(); it != folders.end();) {
        const DWORD attributes = GetFileAttributesA(it->c_str());
        if (!emptied.count(*it) || !IsEmptyOrdinaryFolder(*it, attributes)) {
            ++it;
            continue;
        }
        if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(it->c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        // A folder that cannot go is not retried, and keeps its attributes.
        if (!RemoveDirectoryA(it->c_str())) SetFileAttributesA(it->c_str(), attributes);
        it = folders.erase(it);
    }
}

char* NewHeapText(const std::string& text)
{
    char* copy = new char[text.size() + 1];
    memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace

std::string FormatElapsed(long seconds)
{
    if (seconds < kSecondsPerMinute) return framework::Format("%ld 秒", seconds);
    long minutes = seconds / kSecondsPerMinute;
    return framework::Format("%ld 分 %ld 秒", minutes, seconds - kSecondsPerMinute * minutes);
}

std::string FormatCleanReport(__time64_t start, __time64_t end, const CRunContext& context)
{
    std::string elapsed = FormatElapsed(static_cast<long>(end - start));
    return framework::Format(LoadResString(IDS_CLEAN_REPORT).c_str(), FormatLocalTime(start, kStartTimeFormat).c_str(),
                             context.m_nFoundOrDeleted, context.m_nNotDeleted, context.m_nIgnoredCookies,
                             BytesToMegabytes(context.m_qwBytes), elapsed.c_str());
}

UINT CleanThreadProc(LPVOID cpCleaningParam)
{
    auto* param = static_cast<CCleaningParam*>(cpCleaningParam);
    if (!param) return 1;
    CModList& catalogue = param->m_rUniversalParam;
    HWND main = catalogue.m_hwnd;
    if (!main) {
        ShowDebugBox(kNoWindowText);
        delete param;  // the block is ours to delete, also when we cannot use it
        return 1;
    }

    catalogue.m_bBusy = true;
    const __time64_t start = _time64(nullptr);
    CWorkerRun run(main, catalogue.m_evStop);
    CWndRef& wnd = run.m_wnd;
    CRunContext& context = run.m_context;

    wnd.SetStatusText(0, LoadResString(IDS_WORKING));
    wnd.SetItemText(IDC_CURRENT_OPERATION, LoadResString(IDS_CLEANING));
    SetProgressRange(&context, context.m_pTotalBar, static_cast<int>(param->m_pRowsToClean->size()));
    SetProgressRange(&context, context.m_pItemBar, 100);

    CFolderSet emptied;
    const bool completed =
        RunCatchingFailure(context, [&] { return CleanRows(*param, context, main, emptied) ? 1 : 0; }) != 0;
    RemoveEmptiedFolders(*param->m_pFolders, emptied);
    delete param;

    // The window reads the final counts when the completion messages arrive.
    FlushDisplay(&context);
    if (completed) {
        PostMessageA(main, UWM_CLEAN_ENDING, 1, 0);
        if (run.m_options.m_bReports) {
            std::string report = FormatCleanReport(start, _time64(nullptr), context);
            char* text = NewHeapText(report);
            if (!PostMessageA(main, UWM_CLEAN_FOLLOWUP, 1, reinterpret_cast<LPARAM>(text))) delete[] text;
        }
        PostMessageA(main, UWM_CLEAN_COMPLETED, 0, 0);
        if (run.m_options.m_bCloseAfterCleaning) PostMessageA(main, UWM_CLEAN_FOLLOWUP, 0, 0);
    } else {
        PostMessageA(main, UWM_CLEAN_CANCELLED, 0, 0);
    }
    catalogue.m_bBusy = false;
    return 0;
}

HANDLE StartCleanThread(CCleaningParam* pParam)
{
    return framework::BeginWorkerThread(CleanThreadProc, pParam);
}
