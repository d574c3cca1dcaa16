// The context of one scanning or cleaning run: one per run on the worker thread's stack, passed to
// every item and object function. It says where to report (window, progress bars), when to stop,
// which options apply, and counts what the run found or deleted.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "app/SettingsStore.h"
#include "catalogue/ModItem.h"

class CWndRef;

struct CRunContext {
    CWndRef* m_pWnd = nullptr;
    HWND m_pItemBar = nullptr;   // progress bar 1008 of the main window
    HWND m_pTotalBar = nullptr;  // progress bar 1009
    HANDLE m_pStopEvent = nullptr;
    CRunOptions* m_pOptions = nullptr;  // the snapshot the thread took at its start

    int m_nFoundOrDeleted = 0;  // found in a scan, deleted in a cleaning run
    int m_nNotDeleted = 0;      // cleaning only
    int m_nIgnoredCookies = 0;  // scan only: cookies spared by the cookie keep list
    ULONGLONG m_qwBytes = 0;    // size of the found or deleted objects

    CSettingsStore* m_pApp = nullptr;
    PFN_IS_STOP_REQUESTED m_pfnIsStopRequested = nullptr;  // scans only

    // The file keep list "FilesKeepList" of a scan (empty in a cleaning run).
    std::vector<std::string> m_ppKeep;
    int KeepCount() const { return static_cast<int>(m_ppKeep.size()); }

    // Cleaning only: for each folder a cleaned object lies in, whether it is still the ordinary
    // folder the scan walked (see IsStillAsScanned).
    std::unordered_map<std::string, bool> m_folderVerdicts;

    bool IsStopRequested() const
    {
        return m_pfnIsStopRequested && m_pfnIsStopRequested(m_pStopEvent);
    }
};

// The run's options snapshot, or the defaults for a context without one (a direct call in a test).
inline const CRunOptions& OptionsOf(const CRunContext* context)
{
    static const CRunOptions defaults;
    return context && context->m_pOptions ? *context->m_pOptions : defaults;
}

// The settings the run reads (keep lists), or the program's store for a context without them.
inline CSettingsStore& SettingsOf(const CRunContext* context)
{
    return context && context->m_pApp ? *context->m_pApp : TheSettings();
}
