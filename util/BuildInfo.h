#pragma once
// What this build says about itself, wherever it is shown or sent: the
// version of resources/Version.h (which the version resource carries too)
// with its release date, and the day of the build.

#include <string>

struct CBuildInfo {
    std::string date;     // "Dec 12 2000", the compiler's __DATE__ form
    std::string version;  // "1.0.0"
    std::string releaseDate;  // "Dec 11 2026", set with the version
};

CBuildInfo ThisBuild();
