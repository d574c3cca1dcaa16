// One found object as the scan reports it and the cleaning run removes it: the record that crosses
// from the item functions to the main window, its kinds with the texts of the results list, and the
// signature of the cleaning function that every object carries.
#pragma once

#include <windows.h>

#include <string>

#include "engine/FileStatus.h"

struct CFoundObject;
struct CRunContext;

// Cleaning function of an object: called by the cleaning thread as fn(object, context, 0, 0). It
// deletes the object and counts it as deleted or not deleted itself.
using PFN_CLEAN_OBJECT = int (*)(CFoundObject* pObject, CRunContext* pContext, int nReserved1,
                                 int nReserved2);

// Values of CFoundObject::m_nKind.
enum EObjectKind {
    kObjUnknown = 0,
    kObjFile = 1,       // files, also the local files of URL-cache entries
    kObjCookie = 2,     // one cookie line of a text cookies file
    kObjRegKey = 3,
    kObjRegValue = 4,
    kObjTypedUrl = 5,   // URL-history entry of the Internet Explorer cache
};
constexpr int kObjectKindCount = 6;

// Text of a kind for column 1 of the results list; kinds outside the table read as unknown.
const char* ObjectKindText(int kind);

// Copied by value: the main window keeps its own copy of every record it receives.
struct CFoundObject {
    std::string m_strPath;    // full file path, cache file, key path or history URL
    std::string m_strName;    // file name, source URL, value name or cookie domain
    std::string m_strExtra1;  // cookie name of a text cookie
    std::string m_strExtra2;  // cookies file of a text cookie
    DWORD m_dwSize = 0;       // low 32 bits of the size
    int m_nKind = kObjUnknown;
    int m_nParam = 0;
    DWORD m_dwParam2 = 0;
    // Bytes of the path (m_strExtra2 for a cookie) that the folder walk which found the object
    // started from, or -1 when no walk found it. Every folder below that part was an ordinary
    // folder when the walk went down it; the clean touches the object only while that still holds.
    int m_nWalkRootLength = -1;
    // Points into the sender's stack: valid only while UWM_ADD_OBJECT is handled.
    const CFileStatus* m_pStatus = nullptr;
    PFN_CLEAN_OBJECT m_pfnClean = nullptr;
};

// The root key of a registry object travels in the 32-bit m_dwParam2; the predefined roots are
// sign-extended 32-bit constants.
DWORD RootKeyToParam(HKEY root);
HKEY ParamToRootKey(DWORD param);
