#include "chattext/TextSlices.h"

namespace {

constexpr std::size_t kMaxBytesPerCharacter = 4;

bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// The end of the piece that starts at `start`: where its `size`+1st
// character starts, or the end of the text.
std::size_t PieceEnd(std::string_view text, std::size_t start, std::size_t size) {
    const std::size_t most = start + size * kMaxBytesPerCharacter;
    std::size_t characters = 0;
    for (std::size_t at = start; at < text.size(); ++at) {
        if (at >= most) return at;
        if (StartsCharacter(text[at]) && characters++ == size) return at;
    }
    return text.size();
}

}  // namespace

std::vector<std::string_view> TextSlices(std::string_view text, std::size_t size) {
    std::vector<std::string_view> pieces;
    if (size == 0) size = 1;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = PieceEnd(text, start, size);
        pieces.push_back(text.substr(start, end - start));
        start = end;
    }
    if (pieces.empty()) pieces.push_back(text);
    return pieces;
}
