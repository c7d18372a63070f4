#pragma once
// Running a program for the answering peer: started directly, never through
// a shell, with its input and environment given as data, its standard output
// collected up to a limit, and ended when its time is up.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct CCommandOutcome {
    enum class EEnd { Exited, TimedOut, CouldNotStart };
    EEnd end = EEnd::Exited;
    int exitCode = 0;    // Exited only; a command ended by a signal counts as 128 + its number
    std::string output;  // standard output, at most the limit
    bool cut = false;    // the command wrote more than the limit
    std::string error;   // CouldNotStart: why
};

// One started command. Poll often: it reads what the command wrote, so that
// the command never waits on a full pipe, and ends it once its time is up.
// Destroying a command that still runs kills it.
class CRunningCommand {
public:
    virtual ~CRunningCommand() = default;
    // The outcome once the command has ended, else nothing.
    virtual std::optional<CCommandOutcome> Poll() = 0;
};

using CEnvironment = std::vector<std::pair<std::string, std::string>>;

class CCommandLauncher {
public:
    virtual ~CCommandLauncher() = default;
    // The program that `name` runs: a path as it is, a bare name looked up
    // in PATH. Nothing when there is no such program.
    virtual std::optional<std::string> FindProgram(const std::string& name) = 0;
    // Starts `program` (as FindProgram gives it) with `arguments` (the first
    // one is the program's own name), this process's environment with
    // `environment` over it, and `input` on its standard input.
    virtual std::unique_ptr<CRunningCommand> Start(const std::string& program,
                                                   const std::vector<std::string>& arguments,
                                                   const CEnvironment& environment, const std::string& input,
                                                   std::uint32_t timeoutMs, std::size_t maxOutput) = 0;
};

// The launcher of the system the peer runs on; nothing where the peer
// cannot run commands.
std::unique_ptr<CCommandLauncher> MakeCommandLauncher();
