// tambShred.exe: shreds the one file or folder named by its argument (quoted or not), as Explorer's
// "使用 Quillon 粉碎" starts it. Refused places and missing paths get a message and nothing is
// touched; otherwise the user confirms, the job runs with its progress, and a summary ends it.
// Exit codes: 0 the job ran (see its summary), 1 cancelled at the confirmation, 2 no such path,
// 3 refused.
#include <windows.h>
#include <commctrl.h>
#include <mbctype.h>

#include "app/SettingsStore.h"
#include "framework/MbString.h"
#include "shredder/ProtectedFolders.h"
#include "shredder/ShredJob.h"
#include "shredder/ShredderDialogs.h"

namespace {

const char kCaption[] = "Quillon 粉碎";

// Everything after the program's name, without the quotes around it. Quotes and spaces are never
// trail bytes of a double-byte character, so they may be looked for byte by byte.
std::string ArgumentOf(const char* commandLine)
{
    const char* rest = commandLine;
    if (*rest == '"') {
        rest = strchr(rest + 1, '"');
        rest = rest ? rest + 1 : "";
    } else {
        while (*rest && *rest != ' ' && *rest != '\t') ++rest;
    }
    std::string argument = framework::MbsTrim(rest);
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        argument = argument.substr(1, argument.size() - 2);
    return argument;
}

int Refuse(const std::string& text, int exitCode)
{
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONSTOP);
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    _setmbcp(_MB_CP_ANSI);

    const std::string argument = ArgumentOf(GetCommandLineA());
    const std::string path = argument.empty() ? "" : shredder::FullPathOf(argument);
    if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Refuse(framework::Format("找不到要粉碎的文件或文件夹“%s”。", argument.c_str()), 2);
    CSettingsStore settings;
    const std::string refusal = shredder::RefusalOf(path, settings.m_strInstalledDir);
    if (!refusal.empty()) return Refuse(refusal, 3);

    if (shredder::CConfirmDlg(path).DoModal() != IDOK) return 1;
    // The user asked to shred: with shredding switched off in the options, one pass.
    CRunOptions options = settings.GetRunOptions();
    options.m_bShred = true;
    shredder::CShredJob job(path, options);
    job.List();
    const bool cancelled = shredder::CProgressDlg(job).DoModal() != IDOK;
    MessageBoxA(nullptr, job.Summary(cancelled).c_str(), kCaption, MB_ICONINFORMATION);
    return 0;
}
