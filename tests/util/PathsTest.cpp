#include <gtest/gtest.h>

#include "util/Paths.h"

namespace {

TEST(NormalizePath, DropsOneTrailingBackslashAndLowersAsciiLetters) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\WINDOWS\\", "c:\\windows"},
        {"C:\\Program Files\\Mivlet\\Mivlet.EXE", "c:\\program files\\mivlet\\mivlet.exe"},
        {"\\\\Server\\Share\\\\", "\\\\server\\share\\"},  // only one
        {"\\", ""},
        {"", ""},
        {"D:\\\xC4RGER\\\xE9T\xC9", "d:\\\xC4rger\\\xE9t\xC9"},  // other bytes stay
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizePath(c.in), c.out) << c.in;
}

// An empty folder would stand for the root of the current drive, where the
// start-up would look for, and move, somebody else's "mivlet.ini".
TEST(FolderOf, GivesTheFolderOrNothingButNeverAnEmptyOne) {
    const struct {
        const char* path;
        std::optional<std::string> folder;
    } cases[] = {
        {"c:\\program files\\mivlet\\mivlet.exe", "c:\\program files\\mivlet"},
        {"c:\\mivlet.exe", "c:"},
        {"\\\\files\\share\\mivlet.exe", "\\\\files\\share"},
        {"", std::nullopt},  // what an unreadable module path used to be
        {"mivlet.exe", std::nullopt},
        {"\\mivlet.exe", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
}

}  // namespace
