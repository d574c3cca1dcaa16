#include "catalogue/ModList.h"

#include <utility>

#include "app/SettingsStore.h"
#include "catalogue/BuiltinItems.h"
#include "catalogue/PluginFilePasses.h"
#include "framework/MbString.h"

CModList g_theScanningThreadsParam;

const char* const kSpecialKeyFirefoxCookies = "NETS_FIREFOXS_COOKIES";
const char* const kSpecialKeyCustomRules = "PROCESS_RULES";

namespace {

// The plug-in data file reader; tests install passes of their own.
CPluginFilePasses g_pluginFilePasses = {SelectPluginModules, FillPluginModules};

// The engine's functions, as it wired them (none until then).
CPluginItemFunctions g_pluginItemFunctions;
CItemFunctions g_builtinItemFunctions[kBuiltinItemCount] = {};

// A plug-in item scans its rules in one step; its special key may route it to the cookies-file
// callback or to the custom search instead.
void SetUpPluginItem(CModItem& item)
{
    const CPluginItemFunctions& functions = g_pluginItemFunctions;
    item.m_bIsPlugin = true;
    item.m_bScanInOneStep = true;
    item.m_pfnScanAll = functions.pfnRuleScan;
    item.m_pfnOnFileFound = functions.pfnOnFileFound;
    item.m_pfnOnFolderFound = functions.pfnOnFolderFound;

    if (!item.m_PlugData.m_bHasSpecialKey) return;
    const std::string& key = item.m_PlugData.m_strSpecialKey;
    if (framework::MbsEqualNoCase(key, kSpecialKeyFirefoxCookies)) {
        item.m_pfnOnFileFound = functions.pfnOnCookiesFile;
        item.m_pfnOnFolderFound = nullptr;
    } else if (framework::MbsEqualNoCase(key, kSpecialKeyCustomRules)) {
        item.m_pfnScanAll = functions.pfnCustomSearch;
        item.m_pfnOnFileFound = functions.pfnOnCustomFile;
        item.m_pfnOnFolderFound = functions.pfnOnCustomFolder;
    }
}

bool IdHeldBefore(const CModItem* items, int end, int id)
{
    for (int i = 0; i < end; ++i)
        if (items[i].m_nId == id) return true;
    return false;
}

// A module whose identifier an earlier item holds would share that item's checked state and
// look-ups: it is dropped as damaged and the later items move up. Identifier 0 was complained about
// by the fill pass already. Returns the number of items kept.
int DropTakenIdentifiers(CModItem* items, int count)
{
    int kept = kBuiltinItemCount;
    for (int i = kBuiltinItemCount; i < count; ++i) {
        const int id = items[i].m_nId;
        if (id != 0 && IdHeldBefore(items, kept, id)) {
            ShowDamagedModuleWarning();
            continue;
        }
        if (kept != i) items[kept] = std::move(items[i]);
        ++kept;
    }
    return kept;
}

}  // namespace

void SetPluginFilePasses(const CPluginFilePasses& passes)
{
    g_pluginFilePasses = passes;
}

const CPluginFilePasses& GetPluginFilePasses()
{
    return g_pluginFilePasses;
}

void SetPluginItemFunctions(const CPluginItemFunctions& functions)
{
    g_pluginItemFunctions = functions;
}

const CPluginItemFunctions& GetPluginItemFunctions()
{
    return g_pluginItemFunctions;
}

void SetBuiltinItemFunctions(const CItemFunctions* rows)
{
    for (int i = 0; i < kBuiltinItemCount; ++i) g_builtinItemFunctions[i] = rows[i];
}

int IsStopRequested(HANDLE h)
{
    return h != nullptr && WaitForSingleObject(h, 0) == WAIT_OBJECT_0 ? 1 : 0;
}

CModList::CModList() : m_evStop(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CModList::~CModList()
{
    if (m_evStop) CloseHandle(m_evStop);
}

void CModList::Build()
{
    // Freeing the items under a running scan would leave the worker with dangling pointers.
    if (m_bBusy) return;

    m_nCount = kBuiltinItemCount;
    m_nLoaded = kBuiltinItemCount;

    // Selection pass over every data file in the fixed order.
    const CPluginFilePasses passes = g_pluginFilePasses;
    std::vector<std::string> paths;
    if (passes.pfnSelect && passes.pfnFill) paths = TheSettings().m_astrPluginFiles;
    std::vector<std::vector<int>> accepted(paths.size());
    for (size_t file = 0; file < paths.size(); ++file) {
        accepted[file] = passes.pfnSelect(paths[file]);
        m_nCount += static_cast<int>(accepted[file].size());
    }

    m_pItems = std::make_unique<CModItem[]>(m_nCount);
    m_pCheckedIds = std::make_unique<int[]>(m_nCount);  // all 0
    m_nCheckedCount = 0;

    // Fill pass: each file's modules take the next free items, in file order.
    for (size_t file = 0; file < paths.size(); ++file) {
        if (accepted[file].empty()) continue;
        passes.pfnFill(paths[file], accepted[file], &m_pItems[m_nLoaded]);
        m_nLoaded += static_cast<int>(accepted[file].size());
    }

    for (int i = 0; i < m_nCount; ++i) {
        CModItem& item = m_pItems[i];
        item.m_pfnIsStopRequested = ::IsStopRequested;
        item.m_hStopEvent = m_evStop;
        if (i < kBuiltinItemCount)
            SetUpBuiltinItem(item, i, g_builtinItemFunctions[i]);
        else
            SetUpPluginItem(item);
    }
    m_nCount = m_nLoaded = DropTakenIdentifiers(m_pItems.get(), m_nCount);
}

CModItem* CModList::FindById(int id) const
{
    if (!m_pItems) return nullptr;
    for (int i = 0; i < m_nCount; ++i)
        if (m_pItems[i].m_nId == id) return &m_pItems[i];
    return nullptr;
}

CModItem* CModList::GetAt(int index)
{
    if (!m_pItems || index < 0 || index >= m_nCount) return nullptr;
    return &m_pItems[index];
}
