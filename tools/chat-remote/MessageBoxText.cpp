#include "tools/chat-remote/MessageBoxText.h"

#include <windows.h>

namespace {

// A message box keeps its text in a static control; its button and icon
// have shorter ones or none.
std::string LongestChildText(HWND box) {
    std::string longest;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char text[2048] = {};
        ::GetWindowTextA(child, text, sizeof text);
        if (std::string(text).size() > longest.size()) longest = text;
    }
    return longest;
}

}  // namespace

std::optional<std::string> FindMivletMessageBoxText() {
    struct CSearch {
        std::optional<std::string> text;
    } search;
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            char className[16] = {}, title[16] = {};
            ::GetClassNameA(window, className, sizeof className);
            ::GetWindowTextA(window, title, sizeof title);
            if (!::IsWindowVisible(window) || std::string(className) != "#32770" || std::string(title) != "Mivlet")
                return TRUE;
            // The chat window has its To: list; a message box has none.
            if (::FindWindowExA(window, nullptr, "ComboBox", nullptr)) return TRUE;
            reinterpret_cast<CSearch*>(data)->text = LongestChildText(window);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.text;
}
