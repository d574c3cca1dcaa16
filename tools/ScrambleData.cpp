// Build tool: turns the readable sources of the plug-in data files (UTF-8, any line ends) into the
// files the program reads: code page 936, CR LF line ends, scrambled with the program's own
// ScrambleBlock. Runs under Wine at build time with the sandbox's Chinese locale.
//     ScrambleData.exe SOURCE OUTPUT [SOURCE OUTPUT]...
// Fails (exit 1, a reason on stderr) when a source cannot be read, holds a character that code page
// 936 lacks, or would not fit the program's size limit; no output is then left half written.
#include "catalogue/PluginFileFormat.h"
#include "catalogue/PluginFileScramble.h"
#include "framework/MbString.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr UINT kDataCodePage = 936;

bool ReadWhole(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteWhole(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// Lone LF line ends (as a checkout may have them) become CR LF; CR LF stays.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

bool Convert(const std::string& source, const std::string& output)
{
    std::string utf8;
    if (!ReadWhole(source, utf8)) {
        fprintf(stderr, "ScrambleData: cannot read %s\n", source.c_str());
        return false;
    }
    if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) utf8.erase(0, 3);

    std::string text = framework::Utf8ToAnsi(WithCrLf(utf8));
    // Converting back shows any character that has no code page 936 form (or bad UTF-8).
    if (framework::AnsiToUtf8(text) != WithCrLf(utf8)) {
        fprintf(stderr, "ScrambleData: %s holds text that code page 936 cannot represent\n", source.c_str());
        return false;
    }
    if (text.empty() || text.size() > kMaxPluginFileSize) {
        fprintf(stderr, "ScrambleData: %s gives %zu bytes; the program reads 1 to %llu\n", source.c_str(),
                text.size(), kMaxPluginFileSize);
        return false;
    }
    ScrambleBlock(&text[0], text.size());
    if (!WriteWhole(output, text)) {
        fprintf(stderr, "ScrambleData: cannot write %s\n", output.c_str());
        DeleteFileA(output.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc % 2 == 0) {
        fprintf(stderr, "usage: ScrambleData SOURCE OUTPUT [SOURCE OUTPUT]...\n");
        return 1;
    }
    // The conversion goes through the ANSI code page, which must be the program's.
    if (GetACP() != kDataCodePage) {
        fprintf(stderr, "ScrambleData: needs code page %u (the sandbox locale of scripts/env), has %u\n",
                kDataCodePage, GetACP());
        return 1;
    }
    for (int i = 1; i + 1 < argc; i += 2)
        if (!Convert(argv[i], argv[i + 1])) return 1;
    return 0;
}
