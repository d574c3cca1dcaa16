// Item 1105, the Recycle Bin of drive C: one object that stands for every file in the bin (its
// m_nParam is the number of files), and the cleaning function that empties the bin.
#pragma once

#include <windows.h>

#include "catalogue/ModItem.h"
#include "engine/FoundObject.h"
#include "engine/RunContext.h"

extern const char* const kRecycleBinFormat;  // "Windows 回收站中的所有文件 (%ld 个文件)"
extern const char* const kRecycleBinRoot;    // "C:\"

struct CRecycleBinContents {
    ULONGLONG m_qwBytes = 0;
    LONGLONG m_nItems = 0;
};
// What the bin of drive C: holds; nothing when the query fails.
CRecycleBinContents QueryRecycleBin();

// Lists the bin when it holds anything: the found count grows by the number of files, the size by
// the bytes in the bin. Then the step's progress; 0 when a stop was requested.
int ScanRecycleBin(CModItem* pItem);

// Cleaning function: empties the bin of drive C: without asking, progress or sound. Only when the
// shell reports success do its files count as deleted and its bytes as won; otherwise they count
// as not deleted. Returns 1 on success.
int EmptyRecycleBinObject(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);

// Seam for SHEmptyRecycleBinA: Wine reports success even for a bin it could not empty, so tests
// put a failing call in its place. Null restores the real call.
using EmptyRecycleBinFn = HRESULT(WINAPI*)(HWND hwnd, LPCSTR pszRootPath, DWORD dwFlags);
void SetEmptyRecycleBinForTesting(EmptyRecycleBinFn fn);
