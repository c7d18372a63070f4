// The read-me page as the program carries it: its title, the rule that
// colours links under the mouse, and the seven sections in their order.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadPage() {
    std::ifstream file(MIVLET_README_PATH, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(ReadMe, HasItsTitleHoverRuleAndSevenSectionsInOrder) {
    const std::string page = ReadPage();
    ASSERT_FALSE(page.empty()) << MIVLET_README_PATH;
    EXPECT_NE(page.find("<title>Mivlet Read Me</title>"), std::string::npos);
    EXPECT_NE(page.find("a:hover"), std::string::npos);

    std::size_t at = 0;
    for (const char* heading : {"Welcome", "Installation", "Sending and Receiving Messages", "Customizing",
                                "Tips and Tricks", "Using Hyperlinks", "Contact Information"}) {
        const std::size_t found = page.find(std::string("\">") + heading + "</h2>", at);
        ASSERT_NE(found, std::string::npos) << heading << " missing or out of order";
        at = found;
    }
    // Contact details of the example domains only.
    EXPECT_NE(page.find("mailto:support@pellandor.example"), std::string::npos);
    EXPECT_NE(page.find("https://www.pellandor.example/"), std::string::npos);
}

}  // namespace
