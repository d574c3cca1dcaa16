// The folders the shredder refuses outright: a drive root, the Windows folder, the program-files
// folders, a user-profile root and Quillon's own install folder - each itself and every folder that
// holds one of them.
#pragma once

#include <string>

namespace shredder {

// The path as the shredder works on it: full, without trailing backslashes (a drive root keeps its
// own, "C:\"). Empty when it cannot be made full.
std::string FullPathOf(const std::string& path);

// Why a full path must not be shredded (a message for the user), or empty when it may be.
std::string RefusalOf(const std::string& fullPath, const std::string& installedDir);

}  // namespace shredder
