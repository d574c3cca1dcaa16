#include "catalogue/PluginFileExternalDir.h"

#include "catalogue/ModItem.h"
#include "catalogue/PathVars.h"
#include "catalogue/PluginFileFormat.h"
#include "framework/MbString.h"
#include "framework/ScopedHandle.h"

#include <windows.h>

namespace {

constexpr size_t kMaxMarkerTokenLength = 3;

// Splits at the first whole-character occurrence of `separator`; without one, `after` is empty and
// the answer false.
bool SplitAt(const std::string& text, char separator, std::string& before, std::string& after)
{
    size_t at = framework::MbsFindChar(text, separator);
    before = framework::MbsTrim(text.substr(0, at));
    after = at == std::string::npos ? std::string() : framework::MbsTrim(text.substr(at + 1));
    return at != std::string::npos;
}

// The whole file, when it opens and is shorter than the limit.
bool ReadSmallFile(const std::string& path, std::string& content)
{
    framework::ScopedKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) >= kExternalDirFileLimit)
        return false;
    content.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() && !ReadFile(file.Get(), &content[0], static_cast<DWORD>(content.size()), &read, nullptr))
        return false;
    content.resize(read);  // a file that shrank meanwhile is read as far as it goes
    return true;
}

// "C:/Data/App/" becomes "C:\Data\App": every piece between slashes followed by a backslash, then no
// backslash at either end.
std::string FolderFromText(const std::string& text)
{
    std::string rest = framework::MbsTrimChar(text, '\\');
    std::string folder;
    for (;;) {
        size_t slash = framework::MbsFindChar(rest, '/');
        folder += rest.substr(0, slash);
        folder += '\\';
        if (slash == std::string::npos) break;
        rest.erase(0, slash + 1);
    }
    return framework::MbsTrimChar(folder, '\\');
}

}  // namespace

std::string ParseMarker(const std::string& list)
{
    std::string marker;
    size_t start = 0;
    while (marker.size() < kMaxMarkerBytes && start <= list.size()) {
        size_t end = list.find(';', start);  // ';' (0x3B) is never a trail byte
        if (end == std::string::npos) end = list.size();
        const std::string token = list.substr(start, end - start);
        start = end + 1;
        if (token.size() > kMaxMarkerTokenLength) continue;
        long value = LeadingNumber(token);
        if (value >= 1 && value <= 254) marker += static_cast<char>(value);
    }
    return marker;
}

bool ExtractExternalDir(const std::string& path, const std::string& startMarker, const std::string& endMarker,
                        std::string& folder)
{
    // An empty marker would match anywhere; it is taken as a marker not found.
    if (startMarker.empty() || endMarker.empty()) return false;
    std::string content;
    if (!ReadSmallFile(path, content)) return false;
    size_t start = framework::MbsFind(content, startMarker);
    if (start == std::string::npos) return false;
    const std::string after = content.substr(start + startMarker.size());
    size_t end = framework::MbsFind(after, endMarker);
    if (end == std::string::npos) return false;
    folder = framework::MbsTrim(after.substr(0, end));
    return true;
}

void ApplyExternalDir(const std::string& value, CModPlugData& data)
{
    std::string filePart, markerPart;
    SplitAt(value, '|', filePart, markerPart);
    if (filePart.empty() || markerPart.empty()) return;

    std::string resolved;
    if (ResolvePathVar(filePart, resolved, "\\", true) && !resolved.empty()) filePart = resolved;

    std::string startList, endList;
    SplitAt(markerPart, '=', startList, endList);
    if (startList.empty() || endList.empty()) return;

    std::string text;
    if (!ExtractExternalDir(filePart, ParseMarker(startList), ParseMarker(endList), text)) return;
    // A longer text would not fit the program's MAX_PATH folder buffers: cutting it short would name
    // another folder, so the item goes without. So would a NUL byte in it, which ends the path that
    // reaches the system early, at a parent of the folder.
    if (text.size() > kMaxExternalDirText || text.find('\0') != std::string::npos) return;
    // An empty text ("Path=" or "Path=/") names no folder; standing in for one, it would turn the
    // rule's folder into the root of the drive.
    const std::string folder = FolderFromText(text);
    if (folder.empty()) return;

    data.m_bHasExternalDir = true;
    data.m_strExternalDir = folder;
}
