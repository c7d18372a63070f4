// Runs a fuzz target once over each file named on the command line (a folder
// stands for every file in it), without libFuzzer, so that the corpus can be
// replayed by any compiler's sanitizers. Prints the number of files run; a
// file that breaks an invariant aborts the program.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/FuzzInput.h"

namespace {

std::vector<std::filesystem::path> InputFiles(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            std::vector<std::filesystem::path> inFolder;
            for (const auto& entry : std::filesystem::directory_iterator(path, error))
                if (entry.is_regular_file()) inFolder.push_back(entry.path());
            std::sort(inFolder.begin(), inFolder.end());
            files.insert(files.end(), inFolder.begin(), inFolder.end());
        } else {
            files.push_back(path);
        }
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    for (const std::filesystem::path& file : InputFiles(argc, argv)) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
            return 2;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "replay %s\n", file.string().c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    std::printf("replayed %d files\n", replayed);
    return 0;
}
