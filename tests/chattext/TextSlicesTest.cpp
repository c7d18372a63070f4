#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chattext/TextSlices.h"
#include "util/Utf8Text.h"

namespace {

std::vector<std::string> Pieces(const std::string& text, std::size_t size) {
    std::vector<std::string> pieces;
    for (std::string_view piece : TextSlices(text, size)) pieces.emplace_back(piece);
    return pieces;
}

const std::string kCyrillic = "\xD0\xBF\xD1\x80\xD0\xB8";  // three letters
const std::string kEmoji = "\xF0\x9F\x98\x80";              // one character of four bytes

}  // namespace

TEST(TextSlices, CutsBetweenCharactersAtTheSizeInCharacters) {
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
        {"ASCII", "abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"letters of two bytes count as one", "ab" + kCyrillic, 4, {"ab" + kCyrillic.substr(0, 4), kCyrillic.substr(4)}},
        {"a four-byte character is never split", kEmoji + kEmoji + "x", 1, {kEmoji, kEmoji, "x"}},
        {"bytes that are no UTF-8 still move on", "\x80\x80\x80\x80\x80", 1, {"\x80\x80\x80\x80", "\x80"}},
    };
    for (const CCase& c : cases) EXPECT_EQ(Pieces(c.text, c.size), c.pieces) << c.what;
}

// A text of the longest a computer can send, with and without spaces: no
// piece over its room, however the text is made, and nothing lost.
TEST(TextSlices, PiecesKeepToTheirRoomAndJoinToTheText) {
    for (const std::string& unit : {std::string("word "), kCyrillic, kCyrillic + " " + kEmoji}) {
        std::string text;
        while (text.size() < 20480) text += unit;
        std::string joined;
        for (std::string_view piece : TextSlices(text, 512)) {
            EXPECT_LE(CountUtf8Characters(piece), 512u);
            joined += piece;
        }
        EXPECT_EQ(joined, text);
    }
}
