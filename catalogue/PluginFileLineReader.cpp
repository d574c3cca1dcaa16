#include "catalogue/PluginFileLineReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The text of a block: its bytes up to the first NUL.
std::string TextUpToNul(const char* bytes, DWORD length)
{
    const void* nul = memchr(bytes, '\0', length);
    return std::string(bytes, nul ? static_cast<const char*>(nul) - bytes : length);
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

// The delimiters are CR LF and LF: control bytes below 0x40 are never trail bytes of a double-byte
// character, so plain byte searches find them correctly in multibyte text.
CBlockLineReader::CBlockLineReader(const std::string& delimiter, PFN_BLOCK_CALLBACK callback, size_t maxLineLength)
    : m_strDelimiter(delimiter.empty() ? std::string("\r\n") : delimiter),
      m_pfnCallback(callback),
      m_nMaxLineLength(std::max<size_t>(maxLineLength, kBlockSize))
{
}

bool CBlockLineReader::Open(const std::string& path)
{
    Close();
    m_file.Reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file) {
        m_dwError = GetLastError();
        return false;
    }
    m_dwError = ERROR_SUCCESS;
    Rewind();
    return true;
}

void CBlockLineReader::Close()
{
    m_file.Close();
    DropBlock();
    m_bMoreMayFollow = false;
}

