#include "app/OptionsContext.h"

#include <shellapi.h>

#include "util/win32/MessageBox.h"

bool COptionsUi::ChooseColor(CHOOSECOLORA& choice) { return ::ChooseColorA(&choice) != FALSE; }

bool COptionsUi::ChooseFont(CHOOSEFONTA& choice) { return ::ChooseFontA(&choice) != FALSE; }

bool COptionsUi::ShellOpen(const std::string& file, const std::string& parameters) {
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteA(
        nullptr, nullptr, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOW));
    return result > 32;
}

int COptionsUi::ShowMessage(HWND window, const std::string& text, UINT style) {
    return ShowMessageBox(window, text, style);
}
