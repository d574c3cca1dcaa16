// Custom items: a name and file masks that the custom search matches against the file names below
// the user's custom folder. They are plug-in modules with the special key "PROCESS_RULES", kept in
// the fourth plug-in data file, which the program rewrites whole after every change; the catalogue
// then loads them like any module. The list of entries is always derived from the catalogue.
#pragma once

#include <string>
#include <vector>

#include "catalogue/ModList.h"

// Identifiers of custom items start here (the search for the largest starts from 5000).
constexpr int kFirstCustomItemId = 5001;
// Image and group of every custom item: category 3, sub-category 0 ("常规").
constexpr int kCustomItemImage = 15;
constexpr int kCustomItemReference = 30;

// One custom item as the items dialog lists and edits it.
struct CCustomEntry {
    int m_nId = 0;
    std::string m_strTitle;         // 5 to 70 bytes (the editor checks)
    std::string m_strSearchParams;  // masks separated by ";"; from the catalogue with a trailing ";"
};

// The custom-items file: the fourth plug-in data file of the install folder.
std::string CustomItemsFilePath();

// An item with the special key "PROCESS_RULES" (without regard to case).
bool IsCustomItem(const CModItem& item);

// The custom entries of a catalogue, in catalogue order (all files, not only the fourth).
std::vector<CCustomEntry> CustomEntriesOf(const CModList& catalogue);

// Identifier of a new entry: 1 + the largest identifier of the catalogue's custom items, at least
// 5001, and past any identifier that another catalogue item holds.
int NextCustomItemId(const CModList& catalogue);

// The content of the custom-items file before scrambling: with entries, the header of comment
// lines and then one module per entry; without entries, nothing.
std::string CustomItemsText(const std::vector<CCustomEntry>& entries);

// Writes the custom-items file (the fourth plug-in data file) from the entries and rebuilds the
// catalogue. The new file replaces the old one only when it was written whole; on any failure the
// old file stays, the framework's file-error box names the file, and the catalogue is rebuilt all
// the same. Returns whether the file was written.
bool WriteCustomItems(const std::vector<CCustomEntry>& entries);
