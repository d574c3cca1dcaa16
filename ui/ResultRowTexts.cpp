#include "ui/ResultRowTexts.h"

#include "app/DateText.h"
#include "framework/MbString.h"

const char kNoValueText[] = "无";
const char kOrdinaryFileText[] = "普通文件";

std::string FormatSizeKbMb(DWORD size)
{
    if (size <= 0x100000) return framework::Format("%.2f KB", size / 1024.0);
    return framework::Format("%.2f MB", size / 1048576.0);
}

CResultRowTexts ResultRowTexts(const CFoundObject& object)
{
    CResultRowTexts row;
    row.m_astrCells[kColObject] = object.m_strPath;
    for (int column = kColType; column < kResultColumnCount; ++column) row.m_astrCells[column] = kNoValueText;

    switch (object.m_nKind) {
    case kObjUnknown:
    case kObjFile:
        row.m_astrCells[kColType] = ObjectKindText(object.m_nKind);
        row.m_astrCells[kColSize] = FormatSizeKbMb(object.m_dwSize);
        if (object.m_nKind == kObjFile && object.m_pStatus) {
            row.m_astrCells[kColAccessed] = FormatDate(object.m_pStatus->m_tAccess);
            row.m_astrCells[kColModified] = FormatDateAndMinutes(object.m_pStatus->m_tModification);
        }
        break;
    case kObjCookie:
        row.m_astrCells[kColType] = ObjectKindText(object.m_nKind);
        row.m_astrCells[kColSize] = framework::Format("%d 字节", static_cast<int>(object.m_dwSize));
        break;
    case kObjRegKey:
    case kObjRegValue:
    case kObjTypedUrl:
        row.m_astrCells[kColType] = ObjectKindText(object.m_nKind);
        break;
    default:  // an unknown kind has no type text
        break;
    }
    return row;
}
