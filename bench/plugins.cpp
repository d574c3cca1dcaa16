// The plug-in modules: building the catalogue over the four shipped data files against a bare read
// of the same bytes, and cleaning every cookie of a 2,000-line cookies file - which rewrites the file
// once per cookie - against a bare read of that file.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "engine/ItemWiring.h"
#include "engine/CookiesFile.h"
#include "catalogue/ModList.h"
#include "engine/RunContext.h"
#include "framework/ScopedHandle.h"

#include "BenchClock.h"

using bench::Median;
using bench::Seconds;

namespace {

constexpr int kBuildRounds = 30;
constexpr int kReadRounds = 30;
constexpr int kCookieLines = 2000;
const char* const kDataFiles[] = {"InetEng.dat", "SysEng.dat", "AppsEng.dat", "DiskCleanEng.dat"};

// The baseline: open a file and read all of its bytes.
size_t BareRead(const std::string& path)
{
    framework::ScopedKernelHandle h(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return 0;
    static char buffer[1 << 16];
    size_t total = 0;
    DWORD read = 0;
    while (ReadFile(h.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) total += read;
    return total;
}

std::string ShippedDataFolder()
{
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder = exe;
    folder.erase(folder.find_last_of('\\'));
    folder.erase(folder.find_last_of('\\'));
    return folder + "\\data";
}

bool WriteWhole(const std::string& path, const std::string& bytes)
{
    framework::ScopedKernelHandle h(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return h && WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string CookieDomain(int i)
{
    char domain[64];
    snprintf(domain, sizeof domain, "site%04d.example.com", i);
    return domain;
}

}  // namespace

int main()
{
    // The catalogue build: the four shipped files, read as the program reads them at start-up.
    const std::string data = ShippedDataFolder();
    std::vector<std::string> files;
    size_t dataBytes = 0;
    for (const char* name : kDataFiles) {
        files.push_back(data + "\\" + name);
        const size_t bytes = BareRead(files.back());
        if (bytes == 0) {
            // Building without the file would stop at its message box.
            fprintf(stderr, "missing or empty data file %s (build the plugin_data target first)\n", files.back().c_str());
            return 1;
        }
        dataBytes += bytes;
    }
    TheSettings().m_astrPluginFiles = files;
    WireItemFunctions();

    std::vector<double> buildTimes, readTimes;
    int items = 0;
    for (int round = 0; round < kBuildRounds; ++round) {
        CModList catalogue;
        double t0 = Seconds();
        catalogue.Build();
        double t1 = Seconds();
        for (const std::string& file : files) BareRead(file);
        double t2 = Seconds();
        buildTimes.push_back(t1 - t0);
        readTimes.push_back(t2 - t1);
        items = catalogue.m_nCount;
    }
    const double build = Median(buildTimes), read = Median(readTimes);

    // Cleaning every cookie of one cookies file.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "quillon-bench-cookies";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string cookies = folder + "\\cookies.txt";
    std::string content;
    for (int i = 0; i < kCookieLines; ++i)
        content += "." + CookieDomain(i) + "\tTRUE\t/\tFALSE\t2000000000\tid\t" + std::string(24, 'a' + i % 26) + "\n";
    if (!WriteWhole(cookies, content)) {
        fprintf(stderr, "cannot write %s\n", cookies.c_str());
        return 1;
    }

    std::vector<double> cookieReadTimes;
    for (int round = 0; round < kReadRounds; ++round) {
        double t0 = Seconds();
        BareRead(cookies);
        cookieReadTimes.push_back(Seconds() - t0);
    }
    const double cookieRead = Median(cookieReadTimes);

    CRunOptions options;  // shredding with one pass, as the default options
    CRunContext context;
    context.m_pOptions = &options;
    std::vector<CFoundObject> objects(kCookieLines);
    for (int i = 0; i < kCookieLines; ++i) {
        CFoundObject& object = objects[i];
        object.m_strName = CookieDomain(i);
        object.m_strExtra1 = "id";
        object.m_strPath = object.m_strName + "[id]";
        object.m_strExtra2 = cookies;
        object.m_nKind = kObjCookie;
        object.m_pfnClean = RemoveCookieLines;
    }
    double t0 = Seconds();
    for (CFoundObject& object : objects) object.m_pfnClean(&object, &context, 0, 0);
    const double clean = Seconds() - t0;
    const bool allGone = GetFileAttributesA(cookies.c_str()) == INVALID_FILE_ATTRIBUTES;
    DeleteFileA(cookies.c_str());
    RemoveDirectoryA(folder.c_str());
    if (!allGone) {
        fprintf(stderr, "cookies remain after cleaning every cookie\n");
        return 1;
    }

    printf("catalogue: %d items from 4 files, %zu bytes; median of %d rounds\n", items, dataBytes, kBuildRounds);
    printf("cookies file: %d lines, %zu bytes, every cookie cleaned once\n", kCookieLines, content.size());
    printf("%-44s %12s %10s\n", "operation", "ms", "ratio");
    printf("%-44s %12.3f %9.2fx\n", "catalogue build (4 shipped files)", build * 1e3, build / read);
    printf("%-44s %12.3f %9.2fx\n", "bare read of the 4 files", read * 1e3, 1.0);
    printf("%-44s %12.3f %9.1fx\n", "clean all 2,000 cookies (file rewritten each)", clean * 1e3, clean / cookieRead);
    printf("%-44s %12.3f %9.2fx\n", "  per cookie", clean * 1e3 / kCookieLines, clean / kCookieLines / cookieRead);
    printf("%-44s %12.3f %9.2fx\n", "bare read of the cookies file", cookieRead * 1e3, 1.0);
    printf("catalogue-build-ms: %.3f\n", build * 1e3);
    printf("cookie-clean-vs-read: %.1fx\n", clean / cookieRead);
    return 0;
}
