// The application object: owns the settings store for the life of the process. Every window and
// thread reaches the settings through TheApp().
#pragma once

#include "app/SettingsStore.h"

class CCleanerApp {
public:
    CSettingsStore m_Settings;
};

CCleanerApp& TheApp();
inline CSettingsStore& TheSettings() { return TheApp().m_Settings; }
