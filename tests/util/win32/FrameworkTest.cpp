// The window framework's own rules: owners close each handle exactly once,
// and every message box gets an icon.

#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "util/win32/Handles.h"
#include "util/win32/MessageBox.h"

namespace {

std::vector<int> g_closed;

struct CCountingTraits {
    using Type = int;
    static Type Invalid() { return 0; }
    static void Close(Type handle) { g_closed.push_back(handle); }
};
using CCounted = CUniqueHandle<CCountingTraits>;

TEST(HandleOwner, ClosesEachHandleOnceThroughMovesAndResets) {
    g_closed.clear();
    {
        CCounted first(1);
        CCounted second(std::move(first));
        EXPECT_FALSE(first);
        CCounted third(3);
        third = std::move(second);  // 3 goes now, 1 lives on in `third`
        EXPECT_EQ(g_closed, std::vector<int>{3});
        third = std::move(third);   // self-move keeps the handle
        third.Reset(4);             // 1 goes
        EXPECT_EQ(third.Release(), 4);
    }
    EXPECT_EQ(g_closed, (std::vector<int>{3, 1}));  // 4 was released, not closed
}

TEST(HandleOwner, OwnsRealKernelHandles) {
    CHandle mutex(::CreateMutexA(nullptr, FALSE, nullptr));
    ASSERT_TRUE(mutex);
    const HANDLE raw = mutex.Get();
    CHandle moved(std::move(mutex));
    moved.Reset();
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));  // closed, once
}

TEST(ShowMessageBox, AddsTheExclamationIconOnlyWhenNoneIsNamed) {
    const struct {
        UINT style, shown;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_OKCANCEL | MB_DEFBUTTON2, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION},
        {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
        {MB_ICONSTOP, MB_ICONSTOP},
    };
    for (const auto& c : cases) EXPECT_EQ(AddDefaultIcon(c.style), c.shown) << c.style;
}

}  // namespace
