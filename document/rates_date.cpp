#include "document/rates_date.h"

#include <cstdio>
#include <ctime>

namespace pq {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

template <typename Char> std::optional<CivilDate> dateOf(std::basic_string_view<Char> text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int fields[3] = {0, 0, 0};
    const size_t starts[3] = {0, 5, 8};
    const size_t lengths[3] = {4, 2, 2};
    for (int f = 0; f < 3; ++f)
        for (size_t i = starts[f]; i < starts[f] + lengths[f]; ++i) {
            if (!isDigit(static_cast<char16_t>(text[i]))) return std::nullopt;
            fields[f] = fields[f] * 10 + static_cast<int>(text[i] - '0');
        }
    const CivilDate date{std::chrono::year(fields[0]),
                         std::chrono::month(static_cast<unsigned>(fields[1])),
                         std::chrono::day(static_cast<unsigned>(fields[2]))};
    if (!date.ok()) return std::nullopt;
    return date;
}

} // namespace

std::optional<CivilDate> ratesDateOf(std::u16string_view updatedText) {
    // A file updated twice names both stamps; the last one is the rates'.
    for (size_t at = updatedText.rfind(kRatesStamp); at != std::u16string_view::npos;
         at = at == 0 ? std::u16string_view::npos : updatedText.rfind(kRatesStamp, at - 1)) {
        const std::u16string_view rest = updatedText.substr(at + kRatesStamp.size());
        if (auto date = dateOf(rest); date && (rest.size() == 10 || !isDigit(rest[10])))
            return date;
    }
    return std::nullopt;
}

int ratesAgeDays(CivilDate rates, CivilDate today) {
    const auto days = (std::chrono::sys_days(today) - std::chrono::sys_days(rates)).count();
    return days > 0 ? static_cast<int>(days) : 0;
}

bool ratesAreOld(CivilDate rates, CivilDate today) {
    return ratesAgeDays(rates, today) > kOldRatesDays;
}

bool ratesAreDue(CivilDate rates, std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const sys_seconds published = sys_days(rates) + hours(15);
    return now >= published + days(1);
}

CivilDate localToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CivilDate{std::chrono::year(local.tm_year + 1900),
                     std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                     std::chrono::day(static_cast<unsigned>(local.tm_mday))};
}

std::string isoDate(CivilDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

std::optional<CivilDate> parseIsoDate(std::string_view text) {
    if (text.size() != 10) return std::nullopt;
    return dateOf(text);
}

} // namespace pq
