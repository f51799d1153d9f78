#pragma once

namespace pq::calc {

// The command ids of the calculator's main window.
enum Command : unsigned {
    kCmdStandardView = 1011,
    kCmdScientificView = 1012,
    kCmdCopy = 1013,
    kCmdPaste = 1014,
    kCmdOpenConverter = 1015,

    kCmdFunctionMenu = 2010,   // function-name button
    kCmdFunctionResult = 2011, // function-result display
    kCmdEditFunctions = 2012,  // "Edit My Functions..."
    kCmdHideFunction = 2013,   // "Hide My Function"
    kCmdClear = 2015,          // "CLR"
    kCmdClearEntry = 2016,     // "CE"
    kCmdBase = 2017,           // the main display's base
    kCmdAngle = 2018,          // the engine's angle unit
    kCmdEvaluate = 2019,       // "ƒ=?"
    // The menus' commands of the scientific view: an angle unit, a base,
    // the keypad's modes, and the memories and stored expressions.
    kCmdAngleFirst = 2020,            // Rad, Deg, Gra
    kCmdBaseFirst = 2023,             // Dec, Hex, Oct, Bin
    kCmdInverse = 2027,               // as the "inv" key
    kCmdHyperbolic = 2028,            // as the "hyp" key
    kCmdInsertMemoryFirst = 2030,     // m1 to m4 into the line
    kCmdInsertExpressionFirst = 2034, // E1, E2 into the line
    kCmdStoreMemoryFirst = 2036,      // the result into m1 to m4
    kCmdStoreExpressionFirst = 2040,  // the line into E1, E2
    kCmdScientificLast = 2041,

    kCmdSearchHistory = 2050, // the history's search field (Ctrl+H)

    kCmdStandardKeyFirst = 2200,  // 25 keys
    kCmdFunctionKeyFirst = 2300,  // 21 keys of the scientific view
    kCmdCharacterKeyFirst = 2400, // 40 keys of the scientific view
    kCmdUserFunctionFirst = 2500, // one per user function

    kCmdAbout = 57664,
    kCmdExit = 57665,
    kCmdHelp = 57670,
};

constexpr int kStandardKeyCount = 25;
constexpr int kFunctionKeyCount = 21;
constexpr int kCharacterKeyCount = 40;

} // namespace pq::calc
