// The shipped Time Zones file against the tz database: every zone, shown,
// gives the legal local time at noon UTC on the 15th of each month of 2026
// and an hour either side of each of its 2026 clock changes, both ways, and
// its name states its standard offset, and the city of its zone finds it.
// The zone each unit stands for is written out here; the offsets are asked
// of the date library.

#include <gtest/gtest.h>

#include <date/tz.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "document/document.h"
#include "document/unit_index.h"
#include "engine/expression_engine.h"
#include "engine/text.h"

using namespace pq;

namespace {

const std::map<std::u16string, const char*> kZoneOf = {
    {u"UTC", "UTC"},
    {u"Dateline", "Etc/GMT+12"},
    {u"Samoa", "Pacific/Pago_Pago"},
    {u"Hawaii", "Pacific/Honolulu"},
    {u"Alaska", "America/Anchorage"},
    {u"Pacific", "America/Los_Angeles"},
    {u"Mountain", "America/Denver"},
    {u"Chihuahua", "America/Chihuahua"},
    {u"Arizona", "America/Phoenix"},
    {u"Central", "America/Chicago"},
    {u"Saskatchewan", "America/Regina"},
    {u"Mexico_City", "America/Mexico_City"},
    {u"Central_America", "America/Guatemala"},
    {u"Eastern", "America/New_York"},
    {u"Indiana", "America/Indiana/Indianapolis"},
    {u"Bogota", "America/Bogota"},
    {u"Atlantic", "America/Halifax"},
    {u"Caracas", "America/Caracas"},
    {u"Santiago", "America/Santiago"},
    {u"Newfoundland", "America/St_Johns"},
    {u"Brasilia", "America/Sao_Paulo"},
    {u"Buenos_Aires", "America/Argentina/Buenos_Aires"},
    {u"Greenland", "America/Nuuk"},
    {u"Mid_Atlantic", "Atlantic/South_Georgia"},
    {u"Azores", "Atlantic/Azores"},
    {u"Cape_Verde", "Atlantic/Cape_Verde"},
    {u"London", "Europe/London"},
    {u"Reykjavik", "Atlantic/Reykjavik"},
    {u"Prague", "Europe/Prague"},
    {u"Warsaw", "Europe/Warsaw"},
    {u"Paris", "Europe/Paris"},
    {u"Berlin", "Europe/Berlin"},
    {u"West_Africa", "Africa/Lagos"},
    {u"Bucharest", "Europe/Bucharest"},
    {u"Cairo", "Africa/Cairo"},
    {u"Helsinki", "Europe/Helsinki"},
    {u"Athens", "Europe/Athens"},
    {u"Jerusalem", "Asia/Jerusalem"},
    {u"Johannesburg", "Africa/Johannesburg"},
    {u"Moscow", "Europe/Moscow"},
    {u"Riyadh", "Asia/Riyadh"},
    {u"Nairobi", "Africa/Nairobi"},
    {u"Baghdad", "Asia/Baghdad"},
    {u"Tehran", "Asia/Tehran"},
    {u"Abu_Dhabi", "Asia/Dubai"},
    {u"Baku", "Asia/Baku"},
    {u"Kabul", "Asia/Kabul"},
    {u"Ekaterinburg", "Asia/Yekaterinburg"},
    {u"Karachi", "Asia/Karachi"},
    {u"India", "Asia/Kolkata"},
    {u"Kathmandu", "Asia/Kathmandu"},
    {u"Dhaka", "Asia/Dhaka"},
    {u"Sri_Lanka", "Asia/Colombo"},
    {u"Novosibirsk", "Asia/Novosibirsk"},
    {u"Yangon", "Asia/Yangon"},
    {u"Bangkok", "Asia/Bangkok"},
    {u"Krasnoyarsk", "Asia/Krasnoyarsk"},
    {u"Beijing", "Asia/Shanghai"},
    {u"Singapore", "Asia/Singapore"},
    {u"Taipei", "Asia/Taipei"},
    {u"Perth", "Australia/Perth"},
    {u"Irkutsk", "Asia/Irkutsk"},
    {u"Seoul", "Asia/Seoul"},
    {u"Tokyo", "Asia/Tokyo"},
    {u"Yakutsk", "Asia/Yakutsk"},
    {u"Darwin", "Australia/Darwin"},
    {u"Adelaide", "Australia/Adelaide"},
    {u"Sydney", "Australia/Sydney"},
    {u"Brisbane", "Australia/Brisbane"},
    {u"Hobart", "Australia/Hobart"},
    {u"Vladivostok", "Asia/Vladivostok"},
    {u"Guam", "Pacific/Guam"},
    {u"Solomon", "Pacific/Guadalcanal"},
    {u"Fiji", "Pacific/Fiji"},
    {u"Auckland", "Pacific/Auckland"},
    {u"Nukualofa", "Pacific/Tongatapu"},
};

double dayOf(date::sys_seconds t) { return 2440587 + t.time_since_epoch().count() / 86400.0; }

date::sys_seconds noonOf15th(int month) {
    return date::sys_days{date::year{2026} / month / 15} + std::chrono::hours{12};
}

// "UTC+5:30" at the end of a unit's name, in seconds.
int offsetInName(const std::string& name) {
    const size_t at = name.rfind("UTC");
    if (at == std::string::npos) return -1;
    std::string rest = name.substr(at + 3);
    int sign = 1;
    if (rest.starts_with("+")) {
        rest.erase(0, 1);
    } else if (rest.starts_with("\u2212")) {
        rest.erase(0, 3);
        sign = -1;
    }
    int hours = 0, minutes = 0;
    if (std::sscanf(rest.c_str(), "%d:%d", &hours, &minutes) < 1) return -1;
    return sign * (hours * 3600 + minutes * 60);
}

} // namespace

