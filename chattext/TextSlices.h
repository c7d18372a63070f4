#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

// A long text cut into pieces of about `size` bytes for the history control,
// which wraps a paragraph in time that grows with its length times its lines
// when the paragraph is one run of text: pieces formatted apart keep each run
// short. Every piece ends just after an ASCII byte, so that no character is
// cut in two, in UTF-8 or in any code page (a lead byte is never ASCII); a
// stretch without one stays whole. A text of `size` bytes or fewer is one piece.
std::vector<std::string_view> TextSlices(std::string_view text, std::size_t size);
