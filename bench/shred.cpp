// Shredding throughput against a plain write of the same bytes: a 64 MiB file shredded with three
// passes, and the same file overwritten three times with the same block size and a flush after each
// pass. Both write the same bytes, so the ratio shows what the shredding adds. For comparison one
// round writes the passes in 128-byte blocks.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/SecureDelete.h"
#include "framework/ScopedHandle.h"

#include "BenchClock.h"

using bench::Median;
using bench::Seconds;

namespace {

constexpr DWORD kFileSize = 64u << 20;
constexpr int kPasses = 3;
constexpr DWORD kBlock = 1u << 20;  // the shredder's write block
constexpr int kRounds = 5;

std::vector<char> g_zeros(kBlock, 0);

bool MakeFile(const std::string& path)
{
    framework::ScopedKernelHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    std::vector<char> data(kBlock);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + 7);
    for (DWORD done = 0; done < kFileSize; done += kBlock) {
        DWORD written = 0;
        if (!WriteFile(h.Get(), data.data(), kBlock, &written, nullptr)) return false;
    }
    return FlushFileBuffers(h.Get()) != FALSE;
}

// The baseline: what any program does to overwrite a file of this size `passes` times.
bool PlainOverwrite(const std::string& path, DWORD block)
{
    framework::ScopedKernelHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    for (int pass = 0; pass < kPasses; ++pass) {
        LARGE_INTEGER start{};
        SetFilePointerEx(h.Get(), start, nullptr, FILE_BEGIN);
        for (DWORD done = 0; done < kFileSize; done += block) {
            DWORD written = 0;
            if (!WriteFile(h.Get(), g_zeros.data(), block, &written, nullptr)) return false;
        }
        if (!FlushFileBuffers(h.Get())) return false;
    }
    return true;
}

double MiBPerSecond(double seconds) { return kPasses * (kFileSize / 1048576.0) / seconds; }

}  // namespace

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "quillon-bench-shred.bin";
    if (!MakeFile(path)) {
        fprintf(stderr, "cannot create %s\n", path.c_str());
        return 1;
    }

    std::vector<double> shredTimes, plainTimes;
    for (int round = 0; round < 2 * kRounds; ++round) {
        // Alternating which goes first keeps the order out of the comparison.
        bool shredRound = (round % 4 == 0 || round % 4 == 3);
        double t0 = Seconds();
        bool ok = shredRound ? ShredFile(path, kPasses) == 1 : PlainOverwrite(path, kBlock);
        double t1 = Seconds();
        if (!ok) {
            fprintf(stderr, "%s failed\n", shredRound ? "ShredFile" : "plain write");
            DeleteFileA(path.c_str());
            return 1;
        }
        (shredRound ? shredTimes : plainTimes).push_back(t1 - t0);
    }
    double t3 = Seconds();
    bool smallOk = PlainOverwrite(path, 128);
    double smallTime = Seconds() - t3;
    DeleteFileA(path.c_str());

    double shred = Median(shredTimes), plain = Median(plainTimes);
    printf("%d x %lu MiB, median of %d rounds\n", kPasses, static_cast<unsigned long>(kFileSize >> 20), kRounds);
    printf("%-34s %10s %12s\n", "method", "seconds", "MiB/s");
    printf("%-34s %10.3f %12.1f\n", "ShredFile (1 MiB blocks)", shred, MiBPerSecond(shred));
    printf("%-34s %10.3f %12.1f\n", "plain write + flush (1 MiB blocks)", plain, MiBPerSecond(plain));
    if (smallOk)
        printf("%-34s %10.3f %12.1f\n", "plain write + flush (128 B blocks)", smallTime, MiBPerSecond(smallTime));
    if (smallOk) printf("shred-vs-128-byte-writes: %.2fx\n", smallTime / shred);
    printf("shred-vs-write: %.2f\n", plain / shred);
    return 0;
}
