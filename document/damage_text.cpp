// What the reading of a damaged file lost, told in words.
#include <string>

#include "document/document.h"

namespace pq {

namespace {

std::string counted(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

bool isCalculation(const Document& document) {
    return document.typeCode() == CalculationDocument::kTypeCode;
}

} // namespace

std::string damageText(const Document& document) {
    const ReadState& state = document.readState();
    if (state.kind != ReadState::Kind::Damaged) return {};
    if (state.strayBytes) return "it holds bytes that belong to no record";
    std::string lost;
    if (state.droppedUnits > 0)
        lost = isCalculation(document) ? counted(state.droppedUnits, "item", "items")
                                       : counted(state.droppedUnits, "unit", "units");
    if (state.droppedConversions > 0)
        lost += (lost.empty() ? "" : " and ") +
                counted(state.droppedConversions, "conversion", "conversions");
    if (!lost.empty()) lost += " could not be read";
    if (state.droppedConversions < 0)
        lost += (lost.empty() ? "" : ", and ") +
                std::string("its list of conversions could not be read whole");
    return lost;
}

std::string keptText(const Document& document) {
    const ReadState& state = document.readState();
    const int units = static_cast<int>(document.items.size());
    const int inFile = state.kind == ReadState::Kind::Damaged ? state.unitsInFile : units;
    std::string text = std::to_string(units) + " of " +
                       (isCalculation(document) ? counted(inFile, "item", "items")
                                                : counted(inFile, "unit", "units"));
    if (isCalculation(document)) return text;
    const int conversions = static_cast<int>(document.conversionCount());
    if (state.kind == ReadState::Kind::Damaged && state.conversionsInFile < 0)
        return text + " and the " + counted(conversions, "conversion", "conversions") +
               " that could be read";
    const int announced =
        state.kind == ReadState::Kind::Damaged ? state.conversionsInFile : conversions;
    return text + " and " + std::to_string(conversions) + " of " +
           counted(announced, "conversion", "conversions");
}

} // namespace pq
