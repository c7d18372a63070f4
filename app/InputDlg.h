#pragma once
// Stand-in until the one-line input dialog is merged: the prompt counts as
// cancelled, so the login name is kept and stored.
#include <windows.h>
#include <string>
inline bool InputBox(const std::string&, const std::string&, std::string&, const std::string&, int, bool, HWND = nullptr) { return false; }
