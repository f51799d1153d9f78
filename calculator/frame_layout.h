#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace pq::calc {

// Where the parts of the main window's client area go, for a client width
// and a display scale s. The layout is made for 240·s × 269·s; a larger
// client area stretches every part with it, across by width / 240 and down
// by height / 269, and `fontScale` tells how much larger the texts get.
struct FrameLayout {
    // clientHeight 0: 269·s.
    FrameLayout(int clientWidth, int scale, int clientHeight = 0);

    // The client area the layout is made for, and the smallest one: 240·s × 269·s.
    static QSize clientSize(int scale);

    int scale;
    int width;
    int height;
    double fontScale;     // 1 at the base size
    QRect mainDisplay;    // the main result display's layout box
    QRect mainDisplayBox; // the white sunken box around it
    QRect functionName;   // function-name button's layout box
    QRect functionResult; // function-result display's layout box
    QRect standardKeypad; // runs one line past both sides
    QRect expressionEdit; // the scientific view's expression line
    QRect baseButton;     // the scientific view's five buttons
    QRect angleButton;
    QRect clearEntryButton;
    QRect clearButton;
    QRect evaluateButton;
    QRect functionKeypad;  // 7 x 3
    QRect characterKeypad; // 10 x 4
    int backgroundHeight;  // the themed background band at the top
};

// CreateUiFont(size) made larger by a layout's fontScale.
QFont ScaledUiFont(int size, double fontScale);

} // namespace pq::calc
