// Arbitrary bytes as what a user types into the find box (the first line)
// and as an alternative names file (the rest): matching must not crash, and
// its rules must hold together: a key is its own key, a text's key matches
// the text as a whole, and the whole-name matches are the first of all.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/alternative_names.h"
#include "document/catalogue.h"
#include "document/document.h"
#include "document/match_key.h"
#include "document/unit_index.h"

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
    if (!key.empty()) {
        check(keyEquals(typed, key));
        check(nameMatchesWhole(typed, key));
    }

    // A file whose units are named by the typed text in several ways.
    ConversionDocument document;
    document.name = u"Typed";
    const std::u16string names[] = {typed, u"Unit (" + typed + u")", u"Gallon, US (gal)",
                                    typed + u", other"};
    for (const std::u16string& name : names) {
        auto item = std::make_unique<UnitItem>();
        item->name = name;
        item->identifier = typed.substr(0, 8);
        document.items.push_back(std::move(item));
    }
    const auto file = IndexDocument(document, u"Typed.cnv", &alternatives);
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
        check(exact[i].tier <= MatchTier::Name);
    }
    for (size_t i = 1; i < all.size(); ++i) check(all[i - 1].tier <= all[i].tier);
    if (!key.empty()) check(!exact.empty()); // the first unit is named by the text itself
    return 0;
}
