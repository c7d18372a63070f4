#pragma once
// The command line of mivlet-peer: options may come anywhere, the first
// other word is the command and the rest are its arguments; after "--" every
// word is an argument.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "messaging/UdpCarrier.h"

struct CPeerOptions {
    std::string command;
    std::vector<std::string> arguments;
    std::uint16_t port = kDefaultUdpPort;
    std::optional<std::string> user;
    unsigned codePage = 1252;  // of the text on the wire, as older copies write it
    double waitSeconds = 2.0;
    double timeoutSeconds = 10.0;
    bool broadcasts = false;
    bool json = false;
    bool hex = false;  // listen: every datagram's bytes too
    bool watch = false;
    bool help = false;
};

// Returns an error text, or nothing when the arguments are good. The
// arguments are UTF-8, as the whole program's text is.
std::optional<std::string> ParseArguments(int argc, char** argv, CPeerOptions& options);

// --wait and --timeout in milliseconds.
std::uint32_t WaitMs(const CPeerOptions& options);
std::uint32_t TimeoutMs(const CPeerOptions& options);
