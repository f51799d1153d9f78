#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/format_text.h"
#include "engine/wstring.h"

namespace pq {

class ExpressionEngine;

// How an item's value is shown and typed: which formats it allows, the one
// the list shows, the one values are typed in, and up to four compound parts
// (labels and fractions: feet and inches are "ft", "in" with 1, 12; the
// parts end at the first zero fraction).
class NumberFormat {
  public:
    static constexpr int kMaxParts = 4;

    NumberFormat() = default;
    virtual ~NumberFormat() = default;
    NumberFormat(const NumberFormat&) = default;
    NumberFormat& operator=(const NumberFormat&) = default;

    // Allowed formats, parts, and the source's display format for both
    // display and entry.
    void copyFrom(const NumberFormat& other);

    // A mask of 0 allows only Decimal; a display or entry format outside the
    // new mask becomes its lowest format.
    void setAllowedFormats(int32_t mask);
    // The existing parts; returns their count.
    int getLabels(std::array<WString, kMaxParts>& out) const;
    int getFractions(std::array<double, kMaxParts>& out) const;
    // The first label is always taken; later parts while their fraction is
    // not zero.
    void setParts(const std::array<WString, kMaxParts>& labels,
                  const std::array<double, kMaxParts>& fractions);
    int partCount() const;

    std::u16string formatForDisplay(double value) const;
    std::u16string formatForEntry(double value) const;
    // The compound parts as separate number texts, for the compound editor.
    int splitCompound(double value, std::array<std::u16string, kMaxParts>& out) const;
    std::u16string displayCompound(double value) const;

    // Evaluates typed text: "[5 6]" compound literals (when Compound is
    // allowed) and "{12/25/2004}" date literals become numbers first.
    bool parseAndEvaluate(std::u16string_view text, ExpressionEngine& engine, double& value) const;
    // The text parseAndEvaluate hands to the engine.
    std::u16string expandLiterals(std::u16string_view text) const;

    // What was typed or pasted into a value box in the entry format: a
    // number as people type it ("1 1/2", "1-1/2", "3/4"; readTypedNumber), a
    // formula (which may keep the display's spaced exponent; in a base, see
    // baseEntryText), or a whole text as a row shows a value of this format:
    // a grouped or based number, a currency amount in parentheses, a compound
    // value ("4 ft 3 in", "5' 11\"", "5 ft 11 3/16 in"), a date.
    bool readEntry(std::u16string_view text, ExpressionEngine& engine, double& value) const;
    // A compound value as the row shows it or people write it: the parts'
    // numbers (typed numbers, fractions too), each with its label when the
    // part has one ("'" and "\"" for feet and inches; readCompoundParts), a
    // part left out where the labels say which ("3 in"), "(...)" or "-"
    // before a negative value.
    bool readCompoundText(std::u16string_view text, double& value) const;
    // What Copy puts on the clipboard for a value shown in the display
    // format: the number with the 15 significant digits a double carries
    // safely, without grouping ("0.3", "6.56167979002625"; plainNumber); a
    // based number in a notation every number reader takes ("0x00FF",
    // "0017o", "0101b"); a date as the row shows it.
    std::u16string copyText(double value) const;

    bool allows(int32_t code) const { return (allowedFormats & code) != 0; }

    std::array<WString, kMaxParts> labels;
    std::array<double, kMaxParts> fractions{1, 0, 0, 0};
    int32_t allowedFormats = Decimal;
    int32_t displayFormat = Decimal;
    int32_t entryFormat = Decimal;

  private:
    template <typename Emit> void forEachPart(double magnitude, Emit emit) const;
    double compoundValue(std::u16string_view literal) const;
};

// The text the formula reader gets for a text typed in an entry format: in
// lower case, and in a base with its suffix ("ff" in hexadecimal is "0ffh")
// unless it has its notation already ("0x1F", "17o"); spaces between digit
// groups go ("0001 2345").
std::u16string baseEntryText(std::u16string_view text, int32_t format);

// The label of a format in the Formats dialog.
std::u16string_view formatCodeLabel(int32_t code);

} // namespace pq
