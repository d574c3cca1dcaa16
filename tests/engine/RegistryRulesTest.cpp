// Registry rules of plug-in items: parsing (roots, value fields, rules that would name a whole
// hive), the objects the scan lists with their counts, and cleaning them.
#include "support/RuleScanFixture.h"

#include "engine/RegistryRules.h"

namespace {

const char kApp[] = "Software\\SampleApp";
const char kRecent[] = "Software\\SampleApp\\Recent";

TEST(RegistryRuleFields, RootsValueFieldsAndRulesWithoutSubKey)
{
    CRegistryRule rule;
    ASSERT_TRUE(ParseRegistryRule(" HKLM \\ Software\\App | *.* ", rule));
    EXPECT_EQ(rule.m_hRoot, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(rule.m_strSubKey, "Software\\App");
    EXPECT_EQ(rule.m_strValueField, "*.*");
    EXPECT_TRUE(rule.m_bWholeKey);

    ASSERT_TRUE(ParseRegistryRule("hkcu\\Software\\App|", rule));
    EXPECT_EQ(rule.m_hRoot, HKEY_CURRENT_USER);
    EXPECT_TRUE(rule.m_bWholeKey);
    ASSERT_TRUE(ParseRegistryRule("HKCU\\Software\\App", rule)) << "no value field: the whole key";
    EXPECT_TRUE(rule.m_bWholeKey);

    ASSERT_TRUE(ParseRegistryRule("HKEY_LOCAL_MACHINE\\Software\\App|LastFile", rule));
    EXPECT_EQ(rule.m_hRoot, HKEY_CURRENT_USER) << "any other root name means the current user";
    EXPECT_EQ(rule.m_strValueField, "LastFile");
    EXPECT_FALSE(rule.m_bWholeKey);

    EXPECT_TRUE(ParseRegistryRule("HKCU\\Software\\|LastFile", rule)) << "one value of a top-level key";

    // Without a key path or a root, and - since it would name a whole hive - without a sub-key or
    // with a whole key directly below the root ("乗" ends in the byte of "\\").
    for (const char* skipped : {"", "|*.*", "\\Software\\App|*.*", "HKCU|*.*", "HKCU\\|*.*", "HKCU\\\\|*.*",
                                "HKCU\\  |x", "HKLM", "HKCU\\Software|*.*", "HKCU\\Control Panel|",
                                "HKCU\\Software\\|", "HKLM\\\\Software\\\\ |*.*", "HKCU\\Software", "HKCU\\乗|*.*"}) {
        SCOPED_TRACE(skipped);
        EXPECT_FALSE(ParseRegistryRule(skipped, rule));
    }
}

TEST_F(RuleScanTest, WholeKeyRulesListTheKeyWithTheNumberOfItsValues)
{
    testsupport::SetRegString(kRecent, "File1", "C:\\a.txt");
    testsupport::SetRegString(kRecent, "File2", "C:\\b.txt");
    testsupport::SetRegString(kRecent, "File3", "C:\\c.txt");
    testsupport::SetRegString(std::string(kRecent) + "\\Sub", "x", "y");
    testsupport::SetRegString("Software\\SampleApp\\Tree\\Leaf", "x", "y");  // sub-keys, no values

    CModItem item = PluginItem({}, {"HKCU\\Software\\SampleApp\\Recent|*.*", "HKCU\\Software\\SampleApp\\Recent|",
                                    "HKCU\\Software\\SampleApp\\Tree|*.*", "HKCU\\Software\\NotThere|*.*"});
    ASSERT_EQ(Scan(item), 1);
    const std::vector<CFoundObject> objects = Objects();
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0].m_strPath, kRecent);
    EXPECT_EQ(objects[0].m_strName, "*.*");
    EXPECT_EQ(objects[1].m_strName, "");
    EXPECT_EQ(objects[2].m_strPath, "Software\\SampleApp\\Tree");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(objects[i].m_nKind, kObjRegKey);
        EXPECT_EQ(objects[i].m_nParam, i < 2 ? 3 : 0);
        EXPECT_EQ(ParamToRootKey(objects[i].m_dwParam2), HKEY_CURRENT_USER);
        EXPECT_EQ(objects[i].m_pfnClean, &CleanRegistryObject);
        EXPECT_EQ(objects[i].m_dwSize, 0u);
    }
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 6) << "a key counts its values";
    EXPECT_EQ(m_window.StatusText(1), "已发现对象: 6");
}

TEST_F(RuleScanTest, OneValueRulesListExistingValuesOnlyUnderAnyRootName)
{
    testsupport::SetRegString(kApp, "LastFile", "C:\\a.txt");
    CModItem item = PluginItem({}, {"HKCU\\Software\\SampleApp|LastFile", "HKCU\\Software\\SampleApp|Missing",
                                    "Anything\\Software\\SampleApp|LastFile"});
    ASSERT_EQ(Scan(item), 1);
    const std::vector<CFoundObject> objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    for (const CFoundObject& object : objects) {
        EXPECT_EQ(object.m_strPath, kApp);
        EXPECT_EQ(object.m_strName, "LastFile");
        EXPECT_EQ(object.m_nKind, kObjRegValue);
        EXPECT_EQ(object.m_nParam, 0);
        EXPECT_EQ(ParamToRootKey(object.m_dwParam2), HKEY_CURRENT_USER);
    }
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 2);
}

