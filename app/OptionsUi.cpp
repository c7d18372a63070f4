#include "app/OptionsContext.h"

#include <shellapi.h>

#include "util/win32/MessageBox.h"
#include "util/win32/WideText.h"

bool COptionsUi::ChooseColor(CHOOSECOLORW& choice) { return ::ChooseColorW(&choice) != FALSE; }

bool COptionsUi::ChooseFont(CHOOSEFONTW& choice) { return ::ChooseFontW(&choice) != FALSE; }

bool COptionsUi::ShellOpen(const std::string& file, const std::string& parameters) {
    const std::wstring wideParameters = Widen(parameters);
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, nullptr, Widen(file).c_str(), parameters.empty() ? nullptr : wideParameters.c_str(), nullptr, SW_SHOW));
    return result > 32;
}

int COptionsUi::ShowMessage(HWND window, const std::string& text, UINT style) {
    return ShowMessageBox(window, text, style);
}
