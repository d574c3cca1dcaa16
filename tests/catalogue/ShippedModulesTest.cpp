// The modules shipped in the four data files: each loads, carries what the items dialog shows,
// hides itself when its application is not detected, and - one by one - finds a real trace of its
// application in the sandbox and removes it.
#include "support/BoxWatcher.h"
#include "DataFileHelpers.h"
#include "support/RuleScanFixture.h"

#include <shlwapi.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "catalogue/CustomItems.h"
#include "catalogue/PluginFileFormat.h"
#include "catalogue/PluginFileLineReader.h"
#include "catalogue/PluginFilePasses.h"

namespace {

using testsupport::CloseBoxesDuring;

const char kFirefoxProfile[] = "Profiles\\lorvex.default";
// Firefox and Thunderbird name that profile folder in their profiles.ini below %AppData%.
const char* const kMozillaApps[] = {"Mozilla\\Firefox", "Thunderbird"};

// One trace of an application, as its module's rules describe it.
enum class TraceKind {
    File,      // a file at `where` (path variables resolved)
    RegKey,    // a value `value` in the key `where` (below HKCU), listed as the rule's whole key
    RegValue,  // the value `value` of the key `where`
    Cookie,    // one cookie in the Firefox profile's cookies.txt
};

struct Trace {
    int id;
    TraceKind kind;
    const char* where;
    const char* value;
};

const Trace kTraces[] = {
    // Mozilla Firefox and Opera.
    {2000, TraceKind::Cookie, "%AppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\cookies.txt", nullptr},
    {2001, TraceKind::File, "%LocalAppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\cache2\\entries\\0A1B2C3D", nullptr},
    {2002, TraceKind::File, "%AppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\history.dat", nullptr},
    {2003, TraceKind::File, "%AppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\formhistory.sqlite", nullptr},
    {2004, TraceKind::File, "%AppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\sessionstore.js", nullptr},
    {2009, TraceKind::File, "%LocalAppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\startupCache\\startupCache.8.little", nullptr},
    {2010, TraceKind::File, "%LocalAppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\thumbnails\\0a1b2c3d4e5f.png", nullptr},
    {2011, TraceKind::File, "%AppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\sessionstore-backups\\recovery.jsonlz4", nullptr},
    {2012, TraceKind::File, "%AppData%\\Mozilla\\Firefox\\Crash Reports\\pending\\0A1B2C3D-lorvex.dmp", nullptr},
    {2005, TraceKind::File, "%AppData%\\Opera\\Opera\\profile\\cookies4.dat", nullptr},
    {2006, TraceKind::File, "%LocalAppData%\\Opera\\Opera\\cache\\g_0000\\opr00ABC.tmp", nullptr},
    {2007, TraceKind::File, "%AppData%\\Opera\\Opera\\global_history.dat", nullptr},
    {2008, TraceKind::File, "%AppData%\\Opera\\Opera\\typed_history.xml", nullptr},
    // Windows.
    {2100, TraceKind::RegKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\txt", "a"},
    {2101, TraceKind::RegKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedMRU", "a"},
    {2102, TraceKind::RegKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths", "url1"},
    {2103, TraceKind::RegKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery", "0"},
    {2104, TraceKind::RegKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Map Network Drive MRU", "a"},
    {2105, TraceKind::File, "%LocalAppData%\\Microsoft\\Windows\\Explorer\\thumbcache_96.db", nullptr},
    {2106, TraceKind::File, "%WindowsDir%\\Temp\\lorvex-trace\\setup.log", nullptr},
    {2107, TraceKind::File, "%LocalAppData%\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_app.exe_1\\Report.wer", nullptr},
    {2108, TraceKind::File, "%LocalAppData%\\CrashDumps\\app.exe.1234.dmp", nullptr},
    {2109, TraceKind::File, "%WindowsDir%\\Prefetch\\LORVEXTRACE.EXE-0A1B2C3D.pf", nullptr},
    {2110, TraceKind::RegKey,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count",
     "HRZR_EHAPCNGU"},
    {2111, TraceKind::File, "%WindowsDir%\\SoftwareDistribution\\Download\\lorvex-trace\\update.cab", nullptr},
    {2112, TraceKind::RegValue, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", "LastKey"},
    {2113, TraceKind::RegKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List", "File1"},
    {2114, TraceKind::RegKey, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List", "File1"},
    {2115, TraceKind::RegKey, "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", "File0"},
    {2116, TraceKind::RegKey, "Software\\Microsoft\\Terminal Server Client\\Default", "MRU0"},
    {2117, TraceKind::RegKey, "Software\\Microsoft\\Microsoft Management Console\\Recent File List", "File1"},
    // Other applications.
    {2300, TraceKind::RegKey, "Software\\Microsoft\\Office\\14.0\\Word\\File MRU", "Item 1"},
    {2301, TraceKind::RegKey, "Software\\Microsoft\\Office\\12.0\\Excel\\File MRU", "Item 1"},
    {2302, TraceKind::RegKey, "Software\\Microsoft\\Office\\11.0\\PowerPoint\\Recent File List", "File1"},
    {2303, TraceKind::File, "%AppData%\\Microsoft\\Office\\Recent\\report.doc.LNK", nullptr},
    {2304, TraceKind::File, "%AppData%\\OpenOffice.org\\3\\user\\backup\\report_0.odt", nullptr},
    {2305, TraceKind::RegKey, "Software\\Adobe\\Acrobat Reader\\9.0\\AVGeneral\\cRecentFiles\\c1", "tDIText"},
    {2306, TraceKind::RegKey, "Software\\Foxit Software\\Foxit Reader\\Recent File List", "File1"},
    {2307, TraceKind::RegKey, "Software\\WinRAR\\ArcHistory", "0"},
    {2308, TraceKind::RegValue, "Software\\7-Zip\\Compression", "ArcHistory"},
    {2309, TraceKind::RegKey, "Software\\Nico Mak Computing\\WinZip\\filemenu", "filemenu01"},
    {2310, TraceKind::File, "%AppData%\\Notepad++\\session.xml", nullptr},
    {2311, TraceKind::RegKey, "Software\\ES-Computing\\EditPlus 3\\Recent File List", "File1"},
    {2312, TraceKind::RegKey, "Software\\Microsoft\\VisualStudio\\9.0\\ProjectMRUList", "File1"},
    {2313, TraceKind::File, "%AppData%\\Macromedia\\Flash Player\\#SharedObjects\\ABCD1234\\example.com\\game.sol", nullptr},
    {2314, TraceKind::File, "%AppData%\\Sun\\Java\\Deployment\\cache\\6.0\\12\\3f4e5d6c-1a2b3c4d", nullptr},
    {2315, TraceKind::File, "%LocalAppData%\\Microsoft\\Silverlight\\is\\abc\\f\\1.dat", nullptr},
    {2316, TraceKind::File, "%AppData%\\.purple\\logs\\jabber\\me@example.com\\friend@example.com\\2008-01-01.html", nullptr},
    {2317, TraceKind::File, "%AppData%\\mIRC\\logs\\#channel.example.log", nullptr},
    {2318, TraceKind::File, "%AppData%\\FileZilla\\recentservers.xml", nullptr},
    {2319, TraceKind::RegKey, "Software\\Google\\NavClient\\1.1\\History", "secret search"},
    {2320, TraceKind::File, "%AppData%\\Winamp\\winamp.m3u8", nullptr},
    {2321, TraceKind::File, "%AppData%\\vlc\\vlc-qt-interface.ini", nullptr},
    {2322, TraceKind::RegKey, "Software\\MPC-HC\\MPC-HC\\Recent File List", "File1"},
    {2323, TraceKind::File, "%LocalAppData%\\Apple Computer\\QuickTime\\downloads\\01\\movie.qtch", nullptr},
    {2324, TraceKind::RegKey, "Software\\Ahead\\Nero - Burning Rom\\Recent File List", "File1"},
    {2325, TraceKind::File, "%LocalAppData%\\Google\\Picasa2\\db3\\thumbs_index.db", nullptr},
    {2326, TraceKind::File, "%LocalAppData%\\Google\\GoogleEarth\\dbCache.dat", nullptr},
    // Chromium-based browsers: caches, history, sessions, crash reports and logs.
    {2400, TraceKind::File, "%LocalAppData%\\Google\\Chrome\\User Data\\Default\\Cache\\Cache_Data\\f_00a1b2", nullptr},
    {2400, TraceKind::File, "%LocalAppData%\\Google\\Chrome\\User Data\\GrShaderCache\\data_1", nullptr},
    {2401, TraceKind::File, "%LocalAppData%\\Google\\Chrome\\User Data\\Default\\History", nullptr},
    {2402, TraceKind::File, "%LocalAppData%\\Google\\Chrome\\User Data\\Default\\Sessions\\Session_13379991234567890", nullptr},
    {2403, TraceKind::File, "%LocalAppData%\\Google\\Chrome\\User Data\\Crashpad\\reports\\0a1b2c3d-4e5f.dmp", nullptr},
    {2405, TraceKind::File, "%LocalAppData%\\Microsoft\\Edge\\User Data\\Default\\Code Cache\\js\\0a1b2c3d_0", nullptr},
    {2406, TraceKind::File, "%LocalAppData%\\Microsoft\\Edge\\User Data\\Default\\Visited Links", nullptr},
    {2407, TraceKind::File, "%LocalAppData%\\Microsoft\\Edge\\User Data\\Default\\Last Session", nullptr},
    {2408, TraceKind::File, "%LocalAppData%\\Microsoft\\Edge\\User Data\\Crashpad\\attachments\\0a1b2c3d\\log.txt", nullptr},
    {2410, TraceKind::File, "%LocalAppData%\\BraveSoftware\\Brave-Browser\\User Data\\Default\\GPUCache\\data_0", nullptr},
    {2411, TraceKind::File, "%LocalAppData%\\BraveSoftware\\Brave-Browser\\User Data\\Default\\Network Action Predictor", nullptr},
    {2412, TraceKind::File, "%LocalAppData%\\BraveSoftware\\Brave-Browser\\User Data\\Default\\Sessions\\Tabs_13379991234567890", nullptr},
    {2413, TraceKind::File, "%LocalAppData%\\BraveSoftware\\Brave-Browser\\User Data\\chrome_debug.log", nullptr},
    {2415, TraceKind::File, "%LocalAppData%\\Vivaldi\\User Data\\Default\\Service Worker\\CacheStorage\\0a1b\\2c3d\\index", nullptr},
    {2416, TraceKind::File, "%LocalAppData%\\Vivaldi\\User Data\\Default\\Top Sites-journal", nullptr},
    {2417, TraceKind::File, "%LocalAppData%\\Vivaldi\\User Data\\Default\\Current Tabs", nullptr},
    {2418, TraceKind::File, "%LocalAppData%\\Vivaldi\\User Data\\Crash Reports\\reports\\0a1b2c3d.dmp", nullptr},
    {2420, TraceKind::File, "%LocalAppData%\\Opera Software\\Opera Stable\\Default\\Cache\\Cache_Data\\data_0", nullptr},
    {2420, TraceKind::File, "%LocalAppData%\\Opera Software\\Opera Stable\\Cache\\Cache_Data\\data_1", nullptr},
    {2421, TraceKind::File, "%AppData%\\Opera Software\\Opera Stable\\History-journal", nullptr},
    {2421, TraceKind::File, "%AppData%\\Opera Software\\Opera Stable\\Default\\Shortcuts", nullptr},
    {2422, TraceKind::File, "%AppData%\\Opera Software\\Opera Stable\\Default\\Sessions\\Session_13379991234567890", nullptr},
    {2423, TraceKind::File, "%AppData%\\Opera Software\\Opera Stable\\Crashpad\\reports\\0a1b2c3d.dmp", nullptr},
    // Chat, meeting, music, game and development applications; Windows' jump lists and shader cache.
    {2430, TraceKind::File, "%AppData%\\Microsoft\\Teams\\Cache\\Cache_Data\\f_000a1b", nullptr},
    {2431, TraceKind::File, "%AppData%\\Microsoft\\Teams\\logs.txt", nullptr},
    {2432, TraceKind::File,
     "%LocalAppData%\\Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\EBWebView\\WV2Profile_tfw\\Cache\\Cache_Data\\data_1",
     nullptr},
    {2433, TraceKind::File,
     "%LocalAppData%\\Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\Logs\\MSTeams_2026-01-01_10-00-00.00.log",
     nullptr},
    {2434, TraceKind::File, "%AppData%\\discord\\Code Cache\\js\\0a1b2c3d_0", nullptr},
    {2435, TraceKind::File, "%AppData%\\discord\\logs\\renderer_js.log", nullptr},
    {2436, TraceKind::File, "%AppData%\\Slack\\Service Worker\\CacheStorage\\0a1b\\2c3d\\index", nullptr},
    {2437, TraceKind::File, "%AppData%\\Slack\\logs\\browser.log", nullptr},
    {2438, TraceKind::File, "%AppData%\\Zoom\\logs\\zoom_stdout_stderr.log", nullptr},
    {2439, TraceKind::File, "%LocalAppData%\\Spotify\\Data\\0a\\0a1b2c3d4e5f.file", nullptr},
    {2440, TraceKind::File, "%LocalAppData%\\Steam\\htmlcache\\Default\\Cache\\Cache_Data\\data_1", nullptr},
    {2440, TraceKind::File, "%ProgramFiles%\\Steam\\appcache\\httpcache\\0a\\0a1b2c3d", nullptr},
    {2441, TraceKind::File, "%ProgramFiles%\\Steam\\logs\\content_log.txt", nullptr},
    {2441, TraceKind::File, "%SystemDrive%\\Program Files (x86)\\Steam\\dumps\\crash_steam.dmp", nullptr},
    {2442, TraceKind::File, "%AppData%\\Code\\CachedData\\0a1b2c3d\\chrome\\js\\index", nullptr},
    {2443, TraceKind::File, "%AppData%\\Code\\logs\\20260101T100000\\main.log", nullptr},
    {2444, TraceKind::File, "%LocalAppData%\\Thunderbird\\Profiles\\lorvex.default\\cache2\\entries\\0A1B2C3D", nullptr},
    {2118, TraceKind::File,
     "%AppData%\\Microsoft\\Windows\\Recent\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms", nullptr},
    {2119, TraceKind::File, "%LocalAppData%\\D3DSCache\\0a1b2c3d4e5f\\0a1b.idx", nullptr},
};

// An application's modules, what detects it (a path, or a key below HKCU), and the user's own data
// beside its traces that none of its modules may take.
struct DetectedApp {
    std::vector<int> ids;
    const char* detect;
    std::vector<const char*> kept;
};

const DetectedApp kChromiumBrowsers[] = {
    {{2400, 2401, 2402, 2403}, "%LocalAppData%\\Google\\Chrome\\User Data", {}},
    {{2405, 2406, 2407, 2408}, "%LocalAppData%\\Microsoft\\Edge\\User Data", {}},
    {{2410, 2411, 2412, 2413}, "%LocalAppData%\\BraveSoftware\\Brave-Browser\\User Data", {}},
    {{2415, 2416, 2417, 2418}, "%LocalAppData%\\Vivaldi\\User Data", {}},
    {{2420, 2421, 2422, 2423}, "%AppData%\\Opera Software\\Opera Stable", {}},
};

#define FIREFOX "%AppData%\\Mozilla\\Firefox\\Profiles\\lorvex.default\\"
#define NEW_TEAMS "%LocalAppData%\\Packages\\MSTeams_8wekyb3d8bbwe\\LocalCache\\Microsoft\\MSTeams\\"
const DetectedApp kApplications[] = {
    // 2011 before 2004: both take the session-store backups, and the later one would find none.
    {{2009, 2010, 2011, 2012, 2000, 2001, 2002, 2003, 2004},
     "%AppData%\\Mozilla\\Firefox\\profiles.ini",
     {FIREFOX "places.sqlite", FIREFOX "key4.db", FIREFOX "logins.json", FIREFOX "cookies.sqlite", FIREFOX "prefs.js",
      FIREFOX "extensions\\addon@example.com.xpi", FIREFOX "bookmarkbackups\\bookmarks-2026-01-01.jsonlz4"}},
    {{2430, 2431}, "%AppData%\\Microsoft\\Teams",
     {"%AppData%\\Microsoft\\Teams\\desktop-config.json", "%AppData%\\Microsoft\\Teams\\Local Storage\\leveldb\\000003.log"}},
    {{2432, 2433}, "%LocalAppData%\\Packages\\MSTeams_8wekyb3d8bbwe",
     {NEW_TEAMS "app_settings.json", NEW_TEAMS "Backgrounds\\Uploads\\beach.png",
      NEW_TEAMS "EBWebView\\WV2Profile_tfw\\Network\\Cookies"}},
    {{2434, 2435}, "%AppData%\\discord", {"%AppData%\\discord\\settings.json", "%AppData%\\discord\\Local Storage\\leveldb\\000003.log"}},
    {{2436, 2437}, "%AppData%\\Slack", {"%AppData%\\Slack\\storage\\root-state.json", "%AppData%\\Slack\\Cookies"}},
    {{2438}, "%AppData%\\Zoom", {"%AppData%\\Zoom\\data\\zoomus.enc.db"}},
    {{2439}, "%LocalAppData%\\Spotify", {"%LocalAppData%\\Spotify\\Storage\\0a\\0a1b2c3d4e5f.file"}},
    {{2440, 2441}, "HKCU\\Software\\Valve\\Steam",
     {"%ProgramFiles%\\Steam\\config\\loginusers.vdf", "%ProgramFiles%\\Steam\\steamapps\\common\\Game\\game.exe",
      "%LocalAppData%\\Steam\\htmlcache\\Default\\Cookies"}},
    {{2442, 2443}, "%AppData%\\Code",
     {"%AppData%\\Code\\User\\settings.json", "%AppData%\\Code\\Backups\\0a1b2c3d\\untitled\\1a2b"}},
    {{2444}, "%AppData%\\Thunderbird\\profiles.ini",
     {"%AppData%\\Thunderbird\\Profiles\\lorvex.default\\Mail\\Local Folders\\Inbox"}},
    {{2118}, "%AppData%\\Microsoft\\Windows\\Recent\\AutomaticDestinations",
     {"%AppData%\\Microsoft\\Windows\\Recent\\AutomaticDestinations\\desktop.ini"}},
    {{2119}, "%LocalAppData%\\D3DSCache", {"%LocalAppData%\\IconCache.db"}},
};
#undef FIREFOX
#undef NEW_TEAMS

// Profile folders of those browsers (Opera's in both its layouts, and its local half), and the
// user's own data that no browser module may take.
const char* const kChromiumProfiles[] = {
    "%LocalAppData%\\Google\\Chrome\\User Data\\Default",
    "%LocalAppData%\\Microsoft\\Edge\\User Data\\Default",
    "%LocalAppData%\\BraveSoftware\\Brave-Browser\\User Data\\Default",
    "%LocalAppData%\\Vivaldi\\User Data\\Default",
    "%AppData%\\Opera Software\\Opera Stable",
    "%AppData%\\Opera Software\\Opera Stable\\Default",
    "%LocalAppData%\\Opera Software\\Opera Stable\\Default",
};
const char* const kChromiumUserData[] = {
    "Bookmarks", "Bookmarks.bak", "Login Data", "Login Data-journal", "Preferences", "Secure Preferences",
    "Web Data", "Cookies", "Cookies-journal", "Network\\Cookies", "Network\\Cookies-journal",
    "Extensions\\abcdefghijklmnop\\1.0_0\\manifest.json", "Local Storage\\leveldb\\000003.log", "Local State",
};

class ShippedModulesTest : public RuleScanTest {
protected:
    ShippedModulesTest() : m_install(m_temp / "install"), m_files(m_install)
    {
        RedirectShellFolder("AppData");
        RedirectShellFolder("Local AppData");
        RedirectShellFolder("Personal");
        MakeFolders(m_install);
        cataloguetest::CopyShippedDataFiles(m_install);
        // Firefox and Thunderbird name their profile folder in profiles.ini, which the catalogue reads
        // when it loads the modules.
        for (const char* app : kMozillaApps)
            WriteFileIn(ProfilesIni(app),
                        "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                        "Path=Profiles/lorvex.default\r\nDefault=1\r\n");
        SetPluginFilePasses(CPluginFilePasses{SelectPluginModules, FillPluginModules});
    }
    ~ShippedModulesTest() override
    {
        // Traces outside the test's own folders (the Windows folder) go, with the folders made for them.
        for (auto it = m_madeOutside.rbegin(); it != m_madeOutside.rend(); ++it) testsupport::RemoveTree(*it);
    }

    std::vector<testsupport::SeenBox> Build()
    {
        return CloseBoxesDuring([] { g_theScanningThreadsParam.Build(); });
    }

    static std::string Expanded(const std::string& path)
    {
        std::string expanded;
        ResolvePathVar(path, expanded, "\\", true);
        return expanded;
    }
    static std::string ProfilesIni(const char* app) { return Expanded(std::string("%AppData%\\") + app + "\\profiles.ini"); }
    std::string TracePath(const Trace& trace) { return Expanded(trace.where); }

    // Makes what detects an application: its folder (or a folder in place of its file), or its key.
    static void MakeDetected(const std::string& detect)
    {
        if (detect.compare(0, 5, "HKCU\\") == 0)
            testsupport::SetRegString(detect.substr(5), "", "");
        else
            MakeFolders(Expanded(detect));
    }

    // Makes the folders of a file; those outside the test's folder are removed afterwards.
    void SeedFile(const std::string& path, const std::string& bytes = "trace")
    {
        const std::string folder = path.substr(0, path.find_last_of('\\'));
        if (folder.compare(0, m_temp.Path().size(), m_temp.Path()) != 0) {
            std::string top = folder;
            for (std::string up = folder; !PathFileExistsA(up.c_str()); up = up.substr(0, up.find_last_of('\\')))
                top = up;
            if (!PathFileExistsA(top.c_str())) m_madeOutside.push_back(top);
            else m_madeOutside.push_back(path);
        }
        WriteFileIn(path, bytes);
    }

    void Seed(const Trace& trace)
    {
        switch (trace.kind) {
            case TraceKind::File:
                SeedFile(TracePath(trace));
                break;
            case TraceKind::Cookie:
                SeedFile(TracePath(trace), "# Netscape HTTP Cookie File\r\n.example.com\tTRUE\t/\tFALSE\t2000000000\tSID\tabc\r\n");
                break;
            case TraceKind::RegKey:
            case TraceKind::RegValue:
                testsupport::SetRegString(trace.where, trace.value, "C:\\Users\\me\\secret.txt");
                break;
        }
    }

    bool TraceExists(const Trace& trace)
    {
        switch (trace.kind) {
            case TraceKind::File:
                return testsupport::FileExists(TracePath(trace));
            case TraceKind::Cookie:  // the file's comment line stays
                return testsupport::ReadFileBytes(TracePath(trace)).find("\tSID\t") != std::string::npos;
            case TraceKind::RegKey:
            case TraceKind::RegValue:
                return testsupport::RegValueExists(trace.where, trace.value);
        }
        return false;
    }

    // The object that stands for the trace among those the scan listed.
    const CFoundObject* ObjectOf(const Trace& trace)
    {
        for (const auto& received : m_window.m_objects) {
            const CFoundObject& object = received.object;
            switch (trace.kind) {
                case TraceKind::File:
                    if (object.m_nKind == kObjFile && object.m_strPath == TracePath(trace)) return &object;
                    break;
                case TraceKind::Cookie:
                    if (object.m_nKind == kObjCookie && object.m_strPath == "example.com[SID]" &&
                        object.m_strExtra2 == TracePath(trace))
                        return &object;
                    break;
                case TraceKind::RegKey: {
                    // The rule's key holds the trace's key, or is it.
                    const std::string key = trace.where;
                    if (object.m_nKind == kObjRegKey &&
                        (key == object.m_strPath || key.compare(0, object.m_strPath.size() + 1, object.m_strPath + "\\") == 0))
                        return &object;
                    break;
                }
                case TraceKind::RegValue:
                    if (object.m_nKind == kObjRegValue && object.m_strPath == trace.where && object.m_strName == trace.value)
                        return &object;
                    break;
            }
        }
        return nullptr;
    }

    // Seeds the user's files and the traces of the modules, cleans every object the modules list,
    // and checks that the traces went and the user's files stayed.
    void ExpectCleaningKeepsUserData(const std::vector<int>& ids, const std::vector<std::string>& userFiles)
    {
        auto isTested = [&](int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
        for (const std::string& path : userFiles) SeedFile(path, "user data");
        for (const Trace& trace : kTraces)
            if (isTested(trace.id)) Seed(trace);
        for (int id : ids) {
            CModItem* item = g_theScanningThreadsParam.FindById(id);
            ASSERT_NE(item, nullptr) << id;
            SCOPED_TRACE(item->m_strTitle);
            m_window.m_objects.clear();
            ASSERT_EQ(Scan(*item), 1);
            EXPECT_FALSE(m_window.m_objects.empty());
            std::vector<CFoundObject> objects;
            for (const auto& received : m_window.m_objects) objects.push_back(received.object);
            for (CFoundObject& object : objects) EXPECT_EQ(CleanOnWorker(object), 1);
        }
        for (const Trace& trace : kTraces) {
            if (isTested(trace.id)) {
                EXPECT_FALSE(TraceExists(trace)) << trace.where;
            }
        }
        for (const std::string& path : userFiles) EXPECT_TRUE(testsupport::FileExists(path)) << path;
    }

    const std::string m_install;
    cataloguetest::DataFilesIn m_files;
    std::vector<std::string> m_madeOutside;
};

TEST_F(ShippedModulesTest, AtLeastFortyModulesWithUniqueIdentifiersLoadWithoutAMessage)
{
    EXPECT_TRUE(Build().empty());
    std::set<int> ids;
    int modules = 0;
    for (int i = kBuiltinItemCount; i < g_theScanningThreadsParam.m_nCount; ++i) {
        const CModItem& item = *g_theScanningThreadsParam.GetAt(i);
        SCOPED_TRACE(item.m_strTitle);
        ++modules;
        EXPECT_TRUE(ids.insert(item.m_nId).second) << "identifier " << item.m_nId << " twice";
        EXPECT_TRUE(item.m_bIsPlugin);
        EXPECT_FALSE(item.m_strDescription.empty());
        EXPECT_GE(item.m_nImage, 1);
        EXPECT_LE(item.m_nImage, 32);
        // Only groups the items dialog shows.
        static const int kSubCategories[] = {3, 4, 5, 1};
        ASSERT_LE(CategoryOf(item.m_nReference), 3);
        EXPECT_LT(SubCategoryOf(item.m_nReference), kSubCategories[CategoryOf(item.m_nReference)]);
        EXPECT_NE(item.m_pfnScanAll, nullptr);
    }
    EXPECT_GE(modules, 40);

    // Firefox 2000-2004 and Opera 2005-2008 in their browsers' sub-categories, with their browsers'
    // pictures (17 and 30, as the overview rows); the Firefox items know the profile folder.
    for (int id = 2000; id <= 2008; ++id) {
        CModItem* item = g_theScanningThreadsParam.FindById(id);
        ASSERT_NE(item, nullptr) << id;
        EXPECT_EQ(item->m_nReference, id <= 2004 ? 12 : 13) << id;
        EXPECT_EQ(item->m_nImage, id <= 2004 ? 17 : 30) << id;
        if (id <= 2004) {
            EXPECT_EQ(item->m_PlugData.m_strExternalDir, kFirefoxProfile) << id;
        }
    }
    // The current Firefox's modules 2009-2012 beside them.
    for (int id = 2009; id <= 2012; ++id) {
        CModItem* item = g_theScanningThreadsParam.FindById(id);
        ASSERT_NE(item, nullptr) << id;
        EXPECT_EQ(item->m_nReference, 12) << id;
        EXPECT_EQ(item->m_nImage, 17) << id;
        EXPECT_EQ(item->m_PlugData.m_strExternalDir, kFirefoxProfile) << id;
    }
    CModItem* cookies = g_theScanningThreadsParam.FindById(2000);
    EXPECT_EQ(cookies->m_pfnOnFileFound, GetPluginItemFunctions().pfnOnCookiesFile);

    // Every module has a test of its own below.
    std::set<int> tested;
    for (const Trace& trace : kTraces) tested.insert(trace.id);
    EXPECT_EQ(ids, tested);
}

TEST_F(ShippedModulesTest, EveryModuleOfTheShippedFilesHasDetectionAndTheCustomItemsFileNoOtherModules)
{
    for (const char* name : cataloguetest::kDataFileNames) {
        SCOPED_TRACE(name);
        CBlockLineReader reader("\r\n", ScrambleBlock);
        ASSERT_TRUE(reader.Open(m_install + "\\" + name));
        std::vector<CParsedModule> modules;
        std::string line, section;
        while (reader.More())
            while (reader.ReadLine(line)) {
                if (IsSectionLine(line, section))
                    modules.emplace_back();
                else if (!modules.empty())
                    modules.back().ApplyLine(line);
            }
        const bool customFile = std::string(name) == "DiskCleanEng.dat";
        // Users make their own custom items: a shipped one would search a whole drive unasked.
        EXPECT_EQ(modules.empty(), customFile);
        for (const CParsedModule& module : modules) {
            SCOPED_TRACE(module.m_strTitle);
            EXPECT_TRUE(module.IsComplete());
            EXPECT_EQ(module.m_bHasSpecialKey && module.m_strSpecialKey == "PROCESS_RULES", customFile);
            if (!customFile) {
                EXPECT_TRUE(module.m_bHasRegDetect || module.m_bHasFileDetect);
            }
            // No registry rule of a shipped module reaches outside the user's own part of the registry.
            EXPECT_EQ(module.m_strRegRules.find("HKLM"), std::string::npos);
        }
    }
}

TEST_F(ShippedModulesTest, ModulesOfApplicationsThatAreNotDetectedAreHiddenOnlyWithTheOption)
{
    std::vector<const DetectedApp*> apps;
    for (const DetectedApp& app : kChromiumBrowsers) apps.push_back(&app);
    for (const DetectedApp& app : kApplications) apps.push_back(&app);
    auto expectListed = [&](bool listed) {
        EXPECT_TRUE(Build().empty());
        EXPECT_EQ(g_theScanningThreadsParam.FindById(2005) != nullptr, listed) << "Opera";
        EXPECT_EQ(g_theScanningThreadsParam.FindById(2307) != nullptr, listed) << "WinRAR";
        for (const DetectedApp* app : apps)
            for (int id : app->ids) EXPECT_EQ(g_theScanningThreadsParam.FindById(id) != nullptr, listed) << id;
    };
    testsupport::SetRegDword(TheSettings().m_strSettingsKey, "DontShowPluginsWithUndetApps", 1);
    for (const char* app : kMozillaApps) DeleteFileA(ProfilesIni(app).c_str());
    expectListed(false);

    testsupport::SetRegString("Software\\WinRAR", "", "");
    MakeFolders(Resolved("%AppData%") + "\\Opera\\Opera");
    for (const DetectedApp* app : apps) MakeDetected(app->detect);
    expectListed(true);

    testsupport::SetRegDword(TheSettings().m_strSettingsKey, "DontShowPluginsWithUndetApps", 0);
    EXPECT_TRUE(Build().empty());
    EXPECT_NE(g_theScanningThreadsParam.FindById(2316), nullptr) << "without the option every module is listed";
}

TEST_F(ShippedModulesTest, PicasaModuleListsOnlyTheThumbnailCachesOfItsDatabaseFolder)
{
    ASSERT_TRUE(Build().empty());
    CModItem* item = g_theScanningThreadsParam.FindById(2325);
    ASSERT_NE(item, nullptr);
    const std::string db3 = Resolved("%LocalAppData%") + "\\Google\\Picasa2\\db3\\";
    const std::set<std::string> caches = {db3 + "thumbs_index.db", db3 + "thumbs_0.db", db3 + "thumbs2_0.db",
                                          db3 + "bigthumbs_0.db", db3 + "previews_0.db"};
    for (const std::string& path : caches) SeedFile(path);
    for (const char* kept : {"albumdata_0.pmp", "imagedata_0.pmp", "catdata_0.pmp"}) SeedFile(db3 + kept);
    ASSERT_EQ(Scan(*item), 1);
    const std::vector<std::string> listed = ObjectPaths();
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()), caches);
}

TEST_F(ShippedModulesTest, ChromiumBrowserModulesLeaveBookmarksPasswordsSettingsCookiesAndExtensions)
{
    ASSERT_TRUE(Build().empty());
    std::vector<std::string> kept;
    std::vector<std::string> folders(std::begin(kChromiumProfiles), std::end(kChromiumProfiles));
    for (const DetectedApp& browser : kChromiumBrowsers) folders.push_back(browser.detect);  // Local State's place
    for (const std::string& folder : folders)
        for (const char* name : kChromiumUserData) kept.push_back(Expanded(folder + "\\" + name));
    std::vector<int> ids;
    for (const DetectedApp& browser : kChromiumBrowsers)
        for (int id : browser.ids) {
            ids.push_back(id);
            const CModItem* item = g_theScanningThreadsParam.FindById(id);
            ASSERT_NE(item, nullptr) << id;
            EXPECT_EQ(item->m_nReference, 21) << id;
        }
    ExpectCleaningKeepsUserData(ids, kept);
}

TEST_F(ShippedModulesTest, ApplicationModulesLeaveSettingsSignInsMailDownloadsAndUnsavedWork)
{
    ASSERT_TRUE(Build().empty());
    std::vector<int> ids;
    std::vector<std::string> kept;
    for (const DetectedApp& app : kApplications) {
        ids.insert(ids.end(), app.ids.begin(), app.ids.end());
        for (const char* path : app.kept) kept.push_back(Expanded(path));
    }
    ExpectCleaningKeepsUserData(ids, kept);
}

TEST_F(ShippedModulesTest, EachModuleFindsARealTraceOfItsApplicationAndRemovesIt)
{
    ASSERT_TRUE(Build().empty());
    for (const Trace& trace : kTraces) {
        CModItem* item = g_theScanningThreadsParam.FindById(trace.id);
        ASSERT_NE(item, nullptr) << trace.id;
        SCOPED_TRACE(std::to_string(trace.id) + " " + item->m_strTitle);

        Seed(trace);
        ASSERT_TRUE(TraceExists(trace));
        m_window.m_objects.clear();
        ASSERT_EQ(Scan(*item), 1);
        const CFoundObject* found = ObjectOf(trace);
        ASSERT_NE(found, nullptr) << "the scan lists " << m_window.m_objects.size() << " objects";

        CFoundObject object = *found;
        EXPECT_EQ(CleanOnWorker(object), 1);
        EXPECT_FALSE(TraceExists(trace));
        EXPECT_EQ(m_context.m_nNotDeleted, 0);
        if (trace.kind != TraceKind::RegKey || object.m_nParam > 0) {
            EXPECT_GE(m_context.m_nFoundOrDeleted, 1);
        }
    }
}

}  // namespace
