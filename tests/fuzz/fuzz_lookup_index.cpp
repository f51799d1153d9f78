// A damaged index of a folder's units: the index of a small folder, its
// records and texts overwritten from the input (the header and the file
// records, which its checksum covers, stay), then read and asked for names.
// Reading it must not crash, and a name is answered from it or from the
// folder, whatever it holds.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "document/data_source.h"
#include "document/document.h"
#include "document/unit_lookup.h"
#include "document/unit_lookup_index.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

struct Fixture {
    std::string folder, index;
    std::vector<uint8_t> pristine;
    size_t covered = 0; // the bytes the checksum covers
};

const Fixture& fixture() {
    static const Fixture made = [] {
        using namespace pq;
        Fixture f;
        f.folder = fuzz::scratchFolder() + "data/";
        f.index = fuzz::scratchFolder() + "units.index";
        std::filesystem::create_directory(f.folder);
        const char* sources[] = {
            "type: conversions\ntitle: Power\n[unit]\nid: W\nname: Watt (W)\n[unit]\nid: mW\n"
            "name: Milliwatt (mW)\n[conversion]\nfrom: mW\nto: W\nfactor: 0.001\n",
            "type: conversions\ntitle: Length\n[unit]\nid: ft\nname: Foot (ft)\n[unit]\nid: m\n"
            "name: Metre (m)\n[conversion]\nfrom: ft\nto: m\nfactor: 0.3048\n"};
        const char* names[] = {"Power.cnv", "Length.cnv"};
        for (int i = 0; i < 2; ++i) {
            SourceError error;
            auto document = compileDataSource(sources[i], 0, error);
            if (!document || !document->saveTo(f.folder + names[i])) std::abort();
        }
        const std::string alternatives = "Length.cnv | ft | foot, feet | usual\n";
        fuzz::writeFile(f.folder + "AlternativeNames.txt",
                        reinterpret_cast<const uint8_t*>(alternatives.data()), alternatives.size());
        const LookupIndexPlace place{f.index, -3'600'000'000'000};
        LookUpUnits(f.folder, {u"ft"}, ConversionDocument::kTypeCode, &place);
        f.pristine = fuzz::readFile(f.index);
        // The header (128 bytes) and three file records (56 bytes each).
        f.covered = 128 + 3 * 56;
        if (f.pristine.size() <= f.covered) std::abort();
        return f;
    }();
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    if (size < 2 || size > 65536) return 0;
    const Fixture& f = fixture();
    // The first two bytes: where the input goes among the records and texts.
    std::vector<uint8_t> bytes = f.pristine;
    const size_t at = f.covered + (data[0] | data[1] << 8) % (bytes.size() - f.covered);
    bytes.resize(std::max(bytes.size(), at + size - 2));
    std::copy(data + 2, data + size, bytes.begin() + static_cast<std::ptrdiff_t>(at));
    if (size % 7 == 0) bytes.resize(at); // cut short, too
    fuzz::writeFile(f.index, bytes.data(), bytes.size());

    if (auto index = UnitLookupIndex::read(f.index, f.folder, ConversionDocument::kTypeCode)) {
        for (std::u16string_view name : {u"ft", u"m", u"mw", u"feet", u"W", u""})
            index->forEachForm(name, [&](uint32_t unit, std::u16string_view) {
                if (auto found = index->unit(unit)) (void)index->file(found->file);
            });
    }
    // Looking up from it never writes over the index.
    const LookupIndexPlace keep{f.index, 3'600'000'000'000};
    const FolderLookup lookup =
        LookUpUnits(f.folder, {u"ft", u"W"}, ConversionDocument::kTypeCode, &keep);
    if (lookup.found.size() != 2) __builtin_trap();
    return 0;
}
