// A Netscape-format cookies file: scanned into cookie objects, then one of them (chosen by the
// input's length) removed. The removed cookie's lines are gone and every other line that holds a
// cookie or a comment is still there, byte for byte and in order.
#include "Shim.h"

#include "app/SettingsStore.h"
#include "engine/CookiesFile.h"
#include "framework/MbString.h"

#include <sstream>

namespace {

const char kFolder[] = "C:\\Profile";
const char kPath[] = "C:\\Profile\\cookies.txt";

std::vector<std::string> LinesOf(const std::string& content)
{
    std::vector<std::string> lines;
    std::istringstream in(content);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    shim::Reset({kFolder});
    shim::PutFile(kPath, content);
    TheSettings().WriteStringList(kOptSavedCookiesList, {"kept.example"});

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
        std::string domain, name;
        const bool comment = IsCookieComment(line), cookie = !comment && ParseCookieLine(line, domain, name);
        const bool gone = cookie && framework::MbsEqualNoCase(domain, object.m_strName) &&
                          framework::MbsEqualNoCase(name, object.m_strExtra1);
        removed = removed || gone;
        if ((comment || cookie) && !gone) want.push_back(line);
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
