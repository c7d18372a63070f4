// The message log over real files in a folder of the test's own, standing in
// for the Windows folder, with a folder beside it for the user's local
// application data.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "platform/codepage/CodePage1252.h"
#include "settings/IntSettings.h"
#include "settings/SettingsStore.h"
#include "chattext/MessageLog.h"
#include "chattext/TimeZone.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystem.h"
#include "platform/stdio/StdioFileApi.h"
#include "util/Paths.h"

namespace {

namespace fs = std::filesystem;

constexpr char kDate[] = "Wednesday, December 6, 2000 at 3:47:38 PM";
constexpr char kLaterDate[] = "Monday, May 8, 2000 at 12:00:00 AM";
// A log this version starts begins with it.
const std::string kMark = "\xEF\xBB\xBF";

std::string Block(const std::string& date, const std::string& lines) {
    const std::string stars(date.size(), '*');
    return "\r\n" + stars + "\r\n" + date + "\r\n" + stars + "\r\n" + lines;
}

class MessageLog : public ::testing::Test {
protected:
    void SetUp() override {
        std::ostringstream name;
        name << "mivlet-log-" << ::testing::UnitTest::GetInstance()->random_seed() << '-'
             << ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = fs::temp_directory_path() / NormalizePath(name.str());
        appData = folder / "appdata";
        if (fs::path::preferred_separator == '/' && NormalizePath(folder.string()) != folder.string())
            GTEST_SKIP() << "the log path is lower-cased, and " << folder << " is not on this file system";
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::create_directories(appData);
        system.SetWindowsDirectory(folder.string() + "\\");
        system.SetLocalAppDataFolder(appData.string() + "\\");
        ASSERT_TRUE(SetIntSetting(store, kLogMessages, 1));
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder, error);
    }

