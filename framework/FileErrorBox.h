// The standard box for a file that could not be created, opened or written: the system error code
// is mapped to one of a few causes, each with its Chinese text naming the file ("对 %1 的存取被拒绝。").
#pragma once

#include <windows.h>

#include <string>

namespace framework {

enum class FileErrorCause {
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    RemoveCurrentDir,
    DirectoryFull,
    BadSeek,
    HardIO,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
};

// The cause of a system error code of a file operation (Generic for codes without their own).
FileErrorCause FileErrorCauseOf(DWORD error);
// The cause's text with %1 replaced by the file name.
std::string FileErrorText(FileErrorCause cause, const std::string& fileName);
// Modal box with the exclamation icon; returns what MessageBoxA returns.
int ShowFileErrorBox(HWND owner, DWORD error, const std::string& fileName, const std::string& caption);

}  // namespace framework
