#include "document/alternative_names.h"

#include "document/catalogue.h"
#include "document/symbol_case.h"
#include "engine/text.h"

namespace pq {

namespace {

std::u16string_view trimmed(std::u16string_view text) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

} // namespace

std::u16string AlternativeNames::keyOf(std::u16string_view identifier) {
    // Letter case counts where it tells units apart: the names of "mW" are
    // not the megawatt's.
    return ReadsAsSymbols(identifier) ? std::u16string(identifier) : lowerAscii(identifier);
}

void AlternativeNames::parse(std::string_view bytes,
                             const std::function<bool(std::u16string_view)>& wanted) {
    files_.clear();
    skipped_.clear();
    const std::u16string text = decodeText(bytes);
    std::u16string_view rest = text;
    std::vector<std::u16string_view> names;
    for (int number = 1; !rest.empty(); ++number) {
        const size_t end = rest.find(u'\n');
        const std::u16string_view line = trimmed(rest.substr(0, end));
        rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
        if (line.empty() || line.front() == u'#') continue;
        const size_t bar1 = line.find(u'|');
        const size_t bar2 = bar1 == std::u16string_view::npos ? bar1 : line.find(u'|', bar1 + 1);
        if (bar2 == std::u16string_view::npos) {
            skipped_.push_back(number);
            continue;
        }
        const size_t bar3 = line.find(u'|', bar2 + 1);
        bool usual = false;
        if (bar3 != std::u16string_view::npos) {
            usual = equalsIgnoreCase(trimmed(line.substr(bar3 + 1)), u"usual");
            if (!usual) {
                skipped_.push_back(number);
                continue;
            }
        }
        const std::u16string_view file = trimmed(line.substr(0, bar1));
        const std::u16string_view identifier = trimmed(line.substr(bar1 + 1, bar2 - bar1 - 1));
        if (file.empty() || identifier.empty()) {
            skipped_.push_back(number);
            continue;
        }
        names.clear();
        std::u16string_view list = line.substr(
            bar2 + 1, bar3 == std::u16string_view::npos ? bar3 : bar3 - bar2 - 1);
        while (!list.empty()) {
            const size_t comma = list.find(u',');
            const std::u16string_view name = trimmed(list.substr(0, comma));
            if (!name.empty() && (!wanted || wanted(name))) names.push_back(name);
            list = comma == std::u16string_view::npos ? std::u16string_view()
                                                      : list.substr(comma + 1);
        }
        if (wanted && names.empty() && !usual) continue;
        UnitNames& kept = files_[lowerAscii(file)][keyOf(identifier)];
        kept.names.insert(kept.names.end(), names.begin(), names.end());
        kept.usual = kept.usual || usual;
    }
}

const AlternativeNames::FileNames* AlternativeNames::namesIn(std::u16string_view fileName) const {
    if (files_.empty()) return nullptr;
    const auto found = files_.find(lowerAscii(fileName));
    return found == files_.end() ? nullptr : &found->second;
}

const AlternativeNames::UnitNames& AlternativeNames::namesOf(const FileNames* names,
                                                             std::u16string_view identifier) {
    static const UnitNames kNone;
    if (!names) return kNone;
    // Most identifiers are kept as written (in lower case, or as symbols).
    if (const auto found = names->find(identifier); found != names->end())
        return found->second;
    const std::u16string lower = lowerAscii(identifier);
    if (lower == identifier || ReadsAsSymbols(identifier)) return kNone;
    const auto found = names->find(lower);
    return found == names->end() ? kNone : found->second;
}

} // namespace pq
