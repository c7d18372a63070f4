#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

// A long text cut into pieces of at most `size` characters for the history
// control, which wraps a paragraph in time that grows with its length times
// its lines when the paragraph is one run of text: pieces formatted apart
// keep each run short. Counted in characters, so that a text in any script
// makes as many pieces as it takes room in the control. The text is UTF-8
// and a piece ends between two characters; bytes that are no UTF-8 (which
// the receive path never lets through) still move on, four to a character.
// A text of `size` characters or fewer is one piece.
std::vector<std::string_view> TextSlices(std::string_view text, std::size_t size);
