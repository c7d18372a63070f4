#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/peer/PeerArguments.h"

namespace {

struct CParsed {
    bool good;
    CPeerOptions options;
};

CParsed Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "mivlet-peer");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    CParsed parsed;
    parsed.good = !ParseArguments(static_cast<int>(words.size()), argv.data(), parsed.options);
    return parsed;
}

TEST(PeerArguments, WaitAndPortTakeOnlyNumbersTheyCanUse) {
    const struct {
        const char* option;
        const char* value;
        bool good;
    } cases[] = {
        {"--wait", "0.5", true},  {"--wait", "0", true},     {"--wait", "3600", true},
        {"--wait", "3600.5", false}, {"--wait", "-1", false}, {"--wait", "", false},
        {"--wait", "nan", false}, {"--wait", "NAN", false},  {"--wait", "-nan", false},
        {"--wait", "inf", false}, {"--wait", "2s", false},   {"--port", "1", true},
        {"--port", "65535", true}, {"--port", "0", false},   {"--port", "65536", false},
        {"--port", "", false},    {"--port", "80x", false},  {"--timeout", "5", true},
        {"--timeout", "nan", false}, {"--timeout", "", false},
    };
    for (const auto& c : cases) {
        const CParsed parsed = Parse({"who", c.option, c.value});
        EXPECT_EQ(parsed.good, c.good) << c.option << " " << c.value;
        if (parsed.good) {
            EXPECT_LE(WaitMs(parsed.options), 3600u * 1000u) << c.value;
            EXPECT_LE(TimeoutMs(parsed.options), 3600u * 1000u) << c.value;
        }
    }
}

TEST(PeerArguments, OptionsMayStandAnywhere) {
    const CParsed parsed = Parse({"--port", "46465", "send", "--user", "kel", "*", "hello", "--json"});
    ASSERT_TRUE(parsed.good);
    EXPECT_EQ(parsed.options.command, "send");
    EXPECT_EQ(parsed.options.arguments, (std::vector<std::string>{"*", "hello"}));
    EXPECT_EQ(parsed.options.port, 46465);
    EXPECT_EQ(parsed.options.user, "kel");
    EXPECT_TRUE(parsed.options.json);
    // After "--" the words are the command line of the program to run.
    const CParsed answer = Parse({"answer", "--broadcasts", "--", "grep", "--json", "-i"});
    ASSERT_TRUE(answer.good);
    EXPECT_EQ(answer.options.arguments, (std::vector<std::string>{"grep", "--json", "-i"}));
    EXPECT_TRUE(answer.options.broadcasts);
    EXPECT_FALSE(answer.options.json);
    EXPECT_FALSE(Parse({"who", "--wait"}).good);
    EXPECT_FALSE(Parse({"--frobnicate", "listen"}).good);
}

}  // namespace
