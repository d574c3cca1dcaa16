#include "catalogue/PluginFilePasses.h"

#include "app/SettingsStore.h"
#include "app/Utilities.h"
#include "catalogue/CustomItems.h"
#include "catalogue/PathVars.h"
#include "catalogue/PluginFileExternalDir.h"
#include "catalogue/PluginFileFormat.h"
#include "catalogue/PluginFileLineReader.h"
#include "catalogue/PluginFileScramble.h"
#include "framework/MbString.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

const char kErrorCaption[] = "错误";
const char kOpenErrorCaption[] = "打开插件文件时出现错误!";
const char kOpenErrorFormat[] = "文件: %s\n可能的原因: %s";
const char kEmptyFileText[] = "插件文件为空!";
const char kTooLargeText[] = "插件文件大小超过限制!";
const char kNoModulesText[] = "未找到插件!";
const char kDamagedModuleText[] = "插件已损坏...!\n请与技术支持部门联系: ";

// The data files are read at start-up, before any window exists: the boxes have no owner.
void ShowPluginFileWarning(const std::string& text, const char* caption)
{
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONWARNING);
}

// The lines of a data file, with the look-ahead that tells where a section ends.
class CDataFileLines {
public:
    explicit CDataFileLines(CBlockLineReader& reader) : m_reader(reader) {}

    bool Next(std::string& line)
    {
        for (;;) {
            if (m_reader.ReadLine(line)) return true;
            if (!m_reader.More()) return false;
        }
    }

    // A section ends where the next line is a section header or the file has no further line. The
    // next line may lie in the following block.
    bool SectionEndsHere()
    {
        std::string next, name;
        for (;;) {
            if (m_reader.PeekLine(next)) return IsSectionLine(next, name);
            if (!m_reader.More()) return true;
        }
    }

private:
    CBlockLineReader& m_reader;
};

bool ContainsNoCase(const std::vector<std::string>& list, const std::string& text)
{
    for (const std::string& entry : list)
        if (framework::MbsEqualNoCase(entry, text)) return true;
    return false;
}

// "HKLM\Software\X": whether the key opens for reading. Root and sub-key are trimmed; an empty root
// names no key.
bool RegDetectKeyExists(const std::string& value)
{
    size_t slash = framework::MbsFindChar(value, '\\');
    const std::string root = framework::MbsTrim(value.substr(0, slash));
    const std::string subkey = slash == std::string::npos ? std::string() : framework::MbsTrim(value.substr(slash + 1));
    if (root.empty()) return false;
    return CSettingsStore::KeyExists(root + "\\" + subkey);
}

bool FileDetectPathExists(const std::string& value)
{
    std::string path;
    ResolvePathVar(value, path, "\\", true);
    return PathFileExistsA(path.c_str()) != FALSE;
}

// With the option set, a module whose application is not installed is not shown.
bool IsHiddenByDetection(const CParsedModule& module)
{
    if (module.m_bHasRegDetect && !RegDetectKeyExists(module.m_strRegDetect)) return true;
    if (module.m_bHasFileDetect && !FileDetectPathExists(module.m_strFileDetect)) return true;
    return false;
}

// Opens the file and checks its length; shows the message of the first failure.
bool OpenDataFile(CBlockLineReader& reader, const std::string& path)
{
    if (!reader.Open(path)) {
        ShowPluginFileWarning(
            framework::Format(kOpenErrorFormat, path.c_str(), GetSystemErrorText(reader.GetError()).c_str()),
            kOpenErrorCaption);
        return false;
    }
    const ULONGLONG length = reader.GetLength();
    if (length == 0) {
        reader.Close();
        ShowPluginFileWarning(kEmptyFileText, kErrorCaption);
        return false;
    }
    if (length > kMaxPluginFileSize) {
        reader.Close();
        ShowPluginFileWarning(kTooLargeText, kErrorCaption);
        return false;
    }
    return true;
}

// Counting pass: whether the file holds a section header and a section with a ModTitle line, and
// the name of the first section.
bool HasModules(CBlockLineReader& reader, std::string& firstName)
{
    CDataFileLines lines(reader);
    std::string line, name, value;
    int sections = 0;
    int titledSections = 0;
    bool sectionHasTitle = false;
    while (lines.Next(line)) {
        if (IsSectionLine(line, name)) {
            if (sections++ == 0) firstName = name;
            sectionHasTitle = false;
        } else if (sections > 0 && !sectionHasTitle && IsKeyLine(line, "ModTitle", value)) {
            sectionHasTitle = true;
            ++titledSections;
        }
    }
    return sections > 0 && titledSections > 0;
}

