// CBlockLineReader: reads a text file line by line in blocks of 4096 bytes, so no more than one
// block plus one line is held at a time. Used for the plug-in data files (delimiter CR LF, every
// block unscrambled by ScrambleBlock) and for Netscape-format cookies files (delimiter LF, no
// callback).
//
// A caller loops while More() answers true and takes lines with ReadLine(); to look at the line
// after the current one across a block end it calls PeekLine() and, when that fails, More()
// followed by PeekLine().
#pragma once

#include "framework/ScopedHandle.h"

#include <windows.h>

#include <cstddef>
#include <string>

// Called on the raw bytes of every block read, before the text is taken from them.
using PFN_BLOCK_CALLBACK = int (*)(void* buffer, size_t length);

class CBlockLineReader {
public:
    static constexpr DWORD kBlockSize = 4096;
    // More() answers true at most this often for one block before dropping it, so a caller that
    // never takes its lines cannot loop for ever.
    static constexpr int kMaxAnswersPerBlock = 4096;

    // An empty delimiter would never end a line; it is taken as CR LF. A line longer than
    // maxLineLength bytes (at least one block) is passed over without being held whole.
    explicit CBlockLineReader(const std::string& delimiter = "\r\n", PFN_BLOCK_CALLBACK callback = nullptr,
                              size_t maxLineLength = std::string::npos);

    // Opens the file for reading (others may read, not write). On failure keeps the system error
    // code (GetError) and answers false.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_file.IsValid(); }
    DWORD GetError() const { return m_dwError; }
    // 64-bit length of the open file (0 when none is open).
    ULONGLONG GetLength() const;

    // True while there are lines to take: a block is loaded, or a new one was read. A loaded block
    // always ends at a line boundary (or at the end of the file).
    bool More();
    // The text from the read position to the next delimiter, which is passed over; the last line of
    // the file needs none. False when the block is exhausted; the block is then dropped.
    bool ReadLine(std::string& line);
    // As ReadLine, without advancing.
    bool PeekLine(std::string& line);
    // Back to the start of the file with no block loaded.
    void Rewind();

private:
    // Reads up to `size` bytes at the file position into buffer and passes them through the
    // callback. Answers the number of bytes read (0 at the end of the file or on error).
    DWORD ReadRaw(char* buffer, DWORD size);
    void MakeBlockEndAtLineBoundary();
    bool SkipRestOfDelimiter(size_t partialLength);
    void AppendUpToNextDelimiter();
    bool TakeLine(std::string& line, bool advance);
    void DropBlock();

    std::string m_strDelimiter;
    PFN_BLOCK_CALLBACK m_pfnCallback;
    size_t m_nMaxLineLength;
    framework::ScopedKernelHandle m_file;
    std::string m_strBlock;        // text of the current block
    size_t m_nReadPos = 0;         // in m_strBlock
    bool m_bBlockLoaded = false;
    bool m_bMoreMayFollow = false; // the last read filled the whole block
    int m_nAnswers = 0;            // answers of More() for the loaded block
    DWORD m_dwError = ERROR_SUCCESS;
};
