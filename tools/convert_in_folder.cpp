// pqtool convert without a file: the units found by name among all the data
// files of the converter's data folder, as VALUE FROM [TO] or as one line
// ("60 mph to km/h").

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "document/conversion_request.h"
#include "document/document.h"
#include "document/name_choice.h"
#include "document/unit_lookup.h"
#include "engine/expression_engine.h"
#include "engine/text.h"
#include "tools/commands.h"
#include "tools/converter_folder.h"
#include "tools/document_io.h"
#include "tools/folder_units.h"

namespace pq::tool {

namespace {

// What is asked: the parts of a value (or the value as typed, in its
// unit's own notation) and the names of the units.
struct Question {
    ConversionRequest request;
    std::string valueText; // the VALUE FROM [TO] form: read by FROM's format
    std::vector<std::u16string> names() const {
        std::vector<std::u16string> names;
        for (const RequestPart& part : request.parts) names.push_back(part.unit);
        if (!request.target.empty()) names.push_back(request.target);
        return names;
    }
};

std::vector<std::vector<NameCandidate>> candidatesOf(const FolderLookup& lookup,
                                                     const std::vector<std::u16string>& names,
                                                     const std::vector<std::u16string>& asked) {
    std::vector<std::vector<NameCandidate>> candidates;
    for (const std::u16string& name : asked) {
        const size_t k = static_cast<size_t>(
            std::find(names.begin(), names.end(), name) - names.begin());
        std::vector<NameCandidate>& list = candidates.emplace_back();
        for (const FoundUnit& unit : lookup.found[k])
            list.push_back({unit.fileNumber, unit.item().identifier.view(), unit.item().name.view(),
                            unit.tier, unit.usual, unit.item().shown != 0});
    }
    return candidates;
}

const FoundUnit& foundUnit(const FolderLookup& lookup, const std::vector<std::u16string>& names,
                           const std::u16string& name, size_t candidate) {
    const size_t k =
        static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    return lookup.found[k][candidate];
}

// "\"a\"", "both \"a\" and \"b\"", "\"a\", \"b\" and \"c\"".
std::string listed(const std::vector<std::u16string>& names) {
    std::string list = names.size() == 2 ? "both " : "";
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) list += i + 1 == names.size() ? " and " : ", ";
        list += "\"" + printable(toUtf8(names[i])) + "\"";
    }
    return list;
}

int ambiguous(const std::u16string& name, const std::vector<const FoundUnit*>& units) {
    std::fprintf(stderr, "pqtool: \"%s\" names several units:\n",
                 printable(toUtf8(name)).c_str());
    for (const FoundUnit* unit : units) printUnit(stderr, "  ", *unit);
    return kExitUsage;
}

// Why no file answers a question, with the candidates.
int noAnswer(const std::string& folder, const FolderLookup& lookup,
             const std::vector<std::u16string>& names, const Question& question,
             const FilesChoice& choice) {
    const std::vector<std::u16string> asked = question.names();
    if (choice.unknownName >= 0)
        return unknownUnit(folder, toUtf8(asked[static_cast<size_t>(choice.unknownName)]));
    if (choice.ambiguousName >= 0) {
        const std::u16string& name = asked[static_cast<size_t>(choice.ambiguousName)];
        std::vector<const FoundUnit*> units;
        for (size_t i : choice.ambiguousUnits)
            units.push_back(&foundUnit(lookup, names, name, i));
        return ambiguous(name, units);
    }
    std::fprintf(stderr, "pqtool: no data file holds %s:\n", listed(asked).c_str());
    std::set<const FoundUnit*> shown;
    for (const std::u16string& name : asked) {
        const size_t k =
            static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
        for (const FoundUnit& unit : lookup.found[k])
            if (shown.insert(&unit).second) printUnit(stderr, "  ", unit);
    }
    return kExitUsage;
}

void printValue(const Item& item, bool plain) {
    const std::string text = plain ? scriptNumber(item.value) : toUtf8(item.displayValue());
    std::printf("%s\n", printable(text).c_str());
}

// Every shown unit of a file, as `convert FILE UNIT VALUE` prints them.
void printAll(const Document& document, bool plain) {
    for (const auto& item : document.items) {
        if (!item->shown) continue;
        std::string value;
        if (plain && item->state == ValueState::Valid)
            value = scriptNumber(item->value);
        else
            value = toUtf8(item->displayValue());
        std::printf("%s\t%s\n", printable(toUtf8(item->name)).c_str(), printable(value).c_str());
    }
}

struct Answer {
    const FileChoice* file;
    Document* document;
    Item* target;
};

