#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/item.h"

namespace pq {

class ConversionDocument;
class ExpressionEngine;

// A conversion asked on one line: a value of one or more "number unit"
// parts, and the unit it is wanted in:
//
//     60 mph to km/h       5 ft 11 in to cm      1 h 30 min in s
//     -40 F to C           100 usd in eur        60mph in km/h
//
// The parts of a value are added ("5 ft 11 in" is 5 11/12 ft). The word
// before the target is "to", "in", "into", "as", "=" or "->"; "in" may
// also be a unit (the inch), so a line may be read more than one way.
struct RequestPart {
    double number = 0;
    std::u16string unit;
};
struct ConversionRequest {
    std::vector<RequestPart> parts;
    std::u16string target; // empty: every unit of the file
};

// The ways a line reads as a request, the likeliest first: with the last
// possible word before the target first, a reading without a target last.
// None when the line is no request (it does not begin with a number
// followed by a unit).
std::vector<ConversionRequest> ReadConversionRequests(std::u16string_view line);

// A number at the start of a text: "60", "-40", "2.5", "1e-3", "1,000", and
// fractions as people write them: "3/4", "1 1/2", "1-1/2", "11 3/16".
// The value and how many characters it took; none when the text does not
// begin with a number.
struct NumberRead {
    double value = 0;
    size_t length = 0;
};
std::optional<NumberRead> ReadRequestNumber(std::u16string_view text);

// A request computed in one file: the value of its first unit (the parts
// added up in it) and of the target.
struct RequestAnswer {
    enum class Outcome {
        Done,       // `target` holds the target's value
        Failed,     // a value could not be computed (Error)
        NoPath,     // no chain of conversions joins the units
        NotAddable, // parts whose units do not start at zero together
    };
    Outcome outcome = Outcome::Failed;
    double first = 0;  // the value in the first part's unit
    double target = 0; // the value in the target unit
};

// Computes a request in a conversion file whose units it names: `units`
// holds the item of each part, then the target's (or none, when there is
// no target). A hidden unit is computed as a shown one. The document is left
// with the first part's unit current, holding `first`, and every value
// computed from it; the target's item holds `target`.
RequestAnswer ComputeRequest(ConversionDocument& document, const ConversionRequest& request,
                             const std::vector<Item*>& units, ExpressionEngine& engine);

// The value of `to` for a value of `from`, through the file's chains of
// conversions, whether `to` is shown or not. The document is left with
// `from` current and every value computed from it.
struct UnitValue {
    ValueState state = ValueState::Empty; // Valid, Error, or Empty for no path
    double value = 0;
};
UnitValue ConvertBetween(ConversionDocument& document, Item& from, double value, Item& to,
                         ExpressionEngine& engine);

} // namespace pq
