// Libraries from System32 only: a DLL beside the program is not found by
// name once the search is limited, and the system's libraries still are.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/SystemLibraries.h"
#include "util/AsciiText.h"

namespace {

std::string ModuleFolder(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path, length);
    return LowerAscii(folder.substr(0, folder.find_last_of('\\')));
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    return LowerAscii(std::string(path, length));
}

TEST(SystemLibraries, OnlySystem32IsSearched) {
    const std::string probe = ModuleFolder(nullptr) + "\\search_probe.dll";
    ASSERT_NE(::GetFileAttributesA(probe.c_str()), INVALID_FILE_ATTRIBUTES) << "built beside the tests";

    EXPECT_TRUE(LimitLibrarySearchToSystem());
    EXPECT_EQ(::LoadLibraryA("search_probe.dll"), nullptr) << "found in the program's folder";
    EXPECT_EQ(LoadSystemLibrary("search_probe.dll"), nullptr);

    // Named by its whole path it still loads: the limit is on the search.
    const HMODULE named = ::LoadLibraryA(probe.c_str());
    ASSERT_NE(named, nullptr);
    ::FreeLibrary(named);

    for (const char* name : {"RICHED20.DLL", "RICHED32.DLL", "iphlpapi.dll"}) {
        const HMODULE module = LoadSystemLibrary(name);
        ASSERT_NE(module, nullptr) << name;
        EXPECT_EQ(ModuleFolder(module), SystemFolder()) << name;
        ::FreeLibrary(module);
    }
}

}  // namespace
