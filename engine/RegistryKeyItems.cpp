#include "engine/RegistryKeyItems.h"

#include <shlwapi.h>

#include "engine/OneStepItem.h"
#include "engine/RunReport.h"
#include "framework/ScopedHandle.h"

const char* const kSearchAssistantKey = "Software\\Microsoft\\Search Assistant\\ACMru";
const char* const kDocFindSpecKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU";
const char* const kRunMruKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

namespace {

bool KeyIsGone(HKEY root, const char* path)
{
    framework::ScopedRegKey key;
    return RegOpenKeyExA(root, path, 0, KEY_READ, key.Receive()) == ERROR_FILE_NOT_FOUND;
}

}  // namespace

void ReportRegistryKey(CRunContext* context, HKEY root, const char* path)
{
    {
        framework::ScopedRegKey key;
        if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, key.Receive()) !=
            ERROR_SUCCESS)
            return;
    }
    CFoundObject object;
    object.m_strPath = path;
    object.m_nKind = kObjRegKey;
    object.m_nParam = 1;
    object.m_dwParam2 = RootKeyToParam(root);
    object.m_pfnClean = DeleteRegistryKeyObject;
    ReportFound(context, &object);
}

int ListRegistryKey(CModItem* pItem, HKEY root, const char* path)
{
    CRunContext* context = pItem->m_pScanContext;
    CompleteOneStep(context);
    ReportRegistryKey(context, root, path);
    return OneStepResult(context);
}

int DeleteRegistryKeyObject(CFoundObject* pObject, CRunContext* pContext, int, int)
{
    HKEY root = ParamToRootKey(pObject->m_dwParam2);
    const char* path = pObject->m_strPath.c_str();
    // A key that someone else removed since the scan is gone all the same; any other failure (no
    // access, a sub-key that resists) leaves the traces in place and must not be counted as cleaned.
    bool gone = SHDeleteKeyA(root, path) == ERROR_SUCCESS || KeyIsGone(root, path);
    if (!gone) {
        ReportNotDeleted(pContext);
        return 0;
    }
    ReportDeletedUnsized(pContext, pObject->m_nParam);
    return 1;
}

int ScanFindHistory(CModItem* pItem)
{
    CRunContext* context = pItem->m_pScanContext;
    CompleteOneStep(context);
    ReportRegistryKey(context, HKEY_CURRENT_USER, kSearchAssistantKey);
    // Listed like the other history instead of removed on the spot: a scan only looks.
    ReportRegistryKey(context, HKEY_CURRENT_USER, kDocFindSpecKey);
    return OneStepResult(context);
}

int ScanRunHistory(CModItem* pItem)
{
    return ListRegistryKey(pItem, HKEY_CURRENT_USER, kRunMruKey);
}