// The identifier of a filled module; a name that does not end in a number gives 0 and the message,
// and the item stays in the catalogue.
int IdentifierOrComplain(const std::string& sectionName)
{
    int id = ItemIdFromSectionName(sectionName);
    if (id == 0) ShowDamagedModuleWarning();
    return id;
}

void FillItem(CModItem& item, const CParsedModule& module, const std::string& sectionName)
{
    item = CModItem();
    module.CopyTo(item);
    if (module.m_bHasExternalDir) ApplyExternalDir(module.m_strExternalDirValue, item.m_PlugData);
    item.m_nId = IdentifierOrComplain(sectionName);
}

}  // namespace

void ShowDamagedModuleWarning()
{
    ShowPluginFileWarning(std::string(kDamagedModuleText) + kSupportAddress, kErrorCaption);
}

int SelectModules(const std::string& path, std::vector<int>& ordinals)
{
    ordinals.clear();
    const bool hideUndetected = TheSettings().ReadBool(kOptDontShowPluginsWithUndetApps);

    CBlockLineReader reader("\r\n", ScrambleBlock);
    if (!OpenDataFile(reader, path)) return 0;

    std::string firstName;
    if (!HasModules(reader, firstName)) {
        reader.Close();
        // A custom-items file without items is how it is shipped and how a user may want it.
        if (!framework::MbsEqualNoCase(path, CustomItemsFilePath())) ShowPluginFileWarning(kNoModulesText, kErrorCaption);
        return 0;
    }

    reader.Rewind();
    CDataFileLines lines(reader);
    // A later section named like the first one, or like an accepted one, is skipped.
    std::vector<std::string> names{firstName};
    std::vector<std::string> titles;
    std::string line, name, sectionName;
    CParsedModule module;
    int ordinal = -1;
    bool reading = false;  // inside a section that may still become an item
    while (lines.Next(line)) {
        if (IsSectionLine(line, name)) {
            ++ordinal;
            reading = ordinal == 0 || !ContainsNoCase(names, name);
            sectionName = name;
            module = CParsedModule();
            continue;  // a header alone never completes a module
        }
        if (!reading) continue;
        module.ApplyLine(line);
        if (!module.IsComplete() || !lines.SectionEndsHere()) continue;

        reading = false;
        if (hideUndetected && IsHiddenByDetection(module)) continue;
        if (ContainsNoCase(titles, module.m_strTitle)) continue;
        ordinals.push_back(ordinal);
        titles.push_back(module.m_strTitle);
        if (ordinal > 0) names.push_back(sectionName);
    }
    reader.Close();
    return static_cast<int>(ordinals.size());
}

void FillModules(const std::string& path, int count, const std::vector<int>& ordinals, CModItem* pItems)
{
    if (count <= 0 || !pItems) return;
    if (count > static_cast<int>(ordinals.size())) count = static_cast<int>(ordinals.size());
    CBlockLineReader reader("\r\n", ScrambleBlock);
    if (!reader.Open(path)) return;

    CDataFileLines lines(reader);
    std::string line, name, sectionName;
    CParsedModule module;
    int ordinal = -1;
    int filled = 0;
    size_t next = 0;  // index of the next wanted ordinal
    bool reading = false;
    while (filled < count && lines.Next(line)) {
        if (IsSectionLine(line, name)) {
            ++ordinal;
            // A wanted section that no longer ends complete (the file changed since the selection)
            // is passed over.
            while (next < ordinals.size() && ordinals[next] < ordinal) ++next;
            reading = next < ordinals.size() && ordinals[next] == ordinal;
            sectionName = name;
            module = CParsedModule();
            continue;
        }
        if (!reading) continue;
        module.ApplyLine(line);
        if (!module.IsComplete() || !lines.SectionEndsHere()) continue;

        reading = false;
        FillItem(pItems[filled++], module, sectionName);
        ++next;
    }
    reader.Close();
}

std::vector<int> SelectPluginModules(const std::string& path)
{
    std::vector<int> ordinals;
    SelectModules(path, ordinals);
    return ordinals;
}

void FillPluginModules(const std::string& path, const std::vector<int>& sections, CModItem* pItems)
{
    FillModules(path, static_cast<int>(sections.size()), sections, pItems);
}
