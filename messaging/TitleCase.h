#pragma once
#include <string>

// Upper-cases the first ASCII letter of every run of letters and lower-cases
// the rest; bytes that are not ASCII letters start a new word and stay as
// they are ("OFFICE-PC" -> "Office-Pc", "LAB_07A" -> "Lab_07A").
void MakeTitleCase(std::string& text);
