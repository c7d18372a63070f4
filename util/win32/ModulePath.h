#pragma once
// The program's own executable path, normalised (lower case, no trailing
// backslash); empty when the system does not tell it.

#include <string>

std::string GetModulePath();
