#include "engine/CookieSites.h"

#include <windows.h>

#include "catalogue/PathVars.h"
#include "catalogue/PluginFileLineReader.h"
#include "engine/CookiesFile.h"
#include "engine/UrlCacheEnum.h"
#include "framework/MbString.h"
#include "framework/PathText.h"
#include "framework/ScopedHandle.h"

namespace {

const char kCookieContainer[] = "cookie:";
const char kFirefoxFolder[] = "%AppData%\\Mozilla\\Firefox\\";
const char kCookiesFilesMask[] = "\\cookies*.*";

// "Cookie:user@host/path/" gives "host/path"; a URL without a host after its '@' gives nothing.
void AddCacheSites(std::vector<std::string>& sites)
{
    CUrlCacheEnum cache;
    for (bool more = cache.Open(kCookieContainer); more; more = cache.Next()) {
        const std::string url = cache.SourceUrl() ? cache.SourceUrl() : "";
        const size_t at = framework::MbsFindChar(url, '@');
        if (at == std::string::npos) continue;
        const std::string site = framework::MbsTrimRightChar(url.substr(at + 1), '/');
        if (!site.empty()) sites.push_back(site);
    }
    cache.Close();
}

bool IsListed(const std::vector<std::string>& sites, const std::string& site)
{
    for (const std::string& listed : sites)
        if (framework::MbsEqualNoCase(listed, site)) return true;
    return false;
}

// The domains of one cookies file, read as the cookies scan reads it.
void AddFileSites(const std::string& path, std::vector<std::string>& sites)
{
    CBlockLineReader reader("\n", nullptr, kMaxCookieLineLength);
    if (!reader.Open(path) || reader.GetLength() > kMaxCookiesFileSize) return;
    std::string line, domain, name;
    while (reader.More())
        while (reader.ReadLine(line))
            if (!IsCookieComment(line) && ParseCookieLine(line, domain, name) && !IsListed(sites, domain))
                sites.push_back(domain);
}

bool IsFirefoxCookiesItem(const CModItem& item)
{
    return item.m_bIsPlugin && item.m_PlugData.m_bHasFileRules && item.m_PlugData.m_bHasSpecialKey &&
           framework::MbsEqualNoCase(item.m_PlugData.m_strSpecialKey, kSpecialKeyFirefoxCookies);
}

void AddFirefoxSites(const CModItem& item, std::vector<std::string>& sites)
{
    std::string pattern;
    const std::string written = kFirefoxFolder + item.m_PlugData.m_strExternalDir + kCookiesFilesMask;
    if (!ResolvePathVar(written, pattern, "\\", true) || pattern.empty()) return;
    const std::string folder = framework::FolderOfPath(pattern);
    WIN32_FIND_DATAA entry;
    framework::ScopedFindHandle find(FindFirstFileA(pattern.c_str(), &entry));
    if (!find) return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            AddFileSites(framework::JoinPath(folder, entry.cFileName), sites);
    } while (FindNextFileA(find.Get(), &entry));
}

}  // namespace

std::vector<std::string> CookieSites(const CModList& catalogue)
{
    std::vector<std::string> sites;
    AddCacheSites(sites);
    for (int i = 0; i < catalogue.m_nCount; ++i) {
        const CModItem* item = catalogue.GetAt(i);
        if (item && IsFirefoxCookiesItem(*item)) AddFirefoxSites(*item, sites);
    }
    return sites;
}
