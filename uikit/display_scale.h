#pragma once

#include <QByteArray>

namespace pq::ui {

// The factor every pixel constant of both programs is multiplied by: 1, or 2
// on a screen of 192 logical dots per inch or more. Fixed once at program
// start, before the first window exists.
int DisplayScale();

// n·s, the usual way a layout constant is written.
inline int Scaled(int n) { return n * DisplayScale(); }

// Reads the scale from the environment variable PQ_SCALE ("1" or "2"), or
// else from the primary screen. Needs a QGuiApplication.
void InitDisplayScale();

// Fixes the scale directly (1 or 2; anything else counts as 1).
void SetDisplayScale(int scale);

// The rule behind InitDisplayScale: a valid override wins, else the density.
// An override other than "1" or "2" is ignored; `rejected` tells so.
int ChooseDisplayScale(double logicalDotsPerInch, const QByteArray& override,
                       bool* rejected = nullptr);

// The primary screen's logical dots per inch (horizontal), read once.
int ScreenDensity();

// Whether the primary screen is wider than high.
bool IsLandscape();

} // namespace pq::ui
