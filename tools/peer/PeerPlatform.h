#pragma once
// What the command-line peer takes from the operating system it runs on.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <vector>

#include "platform/CodePage.h"
#include "platform/DatagramSocketApi.h"
#include "platform/Clock.h"

class CPeerPlatform {
public:
    virtual ~CPeerPlatform() = default;
    virtual CClock& Clock() = 0;
    virtual CDatagramSocketApi& Sockets() = 0;
    // The computer name as the system reports it; nothing when it cannot.
    virtual std::optional<std::string> ComputerName() = 0;
    virtual std::string LoginName() = 0;
    // Tells two processes apart when the clock cannot.
    virtual std::uint32_t ProcessId() = 0;
};

std::unique_ptr<CPeerPlatform> MakePeerPlatform();

// The program's arguments in UTF-8 (on Windows, from the wide command line,
// which holds what the ANSI one may not).
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Standard input and output carry UTF-8, a console too.
void UseUtf8Console();
// The code page of that number; nothing when the system has no tables for it.
std::unique_ptr<CCodePage> OpenCodePage(unsigned number);

// Ctrl+C and termination requests set a flag instead of ending the process,
// so that the peer can say goodbye to the others first.
void InstallStopHandler();
bool StopRequested();
