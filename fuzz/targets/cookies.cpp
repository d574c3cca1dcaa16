// A Netscape-format cookies file: scanned into cookie objects, then one of them (chosen by the
// input's length) removed. The removed cookie's lines are gone and every other line that holds a
// cookie or a comment is still there, byte for byte and in order.
#include "Shim.h"

#include "app/SettingsStore.h"
#include "engine/CookiesFile.h"
#include "framework/MbString.h"

namespace {

const char kFolder[] = "C:\\Profile";
const char kPath[] = "C:\\Profile\\cookies.txt";

std::vector<std::string> LinesOf(const std::string& content)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < content.size();) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        lines.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool IsCookie(const std::string& line, const std::string& domain, const std::string& name)
{
    std::string lineDomain, lineName;
    return !IsCookieComment(line) && ParseCookieLine(line, lineDomain, lineName) &&
           framework::MbsEqualNoCase(lineDomain, domain) && framework::MbsEqualNoCase(lineName, name);
}

bool HoldsCookieOrComment(const std::string& line)
{
    std::string domain, name;
    return IsCookieComment(line) || ParseCookieLine(line, domain, name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    shim::Reset({"C:", kFolder});
    shim::PutFile(kPath, content);
    TheSettings().WriteStringList(kOptSavedCookiesList, {"kept.example"});
    shim::g_found.clear();
    shim::g_deleted = shim::g_notDeleted = 0;

    ScanCookiesFile(nullptr, static_cast<int>(sizeof kFolder - 1), kPath, nullptr);
    for (const CFoundObject& object : shim::g_found) {
        FUZZ_CHECK(object.m_nKind == kObjCookie && object.m_strExtra2 == kPath);
        FUZZ_CHECK(!object.m_strName.empty() && object.m_strName.size() <= kMaxCookieDomainLength);
        FUZZ_CHECK(!framework::MbsEqualNoCase(object.m_strName, "kept.example"));
    }
    if (shim::g_found.empty()) return 0;

    CFoundObject object = shim::g_found[size % shim::g_found.size()];
    RemoveCookieLines(&object, nullptr, 0, 0);
    FUZZ_CHECK(shim::g_notDeleted == 0);
    std::string after;
    if (!shim::GetFile(kPath, after)) after.clear();  // removing the only cookie removes the file

    std::vector<std::string> want;
    bool removed = false;
    for (const std::string& line : LinesOf(content)) {
        const bool gone = IsCookie(line, object.m_strName, object.m_strExtra1);
        removed = removed || gone;
        if (HoldsCookieOrComment(line) && !gone) want.push_back(line);
    }
    // A line the scan saw may differ from the file's (the reader ends a block's text at a NUL):
    // with nothing to remove the file stays as it is.
    if (!removed) {
        FUZZ_CHECK(after == content);
        return 0;
    }
    FUZZ_CHECK(LinesOf(after) == want);
    FUZZ_CHECK(after.empty() || after.back() == '\n');
    // No transient file is left beside it.
    for (const std::string& name : shim::NamesIn(kFolder)) FUZZ_CHECK(name == "cookies.txt");
    return 0;
}
