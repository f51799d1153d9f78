#pragma once

#include <span>

#include "calculator/keypad.h"

namespace pq::calc {

// The function keypad's modes: normal, hyperbolic, inverse. A mode's value
// is also the column of its key in the first row.
enum class KeyMode { Normal = 0, Hyperbolic = 5, Inverse = 6 };

// The 21 keys of the function keypad (7 x 3) with their normal labels.
std::span<const KeyDefinition> functionKeys();
// The label of function key `cell` in a mode.
QString functionKeyLabel(int cell, KeyMode mode);

// The 40 keys of the character keypad (10 x 4) and the character each types.
std::span<const KeyDefinition> characterKeys();
char16_t characterKeyCharacter(int cell);

// Function-keypad cells.
enum FunctionKey {
    kKeyMyFunctions = 0,
    kKeyRound = 1,
    kKeyFactorial = 2,
    kKeySquare = 3,
    kKeyPi = 4,
    kKeyHyp = 5,
    kKeyInv = 6,
    kKeyM1 = 7,
    kKeyM2 = 8,
    kKeyE1 = 9,
    kKeyCube = 10,
    kKeySin = 11,
    kKeyCos = 12,
    kKeyTan = 13,
    kKeyM3 = 14,
    kKeyM4 = 15,
    kKeyE2 = 16,
    kKeyBrackets = 17,
    kKeyE = 18,
    kKeyLn = 19,
    kKeyLg = 20,
};

} // namespace pq::calc
