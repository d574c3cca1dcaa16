#include "ui/KeepListBox.h"

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "framework/MbString.h"
#include "resource.h"

namespace {

const char kListFullFormat[] =
    "列表已满，未添加任何条目。\n保存的列表必须小于 %u 字节，否则下次扫描时将无法读取，所有内容都会被清理。";

bool HoldsNoCase(const std::vector<std::string>& list, const std::string& text)
{
    for (const std::string& entry : list)
        if (framework::MbsEqualNoCase(entry, text)) return true;
    return false;
}

}  // namespace

void CKeepListBox::Load(const CSettingsStore& settings, const char* name)
{
    ResetContent();
    std::vector<std::string> stored;
    settings.ReadStringList(name, stored);
    for (const std::string& entry : stored) AddString(entry);
}

void CKeepListBox::Save(const CSettingsStore& settings, const char* name) const
{
    settings.WriteStringList(name, Entries());
}

std::vector<std::string> CKeepListBox::Entries() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < GetCount(); ++i) entries.push_back(GetText(i));
    return entries;
}

bool CKeepListBox::Holds(const std::string& text) const { return HoldsNoCase(Entries(), text); }

std::vector<int> CKeepListBox::SelectedFromLast() const
{
    std::vector<int> selected;
    for (int i = GetCount() - 1; i >= 0; --i)
        if (IsSelected(i)) selected.push_back(i);
    return selected;
}

void CKeepListBox::DeleteSelected()
{
    for (int i : SelectedFromLast()) DeleteString(i);
}

bool CKeepListBox::FitsOrSays(HWND owner, const std::vector<std::string>& entries) const
{
    if (StringListBytes(entries) < kStringListLimit) return true;
    MessageBoxA(owner, framework::Format(kListFullFormat, static_cast<unsigned>(kStringListLimit)).c_str(),
                LoadResString(IDS_APP_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
    return false;
}

bool CKeepListBox::AddIfRoom(HWND owner, const std::vector<std::string>& texts)
{
    std::vector<std::string> entries = Entries();
    std::vector<std::string> added;
    for (const std::string& text : texts) {
        if (text.empty() || HoldsNoCase(entries, text)) continue;
        entries.push_back(text);
        added.push_back(text);
    }
    if (added.empty()) return true;
    if (!FitsOrSays(owner, entries)) return false;
    for (const std::string& text : added) AddString(text);
    return true;
}

void CKeepListBox::ReplaceIfRoom(HWND owner, int item, const std::string& text)
{
    if (text.empty() || Holds(text)) return;
    std::vector<std::string> entries = Entries();
    entries[static_cast<size_t>(item)] = text;
    if (!FitsOrSays(owner, entries)) return;
    DeleteString(item);
    AddString(text);
}
