// The texts of a found object's row in the results list: the path, the kind's text, the size and
// the two dates, with "无" in every cell that has no value.
#pragma once

#include <windows.h>

#include <string>

#include "engine/FoundObject.h"

// Columns of the results list.
enum EResultColumn {
    kColObject = 0,    // "已找到的对象": the path
    kColType = 1,      // "对象类型"
    kColSize = 2,      // "大小"
    kColAccessed = 3,  // "最后访问"
    kColModified = 4,  // "最后修改"
};
constexpr int kResultColumnCount = 5;

// Text of a cell without a value.
extern const char kNoValueText[];     // "无"
// Column-1 text of the rows that can be opened.
extern const char kOrdinaryFileText[];  // "普通文件"

struct CResultRowTexts {
    std::string m_astrCells[kResultColumnCount];
};
CResultRowTexts ResultRowTexts(const CFoundObject& object);

// Size of a file: "%.2f KB" up to 1,048,576 bytes, "%.2f MB" above.
std::string FormatSizeKbMb(DWORD size);
