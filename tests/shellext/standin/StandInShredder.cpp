// Stands in for tambShred.exe in the extension's tests: records how it was started - its command
// line, then its current folder - in start-<pid>.txt beside itself, and ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string record = self;
    record = record.substr(0, record.find_last_of('\\')) + "\\start-" + std::to_string(GetCurrentProcessId()) + ".txt";
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string text = std::string(GetCommandLineA()) + "\n" + folder;
    HANDLE file = CreateFileA((record + ".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    // Renamed when complete, so a test never reads half a record.
    MoveFileA((record + ".tmp").c_str(), record.c_str());
    return 0;
}
