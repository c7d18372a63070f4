#include "messaging/TitleCase.h"

#include "util/AsciiText.h"

void MakeTitleCase(std::string& text) {
    bool wordStart = true;
    for (char& c : text) {
        c = wordStart ? AsciiToUpper(c) : AsciiToLower(c);
        wordStart = !IsAsciiLetter(c);
    }
}
