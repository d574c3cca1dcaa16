#include "engine/CookiesFile.h"

#include <vector>

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "catalogue/FileReplace.h"
#include "catalogue/PluginFileLineReader.h"
#include "engine/FolderWalker.h"
#include "engine/RunReport.h"
#include "engine/ScannedPath.h"
#include "engine/SecureDelete.h"
#include "framework/MbString.h"
#include "framework/PathText.h"
#include "framework/ScopedHandle.h"

const char* const kNoCookieName = "NO NAME";

namespace {

// The name is the fifth non-empty field after the domain (flag, path, secure, expiry, name).
constexpr int kNameFieldAfterDomain = 5;
static_assert(kMaxCookieLineLength >= CBlockLineReader::kBlockSize, "the reader holds whole blocks");


bool IsKeptDomain(const std::vector<std::string>& keepList, const std::string& domain)
{
    for (const std::string& entry : keepList)
        if (framework::MbsEqualNoCase(entry, domain)) return true;
    return false;
}

// A cookies file as the walk found it: its path and the length of the walk's starting folder.
struct CWalkedFile {
    std::string m_strPath;
    int m_nWalkRootLength = -1;
};

void ListCookieLine(CRunContext* context, const std::vector<std::string>& keepList, const CWalkedFile& file,
                    const std::string& line)
{
    std::string domain, name;
    if (IsCookieComment(line) || !ParseCookieLine(line, domain, name)) return;
    if (IsKeptDomain(keepList, domain)) {
        ReportIgnoredCookie(context);
        return;
    }
    CFoundObject object;
    object.m_strPath = domain + "[" + name + "]";
    object.m_strName = domain;
    object.m_strExtra1 = name;
    object.m_strExtra2 = file.m_strPath;
    object.m_nWalkRootLength = file.m_nWalkRootLength;
    object.m_dwSize = static_cast<DWORD>(line.size());
    object.m_nKind = kObjCookie;
    object.m_pfnClean = RemoveCookieLines;
    ReportFound(context, &object, line.size());
}

// The cookies of the file's lines, until the lines end or a stop is requested.
void ListCookies(CRunContext* context, const std::vector<std::string>& keepList, const CWalkedFile& file,
                 CBlockLineReader& reader)
{
    std::string line;
    while (reader.More()) {
        while (reader.ReadLine(line)) {
            if (context && context->IsStopRequested()) return;
            ListCookieLine(context, keepList, file, line);
        }
    }
}

// The whole file as it is on the disk. Read as raw bytes, not through the line reader, which ends a
// block's text at a NUL byte: a rewrite from that text would lose the lines behind the NUL.
bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    framework::ScopedKernelHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<ULONGLONG>(size.QuadPart) > kMaxCookiesFileSize) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &read, nullptr)) return false;
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

// The file without the lines of one cookie: comment lines stay, lines without a valid domain go,
// every kept line ends with "\n". Answers the number of lines removed.
int WithoutCookie(const std::string& content, const std::string& domain, const std::string& name,
                  std::string& kept)
{
    int removed = 0;
    kept.clear();
    kept.reserve(content.size());
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        const std::string line = content.substr(start, end - start);
        start = end + 1;

        std::string lineDomain, lineName;
        if (!IsCookieComment(line)) {
            if (!ParseCookieLine(line, lineDomain, lineName)) continue;
            if (framework::MbsEqualNoCase(lineDomain, domain) && framework::MbsEqualNoCase(lineName, name)) {
                ++removed;
                continue;
            }
        }
        kept += line;
        kept += '\n';
    }
    return removed;
}

// Puts the new content in the place of the file in one step, so the name always leads to the old or
// the new content whole. Until then the old content has a second, transient name, through which it
// is shredded afterwards. An empty content removes the file.
bool RewriteCookiesFile(const std::string& path, const std::string& content, CRunContext* context)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    // A file that may not be written is left alone, as is a link, whose shredding would destroy
    // whatever it points to.
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return false;

    DWORD error = ERROR_SUCCESS;
    std::string newPath, oldPath;
    if (!content.empty() && !WriteNewFileBeside(path, content, newPath, error)) return false;
    if (!LinkOldContent(path, oldPath, error)) {
        if (!newPath.empty()) DiscardTransientFile(newPath);
        return false;
    }
    const bool replaced = newPath.empty() ? DeleteFileA(path.c_str()) != FALSE : ReplaceWithNewFile(path, newPath, error);
    if (!replaced) {
        // The second name shares the content that the file keeps: only the name goes.
        DiscardTransientFile(oldPath);
        if (!newPath.empty()) DiscardTransientFile(newPath);
        return false;
    }
    if (!newPath.empty()) SetFileAttributesA(path.c_str(), attributes);
    DiscardTransientFile(oldPath, [context](const std::string& old) { ShredWithStatus(old, context); });
    return true;
}

}  // namespace

bool IsCookieComment(const std::string& line)
{
    return !line.empty() && line[0] == '#';
}

bool ParseCookieLine(const std::string& line, std::string& domain, std::string& name)
{
    // The tab byte (0x09) is never part of a double-byte character (trail bytes start at 0x40), so
    // the fields are split byte-wise; this also keeps a broken lead byte from swallowing a tab.
    size_t tab = line.find('\t');
    domain = framework::MbsTrimLeftChar(framework::MbsTrim(line.substr(0, tab)), '.');
    if (domain.empty() || domain.size() > kMaxCookieDomainLength) return false;

    name = kNoCookieName;
    int nonEmpty = 0;
    while (tab != std::string::npos) {
        const size_t next = line.find('\t', tab + 1);
        const std::string field =
            framework::MbsTrim(line.substr(tab + 1, next == std::string::npos ? std::string::npos : next - tab - 1));
        if (!field.empty() && ++nonEmpty == kNameFieldAfterDomain) {
            name = field;
            break;
        }
        tab = next;
    }
    return true;
}

int ScanCookiesFile(void* pContext, int nWalkRootLength, const char* pszPath, void*)
{
    auto* context = static_cast<CRunContext*>(pContext);
    const CWalkedFile file{pszPath, nWalkRootLength};
    const std::string& path = file.m_strPath;
    SetLine(context, framework::NameOfPath(path));

    std::vector<std::string> keepList;
    SettingsOf(context).ReadStringList(kOptSavedCookiesList, keepList);

    CBlockLineReader reader("\n", nullptr, kMaxCookieLineLength);
    if (reader.Open(path) && reader.GetLength() <= kMaxCookiesFileSize) ListCookies(context, keepList, file, reader);
    reader.Close();
    AdvanceBars(context);
    return 1;
}

int RemoveCookieLines(CFoundObject* pObject, CRunContext* pContext, int, int)
{
    const std::string& path = pObject->m_strExtra2;
    std::string content;
    if (!IsStillAsScanned(pContext, path, GetFileAttributesA(path.c_str()), pObject->m_nWalkRootLength) ||
        !ReadWholeFile(path, content)) {
        ReportNotDeleted(pContext);
        return 1;
    }
    std::string kept;
    const int removed = WithoutCookie(content, pObject->m_strName, pObject->m_strExtra1, kept);
    // Already gone (an earlier object removed its duplicate lines): the file is left as it is.
    if (removed == 0) return 1;
    if (!RewriteCookiesFile(path, kept, pContext)) {
        ReportNotDeleted(pContext);
        return 1;
    }
    ReportDeleted(pContext, static_cast<ULONGLONG>(pObject->m_dwSize) * removed, removed, IDS_TOTAL_SIZE);
    return 1;
}
