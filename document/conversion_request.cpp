#include "document/conversion_request.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/conversion_chains.h"
#include "document/document.h"
#include "engine/text.h"
#include "engine/typed_number.h"

namespace pq {

namespace {

bool isDigitAt(std::u16string_view text, size_t i) {
    return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
}

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x202F; }

// The words that come before the target.
bool isTargetWord(std::u16string_view word) {
    for (std::u16string_view w : {u"to", u"in", u"into", u"as", u"=", u"->", u"\u2192"})
        if (equalsIgnoreCase(word, w)) return true;
    return false;
}

struct Token {
    std::optional<double> number;
    std::u16string_view text; // as typed
    size_t begin = 0;         // in the line
};

std::vector<Token> tokensOf(std::u16string_view line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        if (isSpace(line[i])) {
            ++i;
            continue;
        }
        // A number, and a unit written right after it ("60mph") is a word
        // of its own.
        if (const auto number = ReadRequestNumber(line.substr(i))) {
            const size_t end = i + number->length;
            tokens.push_back({number->value, line.substr(i, number->length), i});
            i = end;
            continue;
        }
        size_t end = i;
        while (end < line.size() && !isSpace(line[end])) ++end;
        tokens.push_back({std::nullopt, line.substr(i, end - i), i});
        i = end;
    }
    return tokens;
}

std::u16string_view trimmedUnit(std::u16string_view unit) {
    while (!unit.empty() && (unit.back() == u',' || isSpace(unit.back()))) unit.remove_suffix(1);
    return unit;
}

// The parts of a value: each number followed by the words of its unit.
std::optional<std::vector<RequestPart>> partsOf(std::u16string_view line,
                                                const std::vector<Token>& tokens, size_t end) {
    std::vector<RequestPart> parts;
    size_t i = 0;
    while (i < end) {
        if (!tokens[i].number) return std::nullopt;
        const double number = *tokens[i].number;
        size_t j = i + 1;
        while (j < end && !tokens[j].number) ++j;
        // "and" between two parts is no part of a unit.
        size_t last = j;
        if (j < end && last > i + 2 && equalsIgnoreCase(tokens[last - 1].text, u"and")) --last;
        if (last == i + 1) return std::nullopt; // a number without a unit
        const size_t from = tokens[i + 1].begin;
        const size_t to = tokens[last - 1].begin + tokens[last - 1].text.size();
        const std::u16string_view unit = trimmedUnit(line.substr(from, to - from));
        if (unit.empty()) return std::nullopt;
        parts.push_back({number, std::u16string(unit)});
        i = j;
    }
    if (parts.empty()) return std::nullopt;
    return parts;
}

} // namespace

namespace {

std::optional<NumberRead> readDecimal(std::u16string_view text) {
    std::string ascii;
    size_t i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+' || text[i] == 0x2212)) {
        ascii += text[i] == u'+' ? '+' : '-';
        ++i;
    }
    const size_t digits = i;
    while (isDigitAt(text, i)) {
        ascii += static_cast<char>(text[i++]);
        // A comma between groups of three digits groups them.
        if (i < text.size() && text[i] == u',' && isDigitAt(text, i + 1) &&
            isDigitAt(text, i + 2) && isDigitAt(text, i + 3) && !isDigitAt(text, i + 4))
            ++i;
    }
    if (i < text.size() && text[i] == u'.' && isDigitAt(text, i + 1)) {
        ascii += '.';
        ++i;
        while (isDigitAt(text, i)) ascii += static_cast<char>(text[i++]);
    }
    if (i == digits) return std::nullopt;
    // An exponent only when digits follow it: "2e" is 2 and a unit "e".
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'-' || text[j] == u'+' || text[j] == 0x2212)) {
            exponent += text[j] == u'+' ? '+' : '-';
            ++j;
        }
        if (isDigitAt(text, j)) {
            while (isDigitAt(text, j)) exponent += static_cast<char>(text[j++]);
            // "1e3" is a number, "1em" a number and a unit only if the
            // exponent ends the word.
            if (j >= text.size() || !((text[j] >= u'a' && text[j] <= u'z') ||
                                      (text[j] >= u'A' && text[j] <= u'Z'))) {
                ascii += exponent;
                i = j;
            }
        }
    }
    // Letters of a word right after the digits are a unit ("60mph"), but
    // digits and points are not a number's ("1.2.3").
    if (i < text.size() && (text[i] == u'.' || text[i] == u',' || isDigitAt(text, i)))
        return std::nullopt;
    const double value = std::strtod(ascii.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    return NumberRead{value, i};
}

} // namespace

