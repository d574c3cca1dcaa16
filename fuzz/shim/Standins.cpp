// Stand-ins for what the parsers report to and read from the rest of the program: the settings
// store's instance, the run report (found objects and counters are collected), message texts, the
// file-error box and the folder walk (no parser walks folders; the file rules are fuzzed up to the
// folder they name).
#include "Shim.h"

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "engine/FolderWalker.h"
#include "engine/RunReport.h"
#include "framework/FileErrorBox.h"

namespace shim {
std::vector<CFoundObject> g_found;
int g_deleted = 0, g_notDeleted = 0, g_boxes = 0;
}  // namespace shim

using namespace shim;

CSettingsStore& TheSettings()
{
    static CSettingsStore store;
    return store;
}

const char* const kSupportAddress = "support@example.invalid";
std::string LoadResString(UINT id) { return "string " + std::to_string(id); }
std::string GetSystemErrorText(DWORD code) { return "error " + std::to_string(code) + "\r\n"; }
int framework::ShowFileErrorBox(HWND, DWORD, const std::string&, const std::string&) { return ++g_boxes; }

int CFolderWalker::Walk(const std::string&, FolderWalkParams*) { return 1; }

bool CWndRef::GetStatusText(int, std::string&) const { return false; }
void CWndRef::SetStatusText(int, const std::string&) const {}
bool HasWindow(const CRunContext*) { return false; }
void SetLine(const CRunContext*, const std::string&) {}
void SetStatusPart(const CRunContext*, int, const char*, ...) {}
void SetProgressRange(const CRunContext*, HWND, int) {}
void SetProgressPos(const CRunContext*, HWND, int) {}
void AdvanceBars(const CRunContext*) {}
void ShowNotDeletedCount(const CRunContext*) {}

void ReportFound(CRunContext*, const CFoundObject* pObject, ULONGLONG, int)
{
    if (pObject) g_found.push_back(*pObject);
}
void ReportFoundUnsized(CRunContext*, const CFoundObject& object, int) { g_found.push_back(object); }
void ReportDeleted(CRunContext*, ULONGLONG, int count, UINT) { g_deleted += count; }
void ReportDeletedUnsized(CRunContext*, int count) { g_deleted += count; }
void ReportNotDeleted(CRunContext*, int count) { g_notDeleted += count; }
void ReportIgnoredCookie(CRunContext*) {}
