// The external folder of a module (key ExternalDir1): some applications write the folder that holds
// their data into a small file of their own. The value names that file and the byte markers around
// the folder text, for example
//     %AppData%\Mozilla\Firefox\profiles.ini|80;97;116;104;61=13;10
// (the bytes of "Path=" before the folder, CR LF after it).
#pragma once

#include <string>

struct CModPlugData;

// The file named by ExternalDir1 is read only when shorter than this many bytes.
constexpr unsigned long long kExternalDirFileLimit = 8192;
// A marker has at most this many bytes.
constexpr size_t kMaxMarkerBytes = 9;
// The folder text must fit a MAX_PATH buffer with its terminating NUL.
constexpr size_t kMaxExternalDirText = 259;

// Turns "68;105;114;61" into its bytes: at most nine accepted tokens; a token longer than three
// characters, or whose number is not 1..254, is skipped.
std::string ParseMarker(const std::string& list);

// Reads the file (only when shorter than 8192 bytes) and gives the trimmed text between the first
// start marker and the first end marker after it. False when the file cannot be read, is too large
// or a marker is missing.
bool ExtractExternalDir(const std::string& path, const std::string& startMarker, const std::string& endMarker,
                        std::string& folder);

// Evaluates one ExternalDir1 value into the item's plug-in data: on success sets m_bHasExternalDir
// and m_strExternalDir (the folder with "/" turned into "\" and no backslash at either end). Any
// failure, an empty folder text, one longer than 259 bytes and one with a NUL byte leave the item
// without an external folder.
void ApplyExternalDir(const std::string& value, CModPlugData& data);
