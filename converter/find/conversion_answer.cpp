#include "converter/find/conversion_answer.h"

#include <algorithm>
#include <map>

#include "document/conversion_request.h"
#include "document/document.h"
#include "document/name_choice.h"
#include "document/unit_index.h"
#include "engine/format_text.h"

namespace pq::conv {

namespace {

QString text(std::u16string_view view) {
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

UnitReference referenceOf(const IndexedFile& file, const IndexedUnit& unit) {
    UnitReference reference;
    reference.fileName = text(file.fileName);
    reference.identifier = text(unit.identifier);
    reference.name = text(unit.name);
    reference.fileTitle = text(file.title);
    reference.position = unit.position;
    reference.shown = unit.shown;
    return reference;
}

// How a unit is written after a number: its abbreviation ("km/h" of
// "Kilometre per hour (km/h)"), else its name without what the parentheses
// say of it ("Furlong" of "Furlong (660 ft)").
QString symbolOf(const Item& item) {
    std::u16string_view name = item.name.view();
    if (!name.empty() && name.back() == u')') {
        const size_t open = name.rfind(u'(');
        if (open != std::u16string_view::npos) {
            std::u16string_view inside = name.substr(open + 1, name.size() - open - 2);
            inside = inside.substr(0, inside.find(u','));
            const bool digits = std::any_of(inside.begin(), inside.end(),
                                            [](char16_t c) { return c >= u'0' && c <= u'9'; });
            if (!inside.empty() && !digits) return text(inside);
            name = name.substr(0, open);
            while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
        }
    }
    return text(name);
}

// One name's whole matches in the conversion files of the index.
struct NameMatches {
    std::vector<UnitMatch> matches;
    std::vector<NameCandidate> candidates;
};

NameMatches matchesOf(const UnitIndex& index, const std::u16string& name,
                      const std::map<const IndexedFile*, size_t>& numbers) {
    FindOptions whole;
    whole.exactOnly = true;
    NameMatches result;
    for (UnitMatch& match : index.find(name, whole)) {
        if (match.file->typeCode != ConversionDocument::kTypeCode) continue;
        result.candidates.push_back({numbers.at(match.file.get()), match.unit->identifier,
                                     match.unit->name, match.tier, match.unit->usual,
                                     match.unit->shown});
        result.matches.push_back(std::move(match));
    }
    return result;
}

QString quoted(const std::u16string& name) { return QStringLiteral("\u201C%1\u201D").arg(text(name)); }

} // namespace

ConversionAnswerer::ConversionAnswerer(ExpressionEngine& engine) : engine_(engine) {}

ConversionAnswerer::~ConversionAnswerer() = default;

ConversionDocument* ConversionAnswerer::documentOf(const std::string& path,
                                                   const FileStamp& stamp) {
    if (document_ && path == path_ && stamp == stamp_) return document_.get();
    auto document = std::make_unique<ConversionDocument>();
    if (!document->readWithoutConverting(path)) return nullptr;
    document_ = std::move(document);
    path_ = path;
    stamp_ = stamp;
    return document_.get();
}

AnswerAttempt ConversionAnswerer::answer(const UnitIndex& index, const QString& line) {
    AnswerAttempt attempt;
    const std::vector<ConversionRequest> requests =
        ReadConversionRequests(line.toStdU16String());
    if (requests.empty() || !index.built()) return attempt;
    attempt.isQuestion = true;
    std::map<const IndexedFile*, size_t> numbers;
    for (size_t i = 0; i < index.files().size(); ++i) numbers[index.files()[i].get()] = i;

    std::optional<FilesChoice> firstChoice;
    std::vector<NameMatches> firstMatches;
    std::vector<std::u16string> firstNames;
    for (const ConversionRequest& request : requests) {
        std::vector<std::u16string> names;
        for (const RequestPart& part : request.parts) names.push_back(part.unit);
        if (!request.target.empty()) names.push_back(request.target);
        std::vector<NameMatches> matches;
        std::vector<std::vector<NameCandidate>> candidates;
        for (const std::u16string& name : names) {
            matches.push_back(matchesOf(index, name, numbers));
            candidates.push_back(matches.back().candidates);
        }
        FilesChoice choice = ChooseFiles(candidates);
        if (choice.files.empty()) {
            if (!firstChoice) {
                firstChoice = std::move(choice);
                firstMatches = std::move(matches);
                firstNames = std::move(names);
            }
            continue;
        }
        // The best file answers.
        const FileChoice& file = choice.files.front();
        const IndexedFile& indexed = *index.files()[file.file];
        const std::string path =
            index.folder() + QString::fromStdU16String(indexed.fileName).toStdString();
        const std::optional<FileStamp> stamp = stampOf(path);
        ConversionDocument* document = stamp ? documentOf(path, *stamp) : nullptr;
        if (!document) return attempt;
        std::vector<Item*> units;
        for (size_t n = 0; n < names.size(); ++n) {
            const IndexedUnit& unit = *matches[n].matches[file.units[n]].unit;
            const size_t position = static_cast<size_t>(unit.position);
            if (position >= document->items.size() ||
                document->items[position]->identifier.view() != unit.identifier)
                return attempt; // the file changed since it was read
            units.push_back(document->items[position].get());
        }
        const RequestAnswer result = ComputeRequest(*document, request, units, engine_);
        if (result.outcome != RequestAnswer::Outcome::Done) {
            attempt.problem =
                result.outcome == RequestAnswer::Outcome::NotAddable
                    ? QStringLiteral("These parts cannot be added up.")
                    : QStringLiteral("%1 cannot convert this.").arg(text(indexed.title));
            return attempt;
        }
        ConversionAnswer answer;
        QString asked;
        for (size_t i = 0; i < request.parts.size(); ++i)
            asked += (i ? QStringLiteral(" ") : QString()) +
                     text(shortestNumberText(request.parts[i].number)) + QLatin1Char(' ') +
                     symbolOf(*units[i]);
        // A value alone is shown as its first unit shows it when its parts
        // were added up.
        Item& shown = request.target.empty() ? *units.front() : *units.back();
        answer.text = asked;
        if (!request.target.empty() || request.parts.size() > 1)
            answer.text += QStringLiteral(" = ") + text(shown.displayValue()) + QLatin1Char(' ') +
                           symbolOf(shown);
        answer.detail = text(indexed.title);
        answer.first = referenceOf(indexed, *matches.front().matches[file.units.front()].unit);
        if (!request.target.empty())
            answer.target = referenceOf(indexed, *matches.back().matches[file.units.back()].unit);
        answer.firstValue = result.first;
        attempt.answer = std::move(answer);
        return attempt;
    }
    // Why the likeliest reading has no answer, with what its names may mean.
    const FilesChoice& choice = *firstChoice;
    auto listMatches = [&](size_t name, const std::vector<size_t>* only) {
        const NameMatches& found = firstMatches[name];
        for (size_t i = 0; i < found.matches.size(); ++i)
            if (!only || std::find(only->begin(), only->end(), i) != only->end())
                attempt.candidates.append(
                    referenceOf(*found.matches[i].file, *found.matches[i].unit));
    };
    if (choice.unknownName >= 0) {
        attempt.problem = QStringLiteral("No unit is called %1.")
                              .arg(quoted(firstNames[static_cast<size_t>(choice.unknownName)]));
    } else if (choice.ambiguousName >= 0) {
        const size_t name = static_cast<size_t>(choice.ambiguousName);
        attempt.problem =
            QStringLiteral("%1 names several units:").arg(quoted(firstNames[name]));
        listMatches(name, &choice.ambiguousUnits);
    } else {
        attempt.problem = QStringLiteral("No file holds these units together:");
        for (size_t n = 0; n < firstNames.size(); ++n) listMatches(n, nullptr);
    }
    return attempt;
}

} // namespace pq::conv
