#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chattext/TextSlices.h"

namespace {

std::vector<std::string> Pieces(const std::string& text, std::size_t size) {
    std::vector<std::string> pieces;
    for (std::string_view piece : TextSlices(text, size)) pieces.emplace_back(piece);
    return pieces;
}

}  // namespace

TEST(TextSlices, CutsOnlyAfterAnAsciiByte) {
    const std::string cyrillic = "\xD0\xBF\xD1\x80\xD0\xB8";  // three letters in UTF-8
    struct CCase {
        const char* what;
        std::string text;
        std::size_t size;
        std::vector<std::string> pieces;
    };
    const CCase cases[] = {
        {"short text is one piece", "hello", 8, {"hello"}},
        {"exactly the size", "abcd", 4, {"abcd"}},
        {"empty text", "", 4, {""}},
        {"ASCII at the size", "abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"a character across the cut goes to the next piece", "ab" + cyrillic, 4, {"ab", cyrillic}},
        {"a DBCS pair is never split: its lead byte is not ASCII", "abc\x82\xA0xy", 4, {"abc", "\x82\xA0xy"}},
        {"no ASCII within the size: the piece runs on to the next one", cyrillic + "x" + cyrillic, 4,
         {cyrillic + "x", cyrillic}},
        {"no ASCII at all stays whole", cyrillic + cyrillic, 4, {cyrillic + cyrillic}},
    };
    for (const CCase& c : cases) EXPECT_EQ(Pieces(c.text, c.size), c.pieces) << c.what;
}

TEST(TextSlices, PiecesJoinToTheText) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += (i % 7 == 0) ? "\xE2\x82\xAC" : "word ";
    std::string joined;
    for (std::string_view piece : TextSlices(text, 512)) {
        EXPECT_LE(piece.size(), 512u);
        joined += piece;
    }
    EXPECT_EQ(joined, text);
}
