// The ASCII-only white-space rules: the six C-locale characters and nothing
// else, in particular no byte of a multi-byte character.

#include <gtest/gtest.h>

#include <string>

#include "util/AsciiText.h"

namespace {

TEST(AsciiText, TrimsTheSixWhiteSpaceCharactersAtBothEndsOnly) {
    const struct {
        std::string text, trimmed;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"\t \r\n", ""},
        {"\v\f", ""},
        {" a ", "a"},
        {"\tAnn Lee\r\n", "Ann Lee"},
        {"a \t b", "a \t b"},                  // inside stays
        {"\xA0Kel\xA0", "\xA0Kel\xA0"},        // a no-break space is no ASCII space
        {std::string("\0a\0", 3), std::string("\0a\0", 3)},
        {"\x1F" "a", "\x1F" "a"},              // just below TAB
        {"a\x0E", "a\x0E"},                    // just above CR
    };
    for (const auto& c : cases) EXPECT_EQ(TrimAsciiSpace(c.text), c.trimmed) << '"' << c.text << '"';
}

TEST(AsciiText, ReplacesEachTabByOneSpaceAndTellsWhetherThereWasAny) {
    const struct {
        std::string text, replaced;
        bool any;
    } cases[] = {
        {"", "", false},
        {"Ann Lee", "Ann Lee", false},
        {"\t", " ", true},
        {"a\t\tb\t", "a  b ", true},
        {"\v\f\r\n", "\v\f\r\n", false},  // only tabs
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(ReplaceTabsWithSpaces(text), c.any) << '"' << c.text << '"';
        EXPECT_EQ(text, c.replaced) << '"' << c.text << '"';
    }
}

}  // namespace
