// mivlet-peer's command line, any words in any order. Checks that what the
// parser accepts is what the commands can use: a port that can be bound and
// a wait and a time-out that fit the clock.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "tools/peer/PeerArguments.h"

// Input: the words of the command line after the program's name, each
// ended by a zero byte (the last one by the end of the input).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    std::vector<std::string> words = {"mivlet-peer"};
    while (!input.Empty()) words.push_back(input.Field('\0'));
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    CPeerOptions options;
    const auto error = ParseArguments(static_cast<int>(words.size()), argv.data(), options);
    if (error) {
        FUZZ_CHECK(!error->empty());
        return 0;
    }
    FUZZ_CHECK(options.port >= 1);
    FUZZ_CHECK(options.waitSeconds >= 0 && options.waitSeconds <= 3600);
    FUZZ_CHECK(options.timeoutSeconds >= 0 && options.timeoutSeconds <= 3600);
    FUZZ_CHECK(WaitMs(options) <= 3600u * 1000u && TimeoutMs(options) <= 3600u * 1000u);
    return 0;
}
