#include "tools/peer/PeerArguments.h"

#include <cstdlib>

namespace {

// Windows numbers its code pages from 37 to 65001.
std::optional<unsigned> ParseCodePage(const std::string& text) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || number < 1 || number > 65535) return std::nullopt;
    return static_cast<unsigned>(number);
}

}  // namespace

std::optional<std::string> ParseArguments(int argc, char** argv, CPeerOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            // The rest is a command line of its own, options and all.
            for (++i; i < argc; ++i) options.arguments.push_back(argv[i]);
            break;
        }
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--hex") {
            options.hex = true;
        } else if (arg == "--watch") {
            options.watch = true;
        } else if (arg == "--broadcasts") {
            options.broadcasts = true;
        } else if (arg == "--codepage") {
            const auto v = value();
            if (!v) return arg + " needs a value";
            if (const auto number = ParseCodePage(*v)) {
                options.codePage = *number;
            } else {
                return "not a code page number: " + *v;
            }
        } else if (arg == "--port" || arg == "--user" || arg == "--wait" || arg == "--timeout") {
            const auto v = value();
            if (!v) return arg + " needs a value";
            if (arg == "--user") {
                options.user = *v;
            } else if (arg == "--port") {
                char* end = nullptr;
                const long port = std::strtol(v->c_str(), &end, 10);
                if (*end || port < 1 || port > 65535) return "not a port: " + *v;
                options.port = static_cast<std::uint16_t>(port);
            } else {
                char* end = nullptr;
                double& seconds = arg == "--wait" ? options.waitSeconds : options.timeoutSeconds;
                seconds = std::strtod(v->c_str(), &end);
                // Written so that "nan", which compares false with anything,
                // fails too.
                const bool inRange = seconds >= 0 && seconds <= 3600;
                if (end == v->c_str() || *end || !inRange) return "not a number of seconds: " + *v;
            }
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            return "unknown option " + arg;
        } else if (options.command.empty()) {
            options.command = arg;
        } else {
            options.arguments.push_back(arg);
        }
    }
    return std::nullopt;
}

std::uint32_t WaitMs(const CPeerOptions& options) { return static_cast<std::uint32_t>(options.waitSeconds * 1000); }

std::uint32_t TimeoutMs(const CPeerOptions& options) {
    return static_cast<std::uint32_t>(options.timeoutSeconds * 1000);
}
