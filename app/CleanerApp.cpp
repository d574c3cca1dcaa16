#include "app/CleanerApp.h"

CCleanerApp& TheApp()
{
    // Constructed on first use, so the settings are read only once the process (or a test's
    // registry sandbox) is ready.
    static CCleanerApp app;
    return app;
}
