// The "保存文件" page of the options sheet: the file keep list, fragments of file names that no
// scan lists (compared with regard to case). The list is read when the page is first shown and
// written only by OK.
#pragma once

#include "app/SettingsStore.h"
#include "framework/PropertySheet.h"
#include "ui/KeepListBox.h"

class CKeepFilesP : public framework::CPropertyPage {
public:
    explicit CKeepFilesP(CSettingsStore* pSettings);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnApply() override;

private:
    // Asks for an entry, starting from text; false when the user cancelled.
    bool AskEntry(std::string& text);
    void AddEntry();
    void EditEntry();

    CSettingsStore* m_pSettings;
    CKeepListBox m_list;  // 1092
};
