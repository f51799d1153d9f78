#pragma once

namespace pq::conv {

// The command ids of the converter. Commands from menus, the toolbar, keys,
// buttons and the entry panel all travel to the main window as posted
// commands with these ids.
enum Command : unsigned {
    // File menu
    kCmdNewConversionFile = 32842,  // File > New > "Unit Conversion File"
    kCmdNewCalculationFile = 32843, // File > New > "Calculation File"
    kCmdOpen = 57601,               // "Open", also "More..." in the file switcher
    kCmdProperties = 32782,
    kCmdAbout = 57664,
    kCmdExit = 57665,

    // Edit menu
    kCmdUndo = 57643, // Ctrl+Z
    kCmdRedo = 57644, // Ctrl+Shift+Z, Ctrl+Y
    kCmdAddUnit = 32821,
    kCmdEditUnit = 32824, // also "Edit" in a row's context menu
    kCmdDeleteUnit = 32825,
    kCmdConversions = 32836,
    kCmdDownload = 32781,
    kCmdOptions = 32822,
    kCmdFindUnit = 32850, // "Find Unit..." (Ctrl+F), also a letter typed into the list

    // Toolbar
    kCmdCopy = 57634, // also "Copy Value" in a row's context menu
    kCmdPaste = 57637,
    kCmdExpandCompact = 32845,
    kCmdOpenCalculator = 32844,

    // The buttons of the top strip
    kCmdShowUnits = 32823,
    kCmdFileSwitcher = 1023, // also F4
    kCmdSwitchFileFirst = 32788, // 32788 to 32793: the file switcher's entries
    kCmdSwitchFileLast = 32793,

    kCmdCalculate = 32801,      // posted by the entry panel after a value was stored
    kCmdRemoveFromList = 32826, // a row's context menu
    kCmdHelp = 57670,
    kCmdRepair = 32870, // File > "Repair...": keeps what could be read of a damaged file
    // Posted after a format was chosen in place; parameter: the item's
    // position in the document (the entry tab: the current item's).
    kCmdFormatChosen = 32871,      // a display format in a row's format menu
    kCmdFormatsCustomized = 32872, // the Formats dialog of "Customize..." confirmed
    kCmdEntryFormatChosen = 32873, // a tab of the entry panel

    // Accelerators that reach no handler in the main window
    kCmdNew = 57600,
    kCmdSave = 57603,
    kCmdCut = 57635,

    // Unit list rows and the format menu
    kCmdFormatButton = 32812, // a row's format button; parameter: the row
    kCmdFormatDecimal = 32802,
    kCmdFormatHexadecimal = 32803,
    kCmdFormatOctal = 32804,
    kCmdFormatBinary = 32805,
    kCmdFormatDate = 32806,
    kCmdFormatDateTime = 32807,
    kCmdFormatCompound = 32808,
    kCmdFormatCustomize = 32809,
    kCmdFormatCurrency = 32819,

    // The value entry panel
    kCmdEditorChanged = 100, // the editor's change notification
    kCmdAccept = 101,
    kCmdDefault = 102,
    kCmdTabFirst = 103, // 103 to 110: the format tabs

    // Conversions dialog
    kCmdAddStandard = 32837,
    kCmdAddAdvanced = 32838,
    kCmdDeleteConversion = 32831,
};

} // namespace pq::conv