TEST_F(RuleScanTest, RulesWithoutSubKeyNeverListOrCleanAWholeHive)
{
    testsupport::SetRegString(kApp, "LastFile", "C:\\a.txt");
    CModItem item = PluginItem({}, {"HKCU\\|*.*", "HKCU|*.*", "HKCU\\\\|", "HKCU\\ |LastFile", "HKCU\\Software\\|*.*"});
    ASSERT_EQ(Scan(item), 1);
    EXPECT_TRUE(ObjectPaths().empty());

    // A registry object that names no sub-key is refused at cleaning time too.
    CFoundObject hive;
    hive.m_strPath = "\\";
    hive.m_nKind = kObjRegKey;
    hive.m_dwParam2 = RootKeyToParam(HKEY_CURRENT_USER);
    hive.m_pfnClean = CleanRegistryObject;
    EXPECT_EQ(CleanOnWorker(hive), 1);
    EXPECT_TRUE(testsupport::RegValueExists(kApp, "LastFile"));
    EXPECT_EQ(m_context.m_nFoundOrDeleted + m_context.m_nNotDeleted, 0);
    hive.m_strPath = "Software\\";  // so is a whole key directly below the root
    EXPECT_EQ(CleanOnWorker(hive), 1);
    EXPECT_TRUE(testsupport::RegValueExists(kApp, "LastFile"));
}

CFoundObject RegistryObject(int kind, const std::string& path, const std::string& name, int param)
{
    CFoundObject object;
    object.m_strPath = path;
    object.m_strName = name;
    object.m_nKind = kind;
    object.m_nParam = param;
    object.m_dwParam2 = RootKeyToParam(HKEY_CURRENT_USER);
    object.m_pfnClean = CleanRegistryObject;
    return object;
}

TEST_F(RuleScanTest, CleaningRemovesTheWholeKeyOrTheOneValue)
{
    testsupport::SetRegString(kRecent, "File1", "a");
    testsupport::SetRegString(kRecent, "File2", "b");
    testsupport::SetRegString(std::string(kRecent) + "\\Sub", "x", "y");
    testsupport::SetRegString(kApp, "LastFile", "C:\\a.txt");
    testsupport::SetRegString(kApp, "Keep", "me");

    CFoundObject key = RegistryObject(kObjRegKey, kRecent, "*.*", 2);
    EXPECT_EQ(CleanOnWorker(key), 1);
    EXPECT_FALSE(testsupport::RegKeyExists(kRecent));
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 2);
    EXPECT_EQ(m_window.StatusText(1), "已删除的对象: 2");

    CFoundObject value = RegistryObject(kObjRegValue, kApp, "LastFile", 0);
    EXPECT_EQ(CleanOnWorker(value), 1);
    EXPECT_FALSE(testsupport::RegValueExists(kApp, "LastFile"));
    EXPECT_TRUE(testsupport::RegValueExists(kApp, "Keep"));
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 1);

    // Already gone: nothing to count either way.
    EXPECT_EQ(CleanOnWorker(value), 1);
    EXPECT_EQ(CleanOnWorker(key), 1);
    EXPECT_EQ(m_context.m_nFoundOrDeleted + m_context.m_nNotDeleted, 0);
}

LSTATUS WINAPI RefuseKey(HKEY, LPCSTR) { return ERROR_ACCESS_DENIED; }
LSTATUS WINAPI RefuseValue(HKEY, LPCSTR) { return ERROR_ACCESS_DENIED; }
LSTATUS WINAPI KeyVanished(HKEY, LPCSTR) { return ERROR_FILE_NOT_FOUND; }

TEST_F(RuleScanTest, RefusedDeletionsCountAsNotDeleted)
{
    struct Restore {
        ~Restore() { SetRegistryDeleteCallsForTesting(CRegistryDeleteCalls{}); }
    } restore;
    testsupport::SetRegString(kRecent, "File1", "a");
    testsupport::SetRegString(kApp, "LastFile", "C:\\a.txt");

    CRegistryDeleteCalls refused;
    refused.pfnDeleteKey = RefuseKey;
    refused.pfnDeleteValue = RefuseValue;
    SetRegistryDeleteCallsForTesting(refused);
    CFoundObject value = RegistryObject(kObjRegValue, kApp, "LastFile", 0);
    EXPECT_EQ(CleanOnWorker(value), 1);
    EXPECT_EQ(m_context.m_nNotDeleted, 1);
    EXPECT_EQ(m_context.m_nFoundOrDeleted, 0);
    EXPECT_EQ(m_window.StatusText(2), "未被删除的对象: 1");

    CFoundObject key = RegistryObject(kObjRegKey, kRecent, "*.*", 3);
    EXPECT_EQ(CleanOnWorker(key), 1);
    EXPECT_EQ(m_context.m_nNotDeleted, 3) << "a key stands for its values";

    CRegistryDeleteCalls vanished;
    vanished.pfnDeleteKey = KeyVanished;
    SetRegistryDeleteCallsForTesting(vanished);
    EXPECT_EQ(CleanOnWorker(key), 1);
    EXPECT_EQ(m_context.m_nFoundOrDeleted + m_context.m_nNotDeleted, 0);
}

}  // namespace
