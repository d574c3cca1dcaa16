#include "framework/MbString.h"

#include <windows.h>

#include <cstdarg>
#include <vector>

namespace framework {
namespace {

int CompareBytes(const char* a, int lenA, const char* b, int lenB)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, lenA, b, lenB);
}

// CharNextA stops at a NUL; texts read from files may hold NUL bytes, which count as one character
// here so that a search always moves on.
const char* NextChar(const char* p)
{
    const char* next = CharNextA(p);
    return next == p ? p + 1 : next;
}

bool IsWhiteSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

std::string Convert(const std::string& text, UINT from, UINT to)
{
    if (text.empty()) return {};
    int wlen = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<wchar_t> wide(wlen);
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wlen);
    int len = WideCharToMultiByte(to, 0, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    std::string out(len, '\0');
    WideCharToMultiByte(to, 0, wide.data(), wlen, out.data(), len, nullptr, nullptr);
    return out;
}

}  // namespace

bool MbsEqualNoCase(const std::string& a, const std::string& b)
{
    return MbsCompareNoCase(a, b) == 0;
}

int MbsCompareNoCase(const std::string& a, const std::string& b)
{
    int r = CompareBytes(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    return r == 0 ? a.compare(b) : r - CSTR_EQUAL;
}

size_t MbsFindNoCase(const std::string& text, const std::string& needle)
{
    if (needle.empty()) return 0;
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    for (const char* p = begin; p < end; p = NextChar(p)) {
        if (static_cast<size_t>(end - p) < needle.size()) break;
        if (CompareBytes(p, static_cast<int>(needle.size()), needle.data(),
                         static_cast<int>(needle.size())) == CSTR_EQUAL)
            return static_cast<size_t>(p - begin);
    }
    return std::string::npos;
}

size_t MbsFind(const std::string& text, const std::string& needle)
{
    if (needle.empty()) return 0;
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    for (const char* p = begin; p < end; p = NextChar(p)) {
        if (static_cast<size_t>(end - p) < needle.size()) break;
        if (text.compare(static_cast<size_t>(p - begin), needle.size(), needle) == 0)
            return static_cast<size_t>(p - begin);
    }
    return std::string::npos;
}

size_t MbsFindChar(const std::string& text, char ch, size_t from)
{
    const char* begin = text.c_str();
    for (const char* p = begin + from; *p; p = CharNextA(p))
        if (*p == ch) return static_cast<size_t>(p - begin);
    return std::string::npos;
}

size_t MbsFindLastChar(const std::string& text, char ch)
{
    size_t found = std::string::npos;
    const char* begin = text.c_str();
    for (const char* p = begin; *p; p = CharNextA(p))
        if (*p == ch) found = static_cast<size_t>(p - begin);
    return found;
}

bool MbsStartsWithNoCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size()) return false;
    // The prefix must end on a character boundary of text.
    const char* p = text.c_str();
    while (static_cast<size_t>(p - text.c_str()) < prefix.size()) p = NextChar(p);
    if (static_cast<size_t>(p - text.c_str()) != prefix.size()) return false;
    return CompareBytes(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                        static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

bool MbsEndsWith(const std::string& text, const std::string& suffix)
{
    if (suffix.size() > text.size()) return false;
    if (suffix.empty()) return true;
    const size_t start = text.size() - suffix.size();
    const char* begin = text.c_str();
    const char* p = begin;
    while (static_cast<size_t>(p - begin) < start) p = NextChar(p);
    return static_cast<size_t>(p - begin) == start && text.compare(start, suffix.size(), suffix) == 0;
}

std::string MbsTrim(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsWhiteSpace(text[first])) ++first;
    while (last > first && IsWhiteSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string MbsTrimChar(const std::string& text, char ch)
{
    return MbsTrimRightChar(MbsTrimLeftChar(text, ch), ch);
}

std::string MbsTrimLeftChar(const std::string& text, char ch)
{
    size_t first = 0;
    while (first < text.size() && text[first] == ch) ++first;  // a leading byte is a whole character
    return text.substr(first);
}

std::string MbsTrimRightChar(const std::string& text, char ch)
{
    // One pass over the characters: the text is kept up to the end of its last character that is
    // not ch. Asking from the end would step back from the start for every character cut.
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    size_t keep = 0;
    for (const char* p = begin; p < end;) {
        const char* next = NextChar(p);
        if (next > end) next = end;  // a lead byte without its trail byte ends the text
        if (next - p != 1 || *p != ch) keep = static_cast<size_t>(next - begin);
        p = next;
    }
    return text.substr(0, keep);
}

std::string MbsTruncate(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes) return text;
    const char* begin = text.c_str();
    const char* p = begin;
    for (;;) {
        const char* next = CharNextA(p);
        if (next == p || static_cast<size_t>(next - begin) > maxBytes) break;
        p = next;
    }
    return std::string(begin, p);
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int len = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out(len > 0 ? len : 0, '\0');
    if (len > 0) vsnprintf(out.data(), len + 1, format, args);
    va_end(args);
    return out;
}

std::string Utf8ToAnsi(const std::string& utf8) { return Convert(utf8, CP_UTF8, CP_ACP); }
std::string AnsiToUtf8(const std::string& ansi) { return Convert(ansi, CP_ACP, CP_UTF8); }

}  // namespace framework
