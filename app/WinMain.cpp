// Entry point of Lorvex.exe: the application object's start routine is the whole program.
#include <windows.h>

#include <cstdlib>

#include "app/CleanerApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return TheApp().Run(__argc, __argv);
}
