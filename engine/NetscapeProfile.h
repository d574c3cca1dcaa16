// Where the Netscape (Mozilla suite) profile lives: the Mozilla registry file
// "%AppData%\Mozilla\registry.dat" names the profile folder after a "directory" entry.
#pragma once

#include <string>

// The profile folder named in the user's registry file; false when there is no registry file, no
// "directory" entry, or no entry that names an existing folder.
bool FindNetscapeProfile(std::string& folder);

// The same search in a given registry file. The file is read in two halves (and whatever byte is
// left over); each half is searched as a zero-terminated text, so an entry behind a zero byte, or
// one that spans both halves, is not seen. A file shorter than two bytes holds no profile.
bool FindProfileInRegistryFile(const std::string& path, std::string& folder);
