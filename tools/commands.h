#pragma once

#include <span>
#include <string>
#include <string_view>

#include "document/rates_date.h"

namespace pq::tool {

// Exit statuses shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// A data file lost records in the reading: what could be read was printed,
// and standard error says what was lost.
constexpr int kExitDamaged = 3;

extern const char* const kEvalUsage;

// Each command receives the arguments after its own name.
int runEval(std::span<char* const> args);
int runDump(std::span<char* const> args);
int runCompile(std::span<char* const> args);
int runConvert(std::span<char* const> args);
// convert VALUE FROM [TO] and find TEXT, over the converter's data folder.
int runConvertInFolder(std::span<char* const> args);
int runFind(std::span<char* const> args);
int runCalc(std::span<char* const> args);
int runUpdate(std::span<char* const> args);
// rates [--folder DIR]: the date and age of the folder's exchange rates.
int runRates(std::span<char* const> args);
// "Currency.cnv: rates of 2026-12-08, European Central Bank".
std::string describeRates(const std::string& fileName, CivilDate date);

// Prints the usage text on stderr and returns kExitUsage.
int usageError(std::string_view message);

} // namespace pq::tool
