#include "chattext/TextSlices.h"

namespace {

bool IsAscii(char byte) { return static_cast<unsigned char>(byte) < 0x80; }

// The end of the piece that starts at `start`: the last cut within `size`
// bytes, else the first one after them, else the end of the text.
std::size_t PieceEnd(std::string_view text, std::size_t start, std::size_t size) {
    if (text.size() - start <= size) return text.size();
    for (std::size_t end = start + size; end > start; --end)
        if (IsAscii(text[end - 1])) return end;
    for (std::size_t end = start + size + 1; end < text.size(); ++end)
        if (IsAscii(text[end - 1])) return end;
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