TEST(ShippedTimeZones, EveryZoneGivesTheLegalTimeOf2026BothWays) {
    auto document = createDocument(ConversionDocument::kTypeCode);
    ASSERT_TRUE(document->loadFrom(PQ_DATA_DIR "/TimeZones.cnv", true));
    for (auto& item : document->items) item->shown = 1; // "show all"
    ASSERT_EQ(document->items.size(), kZoneOf.size());

    struct Zone {
        Item* item;
        const date::time_zone* zone;
    };
    std::vector<Zone> zones;
    Item* utc = nullptr;
    std::set<date::sys_seconds> instants;
    for (int month = 1; month <= 12; ++month) instants.insert(noonOf15th(month));
    for (const auto& item : document->items) {
        const auto found = kZoneOf.find(std::u16string(item->identifier.view()));
        ASSERT_NE(found, kZoneOf.end()) << toUtf8(item->identifier.view());
        const date::time_zone* zone = date::locate_zone(found->second);
        zones.push_back({item.get(), zone});
        if (found->first == u"UTC") utc = item.get();
        date::sys_info info = zone->get_info(noonOf15th(1) - std::chrono::days{14});
        while (info.end < date::sys_days{date::year{2027} / 1 / 1}) {
            instants.insert(info.end - std::chrono::hours{1});
            instants.insert(info.end + std::chrono::hours{1});
            info = zone->get_info(info.end);
        }
        // The name states the standard offset of today.
        date::sys_info standard = zone->get_info(noonOf15th(1));
        if (standard.save != std::chrono::minutes{0}) standard = zone->get_info(noonOf15th(7));
        if (found->first != u"UTC") {
            EXPECT_EQ(offsetInName(toUtf8(item->name.view())), standard.offset.count())
                << toUtf8(item->name.view());
        }
    }
    ASSERT_NE(utc, nullptr);
    EXPECT_GT(instants.size(), 50u);

    ExpressionEngine engine;
    const auto enter = [&](Item& unit, double value) {
        unit.value = value;
        unit.state = ValueState::Valid;
        document->currentItem = &unit;
        document->computeAll(engine);
    };
    constexpr double kTolerance = 1e-9; // days: some 0.1 ms
    for (date::sys_seconds t : instants) {
        SCOPED_TRACE(date::format("%F %R UTC", t));
        enter(*utc, dayOf(t));
        for (const Zone& z : zones) {
            SCOPED_TRACE(z.zone->name());
            const double local = dayOf(t) + z.zone->get_info(t).offset.count() / 86400.0;
            ASSERT_EQ(z.item->state, ValueState::Valid);
            EXPECT_NEAR(z.item->value, local, kTolerance);
        }
        // Back: a local time the clocks show twice (another zone's change
        // may fall in this one's repeated hour) is the earlier instant.
        for (const Zone& z : zones) {
            SCOPED_TRACE(z.zone->name());
            const auto offset = z.zone->get_info(t).offset;
            const date::local_seconds wall{t.time_since_epoch() + offset};
            const auto earlier = z.zone->get_info(wall).first.offset;
            enter(*z.item, dayOf(t) + offset.count() / 86400.0);
            ASSERT_EQ(utc->state, ValueState::Valid);
            EXPECT_NEAR(utc->value, dayOf(t) - (earlier - offset).count() / 86400.0, kTolerance);
        }
    }
}

// A zone is found by the city of its name in the tz database, and by that
// name itself.
TEST(ShippedTimeZones, EachZoneIsFoundByTheCityOfItsTzName) {
    UnitIndex index(PQ_DATA_DIR);
    index.refresh();
    FindOptions whole;
    whole.exactOnly = true;
    for (const auto& [unit, zone] : kZoneOf) {
        const std::string name = zone;
        if (name.find('/') == std::string::npos || name.starts_with("Etc/")) continue;
        std::string city = name.substr(name.rfind('/') + 1);
        std::replace(city.begin(), city.end(), '_', ' ');
        for (const std::string& text : {city, name}) {
            SCOPED_TRACE(text);
            std::vector<std::string> found;
            for (const UnitMatch& match : index.find(fromUtf8(text), whole))
                if (match.file->fileName == u"TimeZones.cnv")
                    found.push_back(toUtf8(match.unit->identifier));
            EXPECT_EQ(found, std::vector<std::string>{toUtf8(unit)});
        }
    }
}
