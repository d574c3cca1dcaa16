// The parts of a Windows path as text: its name, its folder, its trailing backslashes, and a folder
// joined with a name. Multibyte-aware like the helpers of MbString.h: a trail byte 0x5C of a
// double-byte character is never taken for a separator.
#pragma once

#include <string>

namespace framework {

// Everything after the last backslash; the whole text when there is none.
std::string NameOfPath(const std::string& path);

// Everything before the last backslash: "." for a bare name, "\" for "\name", and "C:\" for
// "C:\name" (not "C:", which is the drive's current folder).
std::string FolderOfPath(const std::string& path);

// True when the text ends with a backslash that is a whole character.
bool EndsWithSeparator(const std::string& path);

// The text without its trailing backslashes.
std::string WithoutTrailingSeparators(const std::string& path);

// folder + "\" + name. An empty folder gives the name alone; a folder that ends with a backslash (a
// drive root "C:\") keeps its own.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace framework
