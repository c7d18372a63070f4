#include "chattext/TextSlices.h"

namespace {

bool IsAscii(char byte) { return static_cast<unsigned char>(byte) < 0x80; }
bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// How far back from the end of a piece's room an ASCII byte is looked for.
constexpr std::size_t kAsciiReach = 32;

// The end of the piece that starts at `start`: after the last ASCII byte
// near the end of its room, else before the last character that starts in
// it. A piece always moves on by one byte at least, even over bytes that
// are no UTF-8.
std::size_t PieceEnd(std::string_view text, std::size_t start, std::size_t size) {
    if (text.size() - start <= size) return text.size();
    const std::size_t room = start + size;
    for (std::size_t end = room; end > start && room - end < kAsciiReach; --end)
        if (IsAscii(text[end - 1])) return end;
    for (std::size_t end = room; end > start; --end)
        if (!IsContinuation(text[end])) return end;
    return room;
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