std::optional<NumberRead> ReadRequestNumber(std::u16string_view text) {
    const std::optional<NumberRead> decimal = readDecimal(text);
    // Fractions as people write them: "3/4 cup", "1 1/2 in", "11 3/16 in".
    double value = 0;
    const size_t length = readTypedNumberPrefix(text, value);
    if (length > 0 && (!decimal || length > decimal->length) && std::isfinite(value))
        return NumberRead{value, length};
    return decimal;
}

std::vector<ConversionRequest> ReadConversionRequests(std::u16string_view line) {
    const std::vector<Token> tokens = tokensOf(line);
    std::vector<ConversionRequest> requests;
    if (tokens.size() < 2 || !tokens.front().number) return requests;
    // Each word that may come before the target, the last one first.
    for (size_t s = tokens.size() - 1; s >= 2; --s) {
        if (tokens[s].number || !isTargetWord(tokens[s].text)) continue;
        if (s + 1 >= tokens.size() || tokens[s + 1].number) continue;
        auto parts = partsOf(line, tokens, s);
        if (!parts) continue;
        const std::u16string_view target = trimmedUnit(line.substr(tokens[s + 1].begin));
        requests.push_back({std::move(*parts), std::u16string(target)});
    }
    if (auto parts = partsOf(line, tokens, tokens.size()))
        requests.push_back({std::move(*parts), std::u16string()});
    return requests;
}

UnitValue ConvertBetween(ConversionDocument& document, Item& from, double value, Item& to,
                         ExpressionEngine& engine) {
    from.value = value;
    from.state = ValueState::Valid;
    document.currentItem = &from;
    document.computeAll(engine);
    // Hidden units are left out of a recomputation; the one asked for is not.
    if (to.state == ValueState::Empty) solve(document, to, engine);
    return {to.state, to.value};
}

RequestAnswer ComputeRequest(ConversionDocument& document, const ConversionRequest& request,
                             const std::vector<Item*>& units, ExpressionEngine& engine) {
    RequestAnswer answer;
    Item& first = *units.front();
    auto outcomeOf = [](const UnitValue& value) {
        return value.state == ValueState::Empty ? RequestAnswer::Outcome::NoPath
                                                : RequestAnswer::Outcome::Failed;
    };
    // The parts added up in the first part's unit. A part whose unit does
    // not begin at the same zero (degrees Fahrenheit and Celsius) cannot be
    // added.
    double total = request.parts.front().number;
    for (size_t i = 1; i < request.parts.size(); ++i) {
        Item& part = *units[i];
        if (&part == &first) {
            total += request.parts[i].number;
            continue;
        }
        const UnitValue zero = ConvertBetween(document, part, 0, first, engine);
        const UnitValue one = ConvertBetween(document, part, 1, first, engine);
        if (zero.state != ValueState::Valid || one.state != ValueState::Valid) {
            answer.outcome = outcomeOf(zero.state != ValueState::Valid ? zero : one);
            return answer;
        }
        if (std::fabs(zero.value) > 1e-12 * std::max(1.0, std::fabs(one.value))) {
            answer.outcome = RequestAnswer::Outcome::NotAddable;
            return answer;
        }
        const UnitValue value =
            ConvertBetween(document, part, request.parts[i].number, first, engine);
        if (value.state != ValueState::Valid) {
            answer.outcome = outcomeOf(value);
            return answer;
        }
        total += value.value;
    }
    answer.first = total;
    Item* target = units.size() > request.parts.size() ? units.back() : &first;
    const UnitValue value = ConvertBetween(document, first, total, *target, engine);
    if (value.state != ValueState::Valid) {
        answer.outcome = outcomeOf(value);
        return answer;
    }
    answer.target = value.value;
    answer.outcome = RequestAnswer::Outcome::Done;
    return answer;
}

} // namespace pq
