#include "framework/FileErrorBox.h"

#include "framework/MbString.h"

namespace framework {

namespace {

struct CauseText {
    FileErrorCause cause;
    const char* text;
};

const CauseText kCauseTexts[] = {
    {FileErrorCause::Generic, "访问 %1 时发生意外错误。"},
    {FileErrorCause::FileNotFound, "未找到 %1。"},
    {FileErrorCause::BadPath, "%1 包含无效的路径。"},
    {FileErrorCause::TooManyOpenFiles, "无法打开 %1，因为打开的文件太多。"},
    {FileErrorCause::AccessDenied, "对 %1 的存取被拒绝。"},
    {FileErrorCause::InvalidFile, "对 %1 使用了无效的文件句柄。"},
    {FileErrorCause::RemoveCurrentDir, "无法删除当前目录 %1。"},
    {FileErrorCause::DirectoryFull, "无法创建 %1，因为目录已满。"},
    {FileErrorCause::BadSeek, "在 %1 中定位失败。"},
    {FileErrorCause::HardIO, "访问 %1 时发生硬件 I/O 错误。"},
    {FileErrorCause::SharingViolation, "访问 %1 时发生共享冲突。"},
    {FileErrorCause::LockViolation, "访问 %1 时发生锁定冲突。"},
    {FileErrorCause::DiskFull, "写入 %1 时磁盘已满。"},
    {FileErrorCause::EndOfFile, "试图越过 %1 的结尾进行访问。"},
};

struct ErrorCause {
    DWORD error;
    FileErrorCause cause;
};

const ErrorCause kErrorCauses[] = {
    {ERROR_FILE_NOT_FOUND, FileErrorCause::FileNotFound},
    {ERROR_PATH_NOT_FOUND, FileErrorCause::BadPath},
    {ERROR_INVALID_DRIVE, FileErrorCause::BadPath},
    {ERROR_BAD_NETPATH, FileErrorCause::BadPath},
    {ERROR_BAD_PATHNAME, FileErrorCause::BadPath},
    {ERROR_INVALID_NAME, FileErrorCause::BadPath},
    {ERROR_FILENAME_EXCED_RANGE, FileErrorCause::BadPath},
    {ERROR_TOO_MANY_OPEN_FILES, FileErrorCause::TooManyOpenFiles},
    {ERROR_ACCESS_DENIED, FileErrorCause::AccessDenied},
    {ERROR_INVALID_ACCESS, FileErrorCause::AccessDenied},
    {ERROR_WRITE_PROTECT, FileErrorCause::AccessDenied},
    {ERROR_NETWORK_ACCESS_DENIED, FileErrorCause::AccessDenied},
    {ERROR_FILE_EXISTS, FileErrorCause::AccessDenied},
    {ERROR_ALREADY_EXISTS, FileErrorCause::AccessDenied},
    {ERROR_INVALID_HANDLE, FileErrorCause::InvalidFile},
    {ERROR_CURRENT_DIRECTORY, FileErrorCause::RemoveCurrentDir},
    {ERROR_CANNOT_MAKE, FileErrorCause::DirectoryFull},
    {ERROR_NEGATIVE_SEEK, FileErrorCause::BadSeek},
    {ERROR_SEEK_ON_DEVICE, FileErrorCause::BadSeek},
    {ERROR_NOT_READY, FileErrorCause::HardIO},
    {ERROR_CRC, FileErrorCause::HardIO},
    {ERROR_SEEK, FileErrorCause::HardIO},
    {ERROR_SECTOR_NOT_FOUND, FileErrorCause::HardIO},
    {ERROR_WRITE_FAULT, FileErrorCause::HardIO},
    {ERROR_READ_FAULT, FileErrorCause::HardIO},
    {ERROR_GEN_FAILURE, FileErrorCause::HardIO},
    {ERROR_SHARING_VIOLATION, FileErrorCause::SharingViolation},
    {ERROR_LOCK_VIOLATION, FileErrorCause::LockViolation},
    {ERROR_DRIVE_LOCKED, FileErrorCause::LockViolation},
    {ERROR_DISK_FULL, FileErrorCause::DiskFull},
    {ERROR_HANDLE_DISK_FULL, FileErrorCause::DiskFull},
    {ERROR_HANDLE_EOF, FileErrorCause::EndOfFile},
};

}  // namespace

FileErrorCause FileErrorCauseOf(DWORD error)
{
    for (const ErrorCause& entry : kErrorCauses)
        if (entry.error == error) return entry.cause;
    return FileErrorCause::Generic;
}

std::string FileErrorText(FileErrorCause cause, const std::string& fileName)
{
    std::string text = kCauseTexts[0].text;
    for (const CauseText& entry : kCauseTexts)
        if (entry.cause == cause) text = entry.text;
    size_t at = MbsFind(text, "%1");
    if (at != std::string::npos) text.replace(at, 2, fileName);
    return text;
}

int ShowFileErrorBox(HWND owner, DWORD error, const std::string& fileName, const std::string& caption)
{
    const std::string text = FileErrorText(FileErrorCauseOf(error), fileName);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace framework
