#include "engine/FileStatus.h"

namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kEpochDifference = 116444736000000000ULL;
constexpr ULONGLONG kIntervalsPerSecond = 10000000ULL;

}  // namespace

__time64_t FileTimeToTime64(const FILETIME& ft)
{
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    if (t.QuadPart < kEpochDifference) return 0;
    return static_cast<__time64_t>((t.QuadPart - kEpochDifference) / kIntervalsPerSecond);
}

CFileStatus FileStatusOf(const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    CFileStatus status;
    status.m_tCreation = FileTimeToTime64(data.ftCreationTime);
    status.m_tModification = FileTimeToTime64(data.ftLastWriteTime);
    status.m_tAccess = FileTimeToTime64(data.ftLastAccessTime);
    ULARGE_INTEGER size;
    size.LowPart = data.nFileSizeLow;
    size.HighPart = data.nFileSizeHigh;
    status.m_qwSize = size.QuadPart;
    return status;
}

bool ReadFileStatus(const std::string& path, CFileStatus& status)
{
    // GetFileAttributesEx reads the directory entry only, so it works on files that another
    // program holds open without sharing.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    status = FileStatusOf(data);
    return true;
}
