#include "calculator/frame_layout.h"

namespace pq::calc {

namespace {

QRect fromEdges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

QSize FrameLayout::clientSize(int s) { return QSize(240 * s, 269 * s); }

FrameLayout::FrameLayout(int w, int s) : scale(s), width(w) {
    mainDisplay = fromEdges(5 * s, 8 * s, w - 9 * s, 38 * s);
    mainDisplayBox = fromEdges(5 * s, 6 * s, w - 5 * s, 38 * s);
    functionName = QRect(5 * s, 48 * s, w / 2 - 5 * s, 18 * s);
    functionResult = fromEdges(w / 2, 44 * s, w - 7 * s, 65 * s);
    standardKeypad = fromEdges(-s, 70 * s, 240 * s + s, 269 * s);
    expressionEdit = fromEdges(-s, 70 * s, 241 * s, 133 * s);
    baseButton = fromEdges(5 * s, 46 * s, 45 * s, 64 * s);
    angleButton = fromEdges(49 * s, 46 * s, 89 * s, 64 * s);
    clearEntryButton = fromEdges(w - 121 * s, 46 * s, w - 91 * s, 64 * s);
    clearButton = fromEdges(w - 87 * s, 46 * s, w - 47 * s, 64 * s);
    evaluateButton = fromEdges(w - 43 * s, 46 * s, w - 5 * s, 64 * s);
    functionKeypad = fromEdges(-1, 132 * s, 240 * s + 1, 189 * s);
    characterKeypad = fromEdges(-1, 188 * s, 240 * s + 1, 269 * s);
    backgroundHeight = 70 * s;
}

} // namespace pq::calc