// The question answered in each file that holds its units; they must agree.
int answer(const FolderLookup& lookup, const std::vector<std::u16string>& names,
           const Question& question, const FilesChoice& choice, bool plain) {
    const std::vector<std::u16string> asked = question.names();
    const bool toAll = question.request.target.empty();
    ExpressionEngine engine;
    std::vector<Answer> answers;
    bool damaged = false; // a file answering lost records in the reading
    for (const FileChoice& file : choice.files) {
        std::vector<Item*> units;
        Document* document = nullptr;
        std::string name; // of the file
        for (size_t n = 0; n < asked.size(); ++n) {
            const FoundUnit& unit = foundUnit(lookup, names, asked[n], file.units[n]);
            units.push_back(&unit.item());
            document = unit.document.get();
            name = toUtf8(unit.fileName);
        }
        auto& conversions = static_cast<ConversionDocument&>(*document);
        RequestAnswer result;
        if (!question.valueText.empty()) {
            // The value in FROM's own notation.
            if (!enterValue(*units.front(), question.valueText, engine)) return kExitFailed;
            const UnitValue value = ConvertBetween(conversions, *units.front(),
                                                   units.front()->value, *units.back(), engine);
            result.outcome = value.state == ValueState::Valid ? RequestAnswer::Outcome::Done
                             : value.state == ValueState::Empty ? RequestAnswer::Outcome::NoPath
                                                                : RequestAnswer::Outcome::Failed;
            result.target = value.value;
        } else {
            result = ComputeRequest(conversions, question.request, units, engine);
        }
        const std::string fileName = printable(name);
        damaged = warnIfDamaged(name, *document) || damaged;
        switch (result.outcome) {
        case RequestAnswer::Outcome::Done: break;
        case RequestAnswer::Outcome::Failed:
            std::fprintf(stderr, "pqtool: %s cannot compute \"%s\" for that value\n",
                         fileName.c_str(), printable(toUtf8(asked.back())).c_str());
            std::puts("Error");
            return kExitFailed;
        case RequestAnswer::Outcome::NoPath:
            std::fprintf(stderr, "pqtool: no conversions of %s lead to \"%s\"\n", fileName.c_str(),
                         printable(toUtf8(asked.back())).c_str());
            return damaged ? kExitDamaged : kExitFailed;
        case RequestAnswer::Outcome::NotAddable:
            std::fprintf(stderr,
                         "pqtool: the parts of the value cannot be added up: their units do not "
                         "begin at the same zero\n");
            return kExitUsage;
        }
        if (toAll) { // the best file is enough
            printAll(*document, plain);
            return damaged ? kExitDamaged : kExitOk;
        }
        answers.push_back({&file, document, units.back()});
    }
    // Files that hold both units must agree.
    const double first = answers.front().target->value;
    bool agree = true;
    for (const Answer& a : answers)
        agree = agree && std::fabs(a.target->value - first) <=
                             1e-9 * std::max(std::fabs(first), std::fabs(a.target->value));
    if (!agree) {
        std::fprintf(stderr, "pqtool: the files holding %s give different answers:\n",
                     listed(asked).c_str());
        for (const Answer& a : answers) {
            std::fprintf(stderr, "  %s\t", printable(toUtf8(a.target->displayValue())).c_str());
            printUnit(stderr, "",
                      foundUnit(lookup, names, asked.back(), a.file->units.back()));
        }
        return kExitUsage;
    }
    printValue(*answers.front().target, plain);
    return damaged ? kExitDamaged : kExitOk;
}

// Answers the first question whose names all resolve, or says why the
// first one cannot be answered.
int answerFirst(const std::string& folder, const std::vector<Question>& questions, bool plain) {
    std::vector<std::u16string> names;
    for (const Question& question : questions)
        for (const std::u16string& name : question.names())
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    const LookupIndexPlace index{UnitLookupIndexPath(folder)};
    const FolderLookup lookup = LookUpUnits(folder, names, ConversionDocument::kTypeCode,
                                            index.path.empty() ? nullptr : &index);
    if (lookup.filesRead == 0 && lookup.unreadable.empty()) {
        std::fprintf(stderr, "pqtool: %s holds no data files\n", printable(folder).c_str());
        return kExitFailed;
    }
    std::vector<FilesChoice> choices;
    for (const Question& question : questions) {
        choices.push_back(ChooseFiles(candidatesOf(lookup, names, question.names())));
        if (!choices.back().files.empty())
            return answer(lookup, names, question, choices.back(), plain);
    }
    return noAnswer(folder, lookup, names, questions.front(), choices.front());
}

std::string joined(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) line += (line.empty() ? "" : " ") + word;
    return line;
}

} // namespace

int runConvertInFolder(std::span<char* const> args) {
    FolderArguments arguments;
    if (!parseFolderArguments(args, arguments, true)) return kExitUsage;
    const std::vector<std::string>& words = arguments.words;
    if (words.empty())
        return usageError("convert needs VALUE FROM [TO], a line such as \"60 mph to km/h\", "
                          "or FILE UNIT VALUE");
    // A line such as "60 mph to km/h", in one argument or several.
    std::vector<Question> questions;
    for (ConversionRequest& request : ReadConversionRequests(fromUtf8(joined(words))))
        if (words.size() == 1 || words.size() > 3 || !request.target.empty())
            questions.push_back({std::move(request), {}});
    if (!questions.empty()) return answerFirst(arguments.folder, questions, arguments.plain);
    if (words.size() < 2 || words.size() > 3)
        return usageError("convert needs VALUE FROM [TO], a line such as \"60 mph to km/h\", "
                          "or FILE UNIT VALUE");
    // VALUE FROM [TO], the value in FROM's own notation ("[5 6]").
    Question question;
    question.request.parts.push_back({0, fromUtf8(words[1])});
    if (words.size() == 3) question.request.target = fromUtf8(words[2]);
    question.valueText = words[0];
    return answerFirst(arguments.folder, {question}, arguments.plain);
}

} // namespace pq::tool
