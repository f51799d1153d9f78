// pqtool rates: the date and age of the exchange rates of a data folder.

#include <cstdio>
#include <string>
#include <string_view>

#include "document/document.h"
#include "document/rates_date.h"
#include "document/update_downloader.h"
#include "engine/text.h"
#include "tools/commands.h"
#include "tools/converter_folder.h"
#include "tools/document_io.h"

namespace pq::tool {

namespace {

std::string age(int days) {
    if (days == 0) return "today";
    return std::to_string(days) + (days == 1 ? " day old" : " days old");
}

} // namespace

std::string describeRates(const std::string& fileName, CivilDate date) {
    return printable(fileName) + ": rates of " + isoDate(date) + ", European Central Bank";
}

int runRates(std::span<char* const> args) {
    std::string folder;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--folder" && i + 1 < args.size())
            folder = args[++i];
        else if (arg.starts_with("--folder=") && arg.size() > 9)
            folder = arg.substr(9);
        else
            return usageError("rates takes only --folder DIR");
    }
    if (folder.empty()) folder = ConverterDataFolder();
    if (folder.back() != '/') folder += '/';

    std::u16string base;
    for (std::u16string& name : conversionFileNames(folder))
        if (equalsIgnoreCase(name, u"Currency")) base = name;
    if (base.empty()) {
        std::fprintf(stderr, "pqtool: %s holds no Currency.cnv\n", printable(folder).c_str());
        return kExitFailed;
    }
    const std::string fileName = toUtf8(base) + ".cnv";
    ConversionDocument document;
    if (!document.readWithoutConverting(folder + fileName)) {
        std::fprintf(stderr, "pqtool: %s: %s\n", printable(folder + fileName).c_str(),
                     printable(document.errorText()).c_str());
        return kExitFailed;
    }
    const std::optional<CivilDate> date = ratesDateOf(document.updatedText.view());
    if (!date) {
        std::printf("%s: the date of its rates is not known (Updated: %s)\n",
                    printable(fileName).c_str(), printable(toUtf8(document.updatedText)).c_str());
        return kExitFailed;
    }
    const CivilDate today = localToday();
    const bool old = ratesAreOld(*date, today);
    const std::string mark = old ? ": older than " + std::to_string(kOldRatesDays) + " days" : "";
    std::printf("%s, %s%s\n", describeRates(fileName, *date).c_str(),
                age(ratesAgeDays(*date, today)).c_str(), mark.c_str());
    return old ? kExitFailed : kExitOk;
}

} // namespace pq::tool