    bool Log(std::string_view line) { return log.LogLine(line, true, header); }
    fs::path File() const { return folder / "mivlet.log"; }
    fs::path AppDataFile() const { return appData / "Mivlet" / "mivlet.log"; }
    std::optional<std::string> Contents(const fs::path& file) const {
        std::ifstream in(file, std::ios::binary);
        if (!in) return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::optional<std::string> Contents() const { return Contents(File()); }
    // The Windows folder as a standard user meets it.
    void RefuseWindowsFolder() { files.RefuseFolder(system.QueryWindowsDirectory().value()); }
    void Put(const std::string& text) const { std::ofstream(File(), std::ios::binary) << text; }

    CMemoryRegistry registry;
    CSettingsStore store{registry};
    CMemorySystem system;
    CStdioFileApi files;
    std::string date = kDate;
    const CCodePage1252 codePage;
    CMessageLog log{files, system, codePage, [this] { return date; },
                    [this] { return GetIntSetting(store, kLogMessages) != 0; }};
    bool header = true;  // the history's log header flag, set at start
    fs::path folder;
    fs::path appData;
};

TEST_F(MessageLog, NewFileBeginsWithABlockHeader) {
    ASSERT_TRUE(Log("Kel 3:47> Hi\r\n"));
    const std::string stars(41, '*');
    EXPECT_EQ(Contents(), kMark + "\r\n" + stars + "\r\n" + kDate + "\r\n" + stars + "\r\nKel 3:47> Hi\r\n");
    EXPECT_FALSE(header);
    EXPECT_EQ(files.OpenFiles(), 0u) << "nothing is held between lines";
}

TEST_F(MessageLog, LinesJoinTheBlockUntilANewHeaderIsRequested) {
    ASSERT_TRUE(Log("Kel> Hi\r\n"));
    ASSERT_TRUE(Log("Nico> two\r\nlines\r\n"));
    EXPECT_EQ(Contents(), kMark + Block(kDate, "Kel> Hi\r\nNico> two\r\nlines\r\n"));

    // The chat window was hidden: the next line starts a block of its own,
    // after an empty line, with the time of writing.
    header = true;
    date = kLaterDate;
    ASSERT_TRUE(Log("Kel> back\r\n"));
    EXPECT_EQ(Contents(), kMark + Block(kDate, "Kel> Hi\r\nNico> two\r\nlines\r\n") + Block(kLaterDate, "Kel> back\r\n"));
}

TEST_F(MessageLog, LoggingSwitchedOffAndOnContinuesTheBlock) {
    ASSERT_TRUE(Log("one\r\n"));
    ASSERT_TRUE(SetIntSetting(store, kLogMessages, 0));
    EXPECT_FALSE(Log("two\r\n"));
    ASSERT_TRUE(SetIntSetting(store, kLogMessages, 2));  // any value but 0 is on
    ASSERT_TRUE(Log("three\r\n"));
    EXPECT_EQ(Contents(), kMark + Block(kDate, "one\r\nthree\r\n"));
}

TEST_F(MessageLog, NothingIsWrittenWhenOffOrEmpty) {
    const struct {
        const char* what;
        bool loggingSwitch;
        std::int32_t setting;
        const char* line;
    } cases[] = {
        {"the history's switch is off (Format page example)", false, 1, "Kel> Hi\r\n"},
        {"the setting is off", true, 0, "Kel> Hi\r\n"},
        {"the line is empty", true, 1, ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetIntSetting(store, kLogMessages, c.setting));
        EXPECT_FALSE(log.LogLine(c.line, c.loggingSwitch, header)) << c.what;
        EXPECT_TRUE(header) << c.what;
        EXPECT_FALSE(fs::exists(File())) << c.what << ": the file is not even created";
    }
}

TEST_F(MessageLog, EarlierTextIsKept) {
    Put("earlier run\r\n");
    ASSERT_TRUE(Log("Kel> Hi\r\n"));
    EXPECT_EQ(Contents(), "earlier run\r\n" + Block(kDate, "Kel> Hi\r\n"));
}

// A log this version starts is UTF-8; one an older version started, without
// the mark, keeps its code page, so whatever reads it still can.
TEST_F(MessageLog, ANewLogIsUtf8AndAnOlderOneKeepsItsCodePage) {
    const std::string line = "Kel> Gr\xC3\xBC\xC3\x9F" "e, \xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xF0\x9F\x98\x80\r\n";
    const struct {
        const char* name;
        std::optional<std::string> before;  // nothing: no file yet
        std::string after;
    } cases[] = {
        {"no log yet", std::nullopt, kMark + Block(kDate, line)},
        {"an empty file", "", kMark + Block(kDate, line)},
        {"a log of this version", kMark + "earlier\r\n", kMark + "earlier\r\n" + Block(kDate, line)},
        {"a log of an older version", "earlier \xE9\r\n",
         "earlier \xE9\r\n" + Block(kDate, "Kel> Gr\xFC\xDF" "e, ??????, ?\r\n")},
        {"an older log shorter than the mark", "\xEF\xBB", "\xEF\xBB" + Block(kDate, "Kel> Gr\xFC\xDF" "e, ??????, ?\r\n")},
    };
    for (const auto& c : cases) {
        fs::remove(File());
        if (c.before) Put(*c.before);
        header = true;
        ASSERT_TRUE(Log(line)) << c.name;
        EXPECT_EQ(Contents(), c.after) << c.name;
    }
    // The README's way to a UTF-8 log: the old one renamed, the next line
    // starts a new one.
    fs::rename(File(), folder / "mivlet-old.log");
    header = true;
    ASSERT_TRUE(Log(line));
    EXPECT_EQ(Contents(), kMark + Block(kDate, line));
}

TEST_F(MessageLog, FileHeldByAnotherOpenerKeepsTheHeaderPending) {
    {
        CFileHandle other(files, files.OpenExclusive(GetWindowsLogFilePath(system)));
        ASSERT_TRUE(other.IsValid());
        EXPECT_FALSE(Log("lost\r\n"));
        EXPECT_TRUE(header);
        EXPECT_EQ(GetLogFilePath(files, system), GetWindowsLogFilePath(system)) << "held is still where the log is";
        EXPECT_FALSE(fs::exists(appData / "Mivlet")) << "a held log is not a reason to start another";
    }
    ASSERT_TRUE(Log("one\r\n"));
    {
        CFileHandle other(files, files.OpenExclusive(GetWindowsLogFilePath(system)));
        EXPECT_FALSE(Log("lost too\r\n"));
        EXPECT_FALSE(header);
    }
    ASSERT_TRUE(Log("two\r\n"));
    EXPECT_EQ(Contents(), kMark + Block(kDate, "one\r\ntwo\r\n")) << "one header since the start";
}

TEST_F(MessageLog, FailedWriteLeavesTheFileAsItWas) {
    ASSERT_TRUE(Log("one\r\n"));
    const std::string before = *Contents();
    header = true;
    for (std::size_t stored : {0u, 1u, 30u, 100u}) {
        files.FailNextWrite(stored);  // the disk fills up after `stored` bytes
        EXPECT_FALSE(Log("two\r\n")) << stored;
        EXPECT_EQ(Contents(), before) << stored;
        EXPECT_TRUE(header) << "the header is still owed";
    }
    ASSERT_TRUE(Log("three\r\n"));
    EXPECT_EQ(Contents(), before + Block(kDate, "three\r\n"));
}

TEST_F(MessageLog, WindowsFolderThatTakesNoFilesSendsTheLogToLocalAppData) {
    // A standard user may neither make nor write files in the Windows
    // folder; without the second place no line would ever be logged.
    RefuseWindowsFolder();
    ASSERT_TRUE(Log("Kel> Hi\r\n"));
    ASSERT_TRUE(Log("Nico> Hello\r\n"));
    EXPECT_EQ(Contents(AppDataFile()), kMark + Block(kDate, "Kel> Hi\r\nNico> Hello\r\n"));
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_FALSE(header);
    EXPECT_EQ(GetLogFilePath(files, system), GetAppDataLogFilePath(system)) << "View opens the file that is written";
    EXPECT_EQ(files.OpenFiles(), 0u);
}

TEST_F(MessageLog, WindowsFolderIsKeptWhereItTakesTheFile) {
    ASSERT_TRUE(Log("Kel> Hi\r\n"));
    EXPECT_EQ(GetLogFilePath(files, system), GetWindowsLogFilePath(system));
    EXPECT_EQ(Contents(), kMark + Block(kDate, "Kel> Hi\r\n"));
    EXPECT_FALSE(fs::exists(appData / "Mivlet")) << "nothing is made in the second place";
}

TEST_F(MessageLog, NoPlaceThatTakesTheFileLogsNothing) {
    const struct {
        const char* what;
        std::optional<std::string> windows;
        std::optional<std::string> appData;
        bool refuseAppData;
    } cases[] = {
        {"neither folder is there", "missing", "missing too", false},
        {"the system names neither folder", std::nullopt, std::nullopt, false},
        {"the Windows folder is missing, application data refuses files", "missing", "", true},
    };
    for (const auto& c : cases) {
        system.SetWindowsDirectory(c.windows ? std::optional<std::string>((folder / *c.windows).string()) : std::nullopt);
        system.SetLocalAppDataFolder(c.appData ? std::optional<std::string>((folder / *c.appData).string()) : std::nullopt);
        if (c.refuseAppData) files.RefuseFolder((folder / *c.appData).string());
        EXPECT_FALSE(Log("Kel> Hi\r\n")) << c.what;
        EXPECT_TRUE(header) << c.what;
        EXPECT_EQ(GetLogFilePath(files, system), "") << c.what;
    }
    EXPECT_FALSE(fs::exists(folder / "missing"));
    EXPECT_FALSE(fs::exists(folder / "missing too"));
    EXPECT_FALSE(fs::exists(folder / "Mivlet"));
}

TEST_F(MessageLog, WindowsFolderThatIsNotThereSendsTheLogToLocalAppData) {
    system.SetWindowsDirectory((folder / "missing").string());
    ASSERT_TRUE(Log("Kel> Hi\r\n"));
    EXPECT_EQ(Contents(AppDataFile()), kMark + Block(kDate, "Kel> Hi\r\n"));
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST(GetAppDataLogFilePath, LocalAppDataFolderPlusMivletAndTheFileName) {
    const struct {
        std::optional<std::string> folder;
        const char* path;
    } cases[] = {
        {"C:\\Users\\Kel\\AppData\\Local", "C:\\Users\\Kel\\AppData\\Local\\Mivlet\\mivlet.log"},
        {"C:\\Users\\Kel\\AppData\\Local\\", "C:\\Users\\Kel\\AppData\\Local\\Mivlet\\mivlet.log"},
        {"", ""},
        {std::nullopt, ""},
    };
    CMemorySystem system;
    for (const auto& c : cases) {
        system.SetLocalAppDataFolder(c.folder);
        EXPECT_EQ(GetAppDataLogFilePath(system), c.path) << c.folder.value_or("(none)");
    }
}

TEST(GetWindowsLogFilePath, WindowsFolderNormalisedPlusTheFileName) {
    const struct {
        std::optional<std::string> folder;
        const char* path;
    } cases[] = {
        {"C:\\WINDOWS", "c:\\windows\\mivlet.log"},
        {"C:\\Windows\\", "c:\\windows\\mivlet.log"},
        {"C:\\", "c:\\mivlet.log"},
        {std::nullopt, ""},
    };
    CMemorySystem system;
    for (const auto& c : cases) {
        system.SetWindowsDirectory(c.folder);
        EXPECT_EQ(GetWindowsLogFilePath(system), c.path) << c.folder.value_or("(none)");
    }
}

}  // namespace

namespace {

// The header's date comes from the formatter, in the zone of the computer.
TEST(MakeLogDateText, FormatsTheMomentOfWriting) {
    const struct {
        std::uint32_t seconds;
        std::int32_t offset;
        const char* text;
    } cases[] = {
        {976117658, 0, "Wednesday, December 6, 2000 at 3:47:38 PM"},   // 41 characters: 41 asterisks
        {976117658, -8 * 3600, "Wednesday, December 6, 2000 at 7:47:38 AM"},
        {957744000, 0, "Monday, May 8, 2000 at 12:00:00 AM"},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeLogDateText(c.seconds, CFixedTimeZone(c.offset)), c.text);
    EXPECT_EQ(std::string(MakeLogDateText(976117658, CFixedTimeZone())).size(), 41u);
}

}  // namespace
