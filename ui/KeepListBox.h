// The list box of a keep list (sorted, multiple selection) as both keep-list pages use it: its
// entries, the case rule for duplicates, and the size of the stored list. What a page adds must
// read back: the settings store refuses a stored list of kStringListLimit bytes or more, and the
// next scan would then keep nothing at all.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "framework/Controls.h"

class CKeepListBox : public framework::CListBox {
public:
    using CListBox::CListBox;

    // The stored list of the Settings value, replacing what the box holds; and back.
    void Load(const CSettingsStore& settings, const char* name);
    void Save(const CSettingsStore& settings, const char* name) const;

    std::vector<std::string> Entries() const;
    // Without regard to case.
    bool Holds(const std::string& text) const;
    // Indices of the selected entries, highest first (so deleting them in turn keeps the others).
    std::vector<int> SelectedFromLast() const;
    void DeleteSelected();
    // Adds the texts the list does not hold yet (without regard to case, also among themselves).
    // When the stored list would reach the limit, nothing is added and a message box owned by
    // `owner` says why. False when refused.
    bool AddIfRoom(HWND owner, const std::vector<std::string>& texts);
    // Replaces entry `item` by text, unless the list holds text already; refused like AddIfRoom.
    void ReplaceIfRoom(HWND owner, int item, const std::string& text);

private:
    bool FitsOrSays(HWND owner, const std::vector<std::string>& entries) const;
};
