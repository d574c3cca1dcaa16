// The file-status record that a found file object points to while UWM_ADD_OBJECT is handled:
// creation, modification and access time as 64-bit time_t values, then the 64-bit size; and the
// one function that reads it from a path.
#pragma once

#include <windows.h>

#include <ctime>
#include <string>

struct CFileStatus {
    __time64_t m_tCreation = 0;
    __time64_t m_tModification = 0;
    __time64_t m_tAccess = 0;
    ULONGLONG m_qwSize = 0;
};

// Seconds since 1970 (UTC) of a FILETIME; 0 for times before 1970.
__time64_t FileTimeToTime64(const FILETIME& ft);

// The status in attribute data that GetFileAttributesExA or a directory search already gave.
CFileStatus FileStatusOf(const WIN32_FILE_ATTRIBUTE_DATA& data);

// Reads the status of a file or folder; false when the path cannot be queried.
bool ReadFileStatus(const std::string& path, CFileStatus& status);
