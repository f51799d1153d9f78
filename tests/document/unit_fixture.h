#pragma once

// A data folder of units the shipped files lack, whose names differ from
// others' only in letter case or punctuation, each written from its
// definition: the milliwatt and the megawatt, the megabit and the
// megabyte, the food Calorie (1 kcal) and the calorie (4.184 J), the newton
// metre, the ohm and the kilohm, and a currency pair at a rate of our own.

#include <string>
#include <string_view>

#include "document/data_source.h"
#include "document/document.h"
#include "tests/document/file_bytes.h"

namespace pq::test {

struct FixtureFile {
    const char* name;
    std::string_view source;
};

inline constexpr FixtureFile kUnitFixture[] = {
    {"Power.cnv", R"(type: conversions
title: Power
[unit]
id: W
name: Watt (W)
[unit]
id: mW
name: Milliwatt (mW)
[unit]
id: MW
name: Megawatt (MW)
[conversion]
from: mW
to: W
factor: 0.001
[conversion]
from: MW
to: W
factor: 1e6
)"},
    {"Data.cnv", R"(type: conversions
title: Data
[unit]
id: bit
name: Bit (bit)
[unit]
id: Mb
name: Megabit (Mb)
[unit]
id: MB
name: Megabyte (MB)
[unit]
id: B
name: Byte (B)
[conversion]
from: Mb
to: bit
factor: 1e6
[conversion]
from: B
to: bit
factor: 8
[conversion]
from: MB
to: B
factor: 1e6
)"},
    {"Food.cnv", R"(type: conversions
title: Food energy
[unit]
id: J
name: Joule (J)
[unit]
id: cal
name: Calorie, thermochemical (cal)
[unit]
id: Cal
name: Calorie, food (Cal, kcal)
[conversion]
from: cal
to: J
factor: 4.184
[conversion]
from: Cal
to: cal
factor: 1000
)"},
    {"Torque.cnv", R"(type: conversions
title: Torque
[unit]
id: N_m
name: Newton metre (N·m)
[unit]
id: lbf_ft
name: Pound-force foot (lbf·ft)
[conversion]
from: lbf_ft
to: N_m
factor: 0.3048 * 4.4482216152605
)"},
    {"Resistance.cnv", R"(type: conversions
title: Resistance
[unit]
id: ohm
name: Ohm (Ω)
[unit]
id: kohm
name: Kilohm (kΩ)
shown: no
[conversion]
from: kohm
to: ohm
factor: 1000
)"},
    {"Money.cnv", R"(type: conversions
title: Money
[unit]
id: EUR
name: Euro (EUR)
[unit]
id: USD
name: US dollar (USD)
formats: decimal, currency
display: currency
[conversion]
from: EUR
to: USD
factor: 1.25
)"},
};

// Writes the fixture's files into a folder; false when one cannot be.
inline bool writeUnitFixture(const TempFolder& folder) {
    for (const FixtureFile& file : kUnitFixture) {
        SourceError error;
        auto document = compileDataSource(file.source, 0, error);
        if (!document || !document->saveTo(folder.file(file.name))) return false;
    }
    return true;
}

} // namespace pq::test
