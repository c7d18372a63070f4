#pragma once
// What the side caption bar draws, without drawing it: the button caption
// without its mnemonic marks, and the colour bands of the gradient.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ColorRef.h"

struct CStrippedCaption {
    std::string text;
    // Index in `text` of the character to underline; -1 for none.
    int mnemonic = -1;
};

// "&&" stands for "&"; a single "&" marks the character after it (the last
// mark wins); a single "&" at the end becomes a space and is the marked one.
CStrippedCaption StripMnemonic(std::string_view caption);

// a * b / c rounded to the nearest integer (halves away from zero), as the
// system's MulDiv; -1 when c is 0 or the result does not fit.
int MulDivRounded(int a, int b, int c);

// Colour of gradient step `step` of `steps`, from `top` (step 0) towards
// `bottom`, each channel mixed on its own.
ColorRef GradientColor(ColorRef top, ColorRef bottom, int step, int steps);

struct CGradientBand {
    int top;     // first row
    int bottom;  // one past the last row
    int step;
};

// The non-empty bands of a gradient of `steps` steps over the rows
// [clientTop, clientTop + clientHeight) that cross the rows [updateTop,
// updateBottom).
std::vector<CGradientBand> GradientBands(int clientTop, int clientHeight, int updateTop, int updateBottom, int steps);

// The bar's measures in pixels at `dpi`, scaled from the ones it has at
// 96 dpi (100 %): its place in the chat window's client area, the caption
// font's height and the button's rectangle in the bar.
struct CCaptionBarMetrics {
    int left, top, width, bottomMargin;
    int fontHeight;
    int buttonLeft, buttonTop, buttonRight, buttonBottom;
};
inline constexpr CCaptionBarMetrics kCaptionBarMetricsAt96Dpi{4, 4, 20, 3, 12, 2, 4, 18, 49};
inline constexpr int kDefaultDpi = 96;
CCaptionBarMetrics CaptionBarMetrics(int dpi);