ULONGLONG CBlockLineReader::GetLength() const
{
    LARGE_INTEGER size{};
    if (!m_file || !GetFileSizeEx(m_file.Get(), &size)) return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CBlockLineReader::Rewind()
{
    DropBlock();
    m_bMoreMayFollow = false;
    if (!m_file) return;
    LARGE_INTEGER zero{};
    SetFilePointerEx(m_file.Get(), zero, nullptr, FILE_BEGIN);
    m_bMoreMayFollow = true;
}

bool CBlockLineReader::More()
{
    if (m_bBlockLoaded) {
        if (++m_nAnswers >= kMaxAnswersPerBlock) DropBlock();
        return true;
    }
    if (!m_bMoreMayFollow || !m_file) return false;

    std::vector<char> buffer(kBlockSize);
    DWORD read = ReadRaw(buffer.data(), kBlockSize);
    if (read == 0) {
        m_bMoreMayFollow = false;
        return false;
    }
    m_bMoreMayFollow = read == kBlockSize;
    m_strBlock = TextUpToNul(buffer.data(), read);
    MakeBlockEndAtLineBoundary();
    m_nReadPos = 0;
    m_nAnswers = 0;
    m_bBlockLoaded = true;
    return true;
}

bool CBlockLineReader::ReadLine(std::string& line)
{
    return TakeLine(line, true);
}

bool CBlockLineReader::PeekLine(std::string& line)
{
    return TakeLine(line, false);
}

bool CBlockLineReader::TakeLine(std::string& line, bool advance)
{
    if (!m_bBlockLoaded) return false;
    if (m_nReadPos >= m_strBlock.size()) {
        DropBlock();
        return false;
    }
    size_t end = m_strBlock.find(m_strDelimiter, m_nReadPos);
    size_t next = end == std::string::npos ? m_strBlock.size() : end + m_strDelimiter.size();
    if (end == std::string::npos) end = m_strBlock.size();
    line.assign(m_strBlock, m_nReadPos, end - m_nReadPos);
    if (advance) m_nReadPos = next;
    return true;
}

DWORD CBlockLineReader::ReadRaw(char* buffer, DWORD size)
{
    DWORD read = 0;
    if (!ReadFile(m_file.Get(), buffer, size, &read, nullptr)) return 0;
    if (read > 0 && m_pfnCallback) m_pfnCallback(buffer, read);
    return read;
}

// A block read from the middle of the file usually stops inside a line. The line is completed from
// the following bytes so that no line is split or merged at a block end.
void CBlockLineReader::MakeBlockEndAtLineBoundary()
{
    // The last block: its last line needs no delimiter.
    if (!m_bMoreMayFollow || EndsWith(m_strBlock, m_strDelimiter)) return;

    // The block ends with the start of a delimiter (a CR of CR LF): when the file goes on with the
    // rest of it, the line ends here. The delimiter is completed, not cut off: an empty line before
    // it would otherwise vanish.
    for (size_t partial = m_strDelimiter.size() - 1; partial > 0; --partial) {
        if (!EndsWith(m_strBlock, m_strDelimiter.substr(0, partial))) continue;
        if (SkipRestOfDelimiter(partial)) {
            m_strBlock += m_strDelimiter.substr(partial);
            return;
        }
        break;
    }
    AppendUpToNextDelimiter();
}

// Reads the bytes after a partial delimiter; passes over them when they complete it, else moves
// back so that they are read again as text.
bool CBlockLineReader::SkipRestOfDelimiter(size_t partialLength)
{
    const std::string rest = m_strDelimiter.substr(partialLength);
    std::vector<char> bytes(rest.size());
    DWORD read = ReadRaw(bytes.data(), static_cast<DWORD>(bytes.size()));
    if (read == rest.size() && memcmp(bytes.data(), rest.data(), read) == 0) return true;
    LARGE_INTEGER back{};
    back.QuadPart = -static_cast<LONGLONG>(read);
    SetFilePointerEx(m_file.Get(), back, nullptr, FILE_CURRENT);
    return false;
}

// Reads further blocks and appends their text up to and including the next delimiter, then moves
// the file position back to just behind that delimiter. Without a further delimiter the text runs
// to the end of the file, which then has no more blocks. A line that grows too long is left out:
// only its last bytes are kept, where a delimiter may begin.
void CBlockLineReader::AppendUpToNextDelimiter()
{
    const size_t lastEnd = m_strBlock.rfind(m_strDelimiter);
    const size_t lineStart = lastEnd == std::string::npos ? 0 : lastEnd + m_strDelimiter.size();
    std::string line = m_strBlock.substr(lineStart);
    m_strBlock.resize(lineStart);
    bool tooLong = false;
    std::vector<char> buffer(kBlockSize);
    for (;;) {
        DWORD read = ReadRaw(buffer.data(), kBlockSize);
        if (read == 0) {
            m_bMoreMayFollow = false;
            break;
        }
        const std::string text = TextUpToNul(buffer.data(), read);
        // A delimiter may straddle the old end of the text and the new bytes.
        const size_t oldSize = line.size();
        const size_t searchFrom = oldSize >= m_strDelimiter.size() - 1 ? oldSize - (m_strDelimiter.size() - 1) : 0;
        line += text;
        size_t found = line.find(m_strDelimiter, searchFrom);
        if (found != std::string::npos) {
            const size_t end = found + m_strDelimiter.size();
            // Bytes of this read after the delimiter, those behind a NUL included.
            const LONGLONG unused = static_cast<LONGLONG>(line.size() - end) + (read - text.size());
            line.resize(end);
            tooLong = tooLong || found > m_nMaxLineLength;
            LARGE_INTEGER back{};
            back.QuadPart = -unused;
            SetFilePointerEx(m_file.Get(), back, nullptr, FILE_CURRENT);
            m_bMoreMayFollow = true;
            break;
        }
        // The text may end with the first bytes of a delimiter.
        const size_t partial = std::min(line.size(), m_strDelimiter.size() - 1);
        if (line.size() - partial > m_nMaxLineLength) {
            tooLong = true;
            line.erase(0, line.size() - partial);
        }
        if (read < kBlockSize) {
            m_bMoreMayFollow = false;
            break;
        }
    }
    if (!tooLong) m_strBlock += line;
}

void CBlockLineReader::DropBlock()
{
    m_strBlock.clear();
    m_nReadPos = 0;
    m_nAnswers = 0;
    m_bBlockLoaded = false;
}
