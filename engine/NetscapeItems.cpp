#include "engine/NetscapeItems.h"

#include <string>

#include "engine/FileStatus.h"
#include "engine/NetscapeProfile.h"
#include "engine/RunReport.h"
#include "engine/SecureDelete.h"

namespace {

// The listing takes a fixed number of steps so the bars move the same with or without the file;
// the file is looked at halfway.
constexpr int kListingSteps = 100;
constexpr int kStepOfTheFile = 49;

void ReportProfileFile(CRunContext* context, const std::string& path)
{
    CFileStatus status;
    if (!ReadFileStatus(path, status)) return;
    CFoundObject object = MakeFileObject(path, status);
    ReportFound(context, &object, status.m_qwSize);
}

}  // namespace

int ListProfileFile(CRunContext* context, const char* pszFileName)
{
    std::string profile;
    if (!FindNetscapeProfile(profile)) return 1;
    const std::string folder = profile + "\\";
    SetLine(context, "...");
    for (int step = 0; step < kListingSteps; ++step) {
        if (context && context->IsStopRequested()) return 0;
        if (step == kStepOfTheFile) ReportProfileFile(context, folder + pszFileName);
        AdvanceBars(context);
    }
    return 1;
}

int ScanNetscapeCookies(CModItem* pItem) { return ListProfileFile(pItem->m_pScanContext, "cookies.txt"); }

int ScanNetscapeHistory(CModItem* pItem) { return ListProfileFile(pItem->m_pScanContext, "history.dat"); }

int ScanNetscapeTypedUrls(CModItem* pItem) { return ListProfileFile(pItem->m_pScanContext, "localstore.rdf"); }

int NetscapeCachePrepare(CModItem* pItem)
{
    if (pItem->m_pScanData) return 0;
    std::string profile;
    if (!FindNetscapeProfile(profile)) return 0;
    pItem->m_pScanData = new std::string(profile + "\\Cache");
    return 1;
}
