#include "calculator/frame_layout.h"

#include <algorithm>
#include <cmath>

#include "uikit/ui_font.h"

namespace pq::calc {

namespace {

QRect fromEdges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

QSize FrameLayout::clientSize(int s) { return QSize(240 * s, 269 * s); }

FrameLayout::FrameLayout(int w, int s, int h) : scale(s), width(w), height(h > 0 ? h : 269 * s) {
    // x(n) and y(n) are n·s at the base size.
    const double across = w / 240.0;
    const double down = height / 269.0;
    auto x = [&](int n) { return static_cast<int>(std::lround(n * across)); };
    auto y = [&](int n) { return static_cast<int>(std::lround(n * down)); };
    fontScale = std::max(1.0, std::min(across, down) / s);

    mainDisplay = fromEdges(x(5), y(8), w - x(9), y(38));
    mainDisplayBox = fromEdges(x(5), y(6), w - x(5), y(38));
    functionName = QRect(x(5), y(48), w / 2 - x(5), y(18));
    functionResult = fromEdges(w / 2, y(44), w - x(7), y(65));
    standardKeypad = fromEdges(-x(1), y(70), w + x(1), height);
    expressionEdit = fromEdges(-x(1), y(70), w + x(1), y(133));
    baseButton = fromEdges(x(5), y(46), x(45), y(64));
    angleButton = fromEdges(x(49), y(46), x(89), y(64));
    clearEntryButton = fromEdges(w - x(121), y(46), w - x(91), y(64));
    clearButton = fromEdges(w - x(87), y(46), w - x(47), y(64));
    evaluateButton = fromEdges(w - x(43), y(46), w - x(5), y(64));
    functionKeypad = fromEdges(-1, y(132), w + 1, y(189));
    characterKeypad = fromEdges(-1, y(188), w + 1, height);
    backgroundHeight = y(70);
}

QFont ScaledUiFont(int size, double fontScale) {
    QFont font = ui::CreateUiFont(size, false);
    if (fontScale > 1.0)
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * fontScale))));
    return font;
}

} // namespace pq::calc
