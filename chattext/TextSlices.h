#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

// A long text cut into pieces of at most `size` bytes for the history
// control, which wraps a paragraph in time that grows with its length times
// its lines when the paragraph is one run of text: pieces formatted apart
// keep each run short. The text is UTF-8 and a piece ends between two
// characters, after a space or other ASCII byte where there is one near
// the end of its room. A text of `size` bytes or fewer is one piece.
std::vector<std::string_view> TextSlices(std::string_view text, std::size_t size);
