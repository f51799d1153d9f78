#pragma once

#include <span>

#include <QString>

#include "calculator/keypad.h"

namespace pq::calc {

// The 25 keys of the standard keypad, row by row; their actions are the key
// characters of StandardCalculator::kKeyCharacters, cell for cell.
std::span<const KeyDefinition> standardKeys();

// The standard keypad's cell for a key typed on the keyboard (Qt key code
// and the text it types), or -1: digits, "." and ",", "+", "-", "*", "/",
// "=" and Enter, "%", Backspace (back), Escape (clear all), Delete (clear
// entry).
// F9 is +/-, "@" the square root, "x" and "X" multiply.
int standardKeyForKeyboard(int key, const QString& text);
// With Ctrl: L is MC, R is MR, P is M+; -1 for other keys.
int standardKeyForControlKey(int key);

class KeyPad;
// Each key's long name and the keyboard keys that press it, as tooltips.
void setStandardKeyToolTips(KeyPad& keypad);

} // namespace pq::calc
