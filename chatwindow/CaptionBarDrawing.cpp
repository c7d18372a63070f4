#include "chatwindow/CaptionBarDrawing.h"

#include <algorithm>
#include <cstdint>
#include <limits>

CStrippedCaption StripMnemonic(std::string_view caption) {
    CStrippedCaption stripped;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            stripped.text += caption[i];
        } else if (i + 1 == caption.size()) {
            stripped.mnemonic = static_cast<int>(stripped.text.size());
            stripped.text += ' ';
        } else if (caption[i + 1] == '&') {
            stripped.text += '&';
            ++i;
        } else {
            stripped.mnemonic = static_cast<int>(stripped.text.size());
            stripped.text += caption[++i];
        }
    }
    return stripped;
}

int MulDivRounded(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t divisor = c;
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    const std::int64_t half = divisor / 2;
    const std::int64_t result = product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(result);
}

ColorRef GradientColor(ColorRef top, ColorRef bottom, int step, int steps) {
    ColorRef color = 0;
    for (int shift : {0, 8, 16}) {
        const int from = static_cast<int>((top >> shift) & 0xFF);
        const int to = static_cast<int>((bottom >> shift) & 0xFF);
        const int mixed = MulDivRounded(from, steps - step, steps) + MulDivRounded(to, step, steps);
        color |= static_cast<ColorRef>(mixed & 0xFF) << shift;
    }
    return color;
}

std::vector<CGradientBand> GradientBands(int clientTop, int clientHeight, int updateTop, int updateBottom, int steps) {
    std::vector<CGradientBand> bands;
    int top = clientTop;
    for (int step = 0; step < steps; ++step) {
        const int bottom = MulDivRounded(clientHeight, step + 1, steps) + clientTop;
        if (top >= updateBottom) break;
        if (bottom > updateTop && bottom > top) bands.push_back({top, bottom, step});
        top = bottom;
    }
    return bands;
}

CCaptionBarMetrics CaptionBarMetrics(int dpi) {
    if (dpi <= 0) dpi = kDefaultDpi;
    const auto scale = [dpi](int pixels) { return std::max(0, MulDivRounded(pixels, dpi, kDefaultDpi)); };
    const CCaptionBarMetrics& m = kCaptionBarMetricsAt96Dpi;
    return {scale(m.left),       scale(m.top),       scale(m.width),       scale(m.bottomMargin), scale(m.fontHeight),
            scale(m.buttonLeft), scale(m.buttonTop), scale(m.buttonRight), scale(m.buttonBottom)};
}
