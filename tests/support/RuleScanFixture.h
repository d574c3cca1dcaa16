// Fixture for the plug-in rules engine: the engine tests' item fixture (registry and folder
// sandboxes, a stand-in main window, a run context attached to it, worker-thread calls), plus
// plug-in items made outside the catalogue and shell folders redirected into the test's folder.
#pragma once

#include <shlobj.h>

#include <string>
#include <vector>

#include "support/ItemRunFixture.h"
#include "app/SettingsStore.h"
#include "catalogue/ModList.h"
#include "catalogue/PathVars.h"
#include "engine/WorkerMessages.h"

class RuleScanTest : public ItemRunTest {
protected:
    RuleScanTest() { TheSettings().Start(); }  // cookies rewrites record their transient files there

    // A plug-in item with the functions the catalogue gives plug-in items, its rules as the loader
    // stores them (each followed by ";").
    static CModItem PluginItem(const std::vector<std::string>& fileRules,
                               const std::vector<std::string>& regRules = {})
    {
        const CPluginItemFunctions& functions = GetPluginItemFunctions();
        CModItem item;
        item.m_nId = 2999;
        item.m_strTitle = "测试模块";
        item.m_bIsPlugin = true;
        item.m_bScanInOneStep = true;
        item.m_pfnScanAll = functions.pfnRuleScan;
        item.m_pfnOnFileFound = functions.pfnOnFileFound;
        item.m_pfnOnFolderFound = functions.pfnOnFolderFound;
        item.m_pfnIsStopRequested = IsStopRequested;
        item.m_hStopEvent = g_theScanningThreadsParam.m_evStop;
        for (const std::string& rule : fileRules) item.m_PlugData.m_strFileRules += rule + ";";
        for (const std::string& rule : regRules) item.m_PlugData.m_strRegRules += rule + ";";
        item.m_PlugData.m_bHasFileRules = !fileRules.empty();
        item.m_PlugData.m_bHasRegRules = !regRules.empty();
        return item;
    }

    // Scans the item as the scanning thread does for item b of n checked items.
    int Scan(CModItem& item, int n = 1, int b = 0)
    {
        RangeBarsForItems(n);
        SendMessageA(m_window.Item(IDC_TOTAL_PROGRESS), PBM_SETPOS, n * 100 * b / n, 0);
        item.m_nParam = (n << 16) | b;
        return ScanOnWorker(&item);
    }

    std::vector<std::string> ObjectPaths() const
    {
        std::vector<std::string> paths;
        for (const auto& received : m_window.m_objects) paths.push_back(received.object.m_strPath);
        return paths;
    }

    std::vector<std::string> ReportedFolders() const
    {
        std::vector<std::string> folders;
        for (const auto& message : m_window.MessagesOf(UWM_ADD_FOLDER)) folders.push_back(message.text);
        return folders;
    }

    // Points a per-user shell folder ("AppData", "Local AppData", "Personal", "Desktop") at a new
    // folder inside the test's folder, through the sandboxed User Shell Folders key.
    std::string RedirectShellFolder(const std::string& valueName)
    {
        const std::string folder = m_temp / ("shell-" + valueName);
        MakeFolders(folder);
        testsupport::SetRegString(kUserShellFolders, valueName, folder, REG_EXPAND_SZ);
        return folder;
    }

    static std::string Resolved(const std::string& variable)
    {
        std::string folder;
        ResolvePathVar(variable, folder);
        return folder;
    }

    static void MakeFolders(const std::string& folder) { SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr); }

    static void WriteFileIn(const std::string& path, const std::string& bytes = "trace")
    {
        const size_t slash = path.find_last_of('\\');
        MakeFolders(path.substr(0, slash));
        testsupport::WriteFileBytes(path, bytes);
    }

    static constexpr const char* kUserShellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
};
