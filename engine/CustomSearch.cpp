#include "engine/CustomSearch.h"

#include <shlwapi.h>

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "engine/FolderWalker.h"
#include "engine/RunReport.h"
#include "framework/MbString.h"
#include "framework/PathText.h"
#include "catalogue/CustomItems.h"
#include "resource.h"

const char* const kCustomFolderFallback = "C:\\";
const char* const kCustomSkippedFolder = "Local Settings\\Temp";

namespace {

// Checked in the items dialog: its ItemStates value is exactly 1.
bool IsItemChecked(int id)
{
    DWORD state = 0;
    if (TheSettings().ReadDword(CSettingsStore::ItemStateName(id).c_str(), state, kItemStatesSubkey) !=
        ERROR_SUCCESS)
        return false;
    return state == 1;
}

void ClearCheckedId(CModList& catalogue, int id)
{
    if (!catalogue.m_pCheckedIds) return;
    for (int i = 0; i < catalogue.m_nCount; ++i) {
        if (catalogue.m_pCheckedIds[i] == id) {
            catalogue.m_pCheckedIds[i] = 0;
            return;
        }
    }
}


}  // namespace

std::vector<std::string> CollectCustomPatterns(CModList& catalogue)
{
    std::vector<std::string> patterns;
    for (int i = 0; i < catalogue.m_nCount; ++i) {
        const CModItem& item = *catalogue.GetAt(i);
        if (!IsCustomItem(item) || !IsItemChecked(item.m_nId)) continue;
        ClearCheckedId(catalogue, item.m_nId);
        if (item.m_PlugData.m_bHasFileRules) patterns.push_back(item.m_PlugData.m_strFileRules);
    }
    return patterns;
}

std::string CustomFolderSetting()
{
    std::string folder;
    if (TheSettings().ReadString(kOptCustomFolderToScan, folder) == ERROR_FILE_NOT_FOUND) return kCustomFolderFallback;
    return folder;
}

std::string CustomFolderToScan()
{
    const std::string folder = CustomFolderSetting();
    return !folder.empty() && PathFileExistsA(folder.c_str()) ? folder : std::string();
}

int CustomSearch(CModItem* pItem)
{
    if (pItem->IsStopRequested()) return 0;
    CRunContext* context = pItem->m_pScanContext;
    if (HasWindow(context)) context->m_pWnd->SetItemText(IDC_CURRENT_OPERATION, LoadResString(IDS_SCANNING_CUSTOM));

    std::vector<std::string> patterns = CollectCustomPatterns(g_theScanningThreadsParam);
    CCustomSearchData data;
    data.m_pContext = context;
    data.m_pPatterns = patterns.data();
    data.m_nPatterns = static_cast<int>(patterns.size());

    // Custom items list files only: no folder callback, so no folder is ever offered for removal.
    FolderWalkParams params;
    params.m_bRecurse = true;
    params.m_pfnStop = pItem->m_pfnIsStopRequested;
    params.m_hStopArg = pItem->m_hStopEvent;
    params.m_pfnOnFile = OnCustomFileFound;
    params.m_pUserData = &data;
    params.m_bMayStartAtRoot = true;  // the user chose the folder, and may choose a whole drive
    return CFolderWalker::Walk(CustomFolderToScan(), &params) ? 1 : 0;
}

int OnCustomFileFound(void* pData, int nWalkRootLength, const char* pszPath, void*)
{
    const auto* search = static_cast<const CCustomSearchData*>(pData);
    CRunContext* context = search->m_pContext;
    const std::string path = pszPath;
    // Whatever the masks say, the system's temporary folders are the temporary-files item's business.
    if (framework::MbsFindNoCase(path, kCustomSkippedFolder) != std::string::npos) return 1;
    const std::string name = framework::NameOfPath(path);
    if (IsKeptByName(context, name)) return 1;

    for (int i = 0; i < search->m_nPatterns; ++i) {
        if (!PathMatchSpecA(name.c_str(), search->m_pPatterns[i].c_str())) continue;
        SetLine(context, name);
        if (TakeByAttributes(pszPath, OptionsOf(context))) ReportFoundFile(context, path, false, nWalkRootLength);
        return 1;
    }
    return 1;
}
