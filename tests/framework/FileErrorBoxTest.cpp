// The standard file-error box: real file faults map to their cause and Chinese text with the file
// name in place of %1, and the box shows that text with the caller's caption.
#include "framework/FileErrorBox.h"
#include "framework/ScopedHandle.h"
#include "support/Sandbox.h"
#include "support/WindowDriver.h"

#include <string>

using framework::FileErrorCause;
using framework::FileErrorCauseOf;
using framework::FileErrorText;

namespace {

// The error of opening a path the given way (the handle, if any, is closed at once).
DWORD OpenError(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    framework::ScopedKernelHandle file(
        CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() ? ERROR_SUCCESS : GetLastError();
}

class FileErrorBoxTest : public testsupport::SandboxTest {};

}  // namespace

TEST_F(FileErrorBoxTest, RealFileFaultsGetTheirCauseText)
{
    const std::string log = m_temp / "日志.txt";
    testsupport::WriteFileBytes(log, "x");

    DWORD missing = OpenError(m_temp / "无.txt", GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_EQ(FileErrorCauseOf(missing), FileErrorCause::FileNotFound);
    EXPECT_EQ(FileErrorText(FileErrorCauseOf(missing), "无.txt"), "未找到 无.txt。");

    const std::string inMissingFolder = m_temp / "没有\\日志.txt";
    DWORD badPath = OpenError(inMissingFolder, GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_EQ(FileErrorText(FileErrorCauseOf(badPath), inMissingFolder), inMissingFolder + " 包含无效的路径。");

    {
        framework::ScopedKernelHandle locked(
            CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(locked.IsValid());
        DWORD sharing = OpenError(log, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
        EXPECT_EQ(FileErrorText(FileErrorCauseOf(sharing), log), "访问 " + log + " 时发生共享冲突。");
    }

    // A log file chosen where a folder of that name exists.
    const std::string folder = m_temp / "扫描结果";
    testsupport::MakeFolder(folder);
    DWORD denied = OpenError(folder, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    EXPECT_EQ(FileErrorText(FileErrorCauseOf(denied), folder), "对 " + folder + " 的存取被拒绝。") << denied;

    EXPECT_EQ(FileErrorCauseOf(ERROR_DISK_FULL), FileErrorCause::DiskFull);
    EXPECT_EQ(FileErrorText(FileErrorCause::DiskFull, "a"), "写入 a 时磁盘已满。");
    // Codes without a cause of their own.
    EXPECT_EQ(FileErrorCauseOf(ERROR_NOT_ENOUGH_MEMORY), FileErrorCause::Generic);
    EXPECT_EQ(FileErrorText(FileErrorCause::Generic, "表.txt"), "访问 表.txt 时发生意外错误。");
}

TEST_F(FileErrorBoxTest, BoxShowsTheTextWithTheCallersCaption)
{
    std::string seenText;
    testsupport::WindowWatcher watcher([] { return testsupport::FindDialog("Quillon 汉化版"); },
                                       [&](HWND box) {
                                           seenText = testsupport::MessageBoxText(box);
                                           PostMessageA(box, WM_COMMAND, IDOK, 0);
                                       });
    int answer = framework::ShowFileErrorBox(nullptr, ERROR_ACCESS_DENIED, "C:\\扫描.txt", "Quillon 汉化版");
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(seenText, "对 C:\\扫描.txt 的存取被拒绝。");
}
