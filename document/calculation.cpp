#include "document/calculation.h"

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/document.h"
#include "engine/builtins.h"
#include "engine/expression_engine.h"
#include "engine/parser.h"
#include "engine/text.h"

namespace pq {

namespace {

// What an output's formula depends on, so that a pass can pass over an
// output that would fail exactly as it did before: a deterministic formula
// whose variables have not changed since it failed gives the same failure.
struct Dependencies {
    bool opaque = false; // clock, random numbers, user functions: always evaluate
    std::vector<std::u16string> names;
};

Dependencies dependenciesOf(const Item& item, const ExpressionEngine& engine,
                            const std::unordered_map<std::u16string, int>& ownNames) {
    Dependencies d;
    const std::u16string text = lowerAscii(item.format.expandLiterals(item.valueText));
    if (item.valueText.findChar(u'{') >= 0) d.opaque = true; // "{today}" reads the clock
    const TokenChain chain = parse(text);
    for (const Token& t : chain.tokens) {
        if (t.kind != TokenKind::Identifier) continue;
        const int builtin = resolveBuiltin(t.name, t.count);
        if (builtin == kRand || builtin == kTime || builtin == kIntTime) d.opaque = true;
        if (builtin >= 0) continue;
        if (t.count > 0 || (engine.isDefined(t.name, 0) && !ownNames.contains(t.name)))
            d.opaque = true; // a user function's body may read anything
        else
            d.names.push_back(t.name);
    }
    return d;
}

bool isPlainName(const WString& identifier) { return isIdentifier(identifier.view()); }

} // namespace

bool evaluateItem(Item& item, ExpressionEngine& engine) {
    double value;
    if (item.format.parseAndEvaluate(item.valueText, engine, value)) {
        item.value = value;
        item.state = ValueState::Valid;
        return true;
    }
    item.state = ValueState::Error;
    return false;
}

// Inputs first (an input typed by the user keeps its value), then passes
// over the outputs in list order until a pass computes nothing, each success
// visible at once to the outputs after it. Every item's identifier is a
// variable while this runs, and none stays defined afterwards. Items that
// are not outputs, a unit among them, count as inputs.
void CalculationDocument::computeAll(ExpressionEngine& engine) {
    std::unordered_map<std::u16string, int> ownNames;
    for (const auto& item : items)
        if (isPlainName(item->identifier)) ownNames.emplace(lowerAscii(item->identifier), 0);

    for (const auto& item : items) {
        if (item->isOutput()) {
            item->state = ValueState::Empty;
        } else if (item->state == ValueState::Empty) {
            evaluateItem(*item, engine);
            if (item->state == ValueState::Valid) engine.setVariable(item->identifier, item->value);
        } else if (item->state == ValueState::Valid) {
            engine.setVariable(item->identifier, item->value);
        }
    }

    // A pass evaluates, in list order, the outputs that may now succeed:
    // those never tried, the opaque ones, and those one of whose variables
    // has been defined since they failed. Any other would fail again.
    std::vector<Item*> outputs;
    std::vector<Dependencies> dependencies;
    std::unordered_map<std::u16string, std::vector<size_t>> readers;
    for (const auto& item : items) {
        if (!item->isOutput()) continue;
        dependencies.push_back(dependenciesOf(*item, engine, ownNames));
        for (const std::u16string& name : dependencies.back().names)
            readers[name].push_back(outputs.size());
        outputs.push_back(item.get());
    }
    std::set<size_t> pass;
    for (size_t k = 0; k < outputs.size(); ++k) pass.insert(k);
    size_t computed;
    do {
        computed = 0;
        std::set<size_t> nextPass;
        for (auto it = pass.begin(); it != pass.end(); it = pass.erase(it)) {
            const size_t k = *it;
            Item& output = *outputs[k];
            if (output.state != ValueState::Empty) continue;
            if (!evaluateItem(output, engine)) {
                output.state = ValueState::Empty; // a later pass may succeed
                if (dependencies[k].opaque) nextPass.insert(k);
                continue;
            }
            ++computed;
            if (!engine.setVariable(output.identifier, output.value)) continue;
            auto found = readers.find(lowerAscii(output.identifier));
            if (found == readers.end()) continue;
            // Outputs after this one see the new value in this pass, the
            // ones before it in the next.
            for (size_t reader : found->second)
                if (outputs[reader]->state == ValueState::Empty)
                    (reader > k ? pass : nextPass).insert(reader);
        }
        pass = std::move(nextPass);
    } while (computed > 0);

    for (Item* output : outputs)
        if (output->state == ValueState::Empty) output->state = ValueState::Error;
    for (const auto& item : items)
        if (isPlainName(item->identifier)) engine.removeDefinition(item->identifier);
}

} // namespace pq
