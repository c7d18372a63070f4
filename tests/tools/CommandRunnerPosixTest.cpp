// The POSIX launcher with real programs.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tools/peer/CommandRunner.h"

namespace {

class CommandRunner : public ::testing::Test {
protected:
    CCommandOutcome Run(const std::vector<std::string>& arguments, const CEnvironment& environment = {},
                        const std::string& input = "", std::uint32_t timeoutMs = 5000, std::size_t maxOutput = 1000) {
        const auto program = launcher->FindProgram(arguments[0]);
        EXPECT_TRUE(program) << arguments[0];
        auto command = launcher->Start(program.value_or(arguments[0]), arguments, environment, input, timeoutMs,
                                       maxOutput);
        for (int i = 0; i < 2000; ++i) {
            if (auto outcome = command->Poll()) return *outcome;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ADD_FAILURE() << "never ended";
        return {};
    }

    std::unique_ptr<CCommandLauncher> launcher = MakeCommandLauncher();
};

TEST_F(CommandRunner, MessageReachesTheProgramAsDataNeverAsShellCode) {
    const std::string marker =
        (std::filesystem::temp_directory_path() / ("mivlet-injected-" + std::to_string(::getpid()))).string();
    const std::string text = "hi $(touch " + marker + ") `touch " + marker + "`; touch " + marker;
    CCommandOutcome outcome = Run({"printenv", "MIVLET_TEXT"}, {{"MIVLET_TEXT", text}});
    EXPECT_EQ(outcome.end, CCommandOutcome::EEnd::Exited);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.output, text + "\n");

    outcome = Run({"cat"}, {}, text + "\n");
    EXPECT_EQ(outcome.output, text + "\n");
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(CommandRunner, ExitCodesTimeOutsAndOutputBeyondTheLimit) {
    CCommandOutcome outcome = Run({"sh", "-c", "exit 3"});
    EXPECT_EQ(outcome.end, CCommandOutcome::EEnd::Exited);
    EXPECT_EQ(outcome.exitCode, 3);

    const auto start = std::chrono::steady_clock::now();
    outcome = Run({"sleep", "30"}, {}, "", 200);
    EXPECT_EQ(outcome.end, CCommandOutcome::EEnd::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // A command that writes far more than the limit is not left waiting on
    // a full pipe: it ends, and the output is cut.
    outcome = Run({"head", "-c", "1000000", "/dev/zero"});
    EXPECT_EQ(outcome.end, CCommandOutcome::EEnd::Exited);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.output.size(), 1000u);
    EXPECT_TRUE(outcome.cut);

    // One that never reads its input does no harm to this process.
    outcome = Run({"true"}, {}, std::string(60000, 'x'));
    EXPECT_EQ(outcome.exitCode, 0);
}

TEST_F(CommandRunner, ProgramsAreFoundOnlyWhereTheyAreAndRunnable) {
    EXPECT_TRUE(launcher->FindProgram("sh"));
    EXPECT_EQ(launcher->FindProgram("sh")->back(), 'h');
    EXPECT_FALSE(launcher->FindProgram("no-such-program-mivlet"));
    const std::string plain =
        (std::filesystem::temp_directory_path() / ("mivlet-plain-" + std::to_string(::getpid()))).string();
    { std::ofstream(plain) << "echo hi\n"; }
    std::filesystem::permissions(plain, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(launcher->FindProgram(plain)) << "not executable";
    std::filesystem::remove(plain);
    EXPECT_FALSE(launcher->FindProgram("/usr/bin")) << "a folder";
    EXPECT_FALSE(launcher->FindProgram(""));

    auto command = launcher->Start("/no/such/program", {"program"}, {}, "", 1000, 100);
    const auto outcome = command->Poll();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->end, CCommandOutcome::EEnd::CouldNotStart);
    EXPECT_EQ(outcome->error, "/no/such/program: No such file or directory");
}

}  // namespace
