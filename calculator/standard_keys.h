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
int standardKeyForKeyboard(int key, const QString& text);

} // namespace pq::calc
