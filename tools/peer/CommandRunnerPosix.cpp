#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>

#include "tools/peer/CommandRunner.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A file descriptor that is closed when it goes.
class CFd {
public:
    CFd() = default;
    explicit CFd(int fd) : m_fd(fd) {}
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    CFd(CFd&& other) noexcept : m_fd(other.Release()) {}
    CFd& operator=(CFd&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~CFd() { Reset(); }
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd = -1) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

bool MakePipe(CFd& readEnd, CFd& writeEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    readEnd.Reset(fds[0]);
    writeEnd.Reset(fds[1]);
    return true;
}

bool IsProgram(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

class CPosixRunningCommand final : public CRunningCommand {
public:
    CPosixRunningCommand(pid_t pid, CFd output, std::uint32_t timeoutMs, std::size_t maxOutput)
        : m_pid(pid),
          m_output(std::move(output)),
          m_deadline(Clock::now() + std::chrono::milliseconds(timeoutMs)),
          m_maxOutput(maxOutput) {}
    ~CPosixRunningCommand() override {
        if (m_pid > 0) Kill();
    }

    std::optional<CCommandOutcome> Poll() override {
        Drain();
        if (m_pid <= 0) return m_outcome;
        int status = 0;
        const pid_t ended = ::waitpid(m_pid, &status, WNOHANG);
        if (ended == m_pid) {
            m_pid = -1;
            // What the command wrote before it ended is still in the pipe,
            // unless a child of its own holds the pipe open: read what is
            // there, and no more.
            Drain();
            m_outcome.end = CCommandOutcome::EEnd::Exited;
            m_outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return m_outcome;
        }
        if (Clock::now() >= m_deadline) {
            Kill();
            m_outcome.end = CCommandOutcome::EEnd::TimedOut;
            return m_outcome;
        }
        return std::nullopt;
    }

private:
    void Drain() {
        if (m_output.Get() < 0) return;
        char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(m_output.Get(), buffer, sizeof buffer);
            if (got > 0) {
                const std::size_t room = m_maxOutput - m_outcome.output.size();
                m_outcome.output.append(buffer, std::min<std::size_t>(room, static_cast<std::size_t>(got)));
                if (static_cast<std::size_t>(got) > room) m_outcome.cut = true;
                continue;
            }
            if (got == 0) m_output.Reset();  // the command closed its output
            return;                          // EAGAIN: nothing more for now
        }
    }
    void Kill() {
        // The command leads a process group of its own: what it started goes too.
        ::kill(-m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    pid_t m_pid;
    CFd m_output;
    Clock::time_point m_deadline;
    std::size_t m_maxOutput;
    CCommandOutcome m_outcome;
};

class CPosixCommandLauncher final : public CCommandLauncher {
public:
    CPosixCommandLauncher() {
        // A command that ends without reading its input must not take the
        // peer with it.
        ::signal(SIGPIPE, SIG_IGN);
    }

    std::optional<std::string> FindProgram(const std::string& name) override {
        if (name.empty()) return std::nullopt;
        if (name.find('/') != std::string::npos) return IsProgram(name) ? std::optional<std::string>(name) : std::nullopt;
        const char* path = std::getenv("PATH");
        std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = folders.find(':', start);
            std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (folder.empty()) folder = ".";
            const std::string candidate = folder + "/" + name;
            if (IsProgram(candidate)) return candidate;
            if (end == std::string::npos) return std::nullopt;
            start = end + 1;
        }
    }

    std::unique_ptr<CRunningCommand> Start(const std::string& program, const std::vector<std::string>& arguments,
                                           const CEnvironment& environment, const std::string& input,
                                           std::uint32_t timeoutMs, std::size_t maxOutput) override {
        // Everything the child needs is made before the fork.
        std::map<std::string, std::string> variables;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            const std::size_t equals = text.find('=');
            if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
        for (const auto& [name, value] : environment) variables[name] = value;
        std::vector<std::string> envText;
        for (const auto& [name, value] : variables) envText.push_back(name + "=" + value);
        std::vector<char*> envp, argv;
        for (std::string& text : envText) envp.push_back(text.data());
        envp.push_back(nullptr);
        std::vector<std::string> args = arguments;
        if (args.empty()) args.push_back(program);
        for (std::string& text : args) argv.push_back(text.data());
        argv.push_back(nullptr);

        CFd inRead, inWrite, outRead, outWrite, errRead, errWrite;
        if (!MakePipe(inRead, inWrite) || !MakePipe(outRead, outWrite) || !MakePipe(errRead, errWrite))
            return Failed(std::string("no pipe: ") + std::strerror(errno));
        const pid_t pid = ::fork();
        if (pid < 0) return Failed(std::string("fork failed: ") + std::strerror(errno));
        if (pid == 0) {
            ::setpgid(0, 0);
            ::signal(SIGPIPE, SIG_DFL);
            ::dup2(inRead.Get(), STDIN_FILENO);
            ::dup2(outWrite.Get(), STDOUT_FILENO);
            ::execve(program.c_str(), argv.data(), envp.data());
            const int error = errno;
            (void)!::write(errWrite.Get(), &error, sizeof error);
            ::_exit(127);
        }
        ::setpgid(pid, pid);
        inRead.Reset();
        outWrite.Reset();
        errWrite.Reset();

        // The exec either happens, closing the error pipe, or reports why not.
        int error = 0;
        ssize_t got;
        do got = ::read(errRead.Get(), &error, sizeof error);
        while (got < 0 && errno == EINTR);
        if (got == sizeof error) {
            ::waitpid(pid, nullptr, 0);
            return Failed(program + ": " + std::strerror(error));
        }

        // A message is far smaller than a pipe holds, so this write does not
        // wait on a command that reads nothing; one that has ended already
        // gives EPIPE, which is its own business.
        ::fcntl(inWrite.Get(), F_SETFL, O_NONBLOCK);
        (void)!::write(inWrite.Get(), input.data(), input.size());
        inWrite.Reset();
        ::fcntl(outRead.Get(), F_SETFL, O_NONBLOCK);
        return std::make_unique<CPosixRunningCommand>(pid, std::move(outRead), timeoutMs, maxOutput);
    }

private:
    // A command that never started, reported by its first Poll.
    class CNotStarted final : public CRunningCommand {
    public:
        explicit CNotStarted(std::string error) { m_outcome.end = CCommandOutcome::EEnd::CouldNotStart, m_outcome.error = std::move(error); }
        std::optional<CCommandOutcome> Poll() override { return m_outcome; }

    private:
        CCommandOutcome m_outcome;
    };
    static std::unique_ptr<CRunningCommand> Failed(std::string error) {
        return std::make_unique<CNotStarted>(std::move(error));
    }
};

}  // namespace

std::unique_ptr<CCommandLauncher> MakeCommandLauncher() { return std::make_unique<CPosixCommandLauncher>(); }
