// Netscape-format cookies files ("NETS_FIREFOXS_COOKIES" items): one cookie per line, fields
// separated by tabs (domain, flag, path, secure, expiry, name, value). The scan lists every cookie
// line as an object of its own, except the cookies of sites on the cookie keep list; cleaning a
// cookie rewrites the file without its lines.
#pragma once

#include <string>

#include "engine/FoundObject.h"
#include "engine/RunContext.h"

// A domain counts only when it has 1 to 149 bytes.
constexpr size_t kMaxCookieDomainLength = 149;
// Cookies files are small: a larger file lists no cookie and is not rewritten.
constexpr unsigned long long kMaxCookiesFileSize = 64ull << 20;
// A longer line holds no cookie; the scan passes over it without holding it whole.
constexpr size_t kMaxCookieLineLength = 16 * 1024;
// The cookie name of a line with too few fields.
extern const char* const kNoCookieName;  // "NO NAME"

// A line whose first character is "#".
bool IsCookieComment(const std::string& line);

// Domain (first field, trimmed, without leading dots) and cookie name (the fifth non-empty field
// after the domain, or "NO NAME") of a line that is no comment. False when the domain is empty or
// too long: the line holds no cookie.
bool ParseCookieLine(const std::string& line, std::string& domain, std::string& name);

// File callback of "NETS_FIREFOXS_COOKIES" items; pContext is the run's CRunContext. Lists the
// cookies of one file until the lines end or a stop is requested, then advances both bars by one.
// A file that cannot be opened or is too large lists nothing. Returns 1.
int ScanCookiesFile(void* pContext, int nWalkRootLength, const char* pszPath, void* pExtra);

// Cleaning function of cookie objects: every line of the file whose domain and name are the
// object's goes. The file is rewritten so that a failure at any step leaves the old or the new file
// whole, and the old content is shredded. A file that has become a link, or lies below a folder of
// the scan's walk that has, is not touched. The removed lines count as deleted only once the new file
// is in place; a file that cannot be read or rewritten stays as it was and the cookie counts as not
// deleted. Returns 1.
int RemoveCookieLines(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);
