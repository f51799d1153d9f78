// Arbitrary bytes as what a user types into the find box (the first line)
// and as an alternative names file (the rest): matching must not crash, and
// its rules must hold together: a key is its own key, a text names itself
// exactly, the whole-name matches are the first of all, the quick test
// that rules units out never rules out one that matches, and a line read
// as a conversion keeps its numbers within the line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/alternative_names.h"
#include "document/catalogue.h"
#include "document/conversion_request.h"
#include "document/document.h"
#include "document/match_key.h"
#include "document/unit_index.h"
#include "document/unit_names.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t end = bytes.find('\n');
    const std::u16string typed = decodeText(bytes.substr(0, end));
    AlternativeNames alternatives;
    if (end != std::string_view::npos) alternatives.parse(bytes.substr(end + 1));

    const std::u16string key = matchKey(typed);
    check(matchKey(key) == key);
    check(keyWithWords(typed).key == key);
    const TypedName name = ReadTypedName(typed);
    if (!name.text.empty())
        check(MatchUnitNames(name, NamesOfUnit(typed, u"", {}, false)) == MatchTier::Exact);
    for (const ConversionRequest& request : ReadConversionRequests(typed)) {
        check(!request.parts.empty());
        for (const RequestPart& part : request.parts) check(!part.unit.empty());
    }

    // A file whose units are named by the typed text in several ways.
    ConversionDocument document;
    document.name = u"Typed";
    const std::u16string names[] = {typed, u"Unit (" + typed + u")", u"Gallon, US (gal)",
                                    typed + u", other"};
    for (const std::u16string& unitName : names) {
        auto item = std::make_unique<UnitItem>();
        item->name = unitName;
        item->identifier = typed.substr(0, 8);
        document.items.push_back(std::move(item));
    }
    const auto file = IndexDocument(document, u"Typed.cnv", &alternatives);
    // What the quick test rules out matches no name.
    for (const IndexedUnit& unit : file->units) {
        const auto keys = NamesOfUnit(unit.name, unit.identifier, unit.alternatives, false);
        if (!MatchUnitNames(name, keys)) continue;
        bool maybe = MayBeNamed(name, unit.name) || MayBeNamed(name, unit.identifier);
        for (const std::u16string& alternative : unit.alternatives)
            maybe = maybe || MayBeNamed(name, alternative);
        check(maybe);
        const std::vector<TypedName> only{name};
        check(MatchUnitNames(name, NamesOfUnit(unit.name, unit.identifier, unit.alternatives,
                                               false, &only)) == MatchUnitNames(name, keys));
    }
    FindOptions options;
    options.currentFile = u"Typed.cnv";
    options.currentContents = file;
    const UnitIndex index;
    const auto all = index.find(typed, options);
    options.exactOnly = true;
    const auto exact = index.find(typed, options);
    check(exact.size() <= all.size());
    for (size_t i = 0; i < exact.size(); ++i) {
        check(exact[i].unit == all[i].unit);
        check(exact[i].tier <= MatchTier::Folded);
    }
    for (size_t i = 1; i < all.size(); ++i) check(all[i - 1].tier <= all[i].tier);
    // The first unit is named by the text itself (unless it names nothing).
    if (name.phrase.phrase.core.find_first_not_of(u"/\u00B7") != std::u16string::npos)
        check(!exact.empty());
    return 0;
}
