#include "document/data_file.h"
#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/text.h"

namespace pq {

namespace {

struct UpdateLine {
    std::u16string_view first;
    std::u16string_view second;
    std::u16string_view expression;
};

// "ID1<TAB>ID2<TAB>expression"; false for a line that cannot be used.
bool splitUpdateLine(std::u16string_view line, UpdateLine& out) {
    const size_t tab = line.find(u'\t');
    if (tab == std::u16string_view::npos || tab == 0) return false;
    const size_t tab2 = line.find(u'\t', tab + 1);
    if (tab2 == std::u16string_view::npos) return false;
    out.first = line.substr(0, tab);
    out.second = line.substr(tab + 1, tab2 - tab - 1);
    out.expression = line.substr(tab2 + 1);
    return !out.second.empty() && !out.expression.empty();
}

} // namespace

Item* ConversionDocument::uniqueItemWithIdentifier(std::u16string_view identifier) const {
    Item* found = nullptr;
    for (const auto& item : items) {
        if (item->identifier.empty() || !equalsIgnoreCase(item->identifier, identifier)) continue;
        if (found) return nullptr;
        found = item.get();
    }
    return found;
}

void ConversionDocument::applyUpdateLine(std::u16string_view text, std::u16string& stamp,
                                         ExpressionEngine& engine) {
    if (text.empty()) return;
    if (text.starts_with(u"--Updated:")) {
        stamp += u"Downloaded file timestamp: ";
        stamp += text.substr(10);
        return;
    }
    if (text.starts_with(u"--")) return; // comments and the file name
    UpdateLine update;
    double value;
    if (!splitUpdateLine(text, update) || !engine.evaluate(update.expression, value) || value == 0)
        return;
    // Each identifier must name exactly one unit, and the two units must
    // differ: a line that could mean several conversions means none.
    if (equalsIgnoreCase(update.first, update.second)) return;
    Item* unit1 = uniqueItemWithIdentifier(update.first);
    Item* unit2 = uniqueItemWithIdentifier(update.second);
    if (!unit1 || !unit2) return;
    Conversion* conversion = findConversion(unit1, unit2);
    if (!conversion) conversion = &addConversion();
    conversion->kind = Conversion::Linear;
    conversion->unit1 = unit1;
    conversion->unit2 = unit2;
    conversion->factor = value;
    conversion->offset = 0;
}

bool ConversionDocument::applyUpdateText(std::string_view update, ExpressionEngine& engine) {
    if (!loaded || !editable() || !update.starts_with("PQCUPD")) return false;
    // Read as the file would be: each byte one character, lines ended by CR
    // or LF, the rest of the first line after its six bytes ignored.
    std::u16string stamp;
    std::u16string line;
    for (size_t at = 6; at <= update.size(); ++at) {
        if (at < update.size() && update[at] != '\r' && update[at] != '\n') {
            line += static_cast<char16_t>(static_cast<unsigned char>(update[at]));
            continue;
        }
        applyUpdateLine(line, stamp, engine);
        line.clear();
    }
    setUpdatedText(stamp);
    markModified();
    return true;
}

bool ConversionDocument::applyPendingUpdate(const DataFolder& folder, ExpressionEngine& engine) {
    // Without its items in memory, or into a file that may not be written,
    // an update could only be lost.
    if (!loaded || !editable()) return false;
    const std::string path = resolveFileCase(folder.folder() + toUtf8(name) + ".upd");
    DataFile file;
    char magic[6];
    if (!file.openRead(path) || file.read(magic, 6) != 6 || std::string_view(magic, 6) != "PQCUPD")
        return false;

    std::u16string stamp;
    WString line;
    while (file.readLine(line) > 0) applyUpdateLine(line.view(), stamp, engine);
    // The file goes when the document was saved with the new factors.
    if (auto identity = file.identity()) keepUntilSaved(path, *identity);
    file.close();
    setUpdatedText(stamp);
    markModified();
    return true;
}

} // namespace pq
