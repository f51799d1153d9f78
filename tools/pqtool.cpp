// pqtool: the command-line front end of the formula engine and the data files.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "engine/format_text.h"
#include "engine/locale_dates.h"
#include "tools/commands.h"
#include "tools/eval_options.h"

namespace pq::tool {

const char* const kEvalUsage =
    "  eval [--angle rad|deg|gra] [--set NAME=EXPR]... [--define HEADER=BODY]...\n"
    "       [--digits N] [--format FORMAT [--entry]] [--compound LABEL:FRACTION[,...]]\n"
    "       [--] [EXPR]...\n"
    "      Evaluates each EXPR (or each line of standard input when none is given)\n"
    "      and prints its value with every digit, or Error; with --digits N (4 to\n"
    "      15), N significant digits at most. Options apply in the order given, before\n"
    "      the expressions; \"--\" ends the options. FORMAT is decimal, currency,\n"
    "      hex, octal, binary, compound, date or datetime: the value is shown in\n"
    "      that format (--entry: in its entry form). --compound gives up to four\n"
    "      parts (\"ft:1,in:12\") for [...] literals and the compound format.\n";

namespace {

constexpr const char* kCommands =
    "  dump FILE\n"
    "      Prints a .cnv or .cal file in its text form.\n"
    "  compile SOURCE OUT\n"
    "      Writes the .cnv or .cal file OUT from a text form.\n"
    "  convert [--plain] FILE UNIT VALUE\n"
    "      Enters VALUE for the unit (identifier or name) and prints every shown\n"
    "      unit with its value.\n"
    "  convert [--folder DIR] [--plain] VALUE FROM [TO]\n"
    "  convert [--folder DIR] [--plain] LINE\n"
    "      Finds the units FROM and TO by identifier, name or other name in the\n"
    "      data files of DIR (by default PqConverter's data folder) and prints\n"
    "      VALUE in TO, as TO shows it (\"convert 5 ft m\" prints 1.524); without\n"
    "      TO, every shown unit of FROM's file. LINE asks the same in words, in\n"
    "      one argument or several: \"60 mph to km/h\", \"5 ft 11 in in cm\",\n"
    "      \"1 h 30 min in s\" (the parts of a value are added up). Names are\n"
    "      taken whole, in their letter case first (\"mW\" is not \"MW\"), then\n"
    "      in any case, then as phrases (\"US gallons\", \"square feet\"). A name\n"
    "      that is unknown, names several units, or whose files give different\n"
    "      answers is an error (2), with the candidates listed. --plain prints\n"
    "      the number alone, without grouping, at most 15 significant digits.\n"
    "  find [--folder DIR] TEXT\n"
    "      Lists the units whose identifier, name or other name matches TEXT\n"
    "      (case, accents, spaces and punctuation aside) as a whole or by the\n"
    "      start of a word, best first, one a line: identifier, name, file title\n"
    "      and file name, separated by tabs. Exit status 1 when none does (the\n"
    "      units that hold TEXT inside a word are then listed as near matches).\n"
    "  calc FILE [IDENT=VALUE]...\n"
    "      Computes a .cal file from the given inputs and prints every shown item.\n"
    "  update FOLDER [URL]\n"
    "      Downloads the update files an update list at URL names into FOLDER, then\n"
    "      applies every pending .upd file of FOLDER to its .cnv file, and prints\n"
    "      the date of the exchange rates it applied.\n"
    "  rates [--folder DIR]\n"
    "      Prints the date and age of the exchange rates of Currency.cnv in DIR\n"
    "      (by default PqConverter's data folder). Exit status 1 when they are\n"
    "      older than 7 days, of no known date, or cannot be read.\n"
    "\n"
    "Messages about failures go to standard error.\n"
    "exit status:\n"
    "  0  success\n"
    "  1  the operation failed: a file cannot be read, written or compiled, an\n"
    "     expression gives Error, a download or an update fails, exchange rates\n"
    "     are old\n"
    "  2  bad usage: an unknown command or option, missing or extra arguments, a\n"
    "     FILE name that is no data file name, a unit or input the file lacks\n"
    "  3  a data file is damaged: what could be read was printed, and a warning\n"
    "     on standard error says what could not be read\n"
    "\n"
    "Only compile and update write files; every other command leaves every file\n"
    "as it was. convert keeps an index of the data folder's units in\n"
    "~/.cache/Quorvane/pqtool/, made again when the folder changes; it may be\n"
    "deleted at any time.\n";

void printUsage(std::FILE* out) {
    std::fputs("usage: pqtool [--digits N] COMMAND [ARGS]\n\n"
               "options:\n"
               "  --digits N\n"
               "      Shows values with N significant digits (4 to 15, 12 unless given),\n"
               "      as PqConverter shows them with that setting.\n\n"
               "commands:\n",
               out);
    std::fputs(kEvalUsage, out);
    std::fputs(kCommands, out);
}

} // namespace

int usageError(std::string_view message) {
    if (!message.empty())
        std::fprintf(stderr, "pqtool: %.*s\n", static_cast<int>(message.size()), message.data());
    printUsage(stderr);
    return kExitUsage;
}

} // namespace pq::tool

int main(int argc, char** argv) {
    using namespace pq::tool;
    // Dates are shown in the user's form, its locale read when the first date
    // is; numbers never depend on the locale.
    pq::SetLocaleSelection([] { std::setlocale(LC_TIME, ""); });
    std::span<char* const> args(argv, static_cast<size_t>(argc));
    if (args.size() > 1 && std::string_view(args[1]) == "--digits") {
        int digits = 0;
        if (args.size() < 3 || !parseDigits(args[2], digits))
            return usageError("--digits needs a whole number from 4 to 15");
        pq::setShownDigits(digits);
        commandLineDigits() = digits;
        args = args.subspan(2);
    }
    if (args.size() < 2) return usageError("no command given");
    const std::string_view command = args[1];
    const auto rest = args.subspan(2);
    if (command == "--help" || command == "-h" || command == "help") {
        printUsage(stdout);
        return kExitOk;
    }
    if (command == "eval") return runEval(rest);
    if (command == "dump") return runDump(rest);
    if (command == "compile") return runCompile(rest);
    if (command == "convert") return runConvert(rest);
    if (command == "calc") return runCalc(rest);
    if (command == "find") return runFind(rest);
    if (command == "update") return runUpdate(rest);
    if (command == "rates") return runRates(rest);
    return usageError("unknown command: " + std::string(command));
}
