#include <gtest/gtest.h>
#include "engine/SecureDelete.h"
#include "support/Sandbox.h"
#include "framework/ScopedHandle.h"

using ProbeTest = testsupport::SandboxTest;
TEST_F(ProbeTest, ProbeLinks)
{
    std::string target = m_temp / "target.txt";
    testsupport::WriteFileBytes(target, "hello world");
    std::string dir = m_temp / "dir";
    testsupport::MakeFolder(dir);
    testsupport::WriteFileBytes(dir + "\\inner.txt", "inner");
    bool a = testsupport::MakeSymlink(target, m_temp / "flink.txt");
    bool b = testsupport::MakeSymlink(dir, m_temp / "dlink");
    printf("made %d %d unix=%s\n", a, b, testsupport::UnixPath(m_temp / "flink.txt").c_str());
    printf("attrs file link %lx dir link %lx\n", GetFileAttributesA((m_temp / "flink.txt").c_str()), GetFileAttributesA((m_temp / "dlink").c_str()));
    WIN32_FIND_DATAA fd; HANDLE h = FindFirstFileA((m_temp / "flink.txt").c_str(), &fd);
    printf("find attrs %lx reserved0 %lx\n", fd.dwFileAttributes, fd.dwReserved0); FindClose(h);
    {
        framework::ScopedKernelHandle f(CreateFileA((m_temp / "flink.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        GetFileInformationByHandle(f.Get(), &info);
        printf("open ok %d attrs %lx\n", (int)f.IsValid(), info.dwFileAttributes);
    }
    printf("shred dlink %d err %lu\n", ShredFile(m_temp / "dlink", 1), GetLastError());
    printf("delete dlink %d err %lu\n", DeleteFileA((m_temp / "dlink").c_str()), GetLastError());
    printf("dlink exists %d inner exists %d\n", testsupport::FileExists(m_temp / "dlink"), testsupport::FileExists(dir + "\\inner.txt"));
    printf("rmdir dlink %d err %lu\n", RemoveDirectoryA((m_temp / "dlink").c_str()), GetLastError());
    printf("dlink exists %d inner exists %d\n", testsupport::FileExists(m_temp / "dlink"), testsupport::FileExists(dir + "\\inner.txt"));
    // normal file with OPEN_REPARSE_POINT
    printf("shred target %d\n", ShredFile(target, 1));
    printf("target size %zu\n", testsupport::ReadFileBytes(target).size());
}
