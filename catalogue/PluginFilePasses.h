// The two passes that turn a plug-in data file into catalogue items. The selection pass decides
// which modules of a file become items (complete, not a duplicate, not hidden by detection) and
// shows the file's failure messages; the fill pass reads the chosen sections again into the items.
// Both are the catalogue's default CPluginFilePasses.
#pragma once

#include "catalogue/ModList.h"

#include <string>
#include <vector>


// The damaged-module message, in an ownerless box (the data files are read before any window).
void ShowDamagedModuleWarning();

// Number of modules of the file that become items; `ordinals` receives the zero-based ordinal of
// each one's section among all section headers of the file, in file order. Reads the setting
// DontShowPluginsWithUndetApps first. Failures show a message box and give 0.
int SelectModules(const std::string& path, std::vector<int>& ordinals);

// Fills `count` items from pItems on from the sections with the given ordinals (as SelectModules
// gave them), external folders included. A file that does not open leaves the items empty, without
// a message.
void FillModules(const std::string& path, int count, const std::vector<int>& ordinals, CModItem* pItems);

// The passes in the shape the catalogue calls them.
std::vector<int> SelectPluginModules(const std::string& path);
void FillPluginModules(const std::string& path, const std::vector<int>& sections, CModItem* pItems);
