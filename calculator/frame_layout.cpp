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
    scientificArea = fromEdges(0, 70 * s, w, 269 * s);
    backgroundHeight = 70 * s;
}

} // namespace pq::calc
