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

}  // namespace
