// The legacy settings file read by our own reader and by the system's
// profile functions gives the same values, in the cases where a simple
// reader goes wrong: a UTF-16 file, blanks inside a section's brackets,
// mixed line ends, an empty key name.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "settings/LegacyProfile.h"

namespace {

using namespace std::string_literals;

std::string Utf16(std::string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char c : text) bytes += std::string{c, '\0'};
    return bytes;
}

std::string TempFile(const std::string& bytes) {
    char folder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    ::GetTempPathA(sizeof folder, folder);
    ::GetTempFileNameA(folder, "ini", 0, path);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(Win32Profile, OurReaderGivesWhatTheSystemsProfileFunctionsGive) {
    const struct {
        const char* what;
        std::string file;
        const char* section;
        const char* key;
    } cases[] = {
        {"UTF-16 file", Utf16("[Names]\r\n1=Ann Example\r\n[User-Ann Example]\r\nPlaySnd=1\r\n"), "Names", "1"},
        {"UTF-16 file, second section", Utf16("[Names]\r\n1=Ann\r\n[User-Ann]\r\nPlaySnd=1\r\n"), "User-Ann",
         "PlaySnd"},
        {"blanks inside the brackets", "[ Names ]\r\n1=Kel\r\n", "Names", "1"},
        {"mixed line ends", "[Main]\r\nCurrentUser=2\rOther=3\n[Names]\r2=Bo\n", "Names", "2"},
        {"mixed line ends, a key after a lone CR", "[Main]\r\nA=1\rCurrentUser=2\n", "Main", "CurrentUser"},
        {"an empty key name", "[Names]\r\n=Nobody\r\n1=Kel\r\n", "Names", ""},
        {"plain", "[Main]\r\nCurrentUser=2\r\n", "Main", "CurrentUser"},
        {"quotes", "[S]\r\nK=\"Ann\"\r\n", "S", "K"},
    };
    for (const auto& c : cases) {
        const std::string path = TempFile(c.file);
        char system[100] = {};
        ::GetPrivateProfileStringA(c.section, c.key, "(none)", system, sizeof system, path.c_str());
        const int systemNumber = static_cast<int>(::GetPrivateProfileIntA(c.section, c.key, -7, path.c_str()));
        const CLegacyProfile ours = CLegacyProfile::ReadFile(path);
        EXPECT_EQ(ours.GetString(c.section, c.key, "(none)", sizeof system), system) << c.what;
        EXPECT_EQ(ours.GetInt(c.section, c.key, -7), systemNumber) << c.what;
        ::DeleteFileA(path.c_str());
    }
}

}  // namespace
